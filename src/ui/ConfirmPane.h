#pragma once

#include <QWidget>
#include <vector>

#include "banking/ConfirmView.h"
#include "ui/DialogWidgets.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvela::ui {

class CompletingComboBox;
class DateStepper;
class FormattedAmountEdit;
class SplitTableView;

// The confirmation view of the transaction dialog: the transaction as it came in, and the
// description, memo and category (or splits) that OK outputs. It draws the processor's
// ConfirmForm and reports every edit and button to the processor. The controls are named
// after the processor's outlets (objectName).
class ConfirmPane : public QWidget {
  Q_OBJECT

 public:
  explicit ConfirmPane(QWidget* parent = nullptr);
  ~ConfirmPane() override;

  // The processor (borrowed, it must outlive the pane) and the way to its actions.
  void attach(BankingCreditCardQIF& processor, ActOnProcessor act);
  // Draws `form`. `opening`: the processor opened the view anew (the lists behind the combo
  // boxes are reloaded and the instruction pop-up goes back to its first item).
  void showForm(const ConfirmForm& form, bool opening);
  // Commits the split cell being edited, and reports the end of editing of a confirmed
  // description the person changed.
  void endEditing();

  SplitTableView* splitsTable() const { return splitsTable_; }

 protected:
  // Tab runs the loop confirmed description, memo, category (when shown) and back.
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void instructionPopUpActivated(int index);
  void descriptionEditingEnded();
  QWidget* fieldWidget(DialogField field) const;

  BankingCreditCardQIF* processor_ = nullptr;
  ActOnProcessor act_;
  // The person changed the confirmed description since the form was shown and the end of
  // editing has not been reported.
  bool descriptionEdited_ = false;
  // The items the instruction pop-up shows.
  std::vector<PopUpMenuItem> popUpItems_;

  QLabel* dateText_;
  DateStepper* dateStepper_;
  QLabel* amountLabel_;
  FormattedAmountEdit* amountText_;
  QLabel* numberLabel_;
  QLineEdit* numberText_;
  QLabel* descriptionText_;
  QLabel* memoLabel_;
  QLabel* memoText_;
  QLabel* descriptionPrompt_;
  QWidget* categoryPromptView_;
  QLabel* categoryPrompt_;
  QLabel* inputCategoryText_;
  QComboBox* instructionPopUp_;
  QPushButton* swapButton_;
  CompletingComboBox* confirmedDescription_;
  QLineEdit* confirmedMemo_;
  QLabel* categoryLabel_;
  CompletingComboBox* confirmedCategory_;
  SplitTableView* splitsTable_;
  QLabel* categoryWarning_;
  QPushButton* addRemoveSplitsButton_;
  // Under the split table: what the splits leave of the amount, and the warning while they do
  // not add up.
  QLabel* splitRemainder_;
  QLabel* splitsDoNotAddUp_;
};

}  // namespace corvela::ui
