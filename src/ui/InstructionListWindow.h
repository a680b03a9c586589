#pragma once

#include <QDialog>

#include "editors/InstructionListView.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeWidget;

namespace corvela {
class EditInstructions;
}

namespace corvela::ui {

class InstructionListModel;

// The instruction editor's list window: a filter field, the table of instructions (Match,
// Type, Matches), the transactions of the last run that the selected one matched, and Edit,
// Delete and Close. Typing in the table goes to the filter; Return edits the selected
// instruction, Delete deletes it, Escape closes the window. Everything goes to the editor,
// which is borrowed (attach) and must outlive the window or be detached first.
class InstructionListWindow : public QDialog, public InstructionListView {
  Q_OBJECT

 public:
  explicit InstructionListWindow(QWidget* parent = nullptr);
  ~InstructionListWindow() override;
  void attach(EditInstructions* editor) { editor_ = editor; }

  void showList(const InstructionListForm& form) override;
  void updateList(const InstructionListForm& form) override;
  void closeList() override;

  QLineEdit* filterField() const { return filter_; }
  QTableView* table() const { return table_; }
  QTreeWidget* matchedTransactions() const { return matched_; }
  QPushButton* editButton() const { return edit_; }
  QPushButton* deleteButton() const { return delete_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  void draw(const InstructionListForm& form);
  void editSelected();

  EditInstructions* editor_ = nullptr;
  QLineEdit* filter_;
  QTableView* table_;
  InstructionListModel* model_;
  QLabel* matchedTitle_;
  QTreeWidget* matched_;
  QPushButton* edit_;
  QPushButton* delete_;
  bool drawing_ = false;
};

}  // namespace corvela::ui
