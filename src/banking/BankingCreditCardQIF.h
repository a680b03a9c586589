#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/ConfirmView.h"
#include "banking/DialogFields.h"
#include "banking/InstructionEditing.h"
#include "banking/InvestmentBankingDelegate.h"
#include "banking/NewInstructionView.h"
#include "banking/RunFeed.h"
#include "banking/RunSettings.h"
#include "banking/RunTally.h"
#include "formats/OutputFormats.h"
#include "prefs/Value.h"
#include "readers/RecordList.h"

namespace corvela {

class CVPrefs;
class CancelConfirm;
class Categories;
class Descriptions;
class ErrorWarning;
class Instructions;
class Platform;
class Preferences;
class QIFReader;

// Which amount field a number format is meant for (setPrecision).
enum class AmountField { newInstructionAmount, confirmAmount };

// The bank and credit-card processor: walks the transactions of a run, tidies each one, applies
// the instruction and amount instruction that match it, and either writes it to the output
// buffer at once or stops in the confirmation or new-instruction dialog, whose buttons call the
// actions below to resume. It is the presenter of both dialogs: it keeps their forms, and the
// views report every edit and button to it.
//
// Nothing here blocks: a method that opens a dialog returns, and the run goes on when the view
// calls an action. A run ends with exactly one call of the end callback given at its start, on
// every path (end of the list, skip remaining, stop, finish later, an unreadable transaction
// the person does not skip); the transaction list is released before that call. An action
// that does not belong to the dialog on screen does nothing.
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
  // The confirmation dialog's prompts; the first "%@" is kConfirmAll or the kConfirmWith...
  // text, the second of the description prompt kPromptWithoutSplits or kPromptWithSplits.
  static constexpr std::string_view kCategoryPrompt =
      "You asked to confirm %@.  You can change the description, the memo, or the category for "
      "this transaction only.";
  static constexpr std::string_view kDescriptionPrompt =
      "You asked to confirm %@.  You can change the description%@ for this transaction only.";
  static constexpr std::string_view kConfirmAll = "all transactions";
  static constexpr std::string_view kConfirmWithThisCategory = "transactions with this category";
  static constexpr std::string_view kConfirmWithThisDescription =
      "transactions with this description";
  static constexpr std::string_view kPromptWithoutSplits = ", the memo, or the category";
  static constexpr std::string_view kPromptWithSplits = " or category/memo in the splits";
  // The confirmation date when the run has a fixed output date: the transaction's date, then
  // the date output.
  static constexpr std::string_view kWillUseDate = "%@ (will use %@)";
  // The question before a new instruction replaces a stored one (both "%@" the match text).
  static constexpr std::string_view kReplaceTitle = "Instructions Already Exist";
  static constexpr std::string_view kReplaceText =
      "Instructions for \"%@\" already exist.  If you save these changes, you will replace the "
      "existing instructions for \"%@\".    Do you want to save the changes?.";
  static constexpr std::string_view kYesButton = "Yes";
  static constexpr std::string_view kNoButton = "No";

  BankingCreditCardQIF(CVPrefs& prefs, const Preferences& options, Instructions& instructions,
                       Categories& categories, Descriptions& descriptions, const QIFReader& reader,
                       OutputFormats& outputFormats, CancelConfirm& cancelConfirm,
                       ErrorWarning& errorWarning, Platform& platform, ConfirmView& confirmView,
                       NewInstructionView& newInstructionView);

  // --- starting a run

  // Takes the transaction records a reader produced (dictionaries in input order) for the next
  // run, with the loop at the first one. `mustConfirm` sends every transaction through the
  // confirmation dialog (the option confirmAllTransactions, or textConfirmAllTransactions for
  // formatted text).
  void setTransactions(RecordList qif, bool mustConfirm);

  // Feeds the run started next a window at a time (see RunFeed); setTransactions ends the
  // feeding.
  void setFeed(RunFeed feed) { feed_ = std::move(feed); }

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

  // The number formats of the amount fields and the precision of computed split amounts, from
  // the store's bccAmountsPrecision (2 when absent) and the option outputEuropeanAmounts. The
  // application controller calls it at the start of every run.
  void setFormatters();
  // The number format of `field` for `precision` decimals: 2 to 6 give
  // "#,###.00;0.00;-#,##0.00" and its longer forms; any other precision leaves the field's
  // format as it was.
  void setPrecision(int precision, AmountField field);

  // --- the loop

  // Starts the current transaction afresh (the typed description is forgotten and the
  // confirmed description emptied), then processCurrentInstructionAndLoop.
  void startNewTransaction(bool backToConfirm);
  // With `backToConfirm`, shows the confirm view again as it was and returns. Otherwise
  // processes transactions from the current one on until the list ends or a dialog opens.
  void processCurrentInstructionAndLoop(bool backToConfirm);
  // Sets the splits to output with the current transaction from `splits` (an array of split
  // records; anything else or an empty array means none): normalised copies, the first one
  // without an amount given what the others leave of the transaction's amount, at the store's
  // bccAmountsPrecision (the whole amount when an amount cannot be read), so that the splits
  // add up to it.
  void processSplits(const Value& splits);

  // --- actions shared by both dialogs; with the dialog serving an investment statement's
  // banking line they hand the run back to the investment processor

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
  // The command line's answer to a dialog: outputs the current transaction as it was read
  // (its own description, memo, category and splits, without an instruction) and starts the
  // next one.
  void outputAsRead();

  // --- field notifications of both dialogs

  // The person changed the text of `field` to `text` (each keystroke, or a paste). The
  // processor keeps the text, updates the category warnings, and re-runs the new-instruction
  // dialog's OK rule. A match text that the match field rule refuses is not taken (the view is
  // told the text it keeps).
  void controlTextDidChange(DialogField field, std::string text);
  // Typing begins in `field`: the description or category list behind it starts a new word.
  void controlTextDidBeginEditing(DialogField field);
  // An item was chosen from the list of a combo box: taken as typed, with the text selected.
  void comboBoxSelectionDidChange(DialogField field, std::string text);

  // --- the confirmation dialog

  // Fills the confirmation form for the current transaction and shows it. Called by the loop.
  void beginConfirmDialog();
  // OK: adds the category (or the splits' categories) to the category list and outputs the
  // transaction as the form stands, adds the confirmed description to the description list
  // and starts the next transaction. A category the list refuses (a transfer to an account it
  // does not know, with its own alert), or splits that do not add up to the amount (the form
  // says so), keep the dialog open and output nothing.
  //
  // This and every other action that ends the editing first (the pop-up's, deleting a split,
  // saving a new instruction, Cancel) does nothing when ending the editing processed the
  // transaction again (a typed description matched afresh): the dialog then shows another
  // proposal, or another transaction, than the one the button was pressed for.
  void confirmOK();
  // The date stepper: moves the output date by `days` (+1 or -1).
  void stepDate(int days);
  // Exchanges the current transaction's description and memo and processes it again.
  void swapDescriptionAndMemo();
  // The end of editing in the confirmed description field. With the option
  // updateCategoryWhenDescriptionChanged, a description that differs from the one first shown
  // is matched afresh (the transaction is processed again).
  void confirmDescriptionTextChanged();
  // The pop-up's actions: open the new-instruction dialog for the current transaction, for a
  // new instruction or for a new amount of the instruction that applied. The splits edited in
  // the confirmation dialog give way to the new instruction's; Cancel returns here.
  void confirmAddInstruction();
  void confirmAddInstructionForAmount();
  // The pop-up's edit action: opens the instruction editor on the instruction that applied,
  // which must keep matching the description shown. When the editor ends, a cancel shows this
  // dialog again as it was; a save or delete processes the transaction again under the
  // instructions as they now stand. Nothing without an editor (setInstructionEditor).
  void confirmEditInstruction();
  // The instruction editor the pop-up's edit action opens; none (the default) leaves the
  // action out of the pop-up, and runs keep no instructionMatches() for its list. Borrowed: it
  // must outlive the processor or be unset first.
  void setInstructionEditor(InstructionEditing* editor) { instructionEditor_ = editor; }
  // Whether the pop-up item titled `title` is enabled.
  bool validateMenuItem(std::string_view title) const;
  // Adds each split's category to the category list in order; false at the first one the list
  // refuses (it shows its own alert), true otherwise.
  bool addCategoriesForSplits(const Value& splits);
  // Add Splits (one split holding the whole amount, the confirmed category and memo, and an
  // empty one to edit when the category was filled in) or Remove Splits.
  void addRemoveSplits();
  // Appends an empty split and starts editing it.
  void addSplit();
  // Removes the selected splits (not all of them) and rebalances the rest.
  void deleteSelectedSplit();

  // --- the new-instruction dialog

  // Opens the new-instruction dialog for the current transaction: `amount` its amount,
  // `prompt` none when a category instruction is taught for `category`,
  // `newAmountForInstruction` to add an amount instruction to the instruction that applied,
  // `description` the description the match starts from.
  void addNewInstructionForAmount(std::optional<std::string> amount,
                                  std::optional<std::string> prompt, bool newAmountForInstruction,
                                  std::string description, std::optional<std::string> category);
  // Opens the dialog for a banking line of an investment statement, starting from a copy of
  // `instruction` (empty when none applied), over a one-transaction list of the given date,
  // description (also its memo) and amount. The dialog's buttons then hand back to `delegate`
  // (InvestmentBankingDelegate.h), which must stay alive until one of them has. Does nothing
  // while a bank run is in progress.
  void investmentBankingAddNewInstructionForAmount(std::string amount, const Value& instruction,
                                                   std::optional<std::string> prompt,
                                                   bool newAmountForInstruction, std::string date,
                                                   std::string description,
                                                   InvestmentBankingDelegate& delegate);
  // OK: builds the instruction record from the form and stores it (asking first, through the
  // platform, before it replaces a stored instruction of the same match text), then processes
  // the transaction again so that it applies. A category the list refuses, or No to the
  // question, keeps the dialog open and stores nothing.
  void saveNewInstruction();
  // The match field rule: whether the field may show `proposed`.
  bool descriptionMatchAccepts(std::string_view proposed) const;
  // The switches.
  void useDescription(bool on);
  void useMemo(bool on);
  void amountUseMemo(bool on);
  void extractNumberSwitch(bool on);
  void amountSwitch(bool on);
  void categoryConfirmSwitch(bool on);
  void amountConfirmSwitch(bool on);
  void tabViewDidSelectTabViewItem(InstructionTab tab);
  // The shared Add Splits / Remove Splits button, for the selected tab.
  void instructionAddRemoveSplits();
  void instructionAddSplit();
  void instructionDeleteSelectedSplit();
  void amountInstructionAddSplit();
  void amountInstructionDeleteSelectedSplit();

  // --- the split tables' data source and delegate

  std::size_t numberOfRowsInTableView(SplitTable table) const;
  // The cell's text; none for a row beyond the list or an unknown column.
  std::optional<std::string> tableViewObjectValue(SplitTable table, std::string_view column,
                                                  std::size_t row) const;
  // A cell edit: stored under the column's key (none is ignored). A new amount in the
  // confirmation table or the amount tab's table rebalances that table, creating a second
  // split when there is only one.
  void tableViewSetObjectValue(SplitTable table, std::string_view column, std::size_t row,
                               std::optional<std::string> value);
  // Every cell may be edited; starting on a category cell notes it and starts a new word in
  // the category list.
  bool tableViewShouldEditTableColumn(SplitTable table, std::string_view column, std::size_t row);
  void tableViewSelectionDidChange(SplitTable table, std::vector<std::size_t> selectedRows);
  // Makes the split amounts of `table` (the confirmation or the amount tab's table) add up to
  // the transaction's amount, in exact decimals at the store's bccAmountsPrecision: the first
  // split takes the difference, or with `canCreate` and a single split, a new second split.
  // Splits that add up already, or an amount that cannot be read, change nothing.
  void adjustSplitAmountsCanCreate(SplitTable table, bool canCreate);

  // --- state, for the views and for tests

  bool running() const { return running_; }
  Dialog openDialog() const { return openDialog_; }
  const ConfirmForm& confirmForm() const { return confirmForm_; }
  const NewInstructionForm& newInstructionForm() const { return newInstructionForm_; }
  const RecordList& qif() const { return qif_; }
  std::size_t currentTransactionIndex() const { return currentTransactionIndex_; }
  std::size_t maxTransactionIndex() const { return maxTransactionIndex_; }
  int numberOfTransactionsAppended() const { return numberOfTransactionsAppended_; }
  // What became of the transactions of the last run that ended (of the current one so far, while
  // one runs); a continued run counts from where it was continued.
  const RunTally& tally() const { return tally_; }
  // The transactions of the last run that ended that an instruction matched (none without an
  // instruction editor, which is what shows them). The reference stays valid for the
  // processor's life; the next run's end replaces what it holds.
  const InstructionMatches& instructionMatches() const { return matches_; }
  bool mustConfirm() const { return mustConfirm_; }
  // The current transaction record; a null value when there is none.
  const Value& currentTransaction() const;
  // The instruction that applies to the current transaction; empty when none does.
  const Value& instruction() const { return instruction_; }
  const std::optional<Value>& splits() const { return splits_; }
  const std::optional<std::string>& extractedCheckNumber() const { return extractedCheckNumber_; }
  const std::string& changedDate() const { return changedDate_; }
  const RunSettings& settings() const { return settings_; }
  bool doingInvestmentBankingTransaction() const { return doingInvestmentBankingTransaction_; }
  // The lists behind the dialogs' combo boxes: a window's fields complete from them and list
  // their entries.
  Categories& categories() const { return categories_; }
  Descriptions& descriptions() const { return descriptions_; }

 private:
  // What processing one transaction came to.
  enum class Outcome { advance, skip, wait, ended };

  void beginRun(std::string& fileAsString, const RunSettings& settings, DidEnd didEnd);
  Outcome processTransaction();
  // The options the loop asks about for every transaction, read each time the loop starts: no
  // dialog is open while it runs, so none of them can change before it stops.
  struct LoopOptions {
    bool treatMemoAsDescription = false;
    bool leaveBlankDescriptionsBlank = false;
    bool initialCaps = false;
    bool dontAddCategories = false;
    bool useCategoriesIfPresent = false;
    bool baseCategoriesOnCategories = false;
    bool updateCategoryWhenDescriptionChanged = false;
    bool matchDescriptionThenMemo = false;
    bool matchMemoThenDescription = false;
  };
  LoopOptions readLoopOptions() const;
  // Tidies the current record (steps before matching) and answers its normalised amount.
  std::optional<std::string> tidy(Value& transaction);
  Outcome applyInstruction(const Value& transaction, const std::optional<std::string>& amount);
  void output(const BankCCOutput& transaction);
  std::optional<std::string> outputNumber(const Value& transaction) const;
  // Gives the first split of `list` without an amount the remainder (see processSplits).
  void fillEmptySplit(Value& list) const;
  // Ends the editing in the dialog on screen; false when that processed a transaction (see
  // confirmOK), so the action that asked must do nothing.
  bool endEditingKeepsTransaction();
  std::optional<std::string> clearedMark(const Value& transaction) const;
  Value continuationDictionary() const;
  // Ends the run and reports it; `leftUnprocessed` counts the transactions Skip Remaining left.
  void endRun(int count, std::optional<Value> continuation, int leftUnprocessed = 0);
  // Notes what the person did with the current transaction, for the tally.
  static constexpr unsigned char kConfirmed = 1, kSkipped = 2;
  void markTreatment(unsigned char treatment);
  // "Transaction n of N" for the dialogs; "" outside a bank run.
  std::string progressText() const;
  void endEditingInDialog();
  void advanceAfterOutput();
  void openNewInstructionFromConfirm(bool newAmountForInstruction);
  Value& currentRecord();

  // Dialog bookkeeping.
  bool confirmOpen() const;
  bool newInstructionOpen() const;
  void showConfirm();
  void updateConfirm();
  void updateNewInstruction();
  // Hands the dialog back to the investment processor: closes it and releases the
  // one-transaction list. Returns the delegate to call.
  InvestmentBankingDelegate& finishInvestmentBankingTransaction();
  void openNewInstruction(std::optional<std::string> amount, std::optional<std::string> prompt,
                          bool newAmountForInstruction, std::string description,
                          std::optional<std::string> category);
  void saveNewInstruction(Value record);
  // Builds the record OK saves; none when a category was refused.
  std::optional<Value> newInstructionRecord();
  void newInstructionOKEnabling();
  void setAmountSwitch(bool on);
  void showExtractedNumberPreview();
  std::string dateTextFor(const std::string& date) const;

  // Split tables.
  std::optional<Value>& splitList(SplitTable table);
  const std::optional<Value>& splitList(SplitTable table) const;
  SplitTableForm& splitForm(SplitTable table);
  void refreshSplitRows();
  void afterSplitChange(SplitTable table);
  bool tableOpen(SplitTable table) const;
  void finishSplitsTable(SplitTable table);
  // Removes the selected rows, last first, unless none or all are selected. Returns whether
  // any went.
  bool deleteSelectedRows(SplitTable table);
  // adjustSplitAmountsCanCreate without refreshing the view; returns whether an amount changed.
  bool balanceSplits(SplitTable table, bool canCreate);
  // The total a table's splits must add up to: the amount the confirmation dialog outputs, or
  // the transaction's for the amount tab.
  std::string splitTotal(SplitTable table) const;
  // What the confirmation's splits leave of its amount, in units of the precision; none
  // without splits or when an amount cannot be read.
  std::optional<std::int64_t> confirmRemainder() const;
  // The remainder line and warning under the confirmation's split table.
  void showRemainder();
  void addInstructionSplits(InstructionTab tab);
  // Keeps the transaction's own split list in step with the confirmation table while the
  // person edits splits they added, so that processing the transaction again keeps them.
  void keepTransactionSplits();

  CVPrefs& prefs_;
  const Preferences& options_;
  Instructions& instructions_;
  Categories& categories_;
  Descriptions& descriptions_;
  const QIFReader& reader_;
  OutputFormats& outputFormats_;
  CancelConfirm& cancelConfirm_;
  ErrorWarning& errorWarning_;
  Platform& platform_;
  ConfirmView& confirmView_;
  NewInstructionView& newInstructionView_;
  InstructionEditing* instructionEditor_ = nullptr;

  // Number formats.
  int amountPrecision_ = 2;  // the decimals of amountFormat ("%.Nf")
  std::string confirmAmountNumberFormat_;
  std::string newInstructionAmountNumberFormat_;

  // Run state.
  bool running_ = false;
  Dialog openDialog_ = Dialog::none;
  RunSettings settings_;
  OutputContext outputContext_;  // settings_'s, for every record written
  DidEnd didEnd_;
  std::string* fileAsString_ = nullptr;
  RecordList qif_;
  // A fed run's current window, and the index of its first transaction within the run.
  RunFeed feed_;
  std::size_t windowStart_ = 0;
  // Moves a fed run on to its next window; false when there is none.
  bool nextWindow();
  std::size_t currentTransactionIndex_ = 0;
  std::size_t maxTransactionIndex_ = 0;
  int numberOfTransactionsAppended_ = 0;
  bool mustConfirm_ = false;
  // Per transaction of the run, what the person did with it (kConfirmed, kSkipped); going back
  // to a transaction forgets it. Instructions taught stay taught, so they are counted apart.
  std::vector<unsigned char> treatments_;
  // Per transaction of the run, where in matchesMade_ the instruction that matched it last is
  // (kNoMatch for none): a statement of a million transactions most of which match nothing
  // must not hold a match's room for each of them.
  static constexpr std::uint32_t kNoMatch = UINT32_MAX;
  std::vector<std::uint32_t> matched_;
  // The matches in the order they were made; one a transaction no longer points to (it was
  // gone back to) is left out at the end of the run.
  InstructionMatches matchesMade_;
  // Ends the record of the run's matches: instructionMatches() in run order.
  void collectMatches();
  // Starts the loop of a run begun or continued: its records per transaction, then the current
  // transaction.
  void startLoop();
  int instructionsTaught_ = 0;
  RunTally tally_;
  InstructionMatches matches_;
  // A run that takes longer than kProgressAfter shows its progress, at most every
  // kProgressEvery.
  static constexpr std::chrono::milliseconds kProgressAfter{500}, kProgressEvery{50};
  static constexpr std::size_t kProgressCheckEvery = 64;
  std::chrono::steady_clock::time_point runStarted_, progressShown_;
  bool showingProgress_ = false;
  void reportProgress();

  LoopOptions loopOptions_;

  // Per-transaction state. The serial counts the transactions processed (the same one again
  // counts anew), so an action can tell whether the dialog still shows what it was pressed for.
  std::uint64_t transactionSerial_ = 0;
  Value instruction_ = Value::dictionary();
  std::optional<std::string> extractedCheckNumber_;
  std::string changedDate_;
  std::optional<Value> splits_;
  bool doSwap_ = false;
  bool cancelReturnsToConfirm_ = false;
  bool backButtonShown_ = false;
  bool backButtonEnabled_ = false;
  // What the current transaction is output as when no dialog is needed.
  BankCCOutput proposal_;

  // The confirmation dialog.
  ConfirmForm confirmForm_;
  bool enableAddInstruction_ = false;
  bool enableAddInstructionForAmount_ = false;
  std::optional<std::string> changedDescription_;
  std::string confirmedDescriptionTextBeforeUserConfirmation_;
  std::string savedConfirmedDescription_;
  std::string savedConfirmedMemo_;
  std::string savedConfirmedCategory_;
  bool categoryComboboxCellBeingEdited_ = false;

  // The new-instruction dialog. The tabs' split lists are kept apart from the transaction's
  // `splits_`, so that going back to the confirmation dialog outputs the splits it shows.
  NewInstructionForm newInstructionForm_;
  std::optional<std::string> newInstructionForCategory_;
  std::optional<std::string> newInstructionAmount_;
  std::optional<std::string> transactionNumberShown_;
  std::optional<Value> instructionSplits_;
  std::optional<Value> amountSplits_;
  bool doingInvestmentBankingTransaction_ = false;
  InvestmentBankingDelegate* investmentDelegate_ = nullptr;
};

// The cheque number in a description: the first run of decimal digits ("CHECK 1234 PAID 05"
// gives "1234"), or none when it has no digit.
std::optional<std::string> checkNumberIn(std::string_view description);

}  // namespace corvela
