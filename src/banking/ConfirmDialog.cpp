// BankingCreditCardQIF: the confirmation dialog.
#include <chrono>
#include <ctime>
#include <utility>

#include "banking/BankingCreditCardQIF.h"
#include "banking/CategoryWarning.h"
#include "banking/RecordText.h"
#include "instructions/Amounts.h"
#include "instructions/InstructionKeys.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "platform/MessageFormat.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/TransactionKeys.h"
#include "text/Dates.h"

namespace corvela {
namespace {

namespace tk = transactionKey;

constexpr std::string_view kDefaultOutputDateFormat = "%m/%d/%Y";

// `date`, written with the strftime `pattern`, moved by `days`; none when the text cannot be
// read with the pattern as a real day.
std::optional<std::string> steppedDate(const std::string& date, const std::string& pattern,
                                       int days) {
  std::tm tm{};
  const char* end = strptime(date.c_str(), pattern.c_str(), &tm);
  if (!end || *end != '\0') return std::nullopt;
  CalendarDay day{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  // Two-digit years follow the program's own window (74 to 99 are 1974 to 1999), not the
  // C library's.
  if (pattern.find("%y") != std::string::npos && pattern.find("%Y") == std::string::npos)
    day.year = completeYear(day.year % 100);
  if (!day.isValid()) return std::nullopt;
  CalendarDay stepped = day.plusDays(days);
  if (!stepped.isValid()) return std::nullopt;
  return stepped.format(pattern);
}

}  // namespace

void BankingCreditCardQIF::showConfirm() {
  refreshSplitRows();
  openDialog_ = Dialog::confirm;
  confirmForm_.progress = progressText();
  confirmView_.show(confirmForm_);
  confirmForm_.focus.reset();
  confirmForm_.splits.editRow.reset();
}

void BankingCreditCardQIF::updateConfirm() {
  refreshSplitRows();
  confirmView_.update(confirmForm_);
  confirmForm_.focus.reset();
  confirmForm_.splits.editRow.reset();
}

std::string BankingCreditCardQIF::dateTextFor(const std::string& date) const {
  const std::string& own = str(currentTransaction(), tk::date);
  return date == own ? date : formatMessage(kWillUseDate, {own, date});
}

void BankingCreditCardQIF::beginConfirmDialog() {
  if (!running_) return;
  const Value& transaction = currentTransaction();
  const Value& instruction = instruction_;
  const bool applies = instruction.isDictionary() && instruction.size() > 0;
  const bool withSplits = splits_ && splits_->size() > 0;
  ConfirmForm& form = confirmForm_;
  form.windowTitle = std::string(kConfirmTransactionTitle);
  form.categoryWarning.reset();
  form.focus.reset();

  form.splitsShown = withSplits;
  form.splits = SplitTableForm{};
  if (withSplits) {
    form.addRemoveSplitsShown = true;
    form.addRemoveSplitsTitle = std::string(kRemoveSplitsTitle);
    // The label ends up with the verdict on the last split.
    if (!options_.isOn(option::baseSplitCategoriesOnCategories)) {
      for (const Value& split : splits_->toArray())
        form.categoryWarning = categoryWarning(str(split, splitKey::category), categories_);
    }
  } else {
    form.addRemoveSplitsShown = OutputFormats::QIFOutput({settings_.outputFormatText, {}});
    form.addRemoveSplitsTitle = std::string(kAddSplitsTitle);
  }

  // Both add actions need a description instruction to start from.
  enableAddInstruction_ = applies && has(instruction, instructionKey::descriptionMatch);
  enableAddInstructionForAmount_ = enableAddInstruction_;
  form.instructionPopUpShown = applies;

  form.categoryPrompt = options_.isOn(option::baseCategoriesOnCategories) &&
                        hasText(transaction, tk::category) && !withSplits;
  if (form.categoryPrompt) {
    form.prompt =
        formatMessage(kCategoryPrompt, {mustConfirm_ ? kConfirmAll : kConfirmWithThisCategory});
    form.inputCategory = str(transaction, tk::category);
  } else {
    form.prompt =
        formatMessage(kDescriptionPrompt, {mustConfirm_ ? kConfirmAll : kConfirmWithThisDescription,
                                           withSplits ? kPromptWithSplits : kPromptWithoutSplits});
    form.inputCategory.clear();
  }

  form.dateStepperShown = settings_.outputDate.empty();
  form.dateText =
      form.dateStepperShown
          ? changedDate_
          : formatMessage(kWillUseDate, {str(transaction, tk::date), settings_.outputDate});

  const Value* amount = transaction.find(tk::amount);
  form.amount = amount ? ShownText{amount->toString(), true} : ShownText{};
  std::optional<std::string> number = outputNumber(transaction);
  form.number = number && !number->empty() ? ShownText{*number, true} : ShownText{};

  if (changedDescription_) {
    form.descriptionText = *changedDescription_;
  } else if (has(transaction, tk::description)) {
    form.descriptionText = str(transaction, tk::description);
  }

  const Value* newMemo = instruction.find(instructionKey::newMemo);
  if (const Value* memo = transaction.find(tk::memo)) {
    form.memo = ShownText{memo->toString(), true};
    form.confirmedMemo = newMemo ? newMemo->toString() : memo->toString();
  } else {
    form.memo = ShownText{};
    form.confirmedMemo = newMemo ? newMemo->toString() : std::string();
  }

  const std::string& typedOrOwn =
      changedDescription_ ? *changedDescription_ : str(transaction, tk::description);
  std::optional<Value> rule;
  if (applies && amount) rule = Amounts::amountMatching(amount->toString(), instruction);
  if (rule) {
    form.confirmedDescription = str(*rule, amountKey::amountDescription);
    form.confirmedCategory = str(*rule, amountKey::amountCategory);
    enableAddInstructionForAmount_ = false;
    if (const Value* memo = rule->find(amountKey::amountMemo))
      form.confirmedMemo = memo->toString();
  } else if (applies) {
    form.confirmedCategory = str(instruction, instructionKey::category);
    const Value* newDescription = instruction.find(instructionKey::newDescription);
    form.confirmedDescription = newDescription ? newDescription->toString() : typedOrOwn;
  } else {
    form.confirmedDescription = typedOrOwn;
    form.confirmedCategory = str(transaction, tk::category);
    if (has(transaction, tk::category))
      form.categoryWarning = categoryWarning(form.confirmedCategory, categories_);
  }
  form.instructionPopUpMenuItems = {
      {std::string(kInstructionPopUpTitle), true},
      {std::string(kAddNewInstructionForThisTransaction), enableAddInstruction_},
      {std::string(kAddNewInstructionForThisAmount), enableAddInstructionForAmount_}};
  if (instructionEditor_ && applies)
    form.instructionPopUpMenuItems.push_back({std::string(kEditThisInstruction), true});

  confirmedDescriptionTextBeforeUserConfirmation_ = form.confirmedDescription;
  form.backButtonShown = backButtonShown_;
  form.backButtonEnabled = backButtonEnabled_;
  form.amountNumberFormat = confirmAmountNumberFormat_;
  form.amountDecimalSeparator = options_.isOn(option::outputEuropeanAmounts) ? "," : ".";
  categoryComboboxCellBeingEdited_ = false;
  showConfirm();
}

bool BankingCreditCardQIF::addCategoriesForSplits(const Value& splits) {
  for (const Value& split : splits.toArray()) {
    if (!categories_.addCategory(str(split, splitKey::category))) return false;
  }
  return true;
}

void BankingCreditCardQIF::confirmOK() {
  if (!confirmOpen() || !endEditingKeepsTransaction()) return;
  const ConfirmForm& form = confirmForm_;
  const bool withSplits = splits_ && splits_->size() > 0;
  // Splits are written only when they add up to the amount written; the form says what is
  // left while they do not.
  if (withSplits && confirmRemainder().value_or(0) != 0) return;
  const bool accepted = withSplits ? addCategoriesForSplits(*splits_)
                                   : categories_.addCategory(form.confirmedCategory);
  if (!accepted) return;

  const Value& transaction = currentTransaction();
  BankCCOutput confirmed;
  confirmed.date = changedDate_;
  confirmed.description = form.confirmedDescription;
  confirmed.memo = form.confirmedMemo;
  if (form.amount.shown) confirmed.amount = form.amount.text;
  confirmed.number = form.number.text;
  confirmed.category = form.confirmedCategory;
  confirmed.cleared = clearedMark(transaction);
  confirmed.splits = splits_;
  output(confirmed);
  descriptions_.addDescription(form.confirmedDescription);
  markTreatment(kConfirmed);
  advanceAfterOutput();
}

void BankingCreditCardQIF::stepDate(int days) {
  if (!confirmOpen() || !confirmForm_.dateStepperShown || days == 0) return;
  const Value& stored = prefs_.objectForKey(prefKey::OutputDateFormat);
  const std::string pattern = stored.isString() && !stored.toString().empty()
                                  ? stored.toString()
                                  : std::string(kDefaultOutputDateFormat);
  std::optional<std::string> stepped = steppedDate(changedDate_, pattern, days);
  if (!stepped) return;
  changedDate_ = std::move(*stepped);
  confirmForm_.dateText = dateTextFor(changedDate_);
  updateConfirm();
}

void BankingCreditCardQIF::swapDescriptionAndMemo() {
  if (!confirmOpen()) return;
  doSwap_ = true;
  // The swapped description is the one matched now, not one typed before the swap.
  changedDescription_.reset();
  processCurrentInstructionAndLoop(false);
}

void BankingCreditCardQIF::confirmDescriptionTextChanged() {
  if (!confirmOpen() || !options_.isOn(option::updateCategoryWhenDescriptionChanged)) return;
  const std::string typed = confirmForm_.confirmedDescription;
  // The proposal left as it was shown is no description of the person's: matching it later
  // (when the transaction is processed again for a split or a swap) could lose the instruction.
  if (typed == confirmedDescriptionTextBeforeUserConfirmation_) return;
  if (typed.empty()) {
    changedDescription_.reset();
  } else {
    changedDescription_ = typed;
  }
  processCurrentInstructionAndLoop(false);
}

void BankingCreditCardQIF::confirmAddInstruction() { openNewInstructionFromConfirm(false); }

void BankingCreditCardQIF::confirmAddInstructionForAmount() { openNewInstructionFromConfirm(true); }

void BankingCreditCardQIF::openNewInstructionFromConfirm(bool newAmountForInstruction) {
  if (!confirmOpen()) return;
  if (!(newAmountForInstruction ? enableAddInstructionForAmount_ : enableAddInstruction_)) return;
  if (!endEditingKeepsTransaction()) return;
  // The splits edited in the confirmation dialog give way to those of the new instruction.
  currentRecord().erase(tk::userSplits);
  cancelReturnsToConfirm_ = true;
  const Value& current = currentTransaction();
  addNewInstructionForAmount(optionalString(current, tk::amount),
                             std::string(kAddInstructionPrompt), newAmountForInstruction,
                             str(current, tk::description), std::nullopt);
}

void BankingCreditCardQIF::confirmEditInstruction() {
  if (!confirmOpen() || !instructionEditor_ || instruction_.size() == 0) return;
  if (!endEditingKeepsTransaction()) return;
  currentRecord().erase(tk::userSplits);
  const std::uint64_t serial = transactionSerial_;
  instructionEditor_->beginEditingInstruction(instruction_, confirmForm_.descriptionText,
                                              [this, serial](bool cancelled, std::size_t) {
                                                // The run may have ended, or moved on, while the
                                                // editor was open.
                                                if (!confirmOpen() || transactionSerial_ != serial)
                                                  return;
                                                processCurrentInstructionAndLoop(cancelled);
                                              });
}

bool BankingCreditCardQIF::validateMenuItem(std::string_view title) const {
  if (title == kAddNewInstructionForThisTransaction) return enableAddInstruction_;
  if (title == kAddNewInstructionForThisAmount) return enableAddInstructionForAmount_;
  return true;
}

}  // namespace corvela
