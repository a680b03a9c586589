#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editors/TableArray.h"

namespace corvela {

class TableEditor;

// A button (or gear-menu item) of an editor window beside Add and Delete.
struct EditorButton {
  std::string action;  // handed back to TableEditor::perform
  std::string title;
  bool enabled = false;
};

// What an editor window shows around its table.
struct TableEditorForm {
  explicit TableEditorForm(std::string title = {}, bool canAdd = true, bool canCancel = true)
      : title(std::move(title)), canAdd(canAdd), canCancel(canCancel) {}

  std::string title;
  std::vector<EditorButton> buttons;
  // A refusal or warning under the table; empty hides it.
  std::string message;
  bool canAdd = true;
  // Whether the window has Cancel beside OK (editors that store whatever closed them have not).
  bool canCancel = true;
};

// The window of an editor, run modally. Implemented with Qt in src/ui/ and by scripted fakes in
// the tests.
class TableEditorView {
 public:
  virtual ~TableEditorView() = default;
  // Shows `editor`'s table and form until the person closes the window; true for OK. The view
  // draws form() again after every action it forwards, and commits a cell being typed in
  // before it returns. An editor may run another editor (a window over its window) from perform.
  virtual bool runModal(TableEditor& editor) = 0;
};

// The common part of every list and format editor: it owns the table over the array being
// edited and is its delegate; subclasses say what the array is, which buttons exist and what
// the store gets when the window closes.
class TableEditor : public TableArrayDelegate {
 public:
  TableEditor() = default;
  TableEditor(const TableEditor&) = delete;
  TableEditor& operator=(const TableEditor&) = delete;

  // The table being edited; only valid while the editor runs.
  TableArray& table() { return *table_; }
  const TableArray& table() const { return *table_; }
  virtual TableEditorForm form() const = 0;
  // A button of form().buttons was pressed.
  virtual void perform(const std::string& /*action*/) {}

 protected:
  // Runs the window over `array` with `columns`; returns whether it was closed with OK. The
  // table is kept afterwards for the subclass to read.
  bool runTable(TableEditorView& view, Value array, std::vector<TableColumn> columns);

 private:
  std::unique_ptr<TableArray> table_;
};

}  // namespace corvela
