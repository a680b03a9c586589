#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "banking/ConfirmView.h"
#include "banking/NewInstructionView.h"
#include "banking/RunSettings.h"
#include "formats/OutputFormats.h"
#include "prefs/Value.h"

namespace corvela {

class CancelConfirm;
class ErrorWarning;
class Instructions;
class Preferences;
class QIFReader;

// The bank and credit-card processor: walks the transactions of a run, tidies each one, applies
// the instruction and amount instruction that match it, and either writes it to the output
// buffer at once or stops in the confirmation or new-instruction dialog, whose buttons call the
// actions below to resume.
//
// Nothing here blocks: a method that opens a dialog returns, and the run goes on when the view
// calls an action. A run ends with exactly one call of the end callback given at its start, on
// every path (end of the list, skip remaining, stop, finish later, an unreadable transaction
// the person does not skip); the transaction list is released before that call.
//
// All collaborators are borrowed and must outlive the processor. The output buffer belongs to
// the caller and must live until the end callback.
class BankingCreditCardQIF {
 public:
  // The end of a run: the number of transactions in the output buffer (0 when the person
  // stopped or chose to finish later), and the continuation dictionary when the person chose to
  // finish later (keys in banking/ContinuationKeys.h).
  using DidEnd = std::function<void(int count, std::optional<Value> continuation)>;

  // The dialog a run is waiting in.
  enum class Dialog { none, confirm, newInstruction };

  // Shown over the match field of the new-instruction dialog when a transaction matches no
  // description instruction.
  static constexpr std::string_view kNoInstructionPrompt =
      "The transaction shown above does not match any instruction that Corvela already knows "
      "about.  Please specify how you would like transactions matching this description to be "
      "handled in the future.";
  // The same when the person asks to teach an instruction from the confirmation dialog.
  static constexpr std::string_view kAddInstructionPrompt =
      "Please specify how you would like transactions matching this description to be handled "
      "in the future.";
  static constexpr std::string_view kNoDescription = "NO DESCRIPTION";
  static constexpr std::string_view kSkipTransactionTitle = "Skip Transaction";
  // The warning about a record of a continuation file that is not a transaction record.
  static constexpr std::string_view kDamagedRecordMessage =
      "This transaction of the continuation file is damaged and cannot be processed.";

  BankingCreditCardQIF(const Preferences& options, Instructions& instructions,
                       const QIFReader& reader, OutputFormats& outputFormats,
                       CancelConfirm& cancelConfirm, ErrorWarning& errorWarning,
                       ConfirmView& confirmView, NewInstructionView& newInstructionView);

  // --- starting a run

  // Takes the transaction records a reader produced (an array of dictionaries in input order)
  // for the next run, with the loop at the first one. `mustConfirm` sends every transaction
  // through the confirmation dialog (the option confirmAllTransactions, or
  // textConfirmAllTransactions for formatted text). Anything but an array counts as no records.
  void setTransactions(Value qif, bool mustConfirm);

  // Starts the run over the records given to setTransactions, appending to `fileAsString`.
  // Returns when the run has ended or waits in a dialog. A run still in progress is ended first
  // as stopped (its callback gets 0 and no continuation).
  void processInstructionsAndAppendToString(std::string& fileAsString, const RunSettings& settings,
                                            DidEnd didEnd);

  // Resumes a run saved by finish later: `fileAsString` becomes the saved output, the loop
  // continues at the saved transaction with the saved count, and every transaction is confirmed
  // when the option confirmAllTransactions is on. A damaged dictionary does not stop the run: a
  // missing list gives no transactions, indices and counts out of range are brought into range,
  // and a record that is not a dictionary is offered to be skipped as unreadable.
  void continueWith(const Value& continuation, std::string& fileAsString,
                    const RunSettings& settings, DidEnd didEnd);

  // --- the loop

  // Starts the current transaction afresh (the typed description is forgotten), then
  // processCurrentInstructionAndLoop.
  void startNewTransaction(bool backToConfirm);
  // With `backToConfirm`, shows the confirm view again as it was and returns. Otherwise
  // processes transactions from the current one on until the list ends or a dialog opens.
  void processCurrentInstructionAndLoop(bool backToConfirm);
  // Sets the splits to output with the current transaction from `splits` (an array of split
  // records; anything else or an empty array means none): normalised copies, the first one given
  // the transaction's amount when its own is empty.
  void processSplits(const Value& splits);

  // --- actions of the dialogs; each does nothing when no run is in progress

  // The current transaction is not output; the next one is started.
  void skipTransaction();
  // The run ends now with what has been output so far.
  void skipRemaining();
  // Goes back to the previous transaction (not on the first): its output is taken out of the
  // buffer and it is decided afresh.
  void back();
  // Back to the confirmation dialog when the new-instruction dialog was opened from it;
  // otherwise asks whether to stop (nothing is written), finish later (the run is saved in a
  // continuation dictionary) or finish now (the run goes on).
  void cancel();

  // Confirmation dialog: outputs the current transaction as proposed and starts the next one.
  void confirmOK();
  // Confirmation dialog: exchanges the current transaction's description and memo and
  // processes it again.
  void swapDescriptionAndMemo();
  // Confirmation dialog: opens the new-instruction dialog for the current transaction, for a
  // new instruction or for a new amount of the instruction that applied. The splits edited in
  // the confirmation dialog are dropped; Cancel returns to the confirmation dialog.
  void confirmAddInstruction();
  void confirmAddInstructionForAmount();

  // Opens the new-instruction dialog for the current transaction. `prompt` none means that a
  // category instruction is taught for `category`.
  void addNewInstructionForAmount(std::optional<std::string> amount,
                                  std::optional<std::string> prompt, bool newAmountForInstruction,
                                  std::string description, std::optional<std::string> category);
  // New-instruction dialog: stores `instruction` in the instruction store and processes the
  // current transaction again, so that the new instruction applies to it.
  void saveNewInstruction(const Value& instruction);

  // --- state, for the dialogs' logic and for tests

  bool running() const { return running_; }
  Dialog openDialog() const { return openDialog_; }
  const Value& qif() const { return qif_; }
  std::size_t currentTransactionIndex() const { return currentTransactionIndex_; }
  std::size_t maxTransactionIndex() const { return maxTransactionIndex_; }
  int numberOfTransactionsAppended() const { return numberOfTransactionsAppended_; }
  bool mustConfirm() const { return mustConfirm_; }
  // The current transaction record; a null value when there is none.
  const Value& currentTransaction() const;
  // The instruction that applies to the current transaction; empty when none does.
  const Value& instruction() const { return instruction_; }
  const std::optional<Value>& splits() const { return splits_; }
  const std::optional<std::string>& extractedCheckNumber() const { return extractedCheckNumber_; }
  const std::string& changedDate() const { return changedDate_; }
  const RunSettings& settings() const { return settings_; }

 private:
  // What processing one transaction came to.
  enum class Outcome { advance, skip, wait, ended };

  void beginRun(std::string& fileAsString, const RunSettings& settings, DidEnd didEnd);
  Outcome processTransaction();
  // Tidies the current record (steps before matching) and answers its normalised amount.
  std::optional<std::string> tidy(Value& transaction);
  Outcome applyInstruction(const Value& transaction, const std::optional<std::string>& amount);
  void openConfirmDialog();
  void output(const BankCCOutput& transaction);
  std::optional<std::string> outputNumber(const Value& transaction) const;
  std::optional<std::string> clearedMark(const Value& transaction) const;
  Value continuationDictionary() const;
  void endRun(int count, std::optional<Value> continuation);
  void endEditingInDialog();
  void openNewInstructionFromConfirm(bool newAmountForInstruction);
  Value& currentRecord();

  const Preferences& options_;
  Instructions& instructions_;
  const QIFReader& reader_;
  OutputFormats& outputFormats_;
  CancelConfirm& cancelConfirm_;
  ErrorWarning& errorWarning_;
  ConfirmView& confirmView_;
  NewInstructionView& newInstructionView_;

  // Run state.
  bool running_ = false;
  Dialog openDialog_ = Dialog::none;
  RunSettings settings_;
  DidEnd didEnd_;
  std::string* fileAsString_ = nullptr;
  Value qif_ = Value::array();
  std::size_t currentTransactionIndex_ = 0;
  std::size_t maxTransactionIndex_ = 0;
  int numberOfTransactionsAppended_ = 0;
  bool mustConfirm_ = false;

  // Per-transaction state.
  Value instruction_ = Value::dictionary();
  std::optional<std::string> extractedCheckNumber_;
  std::string changedDate_;
  std::optional<Value> splits_;
  bool doSwap_ = false;
  bool cancelReturnsToConfirm_ = false;
  bool backButtonShown_ = false;
  bool backButtonEnabled_ = false;
  // What the current transaction would be output as: the values the loop writes without a
  // dialog, and what the confirmation dialog proposes.
  BankCCOutput proposal_;
};

// The cheque number in a description: the first run of decimal digits ("CHECK 1234 PAID 05"
// gives "1234"), or none when it has no digit.
std::optional<std::string> checkNumberIn(std::string_view description);

}  // namespace corvela
