#include "investment/InvestmentReader.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "formats/ErrorWarning.h"
#include "formats/InputFormatKeys.h"
#include "inputformats/Extract.h"
#include "investment/InvestmentFields.h"
#include "investment/InvestmentKeys.h"
#include "investment/OFXInvestmentText.h"
#include "text/Entities.h"

namespace corvela {
namespace {

namespace key = investmentKey;
namespace formatKey = inputFormatKey;

constexpr std::string_view kSkipTransaction = "Skip Transaction";

// A download writes "&" and "<" in its texts as XML entities ("S&amp;P 500"); its record holds
// the characters, as a bank download's does.
void decodeTexts(Value& record) {
  for (std::string_view name :
       {key::Security, key::Symbol, key::Memo, key::Category, key::Description, key::Check}) {
    const Value* text = record.find(name);
    if (text && text->toString().find('&') != std::string::npos)
      record.set(name, Value(decodeEntities(text->toString())));
  }
}

// The record of one transaction cut into `fields`; `ofxTypes` are the format's types made ready
// once for a whole download.
Value buildRecord(const Value& format, const std::vector<std::string>& fields,
                  const std::map<std::string, std::string>* securities, const OFXTypes* ofxTypes) {
  InvestmentFields reading(format, fields);
  std::optional<std::string> date;
  if (const Value* dateIndex = format.find(formatKey::Date)) {
    std::string text = reading.getField(formatKey::Date);
    if (dateIndex->isNumber() && !text.empty()) date = std::move(text);
  } else if (!fields.empty() && !fields[0].empty()) {
    date = fields[0];
  }
  std::string type =
      ofxTypes && fields.size() > 1 ? ofxTypes->typeOf(fields[1]) : reading.getType();

  std::string security;
  if (securities) {
    if (fields.size() > 1) {
      std::string id = ofxValueAfter(fields[1], "<UNIQUEID>").value_or("");
      if (!id.empty()) {
        auto found = securities->find(id);
        // A download without a security list still names the security by its identifier.
        security = found != securities->end() && !found->second.empty() ? found->second : id;
      }
    }
  } else {
    const Value* index = format.find(formatKey::Security);
    if (index && index->isNumber() && index->toInt() != 0)
      security = reading.getField(formatKey::Security);
  }
  std::string symbol =
      reading.getFieldOrAfter(formatKey::Symbol, std::string_view(" <\t\r\n\0", 6));
  std::string memo = reading.getFieldOrAfter(formatKey::Memo, std::string_view("<\r\n\0", 4));
  std::string category = reading.getField(formatKey::Category);
  std::string description = reading.getField(formatKey::Description);
  std::string check = reading.getFieldOrAfter(formatKey::Check, std::string_view(" <\t\r\n\0", 6));

  std::string amountError;
  double amount = reading.getNumber(formatKey::Amount, true, false, amountError);
  if (amount == 0) amount = reading.getNumber(formatKey::Credit, false, false, amountError);
  if (amount == 0) amount = reading.getNumber(formatKey::Debit, false, false, amountError);
  const bool amountWasNegative = reading.amountWasNegative();
  std::string priceError;
  double price = reading.getNumber(formatKey::Price, true, false, priceError);
  std::string sharesError;
  double shares = reading.getNumber(formatKey::Shares, true, true, sharesError);
  const bool sharesWereNegative = reading.sharesWereNegative();

  // Entered in the dictionary's order, each after the last: one entered before others would
  // move them all.
  Value::Dictionary record;
  record.reserve(14);
  auto put = [&record](std::string_view name, Value value) {
    record.emplace_hint(record.cend(), name, std::move(value));
  };
  // A number read (-1 when it could not be), or why it could not be read.
  auto putNumber = [&put](std::string_view name, double number, std::string_view errorName,
                          std::string& error) {
    if (number == -1.0)
      put(errorName, Value(std::move(error)));
    else
      put(name, Value(number));
  };
  putNumber(key::Amount, amount, key::AmountError, amountError);
  put(key::Category, Value(std::move(category)));
  put(key::Check, Value(std::move(check)));
  if (date) put(key::Date, Value(std::move(*date)));
  put(key::Description, Value(std::move(description)));
  put(key::Memo, Value(std::move(memo)));
  putNumber(key::Price, price, key::PriceError, priceError);
  put(key::Security, Value(std::move(security)));
  putNumber(key::Shares, shares, key::SharesError, sharesError);
  put(key::Symbol, Value(std::move(symbol)));
  put(key::Type, Value(std::move(type)));
  if (amount != -1.0) put(key::amountWasNegative, Value(amountWasNegative));
  if (shares != -1.0) put(key::sharesWereNegative, Value(sharesWereNegative));
  return Value(std::move(record));
}

std::optional<CalendarDay> ofxDay(std::string_view digits) {
  if (digits.size() != 8) return std::nullopt;
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  CalendarDay day{std::atoi(std::string(digits.substr(0, 4)).c_str()),
                  std::atoi(std::string(digits.substr(4, 2)).c_str()),
                  std::atoi(std::string(digits.substr(6, 2)).c_str())};
  if (!day.isValid()) return std::nullopt;
  return day;
}

}  // namespace

std::optional<RecordList> InvestmentReader::fromFormattedText(std::string_view text,
                                                              const Value& format,
                                                              CalendarDay fromDate,
                                                              CalendarDay toDate, CalendarDay today,
                                                              std::string_view outputDateFormat) {
  // Packed as each is made: a download has as many records as transactions, and as
  // dictionaries they would take several times its text.
  RecordList records(key::recordKeys);
  if (format.contains(formatKey::OFX)) {
    std::map<std::string, std::string> securities = ofxSecurityTable(text);
    std::vector<OFXAggregate> aggregates = ofxInvestmentTransactions(text);
    if (aggregates.empty()) return std::nullopt;
    records.reserve(aggregates.size());
    // The OFX format names no Date column: field 0 is the date, field 1 the aggregate.
    Value ofxFormat = format;
    ofxFormat.erase(formatKey::Date);
    const OFXTypes ofxTypes(ofxFormat[formatKey::Types]);
    for (const OFXAggregate& aggregate : aggregates) {
      std::optional<CalendarDay> day = ofxDay(aggregate.date);
      if (day && (*day < fromDate || toDate < *day)) continue;
      std::vector<std::string> fields{day ? day->format(outputDateFormat) : "",
                                      std::string(aggregate.text)};
      Value record = buildRecord(ofxFormat, fields, &securities, &ofxTypes);
      decodeTexts(record);
      std::optional<int> proposal =
          proposedQuickenType(aggregate, record[key::amountWasNegative].toBool(),
                              record[key::sharesWereNegative].toBool());
      if (proposal) record.set(key::ProposedType, Value(*proposal));
      records.append(record);
    }
    return records;
  }

  Extract extract(tables_, today, std::string(outputDateFormat));
  if (!extract.parseTransactionsForCString(text, format)) return std::nullopt;
  errorWarning_.reset();
  ExtractedTransaction transaction;
  while (extract.nextTransactionUsingFormat(format, fromDate, toDate, transaction)) {
    if (transaction.isError()) {
      if (errorWarning_.format(format, transaction.error, transaction.text, kSkipTransaction) ==
          ErrorWarning::cancel)
        return std::nullopt;
      continue;
    }
    records.append(buildRecord(format, transaction.fields, nullptr, nullptr));
  }
  return records;
}

}  // namespace corvela
