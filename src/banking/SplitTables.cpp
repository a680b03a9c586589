// BankingCreditCardQIF: the three split tables, their actions and the balancing of amounts.
#include <algorithm>
#include <utility>

#include "banking/BankingCreditCardQIF.h"
#include "banking/CategoryWarning.h"
#include "banking/DecimalAmount.h"
#include "banking/SplitBalance.h"
#include "lists/Categories.h"
#include "platform/MessageFormat.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"

namespace corvela {
namespace {

namespace tk = transactionKey;

// Amounts are computed with this many decimals when the store does not say.
constexpr int kDefaultAmountsPrecision = 2;

// The number formats of the amount fields for 2 to 6 decimals.
constexpr std::string_view kAmountNumberFormats[] = {
    "#,###.00;0.00;-#,##0.00", "#,###.000;0.000;-#,##0.000", "#,###.0000;0.0000;-#,##0.0000",
    "#,###.00000;0.00000;-#,##0.00000", "#,###.000000;0.000000;-#,##0.000000"};
constexpr int kFirstFormatPrecision = 2;

bool isSplitColumn(std::string_view column) {
  return column == splitKey::category || column == splitKey::memo || column == splitKey::amount;
}

std::vector<SplitRow> rowsOf(const std::optional<Value>& list) {
  std::vector<SplitRow> rows;
  if (!list) return rows;
  for (const Value& split : list->toArray()) {
    rows.push_back(SplitRow{str(split, splitKey::category), str(split, splitKey::memo),
                            str(split, splitKey::amount)});
  }
  return rows;
}

void refreshTable(SplitTableForm& form, const std::optional<Value>& list) {
  form.rows = rowsOf(list);
  std::erase_if(form.selectedRows, [&](std::size_t row) { return row >= form.rows.size(); });
  form.deleteButtonEnabled =
      !form.selectedRows.empty() && form.selectedRows.size() < form.rows.size();
}

}  // namespace

// --- number formats

void BankingCreditCardQIF::setFormatters() {
  const Value& stored = prefs_.objectForKey(prefKey::bccAmountsPrecision);
  amountPrecision_ = stored.isNumber()
                         ? static_cast<int>(std::clamp<std::int64_t>(
                               stored.toInt(), kMinDecimalPrecision, kMaxDecimalPrecision))
                         : kDefaultAmountsPrecision;
  const int precision = static_cast<int>(stored.isNumber() ? stored.toInt() : amountPrecision_);
  setPrecision(precision, AmountField::newInstructionAmount);
  setPrecision(precision, AmountField::confirmAmount);
}

void BankingCreditCardQIF::setPrecision(int precision, AmountField field) {
  const int index = precision - kFirstFormatPrecision;
  if (index < 0 || index >= static_cast<int>(std::size(kAmountNumberFormats))) return;
  std::string& format = field == AmountField::confirmAmount ? confirmAmountNumberFormat_
                                                            : newInstructionAmountNumberFormat_;
  format = std::string(kAmountNumberFormats[index]);
}

// --- the tables

std::optional<Value>& BankingCreditCardQIF::splitList(SplitTable table) {
  switch (table) {
    case SplitTable::confirm:
      return splits_;
    case SplitTable::instruction:
      return instructionSplits_;
    case SplitTable::amountInstruction:
      break;
  }
  return amountSplits_;
}

const std::optional<Value>& BankingCreditCardQIF::splitList(SplitTable table) const {
  return const_cast<BankingCreditCardQIF*>(this)->splitList(table);
}

SplitTableForm& BankingCreditCardQIF::splitForm(SplitTable table) {
  switch (table) {
    case SplitTable::confirm:
      return confirmForm_.splits;
    case SplitTable::instruction:
      return newInstructionForm_.instructionSplits;
    case SplitTable::amountInstruction:
      break;
  }
  return newInstructionForm_.amountSplits;
}

bool BankingCreditCardQIF::tableOpen(SplitTable table) const {
  return table == SplitTable::confirm ? confirmOpen() : newInstructionOpen();
}

void BankingCreditCardQIF::refreshSplitRows() {
  refreshTable(confirmForm_.splits, splits_);
  showRemainder();
  refreshTable(newInstructionForm_.instructionSplits, instructionSplits_);
  refreshTable(newInstructionForm_.amountSplits, amountSplits_);
}

void BankingCreditCardQIF::afterSplitChange(SplitTable table) {
  if (table == SplitTable::confirm) {
    keepTransactionSplits();
    updateConfirm();
  } else {
    updateNewInstruction();
  }
}

void BankingCreditCardQIF::keepTransactionSplits() {
  if (!running_) return;
  Value& transaction = currentRecord();
  if (!has(transaction, tk::userSplits)) return;
  if (splits_ && splits_->size() > 0) {
    transaction.set(tk::splits, *splits_);
  } else {
    transaction.erase(tk::splits);
  }
}

std::size_t BankingCreditCardQIF::numberOfRowsInTableView(SplitTable table) const {
  const std::optional<Value>& list = splitList(table);
  return list ? list->size() : 0;
}

std::optional<std::string> BankingCreditCardQIF::tableViewObjectValue(SplitTable table,
                                                                      std::string_view column,
                                                                      std::size_t row) const {
  const std::optional<Value>& list = splitList(table);
  if (!list || row >= list->size() || !isSplitColumn(column)) return std::nullopt;
  return str((*list)[row], column);
}

void BankingCreditCardQIF::tableViewSetObjectValue(SplitTable table, std::string_view column,
                                                   std::size_t row,
                                                   std::optional<std::string> value) {
  if (!tableOpen(table) || !value || !isSplitColumn(column)) return;
  std::optional<Value>& list = splitList(table);
  if (!list || row >= list->size()) return;
  Value& split = list->mutableArray()[row];
  split.set(column, std::move(*value));
  if (column == splitKey::category) categoryComboboxCellBeingEdited_ = false;
  if (column == splitKey::amount) {
    // Typed as it is to be output: processing the transaction again must not convert it.
    split.set(splitKey::amountAlreadyConverted, true);
    if (table != SplitTable::instruction) balanceSplits(table, true);
  }
  afterSplitChange(table);
}

bool BankingCreditCardQIF::tableViewShouldEditTableColumn(SplitTable, std::string_view column,
                                                          std::size_t) {
  if (column == splitKey::category) {
    categoryComboboxCellBeingEdited_ = true;
    categories_.comboBoxEntered();
  }
  return true;
}

void BankingCreditCardQIF::tableViewSelectionDidChange(SplitTable table,
                                                       std::vector<std::size_t> selectedRows) {
  if (!tableOpen(table)) return;
  std::sort(selectedRows.begin(), selectedRows.end());
  selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
  splitForm(table).selectedRows = std::move(selectedRows);
  afterSplitChange(table);
}

void BankingCreditCardQIF::finishSplitsTable(SplitTable table) {
  const std::size_t count = numberOfRowsInTableView(table);
  if (count == 0) return;
  SplitTableForm& form = splitForm(table);
  form.selectedRows = {count - 1};
  form.editRow = count - 1;
  categoryComboboxCellBeingEdited_ = true;
}

bool BankingCreditCardQIF::deleteSelectedRows(SplitTable table) {
  std::optional<Value>& list = splitList(table);
  SplitTableForm& form = splitForm(table);
  // Every row selected: the delete button is disabled, a split list never ends up empty here.
  if (!list || form.selectedRows.empty() || form.selectedRows.size() >= list->size()) return false;
  for (auto row = form.selectedRows.rbegin(); row != form.selectedRows.rend(); ++row) {
    if (*row < list->size()) list->removeAt(*row);
  }
  form.selectedRows.clear();
  return true;
}

// --- balancing

bool BankingCreditCardQIF::balanceSplits(SplitTable table, bool canCreate) {
  if (table == SplitTable::instruction || !tableOpen(table)) return false;
  std::optional<Value>& list = splitList(table);
  if (!list || !has(currentTransaction(), tk::amount)) return false;
  // Into output form (European notation when asked); the sign is already the output's.
  return balanceSplitAmounts(*list, splitTotal(table), amountPrecision_, canCreate,
                             [this](Value& split) { reader_.normalizeQIFAmountIn(split, 0); });
}

std::string BankingCreditCardQIF::splitTotal(SplitTable table) const {
  // The confirmation outputs the amount its field holds, which the person may have changed.
  if (table == SplitTable::confirm && confirmForm_.amount.shown) return confirmForm_.amount.text;
  return str(currentTransaction(), tk::amount);
}

std::optional<std::int64_t> BankingCreditCardQIF::confirmRemainder() const {
  if (!splits_ || splits_->size() == 0 || !running_ || !has(currentTransaction(), tk::amount))
    return std::nullopt;
  const int precision = amountPrecision_;
  std::optional<std::int64_t> rest =
      readDecimalAmount(convertEuropeanAmount(splitTotal(SplitTable::confirm)), precision);
  for (const Value& split : splits_->toArray()) {
    if (!rest) break;
    std::optional<std::int64_t> amount =
        readDecimalAmount(convertEuropeanAmount(str(split, splitKey::amount)), precision);
    if (!amount || __builtin_sub_overflow(*rest, *amount, &*rest)) rest.reset();
  }
  return rest;
}

void BankingCreditCardQIF::showRemainder() {
  ConfirmForm& form = confirmForm_;
  std::optional<std::int64_t> rest = confirmRemainder();
  form.splitRemainder = ShownText{};
  form.splitsDoNotAddUp.reset();
  if (!rest) return;
  std::string text = writeDecimalAmount(*rest, amountPrecision_);
  if (options_.isOn(option::outputEuropeanAmounts))
    std::replace(text.begin(), text.end(), '.', ',');
  form.splitRemainder = ShownText{formatMessage(kSplitRemainder, {text}), true};
  if (*rest != 0) form.splitsDoNotAddUp = std::string(kSplitsDoNotAddUp);
}

void BankingCreditCardQIF::adjustSplitAmountsCanCreate(SplitTable table, bool canCreate) {
  if (balanceSplits(table, canCreate)) afterSplitChange(table);
}

// --- the confirmation dialog's splits

void BankingCreditCardQIF::addRemoveSplits() {
  if (!confirmOpen()) return;
  ConfirmForm& form = confirmForm_;
  savedConfirmedDescription_ = form.confirmedDescription;
  savedConfirmedMemo_ = form.confirmedMemo;
  savedConfirmedCategory_ = form.confirmedCategory;
  const std::size_t index = currentTransactionIndex_;
  const bool removing = splits_ && splits_->size() > 0;
  Value& transaction = currentRecord();
  if (removing) {
    transaction.erase(tk::splits);
    splits_.reset();
  } else {
    Value split = emptySplit();
    split.set(splitKey::category, savedConfirmedCategory_);
    split.set(splitKey::memo, savedConfirmedMemo_);
    split.set(splitKey::amount, str(transaction, tk::amount));
    if (transaction[tk::amountAlreadyConverted].toBool())
      split.set(splitKey::amountAlreadyConverted, true);
    transaction.set(tk::splits, Value(Value::Array{std::move(split)}));
  }
  transaction.set(tk::userSplits, true);
  form.splits = SplitTableForm{};
  processCurrentInstructionAndLoop(false);

  // Processing it again may have opened another dialog or output it.
  if (!confirmOpen() || currentTransactionIndex_ != index) return;
  if (!removing && splits_) {
    if (!savedConfirmedCategory_.empty()) splits_->append(emptySplit());
    finishSplitsTable(SplitTable::confirm);
    keepTransactionSplits();
  }
  form.confirmedDescription = savedConfirmedDescription_;
  form.confirmedMemo = savedConfirmedMemo_;
  form.confirmedCategory = savedConfirmedCategory_;
  updateConfirm();
}

void BankingCreditCardQIF::addSplit() {
  if (!confirmOpen()) return;
  if (!splits_) splits_ = Value::array();
  splits_->append(emptySplit());
  finishSplitsTable(SplitTable::confirm);
  afterSplitChange(SplitTable::confirm);
}

void BankingCreditCardQIF::deleteSelectedSplit() {
  if (!confirmOpen() || !endEditingKeepsTransaction()) return;
  if (!deleteSelectedRows(SplitTable::confirm)) return;
  balanceSplits(SplitTable::confirm, false);
  afterSplitChange(SplitTable::confirm);
}

// --- the new-instruction dialog's splits

void BankingCreditCardQIF::addInstructionSplits(InstructionTab tab) {
  NewInstructionForm& form = newInstructionForm_;
  const Value& transaction = currentTransaction();
  const bool instructionTab = tab == InstructionTab::instruction;
  const SplitTable table = instructionTab ? SplitTable::instruction : SplitTable::amountInstruction;
  Value split = emptySplit();
  if (instructionTab) {
    form.instructionSplitsShown = true;
    form.categoryConfirm = true;
    split.set(splitKey::category, form.category);
    split.set(splitKey::memo, form.useMemo ? form.newMemo : str(transaction, tk::memo));
    form.categoryWarning.reset();
  } else {
    form.amountSplitsShown = true;
    form.amountConfirm = true;
    split.set(splitKey::category, form.amountCategory);
    split.set(splitKey::memo, form.amountUseMemo ? form.amountMemo : str(transaction, tk::memo));
    form.amountCategoryWarning.reset();
  }
  const bool categoryGiven = !str(split, splitKey::category).empty();
  Value list = Value(Value::Array{std::move(split)});
  if (categoryGiven) list.append(emptySplit());
  splitList(table) = std::move(list);
  form.addRemoveSplitsTitle = std::string(kRemoveSplitsTitle);
  finishSplitsTable(table);
}

void BankingCreditCardQIF::instructionAddRemoveSplits() {
  if (!newInstructionOpen()) return;
  NewInstructionForm& form = newInstructionForm_;
  const bool instructionTab = form.selectedTab == InstructionTab::instruction;
  const SplitTable table = instructionTab ? SplitTable::instruction : SplitTable::amountInstruction;
  if (!splitList(table)) {
    addInstructionSplits(form.selectedTab);
  } else {
    splitList(table).reset();
    splitForm(table) = SplitTableForm{};
    form.addRemoveSplitsTitle = std::string(kAddSplitsTitle);
    if (instructionTab) {
      form.instructionSplitsShown = false;
      form.categoryWarning = categoryWarning(form.category, categories_);
    } else {
      form.amountSplitsShown = false;
      form.amountCategoryWarning = categoryWarning(form.amountCategory, categories_);
    }
  }
  updateNewInstruction();
}

void BankingCreditCardQIF::instructionAddSplit() {
  if (!newInstructionOpen() || !instructionSplits_) return;
  instructionSplits_->append(emptySplit());
  finishSplitsTable(SplitTable::instruction);
  updateNewInstruction();
}

void BankingCreditCardQIF::amountInstructionAddSplit() {
  if (!newInstructionOpen() || !amountSplits_) return;
  amountSplits_->append(emptySplit());
  finishSplitsTable(SplitTable::amountInstruction);
  updateNewInstruction();
}

void BankingCreditCardQIF::instructionDeleteSelectedSplit() {
  if (!newInstructionOpen() || !endEditingKeepsTransaction()) return;
  if (deleteSelectedRows(SplitTable::instruction)) updateNewInstruction();
}

void BankingCreditCardQIF::amountInstructionDeleteSelectedSplit() {
  if (!newInstructionOpen() || !endEditingKeepsTransaction()) return;
  if (!deleteSelectedRows(SplitTable::amountInstruction)) return;
  // What the deleted splits held goes back to the first, as in the confirmation table: the
  // amount instruction's splits must keep adding up to the amount.
  balanceSplits(SplitTable::amountInstruction, false);
  updateNewInstruction();
}

}  // namespace corvela
