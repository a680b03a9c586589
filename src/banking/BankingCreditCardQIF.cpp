#include "banking/BankingCreditCardQIF.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "banking/ContinuationKeys.h"
#include "banking/DecimalAmount.h"
#include "banking/RecordText.h"
#include "formats/ErrorWarning.h"
#include "instructions/Amounts.h"
#include "instructions/InstructionKeys.h"
#include "instructions/Instructions.h"
#include "platform/Platform.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"
#include "text/CaseInsensitive.h"
#include "text/CharClass.h"

namespace corvela {
namespace {

namespace tk = transactionKey;

// A stored count or index as a size, 0 for anything negative or not a number.
std::size_t nonNegative(const Value& number) {
  std::int64_t n = number.toInt();
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// `to` becomes the text of `value`, or none without one. A proposal is made for every
// transaction and its texts are much the same length each time: assigning into the room the
// last one left spares an allocation per text.
void assignText(std::optional<std::string>& to, const Value* value) {
  if (!value) {
    to.reset();
  } else if (to) {
    to->assign(value->toString());
  } else {
    to.emplace(value->toString());
  }
}

}  // namespace

std::optional<std::string> checkNumberIn(std::string_view description) {
  auto isDigit = [](char c) { return charclass::isDigit(static_cast<unsigned char>(c)); };
  auto first = std::find_if(description.begin(), description.end(), isDigit);
  if (first == description.end()) return std::nullopt;
  auto last = std::find_if_not(first, description.end(), isDigit);
  return std::string(first, last);
}

BankingCreditCardQIF::BankingCreditCardQIF(CVPrefs& prefs, const Preferences& options,
                                           Instructions& instructions, Categories& categories,
                                           Descriptions& descriptions, const QIFReader& reader,
                                           OutputFormats& outputFormats,
                                           CancelConfirm& cancelConfirm, ErrorWarning& errorWarning,
                                           Platform& platform, ConfirmView& confirmView,
                                           NewInstructionView& newInstructionView)
    : prefs_(prefs),
      options_(options),
      instructions_(instructions),
      categories_(categories),
      descriptions_(descriptions),
      reader_(reader),
      outputFormats_(outputFormats),
      cancelConfirm_(cancelConfirm),
      errorWarning_(errorWarning),
      platform_(platform),
      confirmView_(confirmView),
      newInstructionView_(newInstructionView) {}

// --- starting a run

void BankingCreditCardQIF::setTransactions(RecordList qif, bool mustConfirm) {
  qif_ = std::move(qif);
  feed_ = RunFeed();
  windowStart_ = 0;
  currentTransactionIndex_ = 0;
  maxTransactionIndex_ = qif_.size();
  mustConfirm_ = mustConfirm;
  splits_.reset();
}

void BankingCreditCardQIF::beginRun(std::string& fileAsString, const RunSettings& settings,
                                    DidEnd didEnd) {
  if (running_) endRun(0, std::nullopt);
  // A dialog left open for an investment statement's banking line belongs to no run now.
  doingInvestmentBankingTransaction_ = false;
  investmentDelegate_ = nullptr;
  running_ = true;
  openDialog_ = Dialog::none;
  // The store's precision may have changed since the last run (the options dialog).
  setFormatters();
  fileAsString_ = &fileAsString;
  settings_ = settings;
  outputContext_ = OutputContext{settings.outputFormatText, settings.account};
  didEnd_ = std::move(didEnd);
  extractedCheckNumber_.reset();
  cancelReturnsToConfirm_ = false;
  doSwap_ = false;
}

void BankingCreditCardQIF::processInstructionsAndAppendToString(std::string& fileAsString,
                                                                const RunSettings& settings,
                                                                DidEnd didEnd) {
  // Keep the records and their feed across beginRun, which ends (and releases) a run still in
  // progress.
  RecordList qif = std::move(qif_);
  RunFeed feed = std::move(feed_);
  std::size_t index = currentTransactionIndex_;
  beginRun(fileAsString, settings, std::move(didEnd));
  qif_ = std::move(qif);
  feed_ = std::move(feed);
  currentTransactionIndex_ = index;
  maxTransactionIndex_ = qif_.size();
  numberOfTransactionsAppended_ = 0;
  startLoop();
}

void BankingCreditCardQIF::continueWith(const Value& continuation, std::string& fileAsString,
                                        const RunSettings& settings, DidEnd didEnd) {
  beginRun(fileAsString, settings, std::move(didEnd));
  feed_ = RunFeed();
  windowStart_ = 0;
  fileAsString = str(continuation, continuationKey::fileAsString);

  const Value& saved = continuation[continuationKey::qif];
  qif_ = RecordList();
  if (saved.isArray()) {
    qif_.reserve(saved.size());
    for (const Value& record : saved.toArray()) {
      if (record.isDictionary()) {
        qif_.append(record);
        continue;
      }
      // Offered to the person as unreadable rather than output as an empty transaction.
      Value damaged = Value::dictionary();
      damaged.set(tk::errorMessage, kDamagedRecordMessage);
      damaged.set(tk::errorText, describe(record));
      qif_.append(damaged);
    }
  }
  maxTransactionIndex_ = qif_.size();
  currentTransactionIndex_ = std::min(
      nonNegative(continuation[continuationKey::currentTransactionIndex]), maxTransactionIndex_);
  numberOfTransactionsAppended_ = static_cast<int>(std::min<std::size_t>(
      nonNegative(continuation[continuationKey::numberOfTransactionsAppended]),
      std::numeric_limits<int>::max()));
  mustConfirm_ = options_.isOn(option::confirmAllTransactions);
  startLoop();
}

// --- the loop

void BankingCreditCardQIF::startLoop() {
  treatments_.assign(maxTransactionIndex_, 0);
  // The matches are kept for the instruction editor's list. Without an editor (the command
  // line) nothing shows them, and a long statement is not made to carry them.
  matched_.assign(instructionEditor_ ? maxTransactionIndex_ : 0, kNoMatch);
  matchesMade_.clear();
  instructionsTaught_ = 0;
  startNewTransaction(false);
}

void BankingCreditCardQIF::reportProgress() {
  if (currentTransactionIndex_ >= maxTransactionIndex_) return;
  // The clock is read every so many transactions: they take microseconds, and reading it for
  // each cost more than the rest of this.
  if (currentTransactionIndex_ % kProgressCheckEvery != 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - runStarted_ < kProgressAfter) return;
  if (showingProgress_ && now - progressShown_ < kProgressEvery) return;
  showingProgress_ = true;
  progressShown_ = now;
  platform_.showProgress(currentTransactionIndex_, maxTransactionIndex_);
}

void BankingCreditCardQIF::startNewTransaction(bool backToConfirm) {
  changedDescription_.reset();
  confirmForm_.confirmedDescription.clear();
  processCurrentInstructionAndLoop(backToConfirm);
}

void BankingCreditCardQIF::processCurrentInstructionAndLoop(bool backToConfirm) {
  if (!running_) return;
  if (backToConfirm) {
    showConfirm();
    return;
  }
  openDialog_ = Dialog::none;
  loopOptions_ = readLoopOptions();
  // Time spent in a dialog is the person's, not the run's.
  runStarted_ = std::chrono::steady_clock::now();
  // A loop rather than a call per transaction, so a long statement never deepens the stack.
  for (;;) {
    reportProgress();
    switch (processTransaction()) {
      case Outcome::advance:
        ++currentTransactionIndex_;
        ++numberOfTransactionsAppended_;
        // A description typed for the transaction just output is not the next one's.
        changedDescription_.reset();
        confirmForm_.confirmedDescription.clear();
        break;
      case Outcome::skip:
        markTreatment(kSkipped);
        ++currentTransactionIndex_;
        changedDescription_.reset();
        confirmForm_.confirmedDescription.clear();
        break;
      case Outcome::wait:
      case Outcome::ended:
        return;
    }
  }
}

BankingCreditCardQIF::LoopOptions BankingCreditCardQIF::readLoopOptions() const {
  LoopOptions on;
  on.treatMemoAsDescription = options_.isOn(option::treatMemoAsDescription);
  on.leaveBlankDescriptionsBlank = options_.isOn(option::leaveBlankDescriptionsBlank);
  on.initialCaps = options_.isOn(option::initialCaps);
  on.dontAddCategories = options_.isOn(option::dontAddCategories);
  on.useCategoriesIfPresent = options_.isOn(option::useCategoriesIfPresent);
  on.baseCategoriesOnCategories = options_.isOn(option::baseCategoriesOnCategories);
  on.updateCategoryWhenDescriptionChanged =
      options_.isOn(option::updateCategoryWhenDescriptionChanged);
  on.matchDescriptionThenMemo = options_.isOn(option::matchDescriptionThenMemo);
  on.matchMemoThenDescription = options_.isOn(option::matchMemoThenDescription);
  return on;
}

Value& BankingCreditCardQIF::currentRecord() {
  return qif_.open(currentTransactionIndex_ - windowStart_);
}

const Value& BankingCreditCardQIF::currentTransaction() const {
  return qif_.open(currentTransactionIndex_ - windowStart_);
}

bool BankingCreditCardQIF::nextWindow() {
  if (!feed_.next) return false;
  // Nothing is handed on before a transaction is written: a run that writes none writes nothing.
  if (numberOfTransactionsAppended_ > 0 && !fileAsString_->empty()) feed_.drain(*fileAsString_);
  RecordList next;
  if (!feed_.next(next) || next.size() == 0) {
    feed_ = RunFeed();
    return false;
  }
  windowStart_ = maxTransactionIndex_;
  qif_ = std::move(next);
  maxTransactionIndex_ = windowStart_ + qif_.size();
  treatments_.resize(maxTransactionIndex_, 0);
  if (instructionEditor_) matched_.resize(maxTransactionIndex_, kNoMatch);
  return true;
}

BankingCreditCardQIF::Outcome BankingCreditCardQIF::processTransaction() {
  if (currentTransactionIndex_ >= maxTransactionIndex_ && !nextWindow()) {
    endRun(numberOfTransactionsAppended_, std::nullopt);
    return Outcome::ended;
  }

  {
    const Value& record = currentTransaction();
    if (const Value* message = record.find(tk::errorMessage)) {
      ErrorWarning::Answer answer = errorWarning_.format(
          std::nullopt, message->toString(), str(record, tk::errorText), kSkipTransactionTitle);
      if (answer == ErrorWarning::goOn) return Outcome::skip;
      endRun(numberOfTransactionsAppended_, std::nullopt);
      return Outcome::ended;
    }
  }

  Value& transaction = currentRecord();
  std::string& buffer = *fileAsString_;
  // A transaction seen before (the person went back to it) takes its earlier output, and that
  // of every later transaction, out of the buffer. A mark past the end of the buffer (a damaged
  // continuation) cannot be cut back to; it is replaced by the current end.
  const Value* mark = transaction.find(tk::outputLength);
  if (mark && mark->isNumber() && mark->toInt() >= 0 &&
      static_cast<std::uint64_t>(mark->toInt()) <= buffer.size()) {
    buffer.resize(static_cast<std::size_t>(mark->toInt()));
  } else {
    transaction.set(tk::outputLength, static_cast<long long>(buffer.size()));
  }

  backButtonShown_ = mustConfirm_;
  backButtonEnabled_ = mustConfirm_ && currentTransactionIndex_ != 0;
  changedDate_ = !settings_.outputDate.empty() ? settings_.outputDate : str(transaction, tk::date);

  std::optional<std::string> amount = tidy(transaction);
  instruction_ = Value::dictionary();
  if (currentTransactionIndex_ < matched_.size()) matched_[currentTransactionIndex_] = kNoMatch;
  // A number extracted for the previous transaction is not this one's.
  extractedCheckNumber_.reset();
  ++transactionSerial_;
  return applyInstruction(currentTransaction(), amount);
}

std::optional<std::string> BankingCreditCardQIF::tidy(Value& transaction) {
  const bool swapDue = doSwap_ || (!has(transaction, tk::AlreadySwapped) &&
                                   ((settings_.qifTypeTag & kQIFTypeSwapDescriptionAndMemo) != 0 ||
                                    settings_.ofxTypeIndex == 1));
  if (swapDue) {
    std::string memo = str(transaction, tk::memo);
    std::string description = str(transaction, tk::description);
    // Nothing to put in the description's place: the transaction stays as it is, but is marked
    // so that processing it again never swaps it later.
    if (!memo.empty()) {
      transaction.set(tk::description, std::move(memo));
      transaction.set(tk::memo, std::move(description));
    }
    doSwap_ = false;
    transaction.set(tk::AlreadySwapped, true);
  } else if (!hasText(transaction, tk::description) && loopOptions_.treatMemoAsDescription &&
             has(transaction, tk::memo)) {
    transaction.set(tk::description, str(transaction, tk::memo));
  }

  if (!hasText(transaction, tk::description)) {
    transaction.set(tk::description,
                    loopOptions_.leaveBlankDescriptionsBlank ? std::string_view() : kNoDescription);
  }

  if (loopOptions_.initialCaps) {
    transaction.set(tk::description, capitalizedWords(str(transaction, tk::description)));
    if (has(transaction, tk::memo))
      transaction.set(tk::memo, capitalizedWords(str(transaction, tk::memo)));
  }

  return reader_.normalizeQIFAmountIn(transaction, settings_.qifTypeTag);
}

BankingCreditCardQIF::Outcome BankingCreditCardQIF::applyInstruction(
    const Value& transaction, const std::optional<std::string>& amount) {
  // The input's own categories are kept and no instruction is consulted.
  if (loopOptions_.dontAddCategories ||
      (loopOptions_.useCategoriesIfPresent &&
       (hasText(transaction, tk::category) || hasSplits(transaction)))) {
    processSplits(transaction[tk::splits]);
    // Every field is given, so nothing of the last transaction's proposal is left.
    proposal_.date = changedDate_;
    assignText(proposal_.description, transaction.find(tk::description));
    assignText(proposal_.memo, transaction.find(tk::memo));
    proposal_.amount = amount;
    proposal_.number = outputNumber(transaction);
    assignText(proposal_.category, transaction.find(tk::category));
    proposal_.cleared = clearedMark(transaction);
    proposal_.splits = splits_;
    if (mustConfirm_) {
      beginConfirmDialog();
      return Outcome::wait;
    }
    output(proposal_);
    return Outcome::advance;
  }

  std::optional<Value> found;
  std::optional<std::string> prompt;
  std::string description;
  if (loopOptions_.baseCategoriesOnCategories && hasText(transaction, tk::category)) {
    found = instructions_.instructionMatching(str(transaction, tk::category),
                                              instructionKey::categoryMatch);
    description = str(transaction, tk::description);
  } else {
    description = str(transaction, tk::description);
    // Only a description the person typed in the confirmation dialog counts, not the new
    // description the dialog proposed: an instruction whose new description does not begin
    // with its own match text would be lost when the transaction is processed again.
    if (loopOptions_.updateCategoryWhenDescriptionChanged && changedDescription_)
      description = *changedDescription_;
    const std::string& memo = str(transaction, tk::memo);
    constexpr std::string_view key = instructionKey::descriptionMatch;
    if (loopOptions_.matchDescriptionThenMemo) {
      found = instructions_.instructionMatching(description, key);
      if (!found) found = instructions_.instructionMatching(memo, key);
    } else if (loopOptions_.matchMemoThenDescription) {
      found = instructions_.instructionMatching(memo, key);
      if (!found) found = instructions_.instructionMatching(description, key);
    } else {
      found = instructions_.instructionMatching(description, key);
    }
    prompt = std::string(kNoInstructionPrompt);
  }

  if (!found || !found->isDictionary()) {
    addNewInstructionForAmount(amount, prompt, false, description,
                               optionalString(transaction, tk::category));
    return Outcome::wait;
  }
  instruction_ = std::move(*found);
  if (running_ && currentTransactionIndex_ < matched_.size() && matchesMade_.size() < kNoMatch) {
    matched_[currentTransactionIndex_] = static_cast<std::uint32_t>(matchesMade_.size());
    matchesMade_.add(matchString(instruction_), str(transaction, tk::date), amount.value_or(""),
                     str(transaction, tk::description));
  }

  std::optional<Value> rule;
  if (amount) rule = Amounts::amountMatching(*amount, instruction_);
  if (has(transaction, tk::userSplits)) {
    processSplits(transaction[tk::splits]);
  } else if (rule) {
    processSplits((*rule)[amountKey::splits]);
  } else {
    processSplits(instruction_[instructionKey::splits]);
  }

  extractedCheckNumber_.reset();
  if (has(instruction_, instructionKey::number))
    extractedCheckNumber_ = checkNumberIn(str(transaction, tk::description));

  // Every field is given, so nothing of the last transaction's proposal is left.
  proposal_.date = changedDate_;
  proposal_.number = outputNumber(transaction);
  proposal_.cleared = clearedMark(transaction);
  proposal_.splits = splits_;
  const Value* newMemo =
      rule ? rule->find(amountKey::amountMemo) : instruction_.find(instructionKey::newMemo);
  assignText(proposal_.memo, newMemo ? newMemo : transaction.find(tk::memo));
  if (rule) {
    proposal_.description = str(*rule, amountKey::amountDescription);
    proposal_.category = str(*rule, amountKey::amountCategory);
    proposal_.amount = str(*rule, amountKey::amount);
  } else {
    const Value* newDescription = instruction_.find(instructionKey::newDescription);
    assignText(proposal_.description,
               newDescription ? newDescription : transaction.find(tk::description));
    proposal_.category = str(instruction_, instructionKey::category);
    proposal_.amount = amount;
  }

  const bool confirm = mustConfirm_ || (rule && has(*rule, amountKey::amountConfirm)) ||
                       (!rule && has(instruction_, instructionKey::categoryConfirm));
  if (confirm) {
    beginConfirmDialog();
    return Outcome::wait;
  }
  output(proposal_);
  return Outcome::advance;
}

void BankingCreditCardQIF::processSplits(const Value& splits) {
  if (!splits.isArray() || splits.size() == 0) {
    splits_.reset();
    return;
  }
  Value list = Value::array();
  for (const Value& given : splits.toArray()) {
    if (!given.isDictionary()) continue;
    Value split = given;
    // An amount still to be filled in stays empty: reversing its sign would make it "-".
    if (str(split, splitKey::amount).empty()) split.set(splitKey::amountAlreadyConverted, true);
    reader_.normalizeQIFAmountIn(split, settings_.qifTypeTag);
    list.append(std::move(split));
  }
  if (list.size() == 0) {
    splits_.reset();
    return;
  }
  fillEmptySplit(list);
  splits_ = std::move(list);
}

void BankingCreditCardQIF::fillEmptySplit(Value& list) const {
  auto& rows = list.mutableArray();
  auto empty = std::find_if(rows.begin(), rows.end(), [](const Value& split) {
    return str(split, splitKey::amount).empty();
  });
  if (empty == rows.end()) return;
  const Value& transaction = currentTransaction();
  const Value* total = transaction.find(tk::amount);
  if (!total) return;

  // The split without an amount takes what the others leave, so that the splits add up.
  const int precision = amountPrecision_;
  std::optional<std::int64_t> rest =
      readDecimalAmount(convertEuropeanAmount(total->toString()), precision);
  for (auto split = rows.begin(); rest && split != rows.end(); ++split) {
    if (split == empty) continue;
    std::optional<std::int64_t> amount =
        readDecimalAmount(convertEuropeanAmount(str(*split, splitKey::amount)), precision);
    if (!amount || __builtin_sub_overflow(*rest, *amount, &*rest)) rest.reset();
  }
  if (!rest) {
    // Amounts that cannot be read cannot be balanced: the whole amount, as it was read.
    empty->set(splitKey::amount, *total);
    empty->set(splitKey::amountAlreadyConverted, true);
    return;
  }
  empty->set(splitKey::amount, writeDecimalAmount(*rest, precision));
  empty->erase(splitKey::amountAlreadyConverted);
  // Into output form (European notation when asked); the sign is already the output's.
  reader_.normalizeQIFAmountIn(*empty, 0);
}

std::optional<std::string> BankingCreditCardQIF::outputNumber(const Value& transaction) const {
  if (!settings_.outputNumber.empty()) return settings_.outputNumber;
  if (extractedCheckNumber_) return extractedCheckNumber_;
  return optionalString(transaction, tk::number);
}

std::optional<std::string> BankingCreditCardQIF::clearedMark(const Value& transaction) const {
  if (settings_.markAsCleared) return "*";
  if (settings_.markAsUncleared) return "";
  return optionalString(transaction, tk::cleared);
}

void BankingCreditCardQIF::output(const BankCCOutput& transaction) {
  outputFormats_.produceBankCCOutput(*fileAsString_, outputContext_, transaction);
}

}  // namespace corvela
