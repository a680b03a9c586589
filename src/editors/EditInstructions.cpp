// EditInstructions: the list window, and opening and ending the edit dialog.
#include "editors/EditInstructions.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "banking/NewInstructionView.h"
#include "instructions/InstructionKeys.h"
#include "instructions/Instructions.h"
#include "platform/Platform.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "text/CaseInsensitive.h"

namespace corvela {

EditInstructions::EditInstructions(CVPrefs& prefs, const Preferences& options,
                                   Instructions& instructions, Categories& categories,
                                   Descriptions& descriptions, const QIFReader& reader,
                                   Platform& platform, const InstructionMatches& lastRun,
                                   InstructionListView& listView, InstructionEditView& editView)
    : prefs_(prefs),
      options_(options),
      instructions_(instructions),
      categories_(categories),
      descriptions_(descriptions),
      reader_(reader),
      platform_(platform),
      lastRun_(lastRun),
      listView_(listView),
      editView_(editView) {}

// --- the list window

void EditInstructions::beginEditing() {
  if (listOpen_) return;
  if (instructions_.numberOfInstructions() == 0) {
    platform_.showStatus(std::string(kNoInstructionsTitle), std::string(kNoInstructionsText));
    return;
  }
  listForm_ = InstructionListForm{};
  reloadList();
  if (!listForm_.rows.empty()) listSelectionChanged(0);
  listOpen_ = true;
  listView_.showList(listForm_);
}

void EditInstructions::reloadList() {
  // The selection follows its instruction, by match string, through the reload.
  std::optional<std::string> selectedMatch;
  if (listForm_.selectedRow && *listForm_.selectedRow < listForm_.rows.size())
    selectedMatch = listForm_.rows[*listForm_.selectedRow].match;

  listForm_.rows.clear();
  listForm_.selectedRow.reset();
  // The last run's matches, counted by folded match string once per reload: a run of a
  // hundred thousand transactions beside thousands of instructions must not compare every
  // pair (each keystroke in the filter reloads). Identical strings are folded once.
  std::unordered_map<std::string_view, int> matchedByText;
  for (std::size_t i = 0; i < lastRun_.size(); ++i) ++matchedByText[lastRun_.match(i)];
  std::unordered_map<std::u32string, int> matchedByFolded;
  for (const auto& [text, count] : matchedByText) matchedByFolded[foldedCharacters(text)] += count;

  const std::optional<Value> stored = instructions_.getInstructionsArray();
  const std::size_t count = stored && stored->isArray() ? stored->size() : 0;
  for (std::size_t index = 0; index < count; ++index) {
    const Value& record = (*stored)[index];
    const std::string& match = matchString(record);
    if (!listForm_.filter.empty() && !containsIgnoringCase(match, listForm_.filter)) continue;
    InstructionListRow row;
    row.match = match;
    row.type = std::string(has(record, instructionKey::descriptionMatch) ? kDescriptionType
                                                                         : kCategoryType);
    row.index = index;
    if (!matchedByFolded.empty()) {
      auto counted = matchedByFolded.find(foldedCharacters(match));
      if (counted != matchedByFolded.end()) row.matches = counted->second;
    }
    if (selectedMatch && equalsIgnoringCase(*selectedMatch, match))
      listForm_.selectedRow = listForm_.rows.size();
    listForm_.rows.push_back(std::move(row));
  }
  listSelectionChanged(listForm_.selectedRow);
}

void EditInstructions::listFilterChanged(std::string filter) {
  listForm_.filter = std::move(filter);
  reloadList();
  if (!listForm_.selectedRow && !listForm_.rows.empty()) listSelectionChanged(0);
  if (listOpen_) listView_.updateList(listForm_);
}

void EditInstructions::listSelectionChanged(std::optional<std::size_t> row) {
  if (row && *row >= listForm_.rows.size()) row.reset();
  listForm_.selectedRow = row;
  listForm_.matchedTransactions.clear();
  if (row) {
    const std::string& match = listForm_.rows[*row].match;
    for (std::size_t i = 0; i < lastRun_.size(); ++i)
      if (equalsIgnoringCase(lastRun_.match(i), match))
        listForm_.matchedTransactions.push_back(lastRun_[i]);
  }
  listForm_.editEnabled = row.has_value();
  listForm_.deleteEnabled = row.has_value();
}

void EditInstructions::selectStoredIndex(std::size_t index) {
  for (std::size_t row = 0; row < listForm_.rows.size(); ++row) {
    if (listForm_.rows[row].index == index) {
      listSelectionChanged(row);
      return;
    }
  }
  // Hidden by the filter (the edit renamed it): show everything rather than lose it.
  if (!listForm_.filter.empty()) {
    listForm_.filter.clear();
    listForm_.selectedRow.reset();
    reloadList();
    for (std::size_t row = 0; row < listForm_.rows.size(); ++row)
      if (listForm_.rows[row].index == index) listSelectionChanged(row);
  }
}

void EditInstructions::editEntryAtIndex(std::size_t row) {
  if (!listOpen_ || editing_ || row >= listForm_.rows.size()) return;
  listSelectionChanged(row);
  const Value record = instructions_.instructionAtIndex(listForm_.rows[row].index);
  if (!record.isDictionary()) return;
  beginEditingInstruction(record, std::nullopt, [this](bool cancelled, std::size_t position) {
    editInstructionDidEnd(cancelled, position);
  });
}

void EditInstructions::editInstructionDidEnd(bool cancelled, std::size_t position) {
  if (!listOpen_) return;
  if (!cancelled) {
    listForm_.selectedRow.reset();
    reloadList();
    if (instructions_.numberOfInstructions() > 0) selectStoredIndex(position);
  }
  listView_.updateList(listForm_);
}

void EditInstructions::deleteSelectedInstruction() {
  if (!listOpen_ || editing_ || !listForm_.selectedRow) return;
  const std::size_t row = *listForm_.selectedRow;
  instructions_.removeInstructionAtIndex(listForm_.rows[row].index);
  listForm_.selectedRow.reset();
  reloadList();
  if (!listForm_.rows.empty()) listSelectionChanged(std::min(row, listForm_.rows.size() - 1));
  listView_.updateList(listForm_);
}

void EditInstructions::closeList() {
  if (!listOpen_) return;
  if (editing_) cancel();
  listOpen_ = false;
  listView_.closeList();
}

// --- opening and ending the edit dialog

void EditInstructions::beginEditingInstruction(const Value& instruction,
                                               std::optional<std::string> mustMatch,
                                               DidEnd didEnd) {
  if (editing_ || !instruction.isDictionary()) return;
  didEnd_ = std::move(didEnd);
  mustMatch_ = mustMatch.has_value();
  instructionEdited_ = false;
  form_ = InstructionEditForm{};
  changedInstruction_ = instruction;
  originalMatch_ = matchString(instruction);
  isCategoryInstruction_ = !has(instruction, instructionKey::descriptionMatch);
  form_.match = originalMatch_;
  form_.windowTitle = originalMatch_;

  form_.category = str(instruction, instructionKey::category);
  form_.categoryWarning.reset();
  if (const Value* text = instruction.find(instructionKey::newDescription)) {
    form_.useDescription = form_.newDescriptionShown = true;
    form_.newDescription = text->toString();
  }
  if (const Value* text = instruction.find(instructionKey::newMemo)) {
    form_.useMemo = form_.newMemoShown = true;
    form_.newMemo = text->toString();
  }
  form_.categoryConfirm = has(instruction, instructionKey::categoryConfirm);
  form_.extractNumber = has(instruction, instructionKey::number);

  matchFormatter_.shortenOnly(std::nullopt);
  form_.matchRestriction.reset();
  if (isCategoryInstruction_) {
    form_.matchLabel = std::string(kCategoryMatchLabel);
    form_.matchEditable = false;
  } else {
    const bool contains = options_.isOn(option::matchDescriptionWithContains);
    form_.matchLabel = std::string(contains ? kContainsMatchLabel : kStartsWithMatchLabel);
    if (mustMatch) {
      form_.matchHelp = std::string(kMustMatchHelp);
      notMatchWarning_ = std::string(kNoLongerMatchesWarning);
      if (!contains) {
        matchFormatter_.shortenOnly(*mustMatch);
        form_.matchRestriction = *mustMatch;
      }
    } else {
      form_.matchHelp = std::string(kFreeMatchHelp);
      notMatchWarning_ = std::string(kNotOriginalWarning);
    }
  }

  const Value& splits = instruction[instructionKey::splits];
  splits_.reset();
  if (splits.isArray() && splits.size() > 0) splits_ = splits;
  form_.splitsShown = splits_.has_value();
  amountSplits_.reset();
  displayAmountPortionOfDialog();
  form_.selectedTab = InstructionEditTab::regular;
  form_.addRemoveSplitsTitle = std::string(splits_ ? kRemoveSplitsTitle : kAddSplitsTitle);
  refreshSplitForms();
  refreshSave();
  form_.focus = InstructionEditField::match;
  editing_ = true;
  editView_.showEditor(form_);
  form_.focus.reset();
}

void EditInstructions::finish(bool cancelled, std::size_t position) {
  editing_ = false;
  editView_.closeEditor();
  // Taken out first: the callback may open the dialog again.
  DidEnd didEnd = std::move(didEnd_);
  didEnd_ = nullptr;
  if (didEnd) didEnd(cancelled, position);
}

void EditInstructions::updateView() {
  if (!editing_) return;
  editView_.updateEditor(form_);
  form_.focus.reset();
  form_.splits.editRow.reset();
  form_.amountSplits.editRow.reset();
}

}  // namespace corvela
