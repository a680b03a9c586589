#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "banking/DialogFields.h"

namespace corvela {

inline constexpr std::string_view kCreateNewInstructionTitle = "Create New Instruction";
inline constexpr std::string_view kAddInstructionForAmountTitle = "Add Instruction For Amount";
inline constexpr std::string_view kContainsMatchLabel = "When a description contains:";
inline constexpr std::string_view kContainsMatchHelp =
    "(You can edit the string above as long as it matches the description)";
inline constexpr std::string_view kStartsWithMatchLabel = "When a description starts with:";
inline constexpr std::string_view kStartsWithMatchHelp =
    "(You can shorten the string above for future matches)";
inline constexpr std::string_view kCancelReturnsToConfirmToolTip =
    "Stops adding a new instruction and returns to the confirmation dialog. (command-.)";
inline constexpr std::string_view kCancelStopsToolTip =
    "Stops processing the transactions without changing the output file. (command-.)";

// The two tabs of the new-instruction view.
enum class InstructionTab { instruction, amount };

// What the new-instruction dialog shows: the transaction on top, and the rule to be learnt
// (what to match; the description, memo, category or splits, confirmation and cheque-number
// extraction to apply), optionally with an amount instruction for the transaction's amount.
// The processor keeps the form; the view shows it and reports every edit back (see
// NewInstructionView).
struct NewInstructionForm {
  std::string windowTitle = std::string(kCreateNewInstructionTitle);
  // Where the run stands, as in ConfirmForm.
  std::string progress;

  // --- the transaction as it came in
  std::string dateText;
  std::string descriptionText;  // also its tooltip
  ShownText number;             // with numberLabel; shows the extract-number preview too
  ShownText memo;               // with memoLabel
  ShownText amount;             // with amountLabel

  // --- the match area: the description form (prompt, match label, match field, help text,
  // not-contained warning, amount line), or the category form (matchCategoryText) when a
  // category instruction is taught.
  bool categoryForm = false;
  std::string matchCategoryText;
  std::string prompt;  // newInstructionPrompt
  std::string matchLabel;
  std::string matchHelp;
  std::string descriptionMatchText;
  // The match field rule: while set, the field accepts only non-empty beginnings of this text
  // (ignoring case; CVDescriptionMatchFormatter). None: any text.
  std::optional<std::string> matchRestriction;
  bool notContainedWarningShown = false;

  InstructionTab selectedTab = InstructionTab::instruction;

  // --- the instruction tab
  bool useDescription = false;
  bool newDescriptionShown = false;
  std::string newDescription;  // combo box over the description list
  bool useMemo = false;
  bool newMemoShown = false;
  std::string newMemo;
  std::string category;  // combo box over the category list, in the plain view
  std::optional<std::string> categoryWarning;  // categoryNewLabel; none hides it
  bool categoryConfirm = false;
  bool extractNumber = false;
  // The split view (instructionSplitsTable, its add and delete buttons) instead of the plain
  // view.
  bool instructionSplitsShown = false;
  SplitTableForm instructionSplits;

  // --- the amount tab
  bool amountSwitch = false;
  // The switch may not be changed (shown as the fixed amountSwitchFixed): a new amount for an
  // existing instruction.
  bool amountSwitchFixed = false;
  // The switch can be used only for a transaction that has an amount.
  bool amountSwitchEnabled = false;
  // The amount tab's fields take input only while the amount switch is on.
  bool amountFieldsEnabled = false;
  std::string amountDescription;                     // combo box over the description list
  std::string amountCategory;                        // combo box over the category list
  std::optional<std::string> amountCategoryWarning;  // amountCategoryNewLabel
  bool amountConfirm = false;
  // The key equivalent of the amount confirm switch with the Command (Ctrl) key, or "".
  std::string amountConfirmKeyEquivalent;
  bool amountUseMemo = false;
  bool amountMemoShown = false;
  std::string amountMemo;
  bool amountSplitsShown = false;
  SplitTableForm amountSplits;

  // --- shared
  int comboBoxVisibleItems = kComboBoxVisibleItems;
  // instructionAddRemoveSplitsButton, for the selected tab.
  std::string addRemoveSplitsTitle = std::string(kAddSplitsTitle);
  bool okEnabled = true;
  // Why OK is disabled, for its tooltip; "" while it is enabled.
  std::string okDisabledReason;
  bool backButtonShown = false;
  bool backButtonEnabled = false;
  std::string cancelToolTip = std::string(kCancelStopsToolTip);
  // The amount field's number format and decimal separator, as in ConfirmForm.
  std::string amountNumberFormat;
  std::string amountDecimalSeparator = ".";

  std::optional<FieldFocus> focus;

  bool operator==(const NewInstructionForm&) const = default;
};

// The new-instruction view of the processor's dialog window. The view reports every change the
// person makes: typing (controlTextDidChange, controlTextDidBeginEditing,
// comboBoxSelectionDidChange), the switches (useDescription, useMemo, amountUseMemo,
// extractNumberSwitch, amountSwitch, categoryConfirmSwitch, amountConfirmSwitch), the tabs
// (tabViewDidSelectTabViewItem), split cells (tableViewSetObjectValue and friends), and the
// buttons (saveNewInstruction, instructionAddRemoveSplits, instructionAddSplit,
// instructionDeleteSelectedSplit, amountInstructionAddSplit,
// amountInstructionDeleteSelectedSplit, skipTransaction, skipRemaining, back, cancel).
class NewInstructionView {
 public:
  virtual ~NewInstructionView() = default;

  // Switches the dialog window to the new-instruction view, titled form.windowTitle, filled
  // from `form`.
  virtual void show(const NewInstructionForm& form) = 0;
  // Refreshes the view, already shown, from `form`.
  virtual void update(const NewInstructionForm& form) = 0;
  // Commits the edit in progress: a text or table cell being edited is reported to the
  // processor before this returns.
  virtual void endEditing() = 0;
};

}  // namespace corvela
