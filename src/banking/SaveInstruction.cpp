// BankingCreditCardQIF: saving what the new-instruction dialog taught.
#include <utility>

#include "banking/BankingCreditCardQIF.h"
#include "banking/RecordText.h"
#include "instructions/Amounts.h"
#include "instructions/InstructionKeys.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "platform/MessageFormat.h"
#include "platform/Platform.h"
#include "readers/TransactionKeys.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

// The split records as an instruction keeps them: category, memo and amount only.
Value storedSplits(const Value& splits) {
  Value stored = Value::array();
  for (const Value& split : splits.toArray()) {
    stored.append(Value{{std::string(splitKey::category), str(split, splitKey::category)},
                        {std::string(splitKey::memo), str(split, splitKey::memo)},
                        {std::string(splitKey::amount), str(split, splitKey::amount)}});
  }
  return stored;
}

void setOrErase(Value& record, std::string_view key, bool on, std::string_view value) {
  if (on) {
    record.set(key, value);
  } else {
    record.erase(key);
  }
}

bool nonEmpty(const std::optional<Value>& splits) { return splits && splits->size() > 0; }

}  // namespace

std::optional<Value> BankingCreditCardQIF::newInstructionRecord() {
  const NewInstructionForm& form = newInstructionForm_;
  // Built on the instruction that applied, so that its amount instructions stay with it.
  Value record = instruction_.isDictionary() ? instruction_ : Value::dictionary();

  if (nonEmpty(instructionSplits_)) {
    if (!addCategoriesForSplits(*instructionSplits_)) return std::nullopt;
    record.set(instructionKey::splits, storedSplits(*instructionSplits_));
  } else {
    record.erase(instructionKey::splits);
  }

  if (newInstructionForCategory_) {
    record.set(instructionKey::categoryMatch, *newInstructionForCategory_);
    record.erase(instructionKey::descriptionMatch);
  } else {
    record.set(instructionKey::descriptionMatch, form.descriptionMatchText);
    record.erase(instructionKey::categoryMatch);
  }
  setOrErase(record, instructionKey::newDescription, form.useDescription, form.newDescription);
  setOrErase(record, instructionKey::newMemo, form.useMemo, form.newMemo);
  record.set(instructionKey::category, form.category);
  setOrErase(record, instructionKey::categoryConfirm, form.categoryConfirm, kYes);
  setOrErase(record, instructionKey::number, form.extractNumber, kYes);

  if (form.amountSwitch) {
    Value amount = Value::dictionary();
    amount.set(amountKey::amount, newInstructionAmount_.value_or(""));
    amount.set(amountKey::amountDescription, form.amountDescription);
    amount.set(amountKey::amountCategory, form.amountCategory);
    if (form.amountUseMemo) amount.set(amountKey::amountMemo, form.amountMemo);
    if (form.amountConfirm) amount.set(amountKey::amountConfirm, kYes);
    if (nonEmpty(amountSplits_)) {
      if (!addCategoriesForSplits(*amountSplits_)) return std::nullopt;
      amount.set(amountKey::splits, storedSplits(*amountSplits_));
    }
    Amounts::setAmount(amount, record);
  }

  if (!categories_.addCategory(form.category)) return std::nullopt;
  if (form.useDescription) descriptions_.addDescription(form.newDescription);
  if (form.amountSwitch) {
    if (!categories_.addCategory(form.amountCategory)) return std::nullopt;
    descriptions_.addDescription(form.amountDescription);
  }
  return record;
}

void BankingCreditCardQIF::saveNewInstruction() {
  if (!newInstructionOpen() || !endEditingKeepsTransaction()) return;
  std::optional<Value> record = newInstructionRecord();
  if (!record) return;

  // Only a stored instruction of the same match text (ignoring case) is replaced, so only then
  // is the person asked; not when it is the very instruction an amount instruction is being
  // added to.
  const std::string match = matchString(*record);
  const bool extending = newInstructionForm_.amountSwitch && instruction_.size() > 0 &&
                         equalsIgnoringCase(matchString(instruction_), match);
  if (!extending && instructions_.instructionFor(match)) {
    Alert question{std::string(kReplaceTitle),
                   formatMessage(kReplaceText, {match, match}),
                   {std::string(kYesButton), std::string(kNoButton)}};
    if (platform_.runAlert(question) != 0) return;
  }
  saveNewInstruction(std::move(*record));
}

void BankingCreditCardQIF::saveNewInstruction(Value record) {
  instructions_.setInstruction(record);
  extractedCheckNumber_.reset();
  cancelReturnsToConfirm_ = false;
  if (doingInvestmentBankingTransaction_) {
    finishInvestmentBankingTransaction().processTransaction(false);
    return;
  }
  ++instructionsTaught_;
  processCurrentInstructionAndLoop(false);
}

}  // namespace corvela
