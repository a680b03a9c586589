#include "investment/InvestmentQIF.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>

#include "banking/BankingCreditCardQIF.h"
#include "banking/ConfirmView.h"
#include "banking/ContinuationKeys.h"
#include "banking/InstructionEditing.h"
#include "banking/SplitBalance.h"
#include "formats/ErrorWarning.h"
#include "formats/InputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "formats/QIFOutputText.h"
#include "instructions/Amounts.h"
#include "instructions/InstructionKeys.h"
#include "instructions/Instructions.h"
#include "investment/InvestmentReader.h"
#include "investment/InvestmentViews.h"
#include "investment/TypeMappings.h"
#include "lists/Securities.h"
#include "platform/MessageFormat.h"
#include "platform/Platform.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/CancelConfirm.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

namespace key = investmentKey;
namespace ckey = continuationKey;
namespace ikey = investmentContinuationKey;

constexpr std::string_view kSecurityRequired = "SecurityRequired";
constexpr std::string_view kSharesRequired = "SharesRequired";
constexpr std::string_view kPriceAllowed = "PriceAllowed";
constexpr std::string_view kPriceRequired = "PriceRequired";
constexpr std::string_view kAmountRequired = "AmountRequired";
constexpr std::string_view kChoosePrompt = "Choose the type of this transaction";
constexpr std::string_view kTransferBySign = "Cash Transferred In or Out (by sign)";
constexpr std::string_view kIncomeBySign = "Miscellaneous Income or Expense (by sign)";
constexpr std::string_view kCantChange = "(Can't Change)";
constexpr std::string_view kAddSplits = "Add Splits";
constexpr std::string_view kRemoveSplits = "Remove Splits";
constexpr std::string_view kAmountInstructionPrompt =
    "Please specify how you would like transactions matching this description to be handled in "
    "the future.";

double number(const Value& record, std::string_view name) {
  const Value* value = record.find(name);
  return value && value->isNumber() ? value->toDouble() : 0;
}

// The type choice's item for a type number, and back.
int itemForType(int type) {
  if (type == quickenType::transferBySign) return 1;
  if (type == quickenType::incomeBySign) return 2;
  return type + 3;
}
int typeForItem(int item) {
  if (item == 1) return quickenType::transferBySign;
  if (item == 2) return quickenType::incomeBySign;
  return item - 3;
}

// `text` with "&", "<" and ">" written as the XML entities a download uses for them.
std::string withEntities(std::string_view text) {
  std::string written;
  for (char c : text) {
    if (c == '&')
      written += "&amp;";
    else if (c == '<')
      written += "&lt;";
    else if (c == '>')
      written += "&gt;";
    else
      written += c;
  }
  return written;
}

// Types above 17 (cash transactions among them) exist only in QIF for Quicken 2003 or later.
bool needsQuicken2003(int type) { return type > 17 && type < quickenType::transferBySign; }

}  // namespace

InvestmentQIF::InvestmentQIF(Parts parts) : parts_(std::move(parts)) {}

// --- reading

bool InvestmentQIF::fromFormattedText(std::string_view text, const Value& format,
                                      CalendarDay fromDate, CalendarDay toDate) {
  format_ = format;
  InvestmentReader reader(parts_.dateTables, parts_.errorWarning);
  std::optional<RecordList> records = reader.fromFormattedText(
      text, format, fromDate, toDate, CalendarDay::today(), outputDatePattern());
  if (!records) {
    qif_ = RecordList();
    maxIndex_ = 0;
    return false;
  }
  qif_ = std::move(*records);
  index_ = -1;
  maxIndex_ = static_cast<long>(qif_.size());
  return true;
}

std::string InvestmentQIF::outputDatePattern() const {
  const std::string& pattern = parts_.store.objectForKey(prefKey::OutputDateFormat).toString();
  return pattern.empty() ? "%m/%d/%Y" : pattern;
}

int InvestmentQIF::precision(std::string_view name, int fallback) const {
  const Value& value = parts_.store.objectForKey(name);
  if (!value.isNumber()) return fallback;
  int digits = static_cast<int>(value.toInt());
  return digits >= 2 && digits <= 6 ? digits : fallback;
}

// "#,###.00" and its longer forms: grouped thousands, no zero before the point, "0.00" for 0.
std::string InvestmentQIF::formattedExact(double value, int minimumDigits) const {
  // Share counts and prices often carry more decimals than the chosen precision (a reinvested
  // dividend of 0.0371 shares); rounding them would write another quantity than the statement's.
  constexpr int kMostDigits = 6;
  int digits = std::max(0, minimumDigits);
  while (digits < kMostDigits) {
    const double scale = std::pow(10.0, digits);
    if (std::fabs(std::round(value * scale) / scale - value) <=
        1e-9 * std::max(1.0, std::fabs(value)))
      break;
    ++digits;
  }
  return formatted(value, digits);
}

std::string InvestmentQIF::amountText(double value) const {
  return formatted(value, precision(prefKey::amountsPrecision, 2));
}

std::string InvestmentQIF::priceText(double value) const {
  return formattedExact(value, precision(prefKey::pricesPrecision, 4));
}

std::string InvestmentQIF::sharesText(double value) const {
  return formattedExact(value, precision(prefKey::sharesPrecision, 2));
}

void InvestmentQIF::readAmountTexts(std::string& amount, std::string& price,
                                    std::string& shares) const {
  amount.clear();
  price.clear();
  shares.clear();
  if (gotAmount_) amount = amount_ < 0 ? amountError_ : amountText(amount_);
  if (gotPrice_) price = price_ < 0 ? priceError_ : priceText(price_);
  if (gotShares_) shares = shares_ < 0 ? sharesError_ : sharesText(shares_);
}

std::string InvestmentQIF::formatted(double value, int digits) const {
  const bool european = parts_.options.isOn(option::outputEuropeanAmounts);
  const char point = european ? ',' : '.';
  const char group = european ? '.' : ',';
  bool negative = value < 0;
  // The text "%.*f" gives (to_chars is the same rule, several times faster), cut to the 63
  // characters it was once printed into. The largest double takes 309 digits before the point.
  char text[512];
  const std::to_chars_result printed =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed, digits);
  if (printed.ec != std::errc()) return "";
  std::string plain(text, std::min<std::ptrdiff_t>(printed.ptr - text, 63));
  std::size_t dot = plain.find('.');
  std::string whole = plain.substr(0, dot);
  std::string fraction = plain.substr(dot + 1);
  if (whole == "0" && plain.find_first_not_of("0.") == std::string::npos)
    return "0" + std::string(1, point) + fraction;
  if (whole == "0") whole.clear();
  std::string grouped;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += group;
    grouped += whole[i];
  }
  std::string out = grouped + point + fraction;
  return negative ? "(" + out + ")" : out;
}

const Value& InvestmentQIF::typeEntry(int type) const {
  static const Value kNone;
  const Value& table = parts_.bundle.table("CVQuickenTypes");
  if (type < 0 || !table.isArray() || static_cast<std::size_t>(type) >= table.size()) return kNone;
  return table[static_cast<std::size_t>(type)];
}

bool InvestmentQIF::typeFlag(int type, std::string_view flag) const {
  return typeEntry(type).contains(flag);
}

Value InvestmentQIF::currentRecord() const {
  if (index_ < 0 || index_ >= static_cast<long>(qif_.size())) return Value();
  return qif_.open(static_cast<std::size_t>(index_));
}

void InvestmentQIF::saveFormat() {
  if (parts_.saveFormat) parts_.saveFormat(format_);
}

// --- the walk

void InvestmentQIF::processInstructionsAndAppendToString(std::string& buffer,
                                                         const RunSettings& settings,
                                                         DidEnd didEnd) {
  buffer_ = &buffer;
  settings_ = settings;
  didEnd_ = std::move(didEnd);
  count_ = 0;
  index_ = -1;
  confirmNextTransaction();
}

void InvestmentQIF::continueWith(const Value& continuation, std::string& buffer,
                                 const RunSettings& settings, DidEnd didEnd) {
  buffer_ = &buffer;
  settings_ = settings;
  didEnd_ = std::move(didEnd);
  format_ = continuation[ikey::format];
  const bool ofx = format_.contains(inputFormatKey::OFX);
  const std::string& name = str(format_, inputFormatKey::Name);
  std::optional<Value> stored =
      parts_.findFormat ? parts_.findFormat(name, ofx) : std::optional<Value>();
  if (!stored) {
    int answer = parts_.platform.runAlert({std::string(kFormatNotFoundTitle),
                                           formatMessage(kFormatNotFoundText, {name}),
                                           {"Yes", "No"}});
    if (answer != 0) {
      end(0, std::nullopt);
      return;
    }
    saveFormat();
  }
  buffer = continuation[ckey::fileAsString].toString();
  qif_ = RecordList(continuation[ikey::iqif], key::recordKeys);
  maxIndex_ = static_cast<long>(qif_.size());
  count_ = static_cast<int>(continuation[ckey::numberOfTransactionsAppended].toInt());
  long saved = static_cast<long>(continuation[ckey::currentTransactionIndex].toInt());
  index_ = std::clamp(saved, 0L, maxIndex_) - 1;
  confirmNextTransaction();
}

bool InvestmentQIF::confirmAllOption() const {
  // The person chose per kind of input: downloads (QIF, OFX) and text statements each have
  // their own switch, and an OFX brokerage download is a download.
  return parts_.options.isOn(format_.contains(inputFormatKey::OFX)
                                 ? option::confirmAllTransactions
                                 : option::textConfirmAllTransactions);
}

std::string InvestmentQIF::signedAmountText() const {
  return normalizeQIFAmount((amountWasNegative_ ? "-" : "") + transactionForm_.amount,
                            parts_.bundle.table("CVRemoveFromAmounts").toString(),
                            parts_.options.isOn(option::outputEuropeanAmounts));
}

void InvestmentQIF::normalizeSplit(Value& split) const {
  normalizeQIFAmountIn(split, parts_.bundle.table("CVRemoveFromAmounts").toString(),
                       parts_.options.isOn(option::outputEuropeanAmounts));
}

bool InvestmentQIF::zeroSharesStand() const {
  // An OFX tag names the transaction's type, so a transfer of no units (a "balance update") is
  // still a transaction of that type: it is written with 0 shares rather than dropped. A text
  // statement's type is unknown without numbers, so there it stays a question.
  return format_.contains(inputFormatKey::OFX) && amount_ == 0 && shares_ == 0 &&
         currentRecord().contains(key::ProposedType);
}

void InvestmentQIF::end(int count, std::optional<Value> continuation) {
  state_ = State::none;
  parts_.view.close();
  qif_ = RecordList();
  maxIndex_ = 0;
  index_ = -1;
  DidEnd didEnd = std::move(didEnd_);
  didEnd_ = nullptr;
  if (didEnd) didEnd(count, std::move(continuation));
}

void InvestmentQIF::confirmNextTransaction() {
  if (movingOn_) {
    moveOnAgain_ = true;
    return;
  }
  movingOn_ = true;
  struct Done {
    bool& movingOn;
    ~Done() { movingOn = false; }
  } done{movingOn_};
  do {
    moveOnAgain_ = false;
    moveToNextTransaction();
  } while (moveOnAgain_);
}

void InvestmentQIF::moveToNextTransaction() {
  ++index_;
  if (index_ >= maxIndex_) {
    end(count_, std::nullopt);
    return;
  }
  ignoreTypeMapping_ = false;
  adjustShares_ = false;
  ++transactionSerial_;
  const Value record = currentRecord();
  original_ = record;
  dateText_ = str(record, key::Date);
  typeText_ = str(record, key::Type);
  security_ = str(record, key::Security);
  symbol_ = str(record, key::Symbol);
  description_ = str(record, key::Description);
  category_ = str(record, key::Category);
  memo_ = str(record, key::Memo);
  check_ = str(record, key::Check);
  amountError_ = str(record, key::AmountError);
  priceError_ = str(record, key::PriceError);
  sharesError_ = str(record, key::SharesError);
  amount_ = record.contains(key::AmountError) ? -1.0 : number(record, key::Amount);
  price_ = record.contains(key::PriceError) ? -1.0 : number(record, key::Price);
  shares_ = record.contains(key::SharesError) ? -1.0 : number(record, key::Shares);
  amountWasNegative_ = record[key::amountWasNegative].toBool();
  sharesWereNegative_ = record[key::sharesWereNegative].toBool();
  assumeDollar_ = false;
  quickenSecurity_.clear();
  assumedSecurity_.clear();
  if (!record.contains(key::Date)) {
    outputDate_.clear();
    missingBadField("DATE");
    return;
  }
  showTransaction(false);
}

void InvestmentQIF::displayAmounts() {
  fees_ = 0;
  if (amount_ > 0) {
    if (price_ == 0 && shares_ != 0 && shares_ > 0) {
      price_ = amount_ / shares_;
    } else if (price_ > 0) {
      if (shares_ > 0)
        fees_ = amount_ - price_ * shares_;
      else if (shares_ == 0)
        shares_ = amount_ / price_;
    }
  } else if (amount_ == 0 && price_ > 0 && shares_ > 0) {
    amount_ = price_ * shares_;
  }
  gotAmount_ = amount_ != 0;
  gotPrice_ = price_ != 0;
  gotShares_ = shares_ != 0;
}

bool InvestmentQIF::displaySecurity() {
  std::string text;
  if (!assumedSecurity_.empty()) {
    security_ = assumedSecurity_;
    text = security_;
  } else if (!quickenSecurity_.empty() && !security_.empty() && !symbol_.empty()) {
    text = formatMessage("%@--%@ (%@)", {security_, symbol_, quickenSecurity_});
  } else if (!quickenSecurity_.empty() && !security_.empty()) {
    text = formatMessage("%@ (%@)", {security_, quickenSecurity_});
  } else if (!quickenSecurity_.empty() && !symbol_.empty()) {
    text = formatMessage("%@ (%@)", {symbol_, quickenSecurity_});
  } else if (!security_.empty() && !symbol_.empty()) {
    text = formatMessage("%@--%@", {security_, symbol_});
  } else if (!security_.empty()) {
    text = security_;
  } else if (!symbol_.empty()) {
    text = symbol_;
  } else if (const std::string& assumed = str(format_, inputFormatKey::AssumedSecurity);
             !assumed.empty()) {
    security_ = assumed;
    text = assumed;
  }
  transactionForm_.securityVisible = !text.empty();
  transactionForm_.security = text;
  return !text.empty();
}

void InvestmentQIF::showTransaction(bool redisplay) {
  if (redisplay) {
    transactionForm_.title = std::string(kReconfirmTitle);
    state_ = State::confirm;
    parts_.view.showTransaction(transactionForm_);
    return;
  }
  transactionForm_ = InvestmentTransactionForm{};
  transactionForm_.redefineTypeVisible = true;
  if (outputDate_.empty() || outputDate_ != dateText_) outputDate_ = dateText_;
  displayAmounts();

  // The security the finance software knows for this transaction.
  quickenSecurity_.clear();
  bool fromMapping = false;
  if (!symbol_.empty()) {
    if (auto found = parts_.securities.quickenSecurityForSymbol(symbol_)) {
      quickenSecurity_ = *found;
    } else if (auto mapped = parts_.securities.quickenSecurityFromMappingFor(symbol_, format_)) {
      quickenSecurity_ = *mapped;
      fromMapping = true;
    }
  }
  if (quickenSecurity_.empty() && !security_.empty()) {
    std::optional<std::string> mapped =
        parts_.securities.quickenSecurityFromMappingFor(security_, format_);
    // A download's names were once read with their entities ("S&amp;P"), and mappings made
    // then are kept under those names.
    if (!mapped && format_.contains(inputFormatKey::OFX)) {
      if (std::string written = withEntities(security_); written != security_)
        mapped = parts_.securities.quickenSecurityFromMappingFor(written, format_);
    }
    if (mapped) {
      quickenSecurity_ = *mapped;
      fromMapping = true;
    }
  }
  transactionForm_.redefineSecurityVisible = fromMapping;

  if (!ignoreTypeMapping_) {
    TypeMatch match = quickenTypeForFormatType(format_, typeText_, amountWasNegative_);
    quickenType_ = match.quickenType;
    quickenTypeIndex_ = match.index;
    if (!match.assumedSecurity.empty()) assumedSecurity_ = match.assumedSecurity;
    if (quickenType_ == quickenType::alwaysSkip) {
      confirmNextTransaction();
      return;
    }
    if (quickenType_ != quickenType::none) {
      haveType();
      return;
    }
  }
  if (format_.contains(inputFormatKey::OFX) && typeText_ == "<Unknown OFX Type>") {
    confirmNextTransaction();
    return;
  }
  askForType();
}

void InvestmentQIF::fillTypeChoices() {
  typeForm_.choices = {std::string(kChoosePrompt), std::string(kTransferBySign),
                       std::string(kIncomeBySign)};
  typeForm_.choiceEnabled = {true};
  const Value& table = parts_.bundle.table("CVQuickenTypes");
  if (table.isArray())
    for (const Value& entry : table.toArray())
      typeForm_.choices.push_back(str(entry, "DisplayName"));
  const bool hasSecurity = !security_.empty() || !symbol_.empty() ||
                           !str(format_, inputFormatKey::AssumedSecurity).empty() ||
                           (typeForm_.assumeSecurity && !typeForm_.assumedSecurity.empty());
  for (std::size_t item = 1; item < typeForm_.choices.size(); ++item) {
    int type = typeForItem(static_cast<int>(item));
    int checked = type == quickenType::transferBySign ? 0
                  : type == quickenType::incomeBySign ? 4
                                                      : type;
    bool enabled = true;
    if (needsQuicken2003(type) && !parts_.options.isOn(option::quicken2003)) enabled = false;
    if (typeFlag(checked, kSecurityRequired) && !hasSecurity) enabled = false;
    if (typeFlag(checked, kAmountRequired) && !gotAmount_) enabled = false;
    if (typeFlag(checked, kSharesRequired) && !gotShares_ && !zeroSharesStand()) enabled = false;
    if (typeFlag(checked, kPriceRequired) && !gotPrice_ && !typeForm_.assumeDollar) enabled = false;
    typeForm_.choiceEnabled.push_back(enabled);
  }
}

void InvestmentQIF::askForType() {
  if (!gotAmount_ && !gotShares_ && !zeroSharesStand()) {
    noAmountForm_ =
        NoAmountOrSharesForm{std::string(kNoAmountOrSharesTitle), dateText_, typeText_, security_};
    state_ = State::noAmountOrShares;
    parts_.view.showNoAmountOrShares(noAmountForm_);
    return;
  }
  displaySecurity();
  typeForm_ = TypeDefinitionForm{};
  typeForm_.title = std::string(kUnknownTypeTitle);
  typeForm_.typeWord = typeText_;
  typeForm_.date = dateText_;
  typeForm_.security = transactionForm_.security;
  readAmountTexts(typeForm_.amount, typeForm_.price, typeForm_.shares);
  typeForm_.assumeDollarVisible = price_ == 0;
  assumeDollar_ = false;
  fillTypeChoices();
  const Value record = currentRecord();
  if (const Value* proposed = record.find(key::ProposedType)) {
    const int type = static_cast<int>(proposed->toInt());
    int item = itemForType(type);
    if (item > 0 && static_cast<std::size_t>(item) < typeForm_.choices.size() &&
        typeForm_.choiceEnabled[static_cast<std::size_t>(item)])
      typeForm_.proposedChoice = item;
    else if (needsQuicken2003(type) && !parts_.options.isOn(option::quicken2003))
      typeForm_.proposalRefused =
          "its type needs the option to use the investment types and cash transactions of "
          "Quicken 2003 or later (quicken2003)";
  }
  typeForm_.selectedChoice = typeForm_.proposedChoice;
  typeForm_.okTitle = std::string(kDefineType);
  typeForm_.okEnabled = typeForm_.selectedChoice != 0;
  typeForm_.useTypeEnabled = typeForm_.okEnabled;
  state_ = State::defineType;
  parts_.view.showTypeDefinition(typeForm_);
}

void InvestmentQIF::haveType() {
  if (quickenType_ >= quickenType::assumeDollar && quickenType_ < quickenType::alwaysSkip) {
    quickenType_ -= quickenType::assumeDollar;
    price_ = 1;
    assumeDollar_ = true;
    displayAmounts();
  }
  transactionForm_.cash = quickenType_ > quickenType::lastInvestmentAction;
  transactionForm_.type =
      formatMessage("%@ (%@)", {typeText_, str(typeEntry(quickenType_), "DisplayName")});
  if (typeFlag(quickenType_, kSecurityRequired)) {
    displaySecurity();
    if (quickenSecurity_.empty() && parts_.securities.securityFound(security_))
      quickenSecurity_ = security_;
    if (quickenSecurity_.empty() && !assumedSecurity_.empty()) quickenSecurity_ = assumedSecurity_;
    if (quickenSecurity_.empty()) {
      if (transactionForm_.security.empty()) {
        missingBadField("SECURITY");
        return;
      }
      securityForm_ = SecurityDefinitionForm{};
      securityForm_.title = std::string(kUnknownSecurityTitle);
      securityForm_.security = transactionForm_.security;
      securityForm_.type = transactionForm_.type;
      securityForm_.date = dateText_;
      securityForm_.amount = gotAmount_ && amount_ > 0 ? amountText(amount_) : "";
      // The statement's own name is the likeliest answer.
      securityForm_.quickenSecurity = security_.empty() ? symbol_ : security_;
      for (long i = 0; i < parts_.securities.numberOfItemsInComboBox(); ++i)
        securityForm_.securities.push_back(parts_.securities.comboBoxObjectValueForItemAtIndex(i));
      securityForm_.okTitle = std::string(kDefineSecurity);
      securityForm_.okEnabled = !securityForm_.quickenSecurity.empty();
      transactionForm_.redefineSecurityVisible = false;
      state_ = State::defineSecurity;
      parts_.view.showSecurityDefinition(securityForm_);
      return;
    }
  } else {
    transactionForm_.securityVisible = false;
    transactionForm_.security.clear();
  }
  processConfirmation();
}

void InvestmentQIF::processConfirmation() {
  if (!settings_.outputDate.empty()) {
    transactionForm_.dateStepperVisible = false;
    outputDate_ = settings_.outputDate;
    transactionForm_.date = formatMessage(kWillUseDate, {dateText_, outputDate_});
  } else {
    transactionForm_.dateStepperVisible = true;
    transactionForm_.date = outputDate_ == dateText_
                                ? dateText_
                                : formatMessage(kWillUseDate, {dateText_, outputDate_});
  }
  bool mustConfirm = confirmAllOption();
  Value& record = qif_.open(static_cast<std::size_t>(index_));
  if (const Value* length = record.find(key::outputLength)) {
    auto keep = static_cast<std::size_t>(length->toInt());
    if (keep <= buffer_->size()) buffer_->resize(keep);
  } else {
    record.set(key::outputLength, Value(static_cast<long long>(buffer_->size())));
  }
  transactionForm_.backVisible = mustConfirm;
  transactionForm_.backEnabled = mustConfirm && index_ > 0;

  if (amount_ == -1.0 || price_ == -1.0 || shares_ == -1.0) {
    missingBadField("badValue");
    return;
  }
  if (typeFlag(quickenType_, kAmountRequired) && !gotAmount_) {
    missingBadField("AMOUNT");
    return;
  }
  if (typeFlag(quickenType_, kSharesRequired) && !gotShares_ && !zeroSharesStand()) {
    missingBadField("SHARES");
    return;
  }
  if (typeFlag(quickenType_, kPriceRequired) && !gotPrice_) {
    missingBadField("PRICE");
    return;
  }
  if (std::trunc(std::fabs(fees_)) > amount_) {
    adjustShares_ = true;
    shares_ /= 100;
    displayAmounts();
  }
  transactionForm_.amount = gotAmount_ ? amountText(amount_) : "";
  transactionForm_.price = gotPrice_ ? priceText(price_) : "";
  transactionForm_.shares = gotShares_ || zeroSharesStand() ? sharesText(shares_) : "";
  transactionForm_.feesVisible = std::fabs(fees_) >= 0.01;
  transactionForm_.fees = transactionForm_.feesVisible ? amountText(fees_) : "";
  transactionForm_.adjustShares = adjustShares_;

  if (quickenType_ <= quickenType::lastInvestmentAction) {
    transactionForm_.memo = memo_.empty() ? typeText_ : memo_;
  } else {
    if (description_.empty()) description_ = typeText_;
    transactionForm_.description = description_;
    std::optional<Value> instruction =
        parts_.instructions.instructionMatching(description_, instructionKey::descriptionMatch);
    std::string amountText = (amountWasNegative_ ? "-" : "") + transactionForm_.amount;
    if (!instruction && !outputCashAsRead_ && parts_.options.isOn(option::quicken2003)) {
      state_ = State::newInstruction;
      parts_.view.close();
      parts_.bank.investmentBankingAddNewInstructionForAmount(
          amountText, Value::dictionary(), std::string(kNoInstructionPrompt), false, outputDate_,
          description_, *this);
      return;
    }
    std::string category = category_;
    Value splits;
    instruction_ = instruction;
    transactionForm_.editInstructionEnabled = instruction && instructionEditor_;
    transactionForm_.addInstructionForAmountEnabled = instruction.has_value();
    if (instruction) {
      if (str(*instruction, instructionKey::categoryConfirm) == kYes) mustConfirm = true;
      std::optional<Value> amountInstruction = Amounts::amountMatching(amountText, *instruction);
      bool useOwn = parts_.options.isOn(option::dontAddCategories) ||
                    (parts_.options.isOn(option::useCategoriesIfPresent) && !category_.empty());
      if (!useOwn) {
        if (amountInstruction) {
          if (!str(*amountInstruction, amountKey::amountDescription).empty())
            description_ = str(*amountInstruction, amountKey::amountDescription);
          category = str(*amountInstruction, amountKey::amountCategory);
          if (str(*amountInstruction, amountKey::amountConfirm) == kYes) mustConfirm = true;
          transactionForm_.addInstructionForAmountEnabled = false;
        } else {
          category = str(*instruction, instructionKey::category);
        }
      }
      if (!record.contains(key::userSplits)) {
        splits = amountInstruction && (*amountInstruction)[amountKey::splits].size() > 0
                     ? (*amountInstruction)[amountKey::splits]
                     : (*instruction)[instructionKey::splits];
      }
    }
    const bool userSplits = record.contains(key::userSplits);
    if (userSplits) splits = record[key::splits];
    if (splits.isArray() && splits.size() > 0) {
      Value copy = splits;
      if (!userSplits) copy.mutableArray()[0].set(splitKey::amount, Value(amountText));
      for (Value& split : copy.mutableArray()) normalizeSplit(split);
      // An instruction's splits may carry amounts of their own: the first split keeps what
      // they leave of this transaction's amount, so that what is written adds up.
      balanceSplitAmounts(copy, signedAmountText(), precision(prefKey::bccAmountsPrecision, 2),
                          false, [this](Value& split) { normalizeSplit(split); });
      splits_ = copy;
      transactionForm_.splits = copy;
      transactionForm_.splitButtonTitle = std::string(kRemoveSplits);
    } else {
      splits_ = Value();
      transactionForm_.splits = Value::array();
      transactionForm_.splitButtonTitle = addSplitsTitle();
      transactionForm_.categoryVisible = true;
    }
    selectedSplits_.clear();
    transactionForm_.selectedSplits.clear();
    category_ = category;
    transactionForm_.category = category;
    transactionForm_.instructionChoiceVisible = instruction.has_value();
    if (quickenType_ == quickenType::check) {
      transactionForm_.numberVisible = true;
      transactionForm_.number = !settings_.outputNumber.empty() ? settings_.outputNumber : check_;
    }
    transactionForm_.description = description_;
    transactionForm_.memo = memo_.empty() ? description_ : memo_;
    if (parts_.options.isOn(option::initialCaps)) {
      transactionForm_.description = capitalizedWords(transactionForm_.description);
      transactionForm_.memo = capitalizedWords(transactionForm_.memo);
    }
  }
  transactionForm_.okTitle = std::string(kExtractTransaction);
  if (transactionForm_.cash && !parts_.options.isOn(option::quicken2003)) {
    missingBadField("quicken2003");
    return;
  }
  if (mustConfirm) {
    transactionForm_.title = std::string(kConfirmTitle);
    state_ = State::confirm;
    parts_.view.showTransaction(transactionForm_);
    return;
  }
  extract();
}

void InvestmentQIF::missingBadField(std::string_view field) {
  missingForm_ = MissingFieldForm{};
  missingForm_.field = std::string(field);
  missingForm_.date = dateText_;
  missingForm_.type = transactionForm_.type.empty() ? typeText_ : transactionForm_.type;
  missingForm_.security = transactionForm_.security;
  missingForm_.amount = amount_ < 0 ? amountError_ : transactionForm_.amount;
  if (field == "quicken2003") {
    missingForm_.title = std::string(kNeedsQuicken2003Title);
    missingForm_.explanation = std::string(kQuicken2003Text);
  } else if (field == "badValue") {
    missingForm_.title = std::string(kBadValueTitle);
    missingForm_.explanation = std::string(kBadValueText);
  } else if (field == "TYPE") {
    missingForm_.title = formatMessage(kMissingFieldTitle, {field});
    missingForm_.explanation = std::string(kMissingTypeText);
    missingForm_.amount.clear();
    missingForm_.type.clear();
  } else {
    missingForm_.title = formatMessage(kMissingFieldTitle, {field});
    missingForm_.explanation = formatMessage(kMissingFieldText, {field});
    missingForm_.redefineTypeVisible = field != "DATE";
  }
  state_ = State::missingField;
  parts_.view.showMissingField(missingForm_);
}

void InvestmentQIF::extract() {
  const Value& entry = typeEntry(quickenType_);
  InvestmentQIFFields fields;
  fields.date = outputDate_;
  fields.actionName = str(entry, "QuickenName");
  fields.memo = transactionForm_.memo;
  const bool needsSecurity = typeFlag(quickenType_, kSecurityRequired);
  const bool needsShares = typeFlag(quickenType_, kSharesRequired);
  const bool needsAmount = typeFlag(quickenType_, kAmountRequired);
  const bool priceAllowed =
      typeFlag(quickenType_, kPriceAllowed) || typeFlag(quickenType_, kPriceRequired);
  const bool qif =
      OutputFormats::QIFOutput(OutputContext{settings_.outputFormatText, settings_.account});
  if (quickenType_ <= quickenType::lastInvestmentAction) {
    fields.security = needsSecurity ? quickenSecurity_ : "";
    fields.shares = needsShares ? transactionForm_.shares : "";
    fields.price = priceAllowed && price_ != 0 ? transactionForm_.price : "";
    // A sale's fees come out negative (the amount is what is left after them); the QIF
    // commission is their size either way.
    fields.fees = transactionForm_.feesVisible ? amountText(std::fabs(fees_)) : "";
    fields.amount = needsAmount ? transactionForm_.amount : "";
    if (qif) {
      *buffer_ += qifInvestmentActionRecord(fields, entry, settings_.markAsCleared);
    } else {
      InvestmentOutput line;
      line.type = fields.actionName;
      line.date = outputDate_;
      line.memo = fields.memo;
      line.amount = needsAmount ? (amountWasNegative_ ? "-" : "") + transactionForm_.amount : "";
      line.number = transactionForm_.numberVisible ? transactionForm_.number : "";
      line.category = transactionForm_.category;
      line.shares = needsShares ? (sharesWereNegative_ ? "-" : "") + transactionForm_.shares : "";
      line.security = fields.security;
      line.price = fields.price;
      line.fees = fields.fees;
      parts_.outputFormats.produceInvestmentOutput(
          *buffer_, OutputContext{settings_.outputFormatText, settings_.account}, line);
    }
  } else {
    const std::string remove = parts_.bundle.table("CVRemoveFromAmounts").toString();
    const bool european = parts_.options.isOn(option::outputEuropeanAmounts);
    std::string amount = normalizeQIFAmount(
        (amountWasNegative_ ? "-" : "") + transactionForm_.amount, remove, european);
    fields.description = transactionForm_.description;
    fields.amount = amount;
    fields.category = transactionForm_.category;
    if (transactionForm_.numberVisible) fields.number = transactionForm_.number;
    if (splits_.isArray() && splits_.size() > 0) {
      balanceSplitAmounts(splits_, amount, precision(prefKey::bccAmountsPrecision, 2), false,
                          [this](Value& split) { normalizeSplit(split); });
      fields.splits = splits_;
    }
    if (qif) {
      *buffer_ += qifInvestmentCashRecord(fields, settings_.markAsCleared);
    } else {
      InvestmentOutput line;
      line.type = fields.actionName;
      line.date = outputDate_;
      line.description = fields.description;
      line.memo = fields.memo;
      line.amount = amount;
      line.number = fields.number.value_or("");
      line.category = fields.category;
      parts_.outputFormats.produceInvestmentOutput(
          *buffer_, OutputContext{settings_.outputFormatText, settings_.account}, line);
    }
  }
  ++count_;
  confirmNextTransaction();
}

// --- actions

void InvestmentQIF::ok() {
  switch (state_) {
    case State::confirm:
      extract();
      return;
    case State::defineType: {
      if (typeForm_.selectedChoice <= 0) return;
      ignoreTypeMapping_ = false;
      int type =
          typeForItem(typeForm_.selectedChoice) + (assumeDollar_ ? quickenType::assumeDollar : 0);
      addTypeMapping(format_, quickenTypeIndex_, typeForm_.typeWord, type,
                     typeForm_.assumeSecurity ? typeForm_.assumedSecurity : "");
      saveFormat();
      showTransaction(false);
      return;
    }
    case State::defineSecurity: {
      if (securityForm_.quickenSecurity.empty()) return;
      quickenSecurity_ = securityForm_.quickenSecurity;
      parts_.securities.addSecurity(symbol_.empty() ? security_ : symbol_, quickenSecurity_,
                                    format_, [this](const Value&) { saveFormat(); });
      showTransaction(false);
      return;
    }
    case State::alwaysSkip:
      addTypeMapping(format_, quickenTypeIndex_, alwaysSkipWord_, quickenType::alwaysSkip, "");
      saveFormat();
      confirmNextTransaction();
      return;
    default:
      return;
  }
}

void InvestmentQIF::skipTransaction() {
  if (state_ == State::none) return;
  confirmNextTransaction();
}

void InvestmentQIF::skipRemaining() {
  if (state_ == State::none) return;
  index_ = maxIndex_ - 1;
  confirmNextTransaction();
}

void InvestmentQIF::back() {
  if (state_ == State::none || index_ < 1) return;
  Value& record = qif_.open(static_cast<std::size_t>(index_));
  if (const Value* length = record.find(key::outputLength)) {
    auto keep = static_cast<std::size_t>(length->toInt());
    if (keep <= buffer_->size()) buffer_->resize(keep);
    record.erase(key::outputLength);
  }
  // The previous transaction's output is taken out when it is handled again; only a
  // transaction that was written counts off.
  const Value previous = qif_[static_cast<std::size_t>(index_ - 1)];
  if (const Value* length = previous.find(key::outputLength);
      length && static_cast<std::size_t>(length->toInt()) < buffer_->size() && count_ > 0)
    --count_;
  index_ -= 2;
  confirmNextTransaction();
}

void InvestmentQIF::cancel() {
  if (state_ == State::none) return;
  CancelConfirm::Answer answer = parts_.cancelConfirm.cancelConfirm();
  if (answer == CancelConfirm::finishNow) return;
  if (answer == CancelConfirm::stop) {
    end(0, std::nullopt);
    return;
  }
  Value data = Value::dictionary();
  data.set(ikey::iqif, qif_.toValue());
  data.set(ikey::format, format_);
  data.set(ckey::fileAsString, Value(*buffer_));
  data.set(ckey::currentTransactionIndex, Value(static_cast<long long>(index_)));
  data.set(ckey::numberOfTransactionsAppended, Value(count_));
  data.set(ckey::outputFormatText, Value(settings_.outputFormatText));
  data.set(ckey::sameDateSwitch, Value(settings_.sameDateSwitch));
  data.set(ckey::sameNumberSwitch, Value(settings_.sameNumberSwitch));
  data.set(ckey::outputDateString, Value(settings_.outputDateString));
  data.set(ckey::outputNumberString, Value(settings_.outputNumberString));
  data.set(ckey::account, Value(settings_.account));
  end(0, std::move(data));
}

void InvestmentQIF::alwaysSkipTransactionType() {
  if (state_ != State::defineType && state_ != State::confirm && state_ != State::missingField &&
      state_ != State::noAmountOrShares)
    return;
  alwaysSkipWord_ = typeText_;
  alwaysSkipForm_ =
      AlwaysSkipForm{std::string(kAlwaysSkipTitle), typeText_, std::string(kConfirmAlwaysSkip)};
  state_ = State::alwaysSkip;
  parts_.view.showAlwaysSkip(alwaysSkipForm_);
}

void InvestmentQIF::alwaysSkipWordChanged(std::string text) {
  if (state_ != State::alwaysSkip) return;
  alwaysSkipWord_ = std::move(text);
  alwaysSkipForm_.typeWord = alwaysSkipWord_;
}

void InvestmentQIF::dontAlwaysSkip() {
  if (state_ != State::alwaysSkip) return;
  showTransaction(false);
}

void InvestmentQIF::redefineType() {
  if (state_ == State::none || state_ == State::newInstruction) return;
  ignoreTypeMapping_ = true;
  showTransaction(false);
}

void InvestmentQIF::redefineSecurity() {
  if (state_ == State::none || state_ == State::newInstruction) return;
  parts_.securities.deleteSecurityInFormat(format_, [this](const Value&) { saveFormat(); });
  showTransaction(false);
}

void InvestmentQIF::quickenTypeChosen(int item) {
  if (state_ != State::defineType) return;
  if (item < 0 || static_cast<std::size_t>(item) >= typeForm_.choices.size() ||
      !typeForm_.choiceEnabled[static_cast<std::size_t>(item)])
    return;
  typeForm_.selectedChoice = item;
  bool ready = item != 0 && !(typeForm_.assumeSecurity && typeForm_.assumedSecurity.empty());
  typeForm_.okEnabled = ready;
  typeForm_.useTypeEnabled = ready;
  parts_.view.showTypeDefinition(typeForm_);
}

void InvestmentQIF::typeWordChanged(std::string text) {
  if (state_ != State::defineType) return;
  typeForm_.typeWord = std::move(text);
}

void InvestmentQIF::assumeDollar(bool on) {
  if (state_ != State::defineType) return;
  if (on) {
    keptAmount_ = amount_;
    keptShares_ = shares_;
    price_ = 1;
  } else {
    price_ = 0;
    amount_ = keptAmount_;
    shares_ = keptShares_;
  }
  assumeDollar_ = on;
  typeForm_.assumeDollar = on;
  displayAmounts();
  readAmountTexts(typeForm_.amount, typeForm_.price, typeForm_.shares);
  refillTypeChoices();
  parts_.view.showTypeDefinition(typeForm_);
}

void InvestmentQIF::refillTypeChoices() {
  fillTypeChoices();
  const auto selected = static_cast<std::size_t>(typeForm_.selectedChoice);
  if (selected >= typeForm_.choiceEnabled.size() || !typeForm_.choiceEnabled[selected])
    typeForm_.selectedChoice = 0;
  if (typeForm_.selectedChoice == 0) typeForm_.okEnabled = typeForm_.useTypeEnabled = false;
}

void InvestmentQIF::assumeSecurity(bool on) {
  if (state_ != State::defineType) return;
  typeForm_.assumeSecurity = on;
  typeForm_.assumedSecurityVisible = on;
  typeForm_.assumedSecurity.clear();
  refillTypeChoices();
  typeForm_.okEnabled = !on && typeForm_.selectedChoice != 0;
  typeForm_.useTypeEnabled = typeForm_.okEnabled;
  parts_.view.showTypeDefinition(typeForm_);
}

void InvestmentQIF::assumedSecurityChanged(std::string text) {
  if (state_ != State::defineType || !typeForm_.assumeSecurity) return;
  typeForm_.assumedSecurity = std::move(text);
  // A security typed here makes the types that need one choosable.
  refillTypeChoices();
  typeForm_.okEnabled = !typeForm_.assumedSecurity.empty() && typeForm_.selectedChoice != 0;
  typeForm_.useTypeEnabled = typeForm_.okEnabled;
}

void InvestmentQIF::useType() {
  if (state_ != State::defineType || typeForm_.selectedChoice <= 0) return;
  ignoreTypeMapping_ = false;
  quickenType_ = typeForItem(typeForm_.selectedChoice);
  if (quickenType_ == quickenType::transferBySign) quickenType_ = amountWasNegative_ ? 1 : 0;
  if (quickenType_ == quickenType::incomeBySign) quickenType_ = amountWasNegative_ ? 5 : 4;
  if (assumeDollar_) quickenType_ += quickenType::assumeDollar;
  if (typeForm_.assumeSecurity) assumedSecurity_ = typeForm_.assumedSecurity;
  haveType();
}

void InvestmentQIF::quickenSecurityChanged(std::string text) {
  if (state_ != State::defineSecurity) return;
  securityForm_.quickenSecurity = std::move(text);
  securityForm_.okEnabled = !securityForm_.quickenSecurity.empty();
}

void InvestmentQIF::memoChanged(std::string text) {
  if (state_ == State::confirm) transactionForm_.memo = std::move(text);
}
void InvestmentQIF::descriptionChanged(std::string text) {
  if (state_ == State::confirm) transactionForm_.description = std::move(text);
}
void InvestmentQIF::categoryChanged(std::string text) {
  if (state_ == State::confirm) transactionForm_.category = std::move(text);
}
void InvestmentQIF::numberChanged(std::string text) {
  if (state_ == State::confirm) transactionForm_.number = std::move(text);
}

void InvestmentQIF::adjustShares(bool on) {
  if (state_ != State::confirm || on == adjustShares_) return;
  adjustShares_ = on;
  shares_ = on ? shares_ / 100 : shares_ * 100;
  displayAmounts();
  transactionForm_.adjustShares = on;
  transactionForm_.shares = gotShares_ ? sharesText(shares_) : "";
  transactionForm_.price = gotPrice_ ? priceText(price_) : "";
  transactionForm_.feesVisible = std::fabs(fees_) >= 0.01;
  transactionForm_.fees = transactionForm_.feesVisible ? amountText(fees_) : "";
  parts_.view.showTransaction(transactionForm_);
}

void InvestmentQIF::stepDate(int days) {
  if (state_ != State::confirm || !settings_.outputDate.empty() || days == 0) return;
  std::string pattern = outputDatePattern();
  std::tm tm{};
  const char* end = strptime(outputDate_.c_str(), pattern.c_str(), &tm);
  if (!end || *end != '\0') return;
  CalendarDay day{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  if (!day.isValid()) return;
  outputDate_ = day.plusDays(days).format(pattern);
  transactionForm_.date =
      outputDate_ == dateText_ ? dateText_ : formatMessage(kWillUseDate, {dateText_, outputDate_});
  parts_.view.showTransaction(transactionForm_);
}

void InvestmentQIF::editInputButton() {
  if (state_ == State::none || state_ == State::newInstruction) return;
  editForm_ = EditSheetForm{};
  editForm_.dateEditable = settings_.outputDate.empty();
  editForm_.outputDate = editForm_.dateEditable ? outputDate_ : std::string(kCantChange);
  editForm_.type = typeText_;
  editForm_.security = security_;
  editForm_.symbol = symbol_;
  editForm_.amount = amount_ < 0 ? amountError_ : amountText(amount_);
  editForm_.shares = shares_ < 0 ? sharesError_ : sharesText(shares_);
  editForm_.price = price_ < 0 ? priceError_ : priceText(price_);
  editForm_.description = description_;
  editForm_.category = category_;
  editForm_.memo = memo_;
  editForm_.check = check_;
  editing_ = true;
  parts_.view.showEditSheet(editForm_);
}

void InvestmentQIF::editRevert() {
  if (!editing_) return;
  editForm_.outputDate =
      editForm_.dateEditable ? str(original_, key::Date) : std::string(kCantChange);
  editForm_.type = str(original_, key::Type);
  editForm_.security = str(original_, key::Security);
  editForm_.symbol = str(original_, key::Symbol);
  editForm_.amount = original_.contains(key::AmountError)
                         ? str(original_, key::AmountError)
                         : amountText(number(original_, key::Amount));
  editForm_.shares = original_.contains(key::SharesError)
                         ? str(original_, key::SharesError)
                         : sharesText(number(original_, key::Shares));
  editForm_.price = original_.contains(key::PriceError) ? str(original_, key::PriceError)
                                                        : priceText(number(original_, key::Price));
  editForm_.description = str(original_, key::Description);
  editForm_.category = str(original_, key::Category);
  editForm_.memo = str(original_, key::Memo);
  editForm_.check = str(original_, key::Check);
  parts_.view.showEditSheet(editForm_);
}

void InvestmentQIF::editCancel() {
  if (!editing_) return;
  editing_ = false;
  parts_.view.closeEditSheet();
}

void InvestmentQIF::editOK(const EditSheetForm& values) {
  if (!editing_) return;
  editing_ = false;
  parts_.view.closeEditSheet();
  auto read = [](const std::string& text, std::string& error) {
    AmountReading reading = findAmount(convertEuropeanAmount(text));
    if (reading.value == -1.0) error = "Invalid: " + text;
    return reading;
  };
  if (values.dateEditable && !values.outputDate.empty()) dateText_ = values.outputDate;
  typeText_ = values.type;
  security_ = values.security;
  symbol_ = values.symbol;
  AmountReading amount = read(values.amount, amountError_);
  amount_ = amount.value;
  if (amount.value >= 0) amountWasNegative_ = amount.negative;
  AmountReading shares = read(values.shares, sharesError_);
  shares_ = shares.value;
  if (shares.value >= 0) sharesWereNegative_ = shares.negative;
  price_ = read(values.price, priceError_).value;
  description_ = values.description;
  category_ = values.category;
  memo_ = values.memo;
  check_ = values.check;
  outputDate_.clear();
  showTransaction(false);
}

void InvestmentQIF::processTransaction(bool backToConfirm) {
  if (state_ != State::newInstruction) return;
  if (backToConfirm) {
    showTransaction(true);
    return;
  }
  showTransaction(false);
}

// --- splits of a cash line

std::string InvestmentQIF::addSplitsTitle() const {
  // Only QIF has a place for splits; a delimited line has one category.
  return OutputFormats::QIFOutput(OutputContext{settings_.outputFormatText, settings_.account})
             ? std::string(kAddSplits)
             : "";
}

void InvestmentQIF::splitsChanged(bool canCreate) {
  if (splits_.isArray() && splits_.size() > 0)
    balanceSplitAmounts(splits_, signedAmountText(), precision(prefKey::bccAmountsPrecision, 2),
                        canCreate, [this](Value& split) { normalizeSplit(split); });
  Value& record = qif_.open(static_cast<std::size_t>(index_));
  record.set(key::userSplits, Value(true));
  if (splits_.isArray() && splits_.size() > 0) {
    record.set(key::splits, splits_);
    transactionForm_.splits = splits_;
    transactionForm_.splitButtonTitle = std::string(kRemoveSplits);
    transactionForm_.categoryVisible = false;
  } else {
    record.erase(key::splits);
    splits_ = Value();
    transactionForm_.splits = Value::array();
    transactionForm_.splitButtonTitle = addSplitsTitle();
    transactionForm_.categoryVisible = true;
  }
  const std::size_t rows = transactionForm_.splits.size();
  std::erase_if(selectedSplits_, [rows](std::size_t row) { return row >= rows; });
  transactionForm_.selectedSplits = selectedSplits_;
  transactionForm_.deleteSplitEnabled = !selectedSplits_.empty() && selectedSplits_.size() < rows;
  parts_.view.showTransaction(transactionForm_);
  transactionForm_.editSplitRow = -1;
}

void InvestmentQIF::addRemoveSplits() {
  if (state_ != State::confirm || !transactionForm_.cash ||
      transactionForm_.splitButtonTitle.empty())
    return;
  selectedSplits_.clear();
  if (splits_.isArray() && splits_.size() > 0) {
    splits_ = Value();
    splitsChanged(false);
    return;
  }
  splits_ = Value::array();
  Value first = emptySplit();
  first.set(splitKey::category, Value(transactionForm_.category));
  first.set(splitKey::memo, Value(transactionForm_.memo));
  first.set(splitKey::amount, Value(signedAmountText()));
  normalizeSplit(first);
  splits_.append(std::move(first));
  // With a category already there, the next one is what the person came to type.
  if (!transactionForm_.category.empty()) splits_.append(emptySplit());
  transactionForm_.editSplitRow = static_cast<int>(splits_.size()) - 1;
  splitsChanged(false);
}

void InvestmentQIF::addSplit() {
  if (state_ != State::confirm || !splits_.isArray() || splits_.size() == 0) return;
  splits_.append(emptySplit());
  transactionForm_.editSplitRow = static_cast<int>(splits_.size()) - 1;
  splitsChanged(false);
}

void InvestmentQIF::splitSelectionChanged(std::vector<std::size_t> rows) {
  if (state_ != State::confirm) return;
  selectedSplits_ = std::move(rows);
  const std::size_t count = splits_.isArray() ? splits_.size() : 0;
  std::erase_if(selectedSplits_, [count](std::size_t row) { return row >= count; });
  std::sort(selectedSplits_.begin(), selectedSplits_.end());
  selectedSplits_.erase(std::unique(selectedSplits_.begin(), selectedSplits_.end()),
                        selectedSplits_.end());
  transactionForm_.selectedSplits = selectedSplits_;
  transactionForm_.deleteSplitEnabled = !selectedSplits_.empty() && selectedSplits_.size() < count;
}

void InvestmentQIF::deleteSelectedSplit() {
  if (state_ != State::confirm || !transactionForm_.deleteSplitEnabled) return;
  Value::Array& list = splits_.mutableArray();
  for (auto row = selectedSplits_.rbegin(); row != selectedSplits_.rend(); ++row)
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(*row));
  selectedSplits_.clear();
  splitsChanged(false);
}

void InvestmentQIF::splitChanged(std::size_t row, std::string_view column, std::string text) {
  if (state_ != State::confirm || !splits_.isArray() || row >= splits_.size()) return;
  if (column != splitKey::category && column != splitKey::memo && column != splitKey::amount)
    return;
  Value& split = splits_.mutableArray()[row];
  split.set(column, Value(std::move(text)));
  const bool amount = column == splitKey::amount;
  if (amount) {
    split.erase(splitKey::amountAlreadyConverted);
    normalizeSplit(split);
  }
  splitsChanged(amount);
}

// --- the instruction of a cash line

void InvestmentQIF::addInstructionForAmountButton() {
  if (!validateMenuItem(kAddNewInstructionForThisAmount)) return;
  qif_.open(static_cast<std::size_t>(index_)).erase(key::userSplits);
  state_ = State::newInstruction;
  parts_.view.close();
  parts_.bank.investmentBankingAddNewInstructionForAmount(
      (amountWasNegative_ ? "-" : "") + transactionForm_.amount, *instruction_,
      std::string(kAmountInstructionPrompt), true, outputDate_, description_, *this);
}

void InvestmentQIF::editInstructionButton() {
  if (!validateMenuItem(kEditThisInstruction)) return;
  qif_.open(static_cast<std::size_t>(index_)).erase(key::userSplits);
  state_ = State::newInstruction;
  const std::uint64_t serial = transactionSerial_;
  instructionEditor_->beginEditingInstruction(
      *instruction_, transactionForm_.description, [this, serial](bool cancelled, std::size_t) {
        // The run may have ended, or moved on, while the editor was open.
        if (state_ != State::newInstruction || transactionSerial_ != serial) return;
        showTransaction(cancelled);
      });
}

bool InvestmentQIF::validateMenuItem(std::string_view title) const {
  if (state_ != State::confirm || !transactionForm_.cash || !instruction_) return false;
  if (title == kEditThisInstruction) return transactionForm_.editInstructionEnabled;
  if (title == kAddNewInstructionForThisAmount)
    return transactionForm_.addInstructionForAmountEnabled;
  return title == kAddNewInstructionForThisTransaction;
}

}  // namespace corvela
