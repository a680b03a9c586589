#include "banking/FormattedTextReader.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "banking/DecimalAmount.h"
#include "formats/ErrorWarning.h"
#include "formats/InputFormatKeys.h"
#include "inputformats/Extract.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"

namespace corvela {
namespace {

namespace key = inputFormatKey;

constexpr std::string_view kDefaultOutputDateFormat = "%m/%d/%Y";
constexpr int kDefaultPrecision = 2;

// The column keys of a format, read once per reading: the text of a statement has thousands of
// transactions, and the format's keys are the same for each.
struct Columns {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  explicit Columns(const Value& format) {
    auto index = [&](std::string_view key) {
      const Value* value = format.find(key);
      if (!value || !value->isNumber() || value->toInt() < 0) return kNone;
      return static_cast<std::size_t>(value->toInt());
    };
    const Value* dateColumn = format.find(key::Date);
    date = dateColumn ? static_cast<std::size_t>(dateColumn->toInt()) : 0;
    items[0] = index(key::Check);
    items[1] = index(key::Description);
    items[2] = index(key::Memo);
    items[3] = index(key::Category);
    hasCredit = format.contains(key::Credit);
    credit = index(key::Credit);
    hasDebitCredit = format.contains(key::DebitCredit);
    debitCredit = index(key::DebitCredit);
    hasIndicator = format.contains(key::Indicator);
    indicator = index(key::Indicator);
    hasDebitIndicator = format.contains(key::DebitIndicator);
    debitIndicator = str(format, key::DebitIndicator);
    hasCreditIndicator = format.contains(key::CreditIndicator);
    creditIndicator = str(format, key::CreditIndicator);
    debit = index(key::Debit);
    invert = format[key::InvertAmount].toBool();
  }

  std::size_t date;
  std::size_t items[4];  // Check, Description, Memo, Category
  bool hasCredit, hasDebitCredit, hasIndicator, hasDebitIndicator, hasCreditIndicator, invert;
  std::size_t credit, debitCredit, indicator, debit;
  std::string debitIndicator, creditIndicator;
};

constexpr std::string_view kItemKeys[] = {transactionKey::number, transactionKey::description,
                                          transactionKey::memo, transactionKey::category};

// The field in `column`, or none when the format names no such column or the transaction has
// fewer fields.
const std::string* field(const std::vector<std::string>& fields, std::size_t column) {
  return column < fields.size() ? &fields[column] : nullptr;
}

// Reads an amount text into `amount`, remembering a sign written into it; a text that holds no
// amount leaves both alone.
void parseAmount(std::string_view text, double& amount, bool& negative) {
  AmountReading reading = findAmount(convertEuropeanAmount(text));
  if (!reading.isAmount()) return;
  amount = reading.value;
  negative = negative || reading.negative;
}

double signedAmount(const Columns& columns, const std::vector<std::string>& fields) {
  double amount = 0;
  bool negative = false;
  if (columns.hasCredit) {
    if (const std::string* credit = field(fields, columns.credit))
      parseAmount(*credit, amount, negative);
  } else if (columns.hasDebitCredit) {
    if (const std::string* both = field(fields, columns.debitCredit)) {
      std::string text = *both;
      const std::string* indicator = field(fields, columns.indicator);
      if (columns.hasIndicator && columns.hasDebitIndicator) {
        if (!(indicator && indicator->find(columns.debitIndicator) == std::string::npos))
          text = "-" + text;
      } else if (columns.hasIndicator && columns.hasCreditIndicator) {
        if (!(indicator && indicator->find(columns.creditIndicator) != std::string::npos))
          text = "-" + text;
      }
      if (!text.empty()) parseAmount(text, amount, negative);
    }
  }
  if (amount == 0) {
    if (const std::string* debit = field(fields, columns.debit); debit && !debit->empty()) {
      std::string text = debit->front() == '-' ? *debit : "-" + *debit;
      parseAmount(text, amount, negative);
    }
  }
  if (negative) amount = -amount;
  if (columns.invert) amount = -amount;
  return amount;
}

// One reading of a text, its state kept from one window to the next.
class TextWindows final : public RecordWindows {
 public:
  TextWindows(const DateTables& tables, CalendarDay today, std::string outputDateFormat,
              const Value& format, CalendarDay fromDate, CalendarDay toDate, int decimals,
              ErrorWarning& errorWarning)
      : extract_(tables, today, std::move(outputDateFormat)),
        format_(format),
        columns_(format),
        fromDate_(fromDate),
        toDate_(toDate),
        decimals_(decimals),
        errorWarning_(errorWarning) {}

  // False when the text holds no transaction.
  bool start(std::string_view text) { return extract_.parseTransactionsForCString(text, format_); }

  bool next(RecordList& into, std::size_t most) override {
    std::size_t added = 0;
    while (!givenUp_ && added < most &&
           extract_.nextTransactionUsingFormat(format_, fromDate_, toDate_, transaction_)) {
      if (transaction_.isError()) {
        givenUp_ = errorWarning_.format(format_, transaction_.error, transaction_.text,
                                        kSkipTransactionButton) == ErrorWarning::cancel;
        continue;
      }
      const std::vector<std::string>& fields = transaction_.fields;
      const std::string amount = writeFixedAmount(signedAmount(columns_, fields), decimals_);
      // Each field put in its place by key, as the record wants them.
      RecordList::TextField record[std::size(kItemKeys) + 2];
      std::size_t count = 0;
      auto add = [&](std::string_view key, std::string_view text) {
        std::size_t at = count++;
        for (; at > 0 && key < record[at - 1].first; --at) record[at] = record[at - 1];
        record[at] = {key, text};
      };
      add(transactionKey::date, fields[columns_.date]);
      add(transactionKey::amount, amount);
      for (std::size_t i = 0; i < std::size(kItemKeys); ++i)
        if (const std::string* item = field(fields, columns_.items[i])) add(kItemKeys[i], *item);
      into.appendTexts({record, count});
      ++added;
    }
    return added > 0;
  }

  bool givenUp() const override { return givenUp_; }

 private:
  Extract extract_;
  const Value format_;
  const Columns columns_;
  const CalendarDay fromDate_, toDate_;
  const int decimals_;
  ErrorWarning& errorWarning_;
  ExtractedTransaction transaction_;
  bool givenUp_ = false;
};

}  // namespace

std::unique_ptr<RecordWindows> FormattedTextReader::windows(std::string_view text,
                                                            const Value& format,
                                                            CalendarDay fromDate,
                                                            CalendarDay toDate, CalendarDay today) {
  std::string outputDateFormat = store_.objectForKey(prefKey::OutputDateFormat).toString();
  if (outputDateFormat.empty()) outputDateFormat = kDefaultOutputDateFormat;
  const Value& precisionValue = store_.objectForKey(prefKey::bccAmountsPrecision);
  int decimals =
      precisionValue.isNumber() ? static_cast<int>(precisionValue.toInt()) : kDefaultPrecision;
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);

  auto reading = std::make_unique<TextWindows>(tables_, today, std::move(outputDateFormat), format,
                                               fromDate, toDate, decimals, errorWarning_);
  if (!reading->start(text)) return nullptr;
  errorWarning_.reset();
  return reading;
}

std::optional<RecordList> FormattedTextReader::fromFormattedText(std::string_view text,
                                                                 const Value& format,
                                                                 CalendarDay fromDate,
                                                                 CalendarDay toDate,
                                                                 CalendarDay today) {
  std::unique_ptr<RecordWindows> reading = windows(text, format, fromDate, toDate, today);
  if (!reading) return std::nullopt;
  RecordList records;
  reading->next(records, SIZE_MAX);
  if (reading->givenUp()) return std::nullopt;
  return records;
}

}  // namespace corvela
