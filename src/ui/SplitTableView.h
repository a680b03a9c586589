#pragma once

#include <QWidget>

#include "banking/DialogFields.h"
#include "ui/DialogWidgets.h"

class QPushButton;
class QTableView;

namespace corvela::ui {

class SplitCellDelegate;
class SplitTableModel;

// One split table of the transaction dialog with its add-split and delete-split buttons. The
// table shows the rows of the processor's form; every cell may be edited (the category cell
// completes from the category list, the amount cell takes what the amount field rule allows),
// and edits, the selection and the buttons go to the processor as the data source and
// delegate of `table`.
class SplitTableView : public QWidget {
  Q_OBJECT

 public:
  // Rows are this many pixels high.
  static constexpr int kRowHeight = 22;

  // `name` names the table; its buttons are named `name` + "AddSplitButton" and
  // "DeleteSelectedSplitButton".
  SplitTableView(SplitTable table, const QString& name, QWidget* parent = nullptr);
  ~SplitTableView() override;

  // `addSplit` and `deleteSelectedSplit` are the processor's actions for this table's
  // buttons.
  void attach(BankingCreditCardQIF& processor, ActOnProcessor act, ProcessorAction addSplit,
              ProcessorAction deleteSelectedSplit);

  // Draws a form's table: its rows, selection and delete button, and starts editing the
  // category cell of the form's editRow.
  void showForm(const SplitTableForm& form);
  // Commits the cell being edited, if any, to the processor.
  void commitEditing();
  // Closes the cell being edited, if any, without a word to the processor: the table is about
  // to show another transaction.
  void discardEditing();

  QTableView* table() const { return table_; }
  SplitTableModel* model() const { return model_; }
  QPushButton* addButton() const { return addButton_; }
  QPushButton* deleteButton() const { return deleteButton_; }

 private:
  void selectionChanged();

  SplitTable which_;
  SplitTableModel* model_;
  SplitCellDelegate* delegate_;
  QTableView* table_;
  QPushButton* addButton_;
  QPushButton* deleteButton_;
  BankingCreditCardQIF* processor_ = nullptr;
  ActOnProcessor act_;
  bool applying_ = false;
};

}  // namespace corvela::ui
