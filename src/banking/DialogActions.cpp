// The dialogs' buttons and the end of a run.
#include <cstdint>
#include <utility>

#include "app/CancelConfirm.h"
#include "banking/BankingCreditCardQIF.h"
#include "banking/ContinuationKeys.h"
#include "instructions/Instructions.h"
#include "readers/TransactionKeys.h"

namespace corvela {

namespace tk = transactionKey;

// --- ending a run

Value BankingCreditCardQIF::continuationDictionary() const {
  Value continuation = Value::dictionary();
  continuation.set(continuationKey::qif, qif_);
  continuation.set(continuationKey::fileAsString, *fileAsString_);
  continuation.set(continuationKey::currentTransactionIndex,
                   static_cast<long long>(currentTransactionIndex_));
  continuation.set(continuationKey::numberOfTransactionsAppended, numberOfTransactionsAppended_);
  continuation.set(continuationKey::outputFormatText, settings_.outputFormatText);
  continuation.set(continuationKey::sameDateSwitch, settings_.sameDateSwitch);
  continuation.set(continuationKey::sameNumberSwitch, settings_.sameNumberSwitch);
  continuation.set(continuationKey::outputDateString, settings_.outputDateString);
  continuation.set(continuationKey::outputNumberString, settings_.outputNumberString);
  continuation.set(continuationKey::account, settings_.account);
  return continuation;
}

void BankingCreditCardQIF::endRun(int count, std::optional<Value> continuation) {
  running_ = false;
  openDialog_ = Dialog::none;
  qif_ = Value::array();
  currentTransactionIndex_ = 0;
  maxTransactionIndex_ = 0;
  instruction_ = Value::dictionary();
  splits_.reset();
  extractedCheckNumber_.reset();
  fileAsString_ = nullptr;
  // Taken out first: the callback may start the next run.
  DidEnd didEnd = std::move(didEnd_);
  didEnd_ = nullptr;
  if (didEnd) didEnd(count, std::move(continuation));
}

void BankingCreditCardQIF::endEditingInDialog() {
  if (openDialog_ == Dialog::confirm) confirmView_.endEditing();
  if (openDialog_ == Dialog::newInstruction) newInstructionView_.endEditing();
}

// --- actions

void BankingCreditCardQIF::skipTransaction() {
  if (!running_) return;
  ++currentTransactionIndex_;
  extractedCheckNumber_.reset();
  cancelReturnsToConfirm_ = false;
  startNewTransaction(false);
}

void BankingCreditCardQIF::skipRemaining() {
  if (!running_) return;
  endRun(numberOfTransactionsAppended_, std::nullopt);
}

void BankingCreditCardQIF::back() {
  if (!running_ || currentTransactionIndex_ == 0) return;
  Value& current = currentRecord();
  // Where the previous transaction's output ends: this transaction's mark, or the end of the
  // buffer when it has none.
  std::int64_t end = static_cast<std::int64_t>(fileAsString_->size());
  if (const Value* mark = current.find(tk::outputLength)) end = mark->toInt();
  current.erase(tk::outputLength);
  --currentTransactionIndex_;
  // The count goes down only when the transaction gone back to left output in the buffer: one
  // that was skipped (or was unreadable) wrote nothing, and counting it off would make the run
  // report fewer transactions than it writes, or none at all.
  const Value* previous = currentTransaction().find(tk::outputLength);
  if (previous && previous->toInt() < end && numberOfTransactionsAppended_ > 0)
    --numberOfTransactionsAppended_;
  cancelReturnsToConfirm_ = false;
  startNewTransaction(false);
}

void BankingCreditCardQIF::cancel() {
  if (!running_) return;
  endEditingInDialog();
  if (cancelReturnsToConfirm_) {
    cancelReturnsToConfirm_ = false;
    processCurrentInstructionAndLoop(true);
    return;
  }
  switch (cancelConfirm_.cancelConfirm()) {
    case CancelConfirm::stop:
      endRun(0, std::nullopt);
      break;
    case CancelConfirm::finishLater:
      endRun(0, continuationDictionary());
      break;
    case CancelConfirm::finishNow:
      break;
  }
}

void BankingCreditCardQIF::confirmOK() {
  if (!running_ || openDialog_ != Dialog::confirm) return;
  confirmView_.endEditing();
  output(proposal_);
  ++currentTransactionIndex_;
  ++numberOfTransactionsAppended_;
  extractedCheckNumber_.reset();
  startNewTransaction(false);
}

void BankingCreditCardQIF::swapDescriptionAndMemo() {
  if (!running_ || openDialog_ != Dialog::confirm) return;
  doSwap_ = true;
  processCurrentInstructionAndLoop(false);
}

void BankingCreditCardQIF::confirmAddInstruction() { openNewInstructionFromConfirm(false); }

void BankingCreditCardQIF::confirmAddInstructionForAmount() { openNewInstructionFromConfirm(true); }

void BankingCreditCardQIF::openNewInstructionFromConfirm(bool newAmountForInstruction) {
  if (!running_ || openDialog_ != Dialog::confirm) return;
  Value& transaction = currentRecord();
  // The splits edited in the confirmation dialog give way to those of the new instruction.
  transaction.erase(tk::userSplits);
  confirmView_.endEditing();
  cancelReturnsToConfirm_ = true;
  std::optional<std::string> amount;
  if (const Value* given = transaction.find(tk::amount)) amount = given->toString();
  addNewInstructionForAmount(std::move(amount), std::string(kAddInstructionPrompt),
                             newAmountForInstruction, str(transaction, tk::description),
                             std::nullopt);
}

void BankingCreditCardQIF::saveNewInstruction(const Value& instruction) {
  if (!running_ || openDialog_ != Dialog::newInstruction) return;
  instructions_.setInstruction(instruction);
  extractedCheckNumber_.reset();
  cancelReturnsToConfirm_ = false;
  processCurrentInstructionAndLoop(false);
}

}  // namespace corvela
