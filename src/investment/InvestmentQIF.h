#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/InvestmentBankingDelegate.h"
#include "banking/RunSettings.h"
#include "investment/InvestmentForms.h"
#include "investment/InvestmentKeys.h"
#include "prefs/Value.h"
#include "readers/RecordList.h"
#include "text/CalendarDay.h"
#include "text/DateTables.h"

namespace corvela {

class BankingCreditCardQIF;
class Bundle;
class CVPrefs;
class CancelConfirm;
class ErrorWarning;
class InstructionEditing;
class Instructions;
class InvestmentConfirmView;
class OutputFormats;
class Platform;
class Preferences;
class Securities;

// The investment processor: reads a brokerage statement (investment text with a person's input
// format, or an OFX investment download with the OFX format) into investment transaction
// records, then walks them: works out each one's type (the person's mappings from the
// statement's type words), security, amounts, price, shares and fees, asks in its confirmation
// window whatever the mappings do not settle, and appends each confirmed transaction to the
// output buffer as a QIF investment record, a "!InvstBnk" block (cash lines) or a delimited line.
//
// Nothing blocks: a step that needs the person shows a view and returns; the view's buttons
// call the actions below, which resume. A run ends with exactly one call of its end callback:
// with the count at the end of the records (or skip remaining), with 0 and the continuation
// dictionary on finish later, with 0 and none on stop. An action that does not belong to the
// view on screen does nothing. Borrowed objects must outlive the processor; the output buffer
// belongs to the caller and must live until the end callback.
class InvestmentQIF : public InvestmentBankingDelegate {
 public:
  using DidEnd = std::function<void(int count, std::optional<Value> continuation)>;
  // Stores an input format record (the OFX format under its store key, others in the list).
  using SaveFormat = std::function<void(const Value& format)>;
  // The stored input format of a name (the OFX format when `ofx`), or none.
  using FindFormat = std::function<std::optional<Value>(std::string_view name, bool ofx)>;

  struct Parts {
    CVPrefs& store;
    const Preferences& options;
    const Bundle& bundle;
    const DateTables& dateTables;
    ErrorWarning& errorWarning;
    Securities& securities;
    Instructions& instructions;
    OutputFormats& outputFormats;
    CancelConfirm& cancelConfirm;
    Platform& platform;
    BankingCreditCardQIF& bank;
    InvestmentConfirmView& view;
    SaveFormat saveFormat;
    FindFormat findFormat;
  };

  // The view on screen.
  enum class State {
    none,
    confirm,
    defineType,
    defineSecurity,
    alwaysSkip,
    missingField,
    noAmountOrShares,
    newInstruction  // a cash line is in the bank processor's new-instruction dialog
  };

  static constexpr std::string_view kConfirmTitle = "Investment Transaction: Confirm";
  static constexpr std::string_view kReconfirmTitle = "Confirm Transaction";
  static constexpr std::string_view kUnknownTypeTitle =
      "Investment Transaction: Unknown Transaction Type";
  static constexpr std::string_view kUnknownSecurityTitle =
      "Investment Transaction: Unknown Security";
  static constexpr std::string_view kNoAmountOrSharesTitle =
      "Investment Transaction: No Amount or Shares";
  static constexpr std::string_view kAlwaysSkipTitle =
      "Investment Transaction: Always Skip This Transaction Type";
  static constexpr std::string_view kMissingFieldTitle = "Investment Transaction: Missing %@ Field";
  static constexpr std::string_view kBadValueTitle = "Investment Transaction: Bad Value";
  static constexpr std::string_view kNeedsQuicken2003Title =
      "Investment Transaction: Cash Transaction";
  static constexpr std::string_view kExtractTransaction = "Extract Transaction";
  static constexpr std::string_view kDefineType = "Define Type";
  static constexpr std::string_view kDefineSecurity = "Define Security";
  static constexpr std::string_view kConfirmAlwaysSkip = "Confirm Always Skip";
  static constexpr std::string_view kWillUseDate = "%@ (will use %@)";
  static constexpr std::string_view kQuicken2003Text =
      "The transaction shown above can be imported only into financial software that supports "
      "Check/Withdrawal/Deposit/POS/ATM trnsactions (such as Quicken 2003-2007).  However, you "
      "have not selected the preference to produce QIF for Quicken 2003 or later.  Therefore, "
      "the transaction must be skipped.";
  static constexpr std::string_view kBadValueText =
      "The transaction shown above contains one or more bad or missing values, as shown above "
      "with \"Invalid\".  Therefore, the transaction must be skipped unless you edit the input to "
      "provide correct values.";
  static constexpr std::string_view kMissingTypeText =
      "The transaction shown above is missing a TYPE.  It is possible that the format was defined "
      "wrong, or that there was a date within the previous transaction.\r\rAll transactions must "
      "have a type.  Therefore, the transaction must be skipped unless you edit the input to "
      "provide a type.";
  static constexpr std::string_view kMissingFieldText =
      "The transaction shown above is missing the %@ field, which is required for this type of "
      "transaction.  Therefore, the transaction must be skipped unless you redefine the type to "
      "one that matches the available fields, or edit the input to provide the missing field.";
  static constexpr std::string_view kNoInstructionPrompt =
      "The transaction shown above does not match any instruction that Corvela already knows "
      "about.  Please specify how you would like transactions matching this description to be "
      "handled in the future.";
  static constexpr std::string_view kFormatNotFoundTitle = "Continuation Format Not Found";
  static constexpr std::string_view kFormatNotFoundText =
      "This continuation file used the format \"%@\", which no longer exists.  Do you want to "
      "continue with this continuation file, automatically restoring the format from the "
      "continuation file?";

  explicit InvestmentQIF(Parts parts);

  // --- reading

  // Reads the investment transactions of `text` with the input format `format` dated from
  // `fromDate` to `toDate`; false (and no records) when the text cannot be read with it.
  bool fromFormattedText(std::string_view text, const Value& format, CalendarDay fromDate,
                         CalendarDay toDate);

  // --- the walk

  void processInstructionsAndAppendToString(std::string& buffer, const RunSettings& settings,
                                            DidEnd didEnd);
  // Resumes the run saved in `continuation` (iqif, format and the run's keys). When its format
  // no longer exists, asks whether to restore it: No ends the run at once with 0 and none.
  void continueWith(const Value& continuation, std::string& buffer, const RunSettings& settings,
                    DidEnd didEnd);
  // A cash line without an instruction is output with its own category instead of opening the
  // new-instruction dialog (the command line has nobody to ask).
  void setOutputCashAsRead(bool on) { outputCashAsRead_ = on; }
  // The instruction editor that editInstructionButton opens; none leaves that action out.
  // Borrowed: it must outlive the processor or be unset first.
  void setInstructionEditor(InstructionEditing* editor) { instructionEditor_ = editor; }

  State state() const { return state_; }
  int numberOfTransactionsAppended() const { return count_; }
  // The index of the record being handled (-1 before the first).
  long currentIndex() const { return index_; }
  const InvestmentTransactionForm& transactionForm() const { return transactionForm_; }
  const TypeDefinitionForm& typeForm() const { return typeForm_; }
  const SecurityDefinitionForm& securityForm() const { return securityForm_; }
  const MissingFieldForm& missingFieldForm() const { return missingForm_; }
  const NoAmountOrSharesForm& noAmountOrSharesForm() const { return noAmountForm_; }
  const AlwaysSkipForm& alwaysSkipForm() const { return alwaysSkipForm_; }
  // The record being handled (a null value when none).
  Value currentRecord() const;

  // --- actions of the window (each dispatched by the view on screen)

  // OK, by its title: "Extract Transaction", "Define Type", "Define Security" or
  // "Confirm Always Skip".
  void ok();
  void skipTransaction() override;
  void skipRemaining() override;
  void back() override;
  // Asks stop / finish later / finish now.
  void cancel();
  void alwaysSkipTransactionType();
  void dontAlwaysSkip();
  void redefineType();
  void redefineSecurity();
  // The type definition: the item chosen (0 prompt, 1 and 2 sign-dependent, k: type k - 3).
  void quickenTypeChosen(int item);
  void typeWordChanged(std::string text);
  void assumeDollar(bool on);
  void assumeSecurity(bool on);
  void assumedSecurityChanged(std::string text);
  // Uses the chosen type for this transaction only.
  void useType();
  // The security definition's field.
  void quickenSecurityChanged(std::string text);
  // The always-skip view's word.
  void alwaysSkipWordChanged(std::string text);
  // The confirmation's fields.
  void memoChanged(std::string text);
  void descriptionChanged(std::string text);
  void categoryChanged(std::string text);
  void numberChanged(std::string text);
  void adjustShares(bool on);
  void stepDate(int days);
  // The edit sheet.
  void editInputButton();
  void editOK(const EditSheetForm& values);
  void editCancel();
  void editRevert();
  // The splits of a cash line (the confirmation). Add Splits makes one split of the amount,
  // category and memo shown (and an empty one to type in when a category was shown); Remove
  // Splits drops them for this transaction. Every change keeps the splits adding up to the
  // amount: the first split takes the difference (a new second one when there is only one and
  // an amount was typed). Splits are kept with the record, so Back and a resume keep them.
  void addRemoveSplits();
  void addSplit();
  void splitSelectionChanged(std::vector<std::size_t> rows);
  // Removes the selected rows (never every row) and rebalances without adding a split.
  void deleteSelectedSplit();
  // A cell typed in: `column` is "category", "memo" or "amount".
  void splitChanged(std::size_t row, std::string_view column, std::string text);
  // The instruction pop-up of a cash line: a new amount instruction for the instruction that
  // applied, through the new-instruction dialog, or the instruction editor on it. Either drops
  // the splits typed here. When the editor ends, a cancel shows this transaction again as it
  // was; a save handles it again under the instructions as they now stand.
  void addInstructionForAmountButton();
  void editInstructionButton();
  // Whether the pop-up item titled `title` (banking/ConfirmView.h) is enabled. The type
  // choice's items are validated in the type form (choiceEnabled).
  bool validateMenuItem(std::string_view title) const;

  // --- InvestmentBankingDelegate: the new-instruction dialog of a cash line hands back
  bool canGoBack() const override { return index_ > 0; }
  void processTransaction(bool backToConfirm) override;

 private:
  // Moves on to the next transaction and handles it. Handling a transaction that asks nothing
  // ends by moving on again: such a call, made while an earlier one is still handling its
  // transaction, only asks that one to go on. A statement of thousands of transactions that ask
  // nothing is walked in a loop, not down a chain of calls as deep as it is long.
  void confirmNextTransaction();
  void moveToNextTransaction();
  void showTransaction(bool redisplay);
  void haveType();
  void displayAmounts();
  bool displaySecurity();
  void processConfirmation();
  void missingBadField(std::string_view field);
  void askForType();
  void extract();
  void end(int count, std::optional<Value> continuation);
  void saveFormat();
  const Value& typeEntry(int type) const;
  bool typeFlag(int type, std::string_view flag) const;
  std::string formatted(double value, int precision) const;
  // As formatted, with more decimals (up to six) when the value has them.
  std::string formattedExact(double value, int minimumDigits) const;
  int precision(std::string_view key, int fallback) const;
  // A value as the forms show it, to the store's precision for its kind.
  std::string amountText(double value) const;
  std::string priceText(double value) const;
  std::string sharesText(double value) const;
  // The amount, price and shares as read, for a form: "" for each the statement did not give,
  // the text as read for one that is not a number.
  void readAmountTexts(std::string& amount, std::string& price, std::string& shares) const;
  std::string outputDatePattern() const;
  void fillTypeChoices();
  // The choices again after a switch changed what they need; a choice no longer allowed is
  // dropped back to the prompt.
  void refillTypeChoices();
  // Whether every transaction is shown: the option for the kind of input being read.
  bool confirmAllOption() const;
  // An OFX transaction with neither amount nor shares, written as its type with 0 shares.
  bool zeroSharesStand() const;
  std::string signedAmountText() const;
  void normalizeSplit(Value& split) const;
  // Keeps the splits with the record, rebalances them, and shows the transaction again.
  void splitsChanged(bool canCreate);
  // "Add Splits" when the output is QIF, else "" (the button is hidden).
  std::string addSplitsTitle() const;

  Parts parts_;
  State state_ = State::none;
  Value format_;
  RecordList qif_;
  long index_ = -1;
  long maxIndex_ = 0;
  int count_ = 0;
  std::string* buffer_ = nullptr;
  RunSettings settings_;
  DidEnd didEnd_;
  bool outputCashAsRead_ = false;
  InstructionEditing* instructionEditor_ = nullptr;
  std::uint64_t transactionSerial_ = 0;  // tells a late editor answer from the current one
  bool movingOn_ = false;                // confirmNextTransaction is handling a transaction
  bool moveOnAgain_ = false;             // and is asked to move on once that one is done

  // The transaction being handled.
  std::string dateText_, outputDate_, typeText_, security_, symbol_, description_, category_, memo_,
      check_, number_;
  double amount_ = 0, price_ = 0, shares_ = 0, fees_ = 0;
  double keptAmount_ = 0, keptShares_ = 0;
  std::string amountError_, priceError_, sharesError_;
  bool amountWasNegative_ = false, sharesWereNegative_ = false;
  bool gotAmount_ = false, gotPrice_ = false, gotShares_ = false;
  int quickenType_ = quickenType::none;
  long quickenTypeIndex_ = -1;
  std::string quickenSecurity_, assumedSecurity_;
  bool assumeDollar_ = false, ignoreTypeMapping_ = false;
  bool adjustShares_ = false;
  Value splits_;
  std::vector<std::size_t> selectedSplits_;
  std::optional<Value> instruction_;  // the instruction that applied to the cash line
  Value original_;                    // the record as first read, for the edit sheet's revert
  std::string alwaysSkipWord_;

  InvestmentTransactionForm transactionForm_;
  TypeDefinitionForm typeForm_;
  SecurityDefinitionForm securityForm_;
  MissingFieldForm missingForm_;
  NoAmountOrSharesForm noAmountForm_;
  AlwaysSkipForm alwaysSkipForm_;
  EditSheetForm editForm_;
  bool editing_ = false;
};

}  // namespace corvela
