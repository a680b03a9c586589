#include "banking/FormattedTextReader.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
constexpr int kMostDecimals = 10;

// The field under the column key `column` of `format`, or none when the format names no such
// column or the transaction has fewer fields.
const std::string* column(const Value& format, std::string_view columnKey,
                          const std::vector<std::string>& fields) {
  const Value* index = format.find(columnKey);
  if (!index || !index->isNumber()) return nullptr;
  std::int64_t i = index->toInt();
  if (i < 0 || static_cast<std::size_t>(i) >= fields.size()) return nullptr;
  return &fields[static_cast<std::size_t>(i)];
}

// Reads an amount text into `amount`, remembering a sign written into it; a text that holds no
// amount leaves both alone.
void parseAmount(std::string_view text, double& amount, bool& negative) {
  AmountReading reading = findAmount(convertEuropeanAmount(text));
  if (!reading.isAmount()) return;
  amount = reading.value;
  negative = negative || reading.negative;
}

double signedAmount(const Value& format, const std::vector<std::string>& fields) {
  double amount = 0;
  bool negative = false;
  if (format.contains(key::Credit)) {
    if (const std::string* credit = column(format, key::Credit, fields))
      parseAmount(*credit, amount, negative);
  } else if (format.contains(key::DebitCredit)) {
    if (const std::string* both = column(format, key::DebitCredit, fields)) {
      std::string text = *both;
      const std::string* indicator = column(format, key::Indicator, fields);
      const bool hasIndicator = format.contains(key::Indicator);
      if (hasIndicator && format.contains(key::DebitIndicator)) {
        const std::string& debit = str(format, key::DebitIndicator);
        if (!(indicator && indicator->find(debit) == std::string::npos)) text = "-" + text;
      } else if (hasIndicator && format.contains(key::CreditIndicator)) {
        const std::string& credit = str(format, key::CreditIndicator);
        if (!(indicator && indicator->find(credit) != std::string::npos)) text = "-" + text;
      }
      if (!text.empty()) parseAmount(text, amount, negative);
    }
  }
  if (amount == 0) {
    if (const std::string* debit = column(format, key::Debit, fields); debit && !debit->empty()) {
      std::string text = debit->front() == '-' ? *debit : "-" + *debit;
      parseAmount(text, amount, negative);
    }
  }
  if (negative) amount = -amount;
  if (format[key::InvertAmount].toBool()) amount = -amount;
  return amount;
}

std::string writtenAmount(double amount, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, amount);
  std::string text = buffer;
  // A sign on nothing but zeros would read as a debit of nothing.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

std::optional<Value> FormattedTextReader::fromFormattedText(std::string_view text,
                                                            const Value& format,
                                                            CalendarDay fromDate,
                                                            CalendarDay toDate, CalendarDay today) {
  std::string outputDateFormat = store_.objectForKey(prefKey::OutputDateFormat).toString();
  if (outputDateFormat.empty()) outputDateFormat = kDefaultOutputDateFormat;
  const Value& precisionValue = store_.objectForKey(prefKey::bccAmountsPrecision);
  int decimals =
      precisionValue.isNumber() ? static_cast<int>(precisionValue.toInt()) : kDefaultPrecision;
  decimals = std::clamp(decimals, 0, kMostDecimals);

  Extract extract(tables_, today, outputDateFormat);
  if (!extract.parseTransactionsForCString(text, format)) return std::nullopt;
  errorWarning_.reset();
  Value qif = Value::array();
  ExtractedTransaction transaction;
  while (extract.nextTransactionUsingFormat(format, fromDate, toDate, transaction)) {
    if (transaction.isError()) {
      if (errorWarning_.format(format, transaction.error, transaction.text,
                               kSkipTransactionButton) == ErrorWarning::cancel)
        return std::nullopt;
      continue;
    }
    const std::vector<std::string>& fields = transaction.fields;
    Value record = Value::dictionary();
    const Value* dateIndex = format.find(key::Date);
    record.set(transactionKey::date, fields[dateIndex ? dateIndex->toInt() : 0]);
    const std::pair<std::string_view, std::string_view> items[] = {
        {key::Check, transactionKey::number},
        {key::Description, transactionKey::description},
        {key::Memo, transactionKey::memo},
        {key::Category, transactionKey::category}};
    for (const auto& [columnKey, recordKey] : items)
      if (const std::string* field = column(format, columnKey, fields))
        record.set(recordKey, *field);
    record.set(transactionKey::amount, writtenAmount(signedAmount(format, fields), decimals));
    qif.append(std::move(record));
  }
  return qif;
}

}  // namespace corvela
