#pragma once

#include <deque>
#include <functional>
#include <stdexcept>

#include "editors/TableEditor.h"

namespace corvela::testing {

// An editor window that does what the test scripted: each run of a window takes the next
// step, which works the editor as a person would and answers OK (true) or not. It records
// the forms it saw, so a test can check titles and buttons.
class ScriptedEditorView : public TableEditorView {
 public:
  using Step = std::function<bool(TableEditor&)>;

  explicit ScriptedEditorView(std::deque<Step> steps = {}) : steps_(std::move(steps)) {}
  void then(Step step) { steps_.push_back(std::move(step)); }

  bool runModal(TableEditor& editor) override {
    if (steps_.empty()) throw std::logic_error("an editor window opened that nobody expected");
    Step step = std::move(steps_.front());
    steps_.pop_front();
    forms.push_back(editor.form());
    return step(editor);
  }

  std::vector<TableEditorForm> forms;

 private:
  std::deque<Step> steps_;
};

// Menu items as the editors switch them, with what a run would see.
struct RecordingHost : EditorHost {
  void disableMenuItems() override { enabled = false; }
  void enableMenuItems() override { enabled = true; }
  bool enabled = true;
};

}  // namespace corvela::testing
