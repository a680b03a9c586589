#pragma once

#include <QWidget>

#include "banking/NewInstructionView.h"
#include "ui/DialogWidgets.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace corvela::ui {

class CompletingComboBox;
class SplitTableView;

// The new-instruction view of the transaction dialog: the transaction on top, what to match,
// and the instruction to learn on the instruction tab, with an amount instruction for the
// transaction's amount on the amount tab. It draws the processor's NewInstructionForm and
// reports every edit, switch, tab and button to the processor. The controls are named after
// the processor's outlets (objectName).
class NewInstructionPane : public QWidget {
  Q_OBJECT

 public:
  explicit NewInstructionPane(QWidget* parent = nullptr);
  ~NewInstructionPane() override;

  // The processor (borrowed, it must outlive the pane) and the way to its actions.
  void attach(BankingCreditCardQIF& processor, ActOnProcessor act);
  // Draws `form`. `opening`: the processor opened the view anew (the lists behind the combo
  // boxes are reloaded).
  void showForm(const NewInstructionForm& form, bool opening);
  // Commits the split cell being edited.
  void endEditing();

  QTabWidget* tabs() const { return tabs_; }
  SplitTableView* instructionSplitsTable() const { return instructionSplitsTable_; }
  SplitTableView* amountSplitsTable() const { return amountSplitsTable_; }

 private:
  QWidget* buildInstructionTab();
  QWidget* buildAmountTab();
  QWidget* fieldWidget(DialogField field) const;

  BankingCreditCardQIF* processor_ = nullptr;
  ActOnProcessor act_;
  bool applying_ = false;

  QLabel* dateText_;
  QLabel* descriptionText_;
  QLabel* numberLabel_;
  QLabel* numberText_;
  QLabel* memoLabel_;
  QLabel* memoText_;
  QLabel* amountLabel_;
  QLabel* amountText_;

  QStackedWidget* matchArea_;
  QWidget* descriptionMatchView_;
  QLabel* prompt_;
  QLabel* matchLabel_;
  QLineEdit* descriptionMatchText_;
  QLabel* matchHelp_;
  QLabel* notContainedLabel_;
  QWidget* categoryMatchView_;
  QLabel* matchCategoryText_;

  QTabWidget* tabs_;
  QCheckBox* useDescriptionSwitch_;
  CompletingComboBox* newDescriptionText_;
  QCheckBox* useMemoSwitch_;
  QLineEdit* newMemoText_;
  QWidget* instructionNonSplitsView_;
  CompletingComboBox* categoryText_;
  QLabel* categoryNewLabel_;
  SplitTableView* instructionSplitsTable_;
  QCheckBox* categoryConfirmSwitch_;
  QCheckBox* extractNumberSwitch_;

  QCheckBox* amountSwitch_;
  QLabel* amountSwitchFixed_;
  QWidget* amountFields_;
  CompletingComboBox* amountDescriptionText_;
  QWidget* amountInstructionNonSplitsView_;
  CompletingComboBox* amountCategoryText_;
  QLabel* amountCategoryNewLabel_;
  SplitTableView* amountSplitsTable_;
  QCheckBox* amountConfirmSwitch_;
  QCheckBox* amountUseMemoSwitch_;
  QLineEdit* amountMemoText_;

  QPushButton* addRemoveSplitsButton_;
};

}  // namespace corvela::ui
