#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/DialogFields.h"

namespace corvela {

inline constexpr std::string_view kConfirmTransactionTitle = "Confirm Transaction";
inline constexpr std::string_view kAddNewInstructionForThisTransaction =
    "Add New Instruction For This Transaction";
inline constexpr std::string_view kAddNewInstructionForThisAmount =
    "Add New Instruction For This Amount";
// The pop-up's action that opens the instruction editor on the instruction that applied.
inline constexpr std::string_view kEditThisInstruction = "Edit This Instruction...";
// The first item of the instruction pop-up, which only names it.
inline constexpr std::string_view kInstructionPopUpTitle = "Instruction";
// Under the split table: what the splits leave of the amount ("%@" the remainder), and the
// warning while that is not zero.
inline constexpr std::string_view kSplitRemainder = "Remainder: %@";
inline constexpr std::string_view kSplitsDoNotAddUp =
    "The splits do not add up to the amount; OK writes them only once they do.";

// An item of a pop-up menu.
struct PopUpMenuItem {
  std::string title;
  bool enabled = true;
  bool operator==(const PopUpMenuItem&) const = default;
};

// What the confirmation dialog shows: the transaction as it came in, and the description,
// memo, category (or splits) that OK will output, which the person may change for this
// transaction only. The processor keeps the form; the view shows it and reports every edit back
// (see ConfirmView), so the form always holds what the window holds.
struct ConfirmForm {
  std::string windowTitle = std::string(kConfirmTransactionTitle);
  // Where the run stands: "Transaction 3 of 12" (see progressText); "" outside a run.
  std::string progress;

  // --- the transaction
  // confirmDateText: the date to output, or "<transaction date> (will use <fixed date>)".
  std::string dateText;
  // The date stepper (stepDate): shown only when the run has no fixed output date.
  bool dateStepperShown = false;
  // confirmAmountText and its label: the amount OK outputs; hidden when the transaction has
  // none.
  ShownText amount;
  // confirmNumberText and its label: the number OK outputs; hidden when there is none.
  ShownText number;
  // confirmDescriptionText, also its tooltip: the description as it stands for matching.
  std::string descriptionText;
  // confirmMemoText and its label: the transaction's memo; hidden when it has none.
  ShownText memo;

  // --- what OK outputs. The keyboard loop runs description, memo, category and back.
  std::string confirmedDescription;  // combo box over the description list
  std::string confirmedMemo;
  // Combo box over the category list, in the plain category view (hidden with splits).
  std::string confirmedCategory;
  // confirmCategoryNewLabel: the category warning (CategoryWarning.h); none hides it.
  std::optional<std::string> categoryWarning;
  int comboBoxVisibleItems = kComboBoxVisibleItems;

  // --- the prompt: matchDescriptionPrompt, or matchCategoryPrompt with confirmCategoryText
  // showing the transaction's input category. Only one of the two is shown.
  bool categoryPrompt = false;
  std::string prompt;
  std::string inputCategory;

  // --- splits: the split view (table, add-split and delete-split buttons) instead of the plain
  // category view.
  bool splitsShown = false;
  SplitTableForm splits;
  // Under the table (kSplitRemainder): the amount OK outputs minus the sum of the splits, shown
  // with the splits; hidden when an amount cannot be read.
  ShownText splitRemainder;
  // kSplitsDoNotAddUp while the remainder is not zero; none hides it.
  std::optional<std::string> splitsDoNotAddUp;
  // addRemoveSplitsButton: "Remove Splits" with splits; "Add Splits" without, shown only for
  // QIF output.
  bool addRemoveSplitsShown = false;
  std::string addRemoveSplitsTitle = std::string(kAddSplitsTitle);

  // --- confirmInstructionPopUp: shown only when an instruction applies; always showing its
  // first item. Its actions call confirmAddInstruction, confirmAddInstructionForAmount and
  // confirmEditInstruction (offered only when the program has an instruction editor).
  bool instructionPopUpShown = false;
  std::vector<PopUpMenuItem> instructionPopUpMenuItems;

  // --- buttons: Back (shown when the run confirms every transaction, enabled except on the
  // first), OK, Skip Transaction, skip remaining, Cancel.
  bool backButtonShown = false;
  bool backButtonEnabled = false;

  // --- the amount field's number format (setPrecision): empty keeps the layout's own; and its
  // decimal separator, "," when amounts are output in European notation.
  std::string amountNumberFormat;
  std::string amountDecimalSeparator = ".";

  std::optional<FieldFocus> focus;

  bool operator==(const ConfirmForm&) const = default;
};

// The confirm view of the processor's dialog window. The desktop program implements it with a
// window, the tests with a scripted fake. The view reports to the processor every change the
// person makes: typing (controlTextDidChange, controlTextDidBeginEditing,
// comboBoxSelectionDidChange), the end of editing of the confirmed description
// (confirmDescriptionTextChanged), split cells (tableViewSetObjectValue and friends), and the
// buttons (confirmOK, stepDate, swapDescriptionAndMemo, addRemoveSplits, addSplit,
// deleteSelectedSplit, confirmAddInstruction, confirmAddInstructionForAmount,
// confirmEditInstruction, skipTransaction,
// skipRemaining, back, cancel).
class ConfirmView {
 public:
  virtual ~ConfirmView() = default;

  // Switches the dialog window to the confirm view, titled form.windowTitle, filled from
  // `form`.
  virtual void show(const ConfirmForm& form) = 0;
  // Refreshes the confirm view, already shown, from `form` (a label, the date, the split
  // table, the buttons or fields the processor changed).
  virtual void update(const ConfirmForm& form) = 0;
  // Commits the edit in progress: a text or table cell being edited is reported to the
  // processor before this returns.
  virtual void endEditing() = 0;
};

}  // namespace corvela
