#include "readers/OFXReader.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"
#include "text/CharClass.h"
#include "text/Entities.h"

namespace corvela {
namespace {

constexpr std::string_view kDefaultOutputDateFormat = "%m/%d/%Y";
constexpr std::string_view kTransactionTag = "<STMTTRN>";

// Where the number of a transaction comes from; the whole download decides.
enum class NumberSource { None, RefNum, RefNumElseCheckNum };

NumberSource numberSourceOf(std::string_view download) {
  // Credit-card downloads put the card issuer's reference in REFNUM and sometimes carry a
  // CHECKNUM that means nothing to the card holder.
  if (download.find("CREDITCARDMSG") != std::string_view::npos) return NumberSource::RefNum;
  if (download.find("BANKMSG") != std::string_view::npos) return NumberSource::RefNumElseCheckNum;
  return NumberSource::None;
}

// The blocks after each "<STMTTRN>": each runs to the next one, the last to the end of text.
std::vector<std::string_view> transactionBlocks(std::string_view download) {
  std::vector<std::string_view> blocks;
  std::size_t start = download.find(kTransactionTag);
  while (start != std::string_view::npos) {
    start += kTransactionTag.size();
    std::size_t next = download.find(kTransactionTag, start);
    std::size_t end = next == std::string_view::npos ? download.size() : next;
    blocks.push_back(download.substr(start, end - start));
    start = next;
  }
  return blocks;
}

// The posting day of a block, or none when <DTPOSTED> is missing, is not followed by eight
// digits (year, month, day), or the digits name no real day. White space before the digits is
// skipped; a time and zone after them are ignored: the day is the one the bank wrote.
//
// Stricter than reading "%4d%2d%2d": a sign, a blank between the numbers or a short date
// (2024013, read as January 3 by scanf) are refused rather than read as some other day.
std::optional<CalendarDay> postingDay(std::string_view block) {
  constexpr std::string_view kTag = "<DTPOSTED>";
  constexpr std::size_t kDigits = 8;
  std::size_t at = block.find(kTag);
  if (at == std::string_view::npos) return std::nullopt;
  at += kTag.size();
  while (at < block.size() && charclass::isSpace(block[at])) ++at;
  if (block.size() - at < kDigits) return std::nullopt;
  int numbers[3] = {0, 0, 0};
  constexpr std::size_t kWidths[3] = {4, 2, 2};
  for (int field = 0; field < 3; ++field) {
    for (std::size_t i = 0; i < kWidths[field]; ++i, ++at) {
      if (!charclass::isDigit(block[at])) return std::nullopt;
      numbers[field] = numbers[field] * 10 + (block[at] - '0');
    }
  }
  // 20241340 must not roll over into some other day and be written out as if it were right.
  CalendarDay day{numbers[0], numbers[1], numbers[2]};
  if (!day.isValid()) return std::nullopt;
  return day;
}

Value errorRecord(std::string_view message, std::string_view block) {
  Value record = Value::dictionary();
  record.set(transactionKey::errorMessage, message);
  record.set(transactionKey::errorText, block);
  return record;
}

// Whether an amount (after the decimal-comma conversion) can be an amount at all: an optional
// sign, digits with commas only between groups of three before the point, at most one point,
// trailing blanks allowed. OFX asks for no thousands commas, but a bank that writes them means
// thousands, and QIF takes them as they are. Anything else ("NaN", "1e-308", "0x10", two
// points) would be copied into the output as if it were a number.
bool readableAmount(std::string_view amount) {
  while (!amount.empty() && charclass::isSpace(amount.back())) amount.remove_suffix(1);
  if (!amount.empty() && (amount[0] == '-' || amount[0] == '+')) amount.remove_prefix(1);
  std::size_t point = amount.find('.');
  std::string_view whole = amount.substr(0, point);
  std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : amount.substr(point + 1);
  int digits = 0;
  for (char c : fraction) {
    if (!charclass::isDigit(c)) return false;
    ++digits;
  }
  // Commas only between groups of three digits: 1,234,567.
  std::size_t group = 0;
  bool grouped = false;
  for (char c : whole) {
    if (c == ',') {
      if (group == 0 || group > 3 || (grouped && group != 3)) return false;
      grouped = true;
      group = 0;
    } else if (charclass::isDigit(c)) {
      ++group;
      ++digits;
    } else {
      return false;
    }
  }
  if (grouped && group != 3) return false;
  return digits > 0 && digits <= 18;
}

// A debit's amount written as a negative number. Banks that mark debits by type usually write
// the amount negative already; a second minus ("--12.00") would be unreadable to every finance
// program.
std::string debitAmount(const std::string& amount) {
  if (!amount.empty() && amount[0] == '-') return amount;
  if (!amount.empty() && amount[0] == '+') return "-" + amount.substr(1);
  return "-" + amount;
}

}  // namespace

OFXReader::OFXReader(const CVPrefs& store, const Preferences& options)
    : store_(store), options_(options) {}

bool OFXReader::addField(std::string_view key, std::string_view ofxLabel,
                         std::string_view ofxTransaction, Value& qifTransaction) {
  if (ofxLabel.empty()) return false;
  std::size_t at = ofxTransaction.find(ofxLabel);
  if (at == std::string_view::npos) return false;
  std::size_t start = at + ofxLabel.size();
  while (start < ofxTransaction.size() && charclass::isSpace(ofxTransaction[start])) ++start;
  std::size_t end = ofxTransaction.find_first_of("\r\n<", start);
  if (end == std::string_view::npos) end = ofxTransaction.size();
  // OFX escapes "&", "<" and ">" in values; the person's finance software wants the characters.
  qifTransaction.set(key, decodeEntities(ofxTransaction.substr(start, end - start)));
  return true;
}

OFXReadResult OFXReader::fromOFX(std::string_view text, CalendarDay fromDate,
                                 CalendarDay toDate) const {
  OFXReadResult result;
  const bool useTRNTYPE = options_.isOn(option::useOFXTRNTYPE);
  result.mustConfirm = options_.isOn(option::confirmAllTransactions);
  std::string outputDateFormat = store_.objectForKey(prefKey::OutputDateFormat).toString();
  if (outputDateFormat.empty()) outputDateFormat = kDefaultOutputDateFormat;
  const NumberSource numberSource = numberSourceOf(text);

  for (std::string_view block : transactionBlocks(text)) {
    std::optional<CalendarDay> day = postingDay(block);
    if (!day) {
      result.qif.append(errorRecord(kOFXNoDateMessage, block));
      continue;
    }
    if (*day < fromDate || *day > toDate) continue;

    Value record = Value::dictionary();
    record.set(transactionKey::date, day->format(outputDateFormat));
    if (numberSource == NumberSource::RefNum) {
      addField(transactionKey::number, "<REFNUM>", block, record);
    } else if (numberSource == NumberSource::RefNumElseCheckNum) {
      if (!addField(transactionKey::number, "<REFNUM>", block, record)) {
        addField(transactionKey::number, "<CHECKNUM>", block, record);
      }
    }
    addField(transactionKey::memo, "<MEMO>", block, record);
    if (!addField(transactionKey::description, "<NAME>", block, record)) {
      record.set(transactionKey::description, "");
    }
    if (!addField(transactionKey::amount, "<TRNAMT>", block, record)) {
      record = errorRecord(kOFXNoAmountMessage, block);
    } else {
      // Some banks write their own locale's decimal comma (-130,00) although OFX asks for a
      // point; read it as the QIF reader reads one.
      record.set(transactionKey::amount,
                 convertEuropeanAmount(str(record, transactionKey::amount)));
      if (!readableAmount(str(record, transactionKey::amount)))
        record = errorRecord(kOFXBadAmountMessage, block);
    }

    if (useTRNTYPE) {
      if (!addField(transactionKey::trntype, "<TRNTYPE>", block, record)) {
        record = errorRecord(kOFXNoTypeMessage, block);
      } else if (str(record, transactionKey::trntype) == "DEBIT" &&
                 has(record, transactionKey::amount)) {
        record.set(transactionKey::amount, debitAmount(str(record, transactionKey::amount)));
      }
    }
    result.qif.append(std::move(record));
  }
  return result;
}

}  // namespace corvela
