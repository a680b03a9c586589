#include "readers/QIFReader.h"

#include <algorithm>
#include <utility>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"
#include "text/Dates.h"

namespace corvela {
namespace {

constexpr std::string_view kDefaultOutputDateFormat = "%m/%d/%Y";

// The bytes of the UTF-8 character that starts at `at`, so that a multi-byte character in the
// removal set is removed whole.
std::string_view characterAt(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return text.substr(at, end - at);
}

// Removes every character of `removals` from `text`; `bytes` marks the bytes they are made of.
void removeCharacters(std::string& text, std::string_view removals,
                      const std::array<bool, 256>& bytes) {
  // Most amounts hold none of them; no byte in common means no character in common.
  if (std::none_of(text.begin(), text.end(),
                   [&bytes](char c) { return bytes[static_cast<unsigned char>(c)]; }))
    return;
  for (std::size_t at = 0; at < removals.size();) {
    std::string_view character = characterAt(removals, at);
    at += character.size();
    for (std::size_t found = text.find(character); found != std::string::npos;
         found = text.find(character, found)) {
      text.erase(found, character.size());
    }
  }
}

// The collecting state of one register walk. The fields are views into the lines until the
// record closes: then its dictionary is made once, at its final size, its keys in order.
struct RegisterWalk {
  std::optional<CalendarDay> date;
  std::optional<std::string_view> number, memo, category, cleared, description, amount;
  std::optional<Value> splitList;
  std::string_view pendingSplitCategory;
  std::optional<std::string_view> pendingSplitMemo;
  bool skip = false;

  // Adds the record read to `records`, its date written as `dateText`.
  void appendTo(RecordList& records, std::string_view dateText) {
    if (splitList) category.reset();
    const std::string amountText = amount ? convertEuropeanAmount(*amount) : std::string();
    // In the keys' order.
    RecordList::TextField fields[7];
    std::size_t count = 0;
    auto add = [&](std::string_view key, std::optional<std::string_view> text) {
      if (text) fields[count++] = {key, *text};
    };
    add(transactionKey::amount,
        amount ? std::optional<std::string_view>(amountText) : std::nullopt);
    add(transactionKey::category, category);
    add(transactionKey::cleared, cleared);
    add(transactionKey::date, dateText);
    add(transactionKey::description, description);
    add(transactionKey::memo, memo);
    add(transactionKey::number, number);
    if (!splitList) {
      records.appendTexts({fields, count});
      return;
    }
    Value made = Value::dictionary(count + 1);
    Value::Dictionary& entries = made.mutableDictionary();
    for (std::size_t i = 0; i < count; ++i)
      entries.emplace_hint(entries.cend(), fields[i].first, Value(fields[i].second));
    entries.emplace_hint(entries.cend(), transactionKey::splits, std::move(*splitList));
    records.append(made);
  }
};

}  // namespace

QIFReader::QIFReader(const CVPrefs& store, const Preferences& options, const Bundle& bundle)
    : store_(store),
      options_(options),
      bundle_(bundle),
      removeFromAmounts_(bundle.table("CVRemoveFromAmounts").toString()) {
  for (char c : removeFromAmounts_) removableBytes_[static_cast<unsigned char>(c)] = true;
}

namespace {

// Whether every "D" line of the register names a real day when read day before month.
bool everyDateReadsDayFirst(LineWalk lines, const DateTables& tables, CalendarDay today) {
  for (std::string_view line; lines.next(line);) {
    if (line.empty() || line[0] != 'D') continue;
    std::optional<CalendarDay> date = parseQIFDate(line.substr(1), tables, true, today);
    if (!date || !date->isValid()) return false;
  }
  return true;
}

}  // namespace

QIFReadResult QIFReader::fromQIFText(std::string_view text, std::size_t skippedLines,
                                     CalendarDay fromDate, CalendarDay toDate,
                                     CalendarDay today) const {
  // The lines are cut as they are read, each pass from a copy of the walk: a long register's
  // list of lines would take as much room again as its text.
  LineWalk lines(text);
  for (std::string_view skipped; skippedLines > 0 && lines.next(skipped);) --skippedLines;
  const DateTables tables = bundle_.dateTables();
  if (options_.isOn(option::europeanDates))
    return readRegister(lines, fromDate, toDate, today, tables, true);

  QIFReadResult result = readRegister(lines, fromDate, toDate, today, tables, false);
  if (result.ok()) return result;
  // People should not have to know their bank's date order: a register whose dates all read day
  // first, and not all month first, can only have been written day first.
  if (everyDateReadsDayFirst(lines, tables, today)) {
    QIFReadResult dayFirst = readRegister(lines, fromDate, toDate, today, tables, true);
    dayFirst.readDayFirst = true;
    return dayFirst;
  }
  std::string_view failed;
  for (int line = 0; line < result.failedLine; ++line) lines.next(failed);
  std::optional<CalendarDay> asDayFirst = parseQIFDate(failed.substr(1), tables, true, today);
  result.mayBeDayFirst = asDayFirst && asDayFirst->isValid();
  return result;
}

QIFReadResult QIFReader::readRegister(LineWalk lines, CalendarDay fromDate, CalendarDay toDate,
                                      CalendarDay today, const DateTables& tables,
                                      bool european) const {
  QIFReadResult result;
  std::string outputDateFormat = store_.objectForKey(prefKey::OutputDateFormat).toString();
  if (outputDateFormat.empty()) outputDateFormat = kDefaultOutputDateFormat;

  // One record per line that starts with "^" at most: the list is made at its size at once. The
  // "^" are searched for in the text, not line by line, which would cut the lines twice.
  std::size_t records = 0;
  const std::string_view text = lines.rest();
  for (std::size_t at = text.find('^'); at != std::string_view::npos; at = text.find('^', at + 1))
    records += at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
  result.qif.reserve(records);
  RegisterWalk walk;
  // Neighbouring records mostly share their day: it is read, and written out, once for them.
  std::optional<std::string_view> lastDateLine;
  std::optional<CalendarDay> lastDate;
  DayWriter writeDay(outputDateFormat);
  std::size_t index = 0;
  for (std::string_view line; lines.next(line); ++index) {
    if (line.empty() || line[0] == ' ') continue;
    const char kind = line[0];
    const std::string_view rest = line.substr(1);

    if (kind == 'D') {
      if (rest != lastDateLine) {
        lastDate = parseQIFDate(rest, tables, european, today);
        lastDateLine = rest;
      }
      const std::optional<CalendarDay> date = lastDate;
      // A date the numbers cannot name (the European flag turns 12/31/2023 into month 31) would
      // otherwise roll over into some other day and be written out as if it were right.
      if (!date || !date->isValid()) {
        result.failedLine = static_cast<int>(index + 1);
        return result;
      }
      if (walk.skip) continue;
      if (*date < fromDate || *date > toDate) {
        // The fields read so far ("N" before "D", say) belong to this record: they go with it.
        walk = RegisterWalk();
        walk.skip = true;
      } else {
        walk.date = date;
      }
      continue;
    }
    if (walk.skip) {
      // The skipped record ends at its "^"; the next one starts afresh.
      if (kind == '^') walk = RegisterWalk();
      continue;
    }

    switch (kind) {
      case 'N':
        walk.number = rest;
        break;
      case 'M':
        walk.memo = rest;
        break;
      case 'L':
        walk.category = rest;
        break;
      case 'C':
        walk.cleared = rest;
        break;
      case 'P':
        walk.description = rest;
        break;
      case 'T':
        walk.amount = rest;
        break;
      case '^':
        // A record without a date can be written nowhere; its fields must not turn up in the
        // next record either.
        if (walk.date) walk.appendTo(result.qif, writeDay(*walk.date));
        walk = RegisterWalk();
        break;
      case 'S':
        walk.pendingSplitCategory = rest;
        walk.pendingSplitMemo.reset();
        if (!walk.splitList) walk.splitList = Value::array();
        break;
      case 'E':
        walk.pendingSplitMemo = rest;
        break;
      case '$':
        // Split amounts are written in the same notation as the total, and must add up to it.
        if (walk.splitList) {
          walk.splitList->append(
              Value{{std::string(splitKey::category), Value(walk.pendingSplitCategory)},
                    {std::string(splitKey::memo), Value(walk.pendingSplitMemo.value_or(""))},
                    {std::string(splitKey::amount), convertEuropeanAmount(rest)}});
        }
        break;
      default:
        // Headers ("!Type:..."), address lines, "U" amounts and the like carry nothing we keep.
        break;
    }
  }
  return result;
}

std::optional<std::string> QIFReader::normalizeQIFAmountIn(Value& record, int qifTypeTag) const {
  const Value* stored = record.find(transactionKey::amount);
  if (!stored) return std::nullopt;
  std::string amount = stored->toString();
  if (has(record, transactionKey::amountAlreadyConverted)) return amount;

  removeCharacters(amount, removeFromAmounts_, removableBytes_);
  if (options_.isOn(option::outputEuropeanAmounts)) {
    std::erase(amount, ',');
    for (char& c : amount) {
      if (c == '.') c = ',';
    }
  }
  if (!amount.empty() && amount[0] == '(') amount.replace(0, 1, "-");
  if (std::size_t minus = amount.find('-', 1); minus != std::string::npos) {
    amount.erase(minus, 1);
    amount.insert(0, "-");
  }
  if (qifTypeTag & kQIFTypeReverseSigns) {
    if (!amount.empty() && amount[0] == '-') {
      amount.erase(0, 1);
    } else {
      amount.insert(0, "-");
    }
  }
  // Most amounts are written as they were read; the record is then left as it is.
  const Value* read = record.find(transactionKey::amount);
  if (!read->isString() || read->toString() != amount) record.set(transactionKey::amount, amount);
  record.set(transactionKey::amountAlreadyConverted, true);
  return amount;
}

}  // namespace corvela
