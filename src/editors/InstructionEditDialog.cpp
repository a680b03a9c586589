// EditInstructions: the edit dialog's fields, switches, splits and buttons.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "banking/CategoryWarning.h"
#include "banking/DecimalAmount.h"
#include "banking/SplitBalance.h"
#include "editors/EditInstructions.h"
#include "instructions/Amounts.h"
#include "instructions/InstructionKeys.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

namespace ik = instructionKey;
namespace ak = amountKey;

// Split amounts are computed with this many decimals when the store does not say.
constexpr int kDefaultAmountsPrecision = 2;

std::vector<SplitRow> rowsOf(const std::optional<Value>& list) {
  std::vector<SplitRow> rows;
  if (!list) return rows;
  for (const Value& split : list->toArray()) {
    rows.push_back(SplitRow{str(split, splitKey::category), str(split, splitKey::memo),
                            str(split, splitKey::amount)});
  }
  return rows;
}

void setOrErase(Value& record, std::string_view key, bool on, std::string_view value) {
  if (on) {
    record.set(key, value);
  } else {
    record.erase(key);
  }
}

}  // namespace

int EditInstructions::amountPrecision() const {
  const Value& stored = prefs_.objectForKey(prefKey::bccAmountsPrecision);
  if (!stored.isNumber()) return kDefaultAmountsPrecision;
  return static_cast<int>(
      std::clamp<std::int64_t>(stored.toInt(), kMinDecimalPrecision, kMaxDecimalPrecision));
}

// --- the amount part

void EditInstructions::displayAmountPortionOfDialog() {
  const Value& amounts = changedInstruction_[ik::amounts];
  if (!amounts.isArray() || amounts.size() == 0) {
    amountDisplayed_ = false;
    form_.amountTabShown = false;
    form_.amounts.clear();
    if (form_.selectedTab == InstructionEditTab::amount) selectTab(InstructionEditTab::regular);
    return;
  }
  amountDisplayed_ = true;
  form_.amountTabShown = true;
  form_.selectedTab = InstructionEditTab::amount;
  form_.amounts.clear();
  for (const Value& record : amounts.toArray()) form_.amounts.push_back(str(record, ak::amount));
  form_.amountEnabled = amounts.size() > 1;
  form_.amount = form_.amounts.front();
  displayNewAmount(form_.amount);
}

void EditInstructions::displayNewAmount(const std::string& amount) {
  const std::optional<Value> record = Amounts::amountMatching(amount, changedInstruction_);
  if (!record) return;
  amountBeingEdited_ = amount;
  form_.amount = amount;
  form_.amountDescription = str(*record, ak::amountDescription);
  form_.amountCategory = str(*record, ak::amountCategory);
  form_.amountCategoryWarning.reset();
  form_.amountConfirm = has(*record, ak::amountConfirm);
  const Value* memo = record->find(ak::amountMemo);
  form_.amountUseMemo = form_.amountMemoShown = memo != nullptr;
  form_.amountMemo = memo ? memo->toString() : std::string();
  const Value& splits = (*record)[ak::splits];
  amountSplits_.reset();
  if (splits.isArray() && splits.size() > 0) amountSplits_ = splits;
  form_.amountSplitsShown = amountSplits_.has_value();
  form_.amountSplits = SplitTableForm{};
  if (form_.selectedTab == InstructionEditTab::amount)
    form_.addRemoveSplitsTitle = std::string(amountSplits_ ? kRemoveSplitsTitle : kAddSplitsTitle);
  refreshSplitForms();
}

// --- building the record

void EditInstructions::buildChangedInstructionDictionary() {
  Value& record = changedInstruction_;
  record.set(isCategoryInstruction_ ? ik::categoryMatch : ik::descriptionMatch, form_.match);
  record.set(ik::category, form_.category);
  setOrErase(record, ik::newDescription, form_.useDescription, form_.newDescription);
  setOrErase(record, ik::categoryConfirm, form_.categoryConfirm, kYes);
  setOrErase(record, ik::newMemo, form_.useMemo, form_.newMemo);
  if (splits_ && splits_->size() > 0) {
    record.set(ik::splits, *splits_);
  } else {
    record.erase(ik::splits);
  }
  if (amountDisplayed_ && !amountBeingEdited_.empty()) {
    Value amount = Value::dictionary();
    amount.set(ak::amount, amountBeingEdited_);
    amount.set(ak::amountDescription, form_.amountDescription);
    amount.set(ak::amountCategory, form_.amountCategory);
    if (form_.amountConfirm) amount.set(ak::amountConfirm, kYes);
    if (form_.amountUseMemo) amount.set(ak::amountMemo, form_.amountMemo);
    if (amountSplits_ && amountSplits_->size() > 0) amount.set(ak::splits, *amountSplits_);
    Amounts::setAmount(amount, record);
  }
  setOrErase(record, ik::number, form_.extractNumber, kYes);
}

Value EditInstructions::changedInstruction() {
  buildChangedInstructionDictionary();
  return changedInstruction_;
}

// --- field changes

bool EditInstructions::matchWithinOriginal() const {
  return containsIgnoringCase(originalMatch_, form_.match);
}

void EditInstructions::checkMatch() {
  if (isCategoryInstruction_) return;
  const bool within = matchWithinOriginal();
  // A match string that must keep matching the transaction's description is refused first:
  // the replace warning would otherwise hide that Save cannot be used.
  if (mustMatch_ && !within) {
    form_.matchWarning = std::string(kNoLongerMatchesWarning);
  } else if (form_.match != originalMatch_ && instructions_.instructionFor(form_.match)) {
    form_.matchWarning = std::string(kReplaceWarning);
  } else if (within) {
    form_.matchWarning.reset();
  } else {
    form_.matchWarning = notMatchWarning_;
  }
}

void EditInstructions::refreshSave() {
  bool enabled = instructionEdited_;
  if (form_.useDescription && form_.newDescription.empty()) enabled = false;
  if (amountDisplayed_ &&
      (form_.amount.empty() || form_.amountDescription.empty() || form_.amountCategory.empty()))
    enabled = false;
  if (mustMatch_ && !isCategoryInstruction_ && !matchWithinOriginal()) enabled = false;
  form_.saveEnabled = enabled;
}

void EditInstructions::edited() {
  instructionEdited_ = true;
  refreshSave();
}

void EditInstructions::controlTextDidChange(InstructionEditField field, std::string text) {
  if (!editing_) return;
  switch (field) {
    case InstructionEditField::match:
      if (!form_.matchEditable || !matchFormatter_.isPartialStringValid(text)) break;
      form_.match = std::move(text);
      edited();
      checkMatch();
      break;
    case InstructionEditField::category:
      form_.category = std::move(text);
      form_.categoryWarning = categoryWarning(form_.category, categories_);
      edited();
      break;
    case InstructionEditField::amountCategory:
      form_.amountCategory = std::move(text);
      form_.amountCategoryWarning = categoryWarning(form_.amountCategory, categories_);
      edited();
      break;
    case InstructionEditField::amount:
      form_.amount = std::move(text);
      if (form_.amount != amountBeingEdited_ &&
          Amounts::amountMatching(form_.amount, changedInstruction_)) {
        const std::string chosen = form_.amount;
        // The edits of the amount instruction shown so far are kept before another is shown.
        if (instructionEdited_) {
          form_.amount = amountBeingEdited_;
          buildChangedInstructionDictionary();
        }
        displayNewAmount(chosen);
      }
      refreshSave();
      break;
    case InstructionEditField::newDescription:
      form_.newDescription = std::move(text);
      edited();
      break;
    case InstructionEditField::newMemo:
      form_.newMemo = std::move(text);
      edited();
      break;
    case InstructionEditField::amountDescription:
      form_.amountDescription = std::move(text);
      edited();
      break;
    case InstructionEditField::amountMemo:
      form_.amountMemo = std::move(text);
      edited();
      break;
  }
  updateView();
}

void EditInstructions::setSwitch(InstructionEditSwitch which, bool on) {
  if (!editing_) return;
  switch (which) {
    case InstructionEditSwitch::useDescription:
      form_.useDescription = form_.newDescriptionShown = on;
      if (on) {
        form_.newDescription = form_.match;
        form_.focus = InstructionEditField::newDescription;
      }
      break;
    case InstructionEditSwitch::useMemo:
      form_.useMemo = form_.newMemoShown = on;
      if (on) {
        form_.newMemo.clear();
        form_.focus = InstructionEditField::newMemo;
      }
      break;
    case InstructionEditSwitch::amountUseMemo:
      if (!amountDisplayed_) return;
      form_.amountUseMemo = form_.amountMemoShown = on;
      if (on) {
        form_.amountMemo.clear();
        form_.focus = InstructionEditField::amountMemo;
      }
      break;
    case InstructionEditSwitch::categoryConfirm:
      form_.categoryConfirm = on;
      break;
    case InstructionEditSwitch::extractNumber:
      form_.extractNumber = on;
      break;
    case InstructionEditSwitch::amountConfirm:
      if (!amountDisplayed_) return;
      form_.amountConfirm = on;
      break;
  }
  edited();
  updateView();
}

void EditInstructions::selectTab(InstructionEditTab tab) {
  if (tab == InstructionEditTab::amount && !amountDisplayed_) return;
  form_.selectedTab = tab;
  form_.addRemoveSplitsTitle = std::string(splitList(tab) ? kRemoveSplitsTitle : kAddSplitsTitle);
  updateView();
}

// --- splits

std::optional<Value>& EditInstructions::splitList(InstructionEditTab table) {
  return table == InstructionEditTab::amount ? amountSplits_ : splits_;
}

SplitTableForm& EditInstructions::splitForm(InstructionEditTab table) {
  return table == InstructionEditTab::amount ? form_.amountSplits : form_.splits;
}

void EditInstructions::refreshSplitForms() {
  for (InstructionEditTab table : {InstructionEditTab::regular, InstructionEditTab::amount}) {
    SplitTableForm& form = splitForm(table);
    form.rows = rowsOf(splitList(table));
    std::erase_if(form.selectedRows, [&form](std::size_t row) { return row >= form.rows.size(); });
    form.deleteButtonEnabled =
        !form.selectedRows.empty() && form.selectedRows.size() < form.rows.size();
  }
}

void EditInstructions::startEditingLastSplit(InstructionEditTab table) {
  SplitTableForm& form = splitForm(table);
  const std::size_t count = splitList(table) ? splitList(table)->size() : 0;
  if (count == 0) return;
  form.selectedRows = {count - 1};
  form.editRow = count - 1;
}

void EditInstructions::addRemoveSplits() {
  if (!editing_) return;
  const InstructionEditTab tab = form_.selectedTab;
  const bool amountTab = tab == InstructionEditTab::amount;
  std::optional<Value>& list = splitList(tab);
  bool& shown = amountTab ? form_.amountSplitsShown : form_.splitsShown;
  if (list) {
    list.reset();
    shown = false;
    splitForm(tab) = SplitTableForm{};
    form_.addRemoveSplitsTitle = std::string(kAddSplitsTitle);
  } else {
    const std::string& category = amountTab ? form_.amountCategory : form_.category;
    const bool useMemo = amountTab ? form_.amountUseMemo : form_.useMemo;
    Value first = emptySplit();
    first.set(splitKey::category, category);
    first.set(splitKey::memo, useMemo ? (amountTab ? form_.amountMemo : form_.newMemo) : "");
    if (amountTab) first.set(splitKey::amount, amountBeingEdited_);
    list = Value(Value::Array{std::move(first)});
    if (!category.empty()) list->append(emptySplit());
    shown = true;
    (amountTab ? form_.amountConfirm : form_.categoryConfirm) = true;
    form_.addRemoveSplitsTitle = std::string(kRemoveSplitsTitle);
    refreshSplitForms();
    startEditingLastSplit(tab);
  }
  // The category field is checked again, as if typed.
  if (amountTab) {
    form_.amountCategoryWarning = categoryWarning(form_.amountCategory, categories_);
  } else {
    form_.categoryWarning = categoryWarning(form_.category, categories_);
  }
  refreshSplitForms();
  edited();
  updateView();
}

void EditInstructions::addSplit(InstructionEditTab table) {
  if (!editing_ || !splitList(table)) return;
  splitList(table)->append(emptySplit());
  refreshSplitForms();
  startEditingLastSplit(table);
  refreshSplitForms();
  edited();
  updateView();
}

void EditInstructions::deleteSelectedSplit(InstructionEditTab table) {
  if (!editing_) return;
  editView_.endEditing();
  std::optional<Value>& list = splitList(table);
  SplitTableForm& form = splitForm(table);
  if (!list || form.selectedRows.empty() || form.selectedRows.size() >= list->size()) return;
  for (auto row = form.selectedRows.rbegin(); row != form.selectedRows.rend(); ++row)
    if (*row < list->size()) list->removeAt(*row);
  form.selectedRows.clear();
  if (table == InstructionEditTab::amount) {
    balanceSplitAmounts(*list, amountBeingEdited_, amountPrecision(), false, [this](Value& split) {
      reader_.normalizeQIFAmountIn(split, 0);
      split.erase(splitKey::amountAlreadyConverted);
    });
  }
  refreshSplitForms();
  edited();
  updateView();
}

void EditInstructions::tableSetCell(InstructionEditTab table, std::string_view column,
                                    std::size_t row, std::string value) {
  if (!editing_) return;
  std::optional<Value>& list = splitList(table);
  if (!list || row >= list->size()) return;
  if (column != splitKey::category && column != splitKey::memo && column != splitKey::amount)
    return;
  if (str((*list)[row], column) == value) return;
  list->mutableArray()[row].set(column, std::move(value));
  if (table == InstructionEditTab::amount && column == splitKey::amount) {
    balanceSplitAmounts(*list, amountBeingEdited_, amountPrecision(), true, [this](Value& split) {
      reader_.normalizeQIFAmountIn(split, 0);
      split.erase(splitKey::amountAlreadyConverted);
    });
  }
  if (column == splitKey::category) {
    std::optional<std::string>& warning =
        table == InstructionEditTab::amount ? form_.amountCategoryWarning : form_.categoryWarning;
    warning = categoryWarning(str((*list)[row], splitKey::category), categories_);
  }
  refreshSplitForms();
  edited();
  updateView();
}

void EditInstructions::tableSelectionChanged(InstructionEditTab table,
                                             std::vector<std::size_t> rows) {
  if (!editing_) return;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  splitForm(table).selectedRows = std::move(rows);
  refreshSplitForms();
  updateView();
}

// --- buttons

void EditInstructions::deleteAmount() {
  if (!editing_ || !amountDisplayed_) return;
  Amounts::deleteAmount(form_.amount, changedInstruction_);
  amountBeingEdited_.clear();
  displayAmountPortionOfDialog();
  edited();
  updateView();
}

void EditInstructions::save() {
  if (!editing_) return;
  editView_.endEditing();
  refreshSave();
  if (!form_.saveEnabled) {
    updateView();
    return;
  }
  buildChangedInstructionDictionary();
  // Every category must be accepted before anything is stored, so that a refusal leaves the
  // store as it was and the dialog open for correcting it.
  auto accepted = [this](const Value& splits) {
    for (const Value& split : splits.toArray())
      if (!categories_.addCategory(str(split, splitKey::category))) return false;
    return true;
  };
  if (!categories_.addCategory(form_.category) || !accepted(changedInstruction_[ik::splits]))
    return;
  for (const Value& amount : changedInstruction_[ik::amounts].toArray()) {
    if (!categories_.addCategory(str(amount, ak::amountCategory)) || !accepted(amount[ak::splits]))
      return;
  }

  if (form_.match != originalMatch_) {
    Value original = Value::dictionary();
    original.set(ik::descriptionMatch, originalMatch_);
    instructions_.removeInstruction(original);
  }
  const std::size_t position = instructions_.setInstruction(changedInstruction_);

  std::vector<std::string> used;
  if (form_.useDescription) used.push_back(form_.newDescription);
  for (const Value& amount : changedInstruction_[ik::amounts].toArray())
    used.push_back(str(amount, ak::amountDescription));
  descriptions_.addDescriptions(used);
  instructionEdited_ = false;
  finish(false, position);
}

void EditInstructions::deleteInstruction() {
  if (!editing_) return;
  Value original = Value::dictionary();
  original.set(ik::descriptionMatch, originalMatch_);
  instructions_.removeInstruction(original);
  finish(false, 0);
}

void EditInstructions::cancel() {
  if (!editing_) return;
  finish(true, 0);
}

}  // namespace corvela
