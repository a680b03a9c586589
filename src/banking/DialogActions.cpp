// BankingCreditCardQIF: the buttons of its dialogs and the end of a run.
#include <cstdint>
#include <utility>

#include "banking/BankingCreditCardQIF.h"
#include "banking/ContinuationKeys.h"
#include "banking/RecordText.h"
#include "instructions/Instructions.h"
#include "platform/Platform.h"
#include "prefs/CancelConfirm.h"
#include "readers/TransactionKeys.h"

namespace corvela {

namespace tk = transactionKey;

// --- ending a run

Value BankingCreditCardQIF::continuationDictionary() const {
  Value continuation = Value::dictionary();
  continuation.set(continuationKey::qif, qif_.toValue());
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

std::string BankingCreditCardQIF::progressText() const {
  // A banking line of an investment statement is no step of a bank run.
  if (doingInvestmentBankingTransaction_ || !running_ || maxTransactionIndex_ == 0) return {};
  return "Transaction " + std::to_string(currentTransactionIndex_ + 1) + " of " +
         std::to_string(maxTransactionIndex_);
}

void BankingCreditCardQIF::markTreatment(unsigned char treatment) {
  if (currentTransactionIndex_ < treatments_.size())
    treatments_[currentTransactionIndex_] |= treatment;
}

void BankingCreditCardQIF::collectMatches() {
  matches_.clear();
  // Without going back, the matches were made in run order, each once: they are the list.
  bool inOrder = true;
  std::size_t seen = 0;
  for (std::uint32_t slot : matched_) {
    if (slot == kNoMatch) continue;
    inOrder = inOrder && slot == seen;
    ++seen;
  }
  if (inOrder && seen == matchesMade_.size()) {
    matches_ = std::move(matchesMade_);
  } else {
    matches_.reserve(seen);
    for (std::uint32_t slot : matched_)
      if (slot != kNoMatch) matches_.push_back(matchesMade_[slot]);
  }
  matched_.clear();
  matchesMade_.clear();
}

void BankingCreditCardQIF::endRun(int count, std::optional<Value> continuation,
                                  int leftUnprocessed) {
  tally_ = RunTally{};
  tally_.written = count;
  tally_.leftUnprocessed = leftUnprocessed;
  tally_.taught = instructionsTaught_;
  for (unsigned char treatment : treatments_) {
    // A run that writes nothing (the person stopped it) confirmed nothing into a file.
    tally_.confirmed += (count > 0 && (treatment & kConfirmed)) ? 1 : 0;
    tally_.skipped += (treatment & kSkipped) ? 1 : 0;
  }
  treatments_.clear();
  // The transactions go first: they are the bulk of what a run holds.
  qif_ = RecordList();
  feed_ = RunFeed();
  windowStart_ = 0;
  collectMatches();
  if (showingProgress_) platform_.showProgress(maxTransactionIndex_, maxTransactionIndex_);
  showingProgress_ = false;
  running_ = false;
  openDialog_ = Dialog::none;
  currentTransactionIndex_ = 0;
  maxTransactionIndex_ = 0;
  instruction_ = Value::dictionary();
  splits_.reset();
  instructionSplits_.reset();
  amountSplits_.reset();
  extractedCheckNumber_.reset();
  cancelReturnsToConfirm_ = false;
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

bool BankingCreditCardQIF::endEditingKeepsTransaction() {
  const std::uint64_t serial = transactionSerial_;
  const Dialog dialog = openDialog_;
  endEditingInDialog();
  return transactionSerial_ == serial && openDialog_ == dialog &&
         (running_ || doingInvestmentBankingTransaction_);
}

bool BankingCreditCardQIF::confirmOpen() const {
  return running_ && openDialog_ == Dialog::confirm;
}

bool BankingCreditCardQIF::newInstructionOpen() const {
  return (running_ || doingInvestmentBankingTransaction_) && openDialog_ == Dialog::newInstruction;
}

InvestmentBankingDelegate& BankingCreditCardQIF::finishInvestmentBankingTransaction() {
  InvestmentBankingDelegate& delegate = *investmentDelegate_;
  doingInvestmentBankingTransaction_ = false;
  investmentDelegate_ = nullptr;
  openDialog_ = Dialog::none;
  qif_ = RecordList();
  currentTransactionIndex_ = 0;
  maxTransactionIndex_ = 0;
  instruction_ = Value::dictionary();
  instructionSplits_.reset();
  amountSplits_.reset();
  extractedCheckNumber_.reset();
  return delegate;
}

void BankingCreditCardQIF::advanceAfterOutput() {
  ++currentTransactionIndex_;
  ++numberOfTransactionsAppended_;
  extractedCheckNumber_.reset();
  startNewTransaction(false);
}

// --- actions

void BankingCreditCardQIF::skipTransaction() {
  if (doingInvestmentBankingTransaction_) {
    finishInvestmentBankingTransaction().skipTransaction();
    return;
  }
  if (!running_) return;
  markTreatment(kSkipped);
  ++currentTransactionIndex_;
  extractedCheckNumber_.reset();
  cancelReturnsToConfirm_ = false;
  startNewTransaction(false);
}

void BankingCreditCardQIF::skipRemaining() {
  if (doingInvestmentBankingTransaction_) {
    finishInvestmentBankingTransaction().skipRemaining();
    return;
  }
  if (!running_) return;
  endRun(numberOfTransactionsAppended_, std::nullopt,
         static_cast<int>(maxTransactionIndex_ - currentTransactionIndex_));
}

void BankingCreditCardQIF::back() {
  if (doingInvestmentBankingTransaction_) {
    // The investment processor shows its previous transaction; this dialog is done with.
    finishInvestmentBankingTransaction().back();
    return;
  }
  // A fed run's transactions before its window are gone.
  if (!running_ || currentTransactionIndex_ == windowStart_) return;
  Value& current = currentRecord();
  // Where the previous transaction's output ends: this transaction's mark, or the end of the
  // buffer when it has none.
  std::int64_t end = static_cast<std::int64_t>(fileAsString_->size());
  if (const Value* mark = current.find(tk::outputLength)) end = mark->toInt();
  current.erase(tk::outputLength);
  --currentTransactionIndex_;
  // Done anew: what was done with them before no longer counts.
  for (std::size_t i = currentTransactionIndex_; i < currentTransactionIndex_ + 2; ++i)
    if (i < treatments_.size()) treatments_[i] = 0;
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
  if (doingInvestmentBankingTransaction_) {
    newInstructionView_.endEditing();
    finishInvestmentBankingTransaction().processTransaction(true);
    return;
  }
  if (!running_) return;
  if (!endEditingKeepsTransaction()) return;
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
      // A fed run no longer holds what its earlier windows read and wrote: it cannot be kept.
      endRun(0, feed_.next || windowStart_ > 0 ? std::nullopt
                                               : std::optional<Value>(continuationDictionary()));
      break;
    case CancelConfirm::finishNow:
      break;
  }
}

void BankingCreditCardQIF::outputAsRead() {
  if (!running_ || openDialog_ == Dialog::none) return;
  const Value& transaction = currentTransaction();
  processSplits(transaction[tk::splits]);
  BankCCOutput asRead;
  asRead.date = changedDate_;
  asRead.description = optionalString(transaction, tk::description);
  asRead.memo = optionalString(transaction, tk::memo);
  asRead.amount = optionalString(transaction, tk::amount);
  asRead.number = settings_.outputNumber.empty() ? optionalString(transaction, tk::number)
                                                 : settings_.outputNumber;
  asRead.category = optionalString(transaction, tk::category);
  asRead.cleared = clearedMark(transaction);
  asRead.splits = splits_;
  output(asRead);
  cancelReturnsToConfirm_ = false;
  advanceAfterOutput();
}

}  // namespace corvela
