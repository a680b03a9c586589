#pragma once

#include <QDialog>
#include <QTableView>
#include <map>
#include <string>

#include "editors/TableEditor.h"

class QLabel;
class QPushButton;

namespace corvela::ui {

class TableArrayModel;

// The table of an editor window. Return on a row asks to edit it (the editor's own dialog, or
// the cell in place), Delete and Backspace delete the selected rows, Insert adds an entry;
// the selection goes to the core table as it changes.
class EditorTableView : public QTableView {
  Q_OBJECT

 public:
  using QTableView::QTableView;
  // Whether a cell editor is open.
  bool isEditing() const { return state() == QAbstractItemView::EditingState; }
  // Ends the edit of the open cell, keeping what was typed.
  void commitOpenEditor();

 signals:
  void editRequested(const QModelIndex& index);
  void deleteRequested();
  void addRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The window of one list or format editor, over the editor's core table: the table, Add and
// Delete, the editor's own buttons, a line for refusals and warnings, OK and (for editors
// that can be cancelled) Cancel. It draws the editor's form after every action and holds no
// rule of its own. The editor is borrowed for the window's life.
class TableEditorWindow : public QDialog {
  Q_OBJECT

 public:
  explicit TableEditorWindow(TableEditor& editor, QWidget* parent = nullptr);

  EditorTableView* table() const { return table_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* deleteButton() const { return delete_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  // The editor's own button for `action`, or null.
  QPushButton* button(const std::string& action) const;
  QLabel* message() const { return message_; }

  // Closing commits the cell being typed in first.
  void done(int result) override;

 private:
  void draw();
  void addEntry();
  void deleteRows();
  void edit(const QModelIndex& index);
  void showSelection();
  void selectionChanged();
  void refused(const QString& text);

  TableEditor& editor_;
  TableArrayModel* model_;
  EditorTableView* table_;
  QPushButton* add_;
  QPushButton* delete_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QLabel* message_;
  std::map<std::string, QPushButton*> buttons_;
  QString refusal_;
  bool drawing_ = false;
};

// The front end's TableEditorView: each editor runs in a TableEditorWindow over the window
// given (borrowed), or over the editor window it was opened from.
class TableEditorWindows : public TableEditorView {
 public:
  explicit TableEditorWindows(QWidget* parent) : parent_(parent) {}
  bool runModal(TableEditor& editor) override;

 private:
  QWidget* parent_;
};

}  // namespace corvela::ui
