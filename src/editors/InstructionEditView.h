#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/DialogFields.h"

namespace corvela {

// The match field's label for an instruction keyed on the input's category.
inline constexpr std::string_view kCategoryMatchLabel = "  When input QIF has category:";
// The help under the match field when the instruction must keep matching a description, and
// the warning when it no longer does.
inline constexpr std::string_view kMustMatchHelp =
    "(You can edit this string as long as it matches the description.)";
inline constexpr std::string_view kNoLongerMatchesWarning =
    "WARNING: the string above no longer matches the description.  The instruction cannot be "
    "saved.";
// The help and warning when there is no description to keep matching.
inline constexpr std::string_view kFreeMatchHelp =
    "(You can edit the string above, but be careful to make sure it contines to match the QIF "
    "transactions you intend it to match.)";
inline constexpr std::string_view kNotOriginalWarning =
    "WARNING: The string above does not match the original string; it may not match QIF "
    "transactions as intended.";
inline constexpr std::string_view kReplaceWarning =
    "WARNING: An instruction with the above match already exists.  If you save changes it will "
    "be replaced.";

// The fields of the edit dialog the person types in.
enum class InstructionEditField {
  match,
  category,        // combo box over the category list
  newDescription,  // combo box over the description list
  newMemo,
  amount,             // combo box over the instruction's amounts (chooses which one is shown)
  amountDescription,  // combo box over the description list
  amountCategory,     // combo box over the category list
  amountMemo,
};

// The switches of the edit dialog.
enum class InstructionEditSwitch {
  useDescription,
  useMemo,
  categoryConfirm,
  extractNumber,
  amountConfirm,
  amountUseMemo,
};

// The tabs: the instruction itself, and its amount instructions (shown only when it has any).
// Each has its own split table.
enum class InstructionEditTab { regular, amount };

// What the edit dialog shows. EditInstructions keeps the form; the view shows it and reports
// every edit back, so the form always holds what the window holds.
struct InstructionEditForm {
  std::string windowTitle;  // the match string the dialog opened with

  // --- the match field
  std::string matchLabel;
  std::string matchHelp;  // "" for none
  std::string match;
  bool matchEditable = true;
  // While set, the field accepts only non-empty beginnings of this text (ignoring case).
  std::optional<std::string> matchRestriction;
  // Under the match field (kReplaceWarning, kNoLongerMatchesWarning, kNotOriginalWarning);
  // none hides it.
  std::optional<std::string> matchWarning;

  InstructionEditTab selectedTab = InstructionEditTab::regular;

  // --- the regular tab
  std::string category;
  std::optional<std::string> categoryWarning;  // none hides it
  bool useDescription = false;
  bool newDescriptionShown = false;
  std::string newDescription;
  bool useMemo = false;
  bool newMemoShown = false;
  std::string newMemo;
  bool categoryConfirm = false;
  bool extractNumber = false;
  // The split table instead of the plain category field.
  bool splitsShown = false;
  SplitTableForm splits;

  // --- the amount tab
  bool amountTabShown = false;
  std::string amount;
  std::vector<std::string> amounts;  // the amount field's list
  // The amount can be changed only when there is more than one amount instruction.
  bool amountEnabled = false;
  std::string amountDescription;
  std::string amountCategory;
  std::optional<std::string> amountCategoryWarning;
  bool amountConfirm = false;
  bool amountUseMemo = false;
  bool amountMemoShown = false;
  std::string amountMemo;
  bool amountSplitsShown = false;
  SplitTableForm amountSplits;

  // --- shared
  int comboBoxVisibleItems = kComboBoxVisibleItems;
  // The Add Splits / Remove Splits button, for the selected tab.
  std::string addRemoveSplitsTitle = std::string(kAddSplitsTitle);
  bool saveEnabled = false;
  // Where the keyboard focus goes when the view shows this form (once).
  std::optional<InstructionEditField> focus;

  bool operator==(const InstructionEditForm&) const = default;
};

// The edit dialog of the instruction editor. It reports typing (controlTextDidChange), the
// switches (setSwitch), the tabs (selectTab), split cells (tableSetCell,
// tableSelectionChanged) and the buttons (save, cancel, deleteInstruction, deleteAmount,
// addRemoveSplits, addSplit, deleteSelectedSplit) to EditInstructions.
class InstructionEditView {
 public:
  virtual ~InstructionEditView() = default;
  // Opens the dialog filled from `form`.
  virtual void showEditor(const InstructionEditForm& form) = 0;
  // Redraws the open dialog from `form` (a text the form refused goes back to the form's).
  virtual void updateEditor(const InstructionEditForm& form) = 0;
  // Commits the edit in progress (a split cell being typed in) before this returns.
  virtual void endEditing() = 0;
  virtual void closeEditor() = 0;
};

}  // namespace corvela
