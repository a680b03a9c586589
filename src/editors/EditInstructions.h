#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/InstructionEditing.h"
#include "banking/RunTally.h"
#include "editors/InstructionEditView.h"
#include "editors/InstructionListView.h"
#include "instructions/CVDescriptionMatchFormatter.h"
#include "prefs/Value.h"

namespace corvela {

class CVPrefs;
class Categories;
class Descriptions;
class Instructions;
class Platform;
class Preferences;
class QIFReader;

// The instruction editor: the list window of every stored instruction (filtered by typing,
// in stored order, with how many transactions of the most recent run each one matched), and
// the edit dialog for one instruction: its match string, new description and memo, category
// or splits, confirm and cheque-number flags, and its amount instructions.
//
// Every change reaches the store when it is made: a deletion from the list at once, an edit
// when the dialog is saved. The dialog is opened from the list, or by the confirmation dialog
// on the instruction that applied to its transaction, which the edited match string must then
// keep matching (it may only be shortened, or cut to a part of itself).
//
// All collaborators are borrowed and must outlive the editor. `lastRun` is what the bank
// processor keeps of its last run's matches, read whenever the list is drawn.
class EditInstructions : public InstructionEditing {
 public:
  static constexpr std::string_view kNoInstructionsTitle = "No Instructions To Edit";
  static constexpr std::string_view kNoInstructionsText =
      "\r\r\rThere are no instructions to edit.";

  EditInstructions(CVPrefs& prefs, const Preferences& options, Instructions& instructions,
                   Categories& categories, Descriptions& descriptions, const QIFReader& reader,
                   Platform& platform, const InstructionMatches& lastRun,
                   InstructionListView& listView, InstructionEditView& editView);

  // --- the list window

  // Opens the list window; with no stored instruction, says so in the status view instead.
  void beginEditing();
  // The filter typed over the list: only instructions whose match string contains it
  // (ignoring case) are listed. The selection stays on its instruction when that is still
  // listed.
  void listFilterChanged(std::string filter);
  // The selected row of the list as it is shown (none: no selection).
  void listSelectionChanged(std::optional<std::size_t> row);
  // Opens the edit dialog on the instruction of `row` (of the rows shown), with no
  // description to keep matching.
  void editEntryAtIndex(std::size_t row);
  // Deletes the selected instruction from the store at once; the next one is selected.
  void deleteSelectedInstruction();
  void closeList();
  bool listOpen() const { return listOpen_; }
  const InstructionListForm& listForm() const { return listForm_; }

  // --- the edit dialog

  // Opens the edit dialog on `instruction` (a stored record). Ignored while the dialog is
  // open already. See InstructionEditing.
  void beginEditingInstruction(const Value& instruction, std::optional<std::string> mustMatch,
                               DidEnd didEnd) override;
  // The person changed the text of `field` (a keystroke or a choice from a list). A match text
  // the match field's rule refuses is not taken (the view is told the text it keeps).
  void controlTextDidChange(InstructionEditField field, std::string text);
  void setSwitch(InstructionEditSwitch which, bool on);
  void selectTab(InstructionEditTab tab);
  // Add Splits / Remove Splits for the selected tab.
  void addRemoveSplits();
  void addSplit(InstructionEditTab table);
  // Removes the selected splits (not all of them); the amount tab's splits are balanced again.
  void deleteSelectedSplit(InstructionEditTab table);
  // A split cell edit: `column` is a split record key. A new amount in the amount tab's table
  // balances its splits against the amount, adding a split when there is only one.
  void tableSetCell(InstructionEditTab table, std::string_view column, std::size_t row,
                    std::string value);
  void tableSelectionChanged(InstructionEditTab table, std::vector<std::size_t> rows);
  // Removes the amount instruction shown from the instruction being edited.
  void deleteAmount();
  // Stores the edited instruction (replacing one of the same match string, and the one it was
  // when its match string changed), adds its categories and descriptions to their lists, and
  // ends the dialog with its position. A category the list refuses (with its own alert)
  // keeps the dialog open and stores nothing; so does a disabled Save.
  void save();
  // Deletes the instruction from the store and ends the dialog with position 0.
  void deleteInstruction();
  // Ends the dialog, storing nothing.
  void cancel();
  bool editing() const { return editing_; }
  const InstructionEditForm& editForm() const { return form_; }
  // The instruction as the dialog would save it now.
  Value changedInstruction();

 private:
  // --- list
  void reloadList();
  void selectStoredIndex(std::size_t index);
  void editInstructionDidEnd(bool cancelled, std::size_t position);

  // --- dialog
  void displayAmountPortionOfDialog();
  void displayNewAmount(const std::string& amount);
  void buildChangedInstructionDictionary();
  void edited();
  void refreshSave();
  void checkMatch();
  bool matchWithinOriginal() const;
  std::optional<Value>& splitList(InstructionEditTab table);
  SplitTableForm& splitForm(InstructionEditTab table);
  void refreshSplitForms();
  void startEditingLastSplit(InstructionEditTab table);
  int amountPrecision() const;
  void finish(bool cancelled, std::size_t position);
  void updateView();

  CVPrefs& prefs_;
  const Preferences& options_;
  Instructions& instructions_;
  Categories& categories_;
  Descriptions& descriptions_;
  const QIFReader& reader_;
  Platform& platform_;
  const InstructionMatches& lastRun_;
  InstructionListView& listView_;
  InstructionEditView& editView_;

  bool listOpen_ = false;
  InstructionListForm listForm_;

  bool editing_ = false;
  InstructionEditForm form_;
  Value changedInstruction_ = Value::dictionary();
  std::string originalMatch_;
  bool isCategoryInstruction_ = false;
  bool mustMatch_ = false;
  std::string notMatchWarning_;
  CVDescriptionMatchFormatter matchFormatter_;
  std::optional<Value> splits_;
  std::optional<Value> amountSplits_;
  std::string amountBeingEdited_;
  bool amountDisplayed_ = false;
  bool instructionEdited_ = false;
  DidEnd didEnd_;
};

}  // namespace corvela
