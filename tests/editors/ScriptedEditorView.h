#pragma once

#include <deque>
#include <functional>
#include <stdexcept>

#include "editors/EditorHost.h"
#include "editors/TableEditor.h"

namespace corvela::testing {

// Editor windows as scripted: each window that opens takes the next step, which works the
// editor and answers OK (true) or not. The forms seen are kept.
class ScriptedEditorView : public TableEditorView {
 public:
  using Step = std::function<bool(TableEditor&)>;
  explicit ScriptedEditorView(std::deque<Step> steps = {}) : steps_(std::move(steps)) {}
  void then(Step step) { steps_.push_back(std::move(step)); }
  bool runModal(TableEditor& editor) override {
    if (steps_.empty()) throw std::logic_error("an unexpected editor window opened");
    Step step = std::move(steps_.front());
    steps_.pop_front();
    forms.push_back(editor.form());
    return step(editor);
  }
  std::vector<TableEditorForm> forms;

 private:
  std::deque<Step> steps_;
};

struct RecordingHost : EditorHost {
  void disableMenuItems() override { enabled = false; }
  void enableMenuItems() override { enabled = true; }
  bool enabled = true;
};

}  // namespace corvela::testing
