#include "readers/QIFReader.h"

#include <algorithm>
#include <cstdint>
#include <memory>
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

// The one-based index of the first "D" line that names no real day when read so, or 0: what
// reading the register would stop at, found without making a record.
int firstUnreadableDate(LineWalk lines, const DateTables& tables, bool european,
                        CalendarDay today) {
  std::optional<std::string_view> lastDateLine;
  int index = 0;
  for (std::string_view line; lines.next(line);) {
    ++index;
    if (line.empty() || line[0] != 'D') continue;
    // Neighbouring records mostly share their day: it is read once for them.
    if (line == lastDateLine) continue;
    std::optional<CalendarDay> date = parseQIFDate(line.substr(1), tables, european, today);
    if (!date || !date->isValid()) return index;
    lastDateLine = line;
  }
  return 0;
}

// How many records a register holds at most: one per line that starts with "^". The "^" are
// searched for in the text, not line by line, which would cut the lines twice.
std::size_t mostRecords(std::string_view text) {
  std::size_t records = 0;
  for (std::size_t at = text.find('^'); at != std::string_view::npos; at = text.find('^', at + 1))
    records += at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
  return records;
}

// One reading of a register, its state kept from one window to the next.
class RegisterWindows final : public RecordWindows {
 public:
  RegisterWindows(LineWalk lines, const DateTables& tables, bool european, CalendarDay fromDate,
                  CalendarDay toDate, CalendarDay today, std::string outputDateFormat)
      : lines_(lines),
        tables_(tables),
        european_(european),
        fromDate_(fromDate),
        toDate_(toDate),
        today_(today),
        writeDay_(std::move(outputDateFormat)),
        recordsLeft_(mostRecords(lines.rest())) {}

  bool next(RecordList& into, std::size_t most) override;

 private:
  LineWalk lines_;
  const DateTables tables_;
  const bool european_;
  const CalendarDay fromDate_, toDate_, today_;
  RegisterWalk record_;
  // Neighbouring records mostly share their day: it is read, and written out, once for them.
  std::optional<std::string_view> lastDateLine_;
  std::optional<CalendarDay> lastDate_;
  DayWriter writeDay_;
  std::size_t recordsLeft_;
  bool done_ = false;
};

bool RegisterWindows::next(RecordList& into, std::size_t most) {
  if (done_) return false;
  // The list is made at its size at once.
  into.reserve(into.size() + std::min(most, recordsLeft_));
  std::size_t added = 0;
  for (std::string_view line; added < most && lines_.next(line);) {
    if (line.empty() || line[0] == ' ') continue;
    const char kind = line[0];
    const std::string_view rest = line.substr(1);

    if (kind == 'D') {
      if (rest != lastDateLine_) {
        lastDate_ = parseQIFDate(rest, tables_, european_, today_);
        lastDateLine_ = rest;
      }
      const std::optional<CalendarDay> date = lastDate_;
      // A date the numbers cannot name (the European flag turns 12/31/2023 into month 31) would
      // otherwise roll over into some other day and be written out as if it were right.
      if (!date || !date->isValid()) {
        done_ = true;
        return added > 0;
      }
      if (record_.skip) continue;
      if (*date < fromDate_ || *date > toDate_) {
        // The fields read so far ("N" before "D", say) belong to this record: they go with it.
        record_ = RegisterWalk();
        record_.skip = true;
      } else {
        record_.date = date;
      }
      continue;
    }
    if (record_.skip) {
      // The skipped record_ ends at its "^"; the next one starts afresh.
      if (kind == '^') {
        record_ = RegisterWalk();
        if (recordsLeft_ > 0) --recordsLeft_;
      }
      continue;
    }

    switch (kind) {
      case 'N':
        record_.number = rest;
        break;
      case 'M':
        record_.memo = rest;
        break;
      case 'L':
        record_.category = rest;
        break;
      case 'C':
        record_.cleared = rest;
        break;
      case 'P':
        record_.description = rest;
        break;
      case 'T':
        record_.amount = rest;
        break;
      case '^':
        // A record_ without a date can be written nowhere; its fields must not turn up in the
        // next record_ either.
        if (record_.date) {
          record_.appendTo(into, writeDay_(*record_.date));
          ++added;
        }
        record_ = RegisterWalk();
        if (recordsLeft_ > 0) --recordsLeft_;
        break;
      case 'S':
        record_.pendingSplitCategory = rest;
        record_.pendingSplitMemo.reset();
        if (!record_.splitList) record_.splitList = Value::array();
        break;
      case 'E':
        record_.pendingSplitMemo = rest;
        break;
      case '$':
        // Split amounts are written in the same notation as the total, and must add up to it.
        if (record_.splitList) {
          record_.splitList->append(
              Value{{std::string(splitKey::category), Value(record_.pendingSplitCategory)},
                    {std::string(splitKey::memo), Value(record_.pendingSplitMemo.value_or(""))},
                    {std::string(splitKey::amount), convertEuropeanAmount(rest)}});
        }
        break;
      default:
        // Headers ("!Type:..."), address lines_, "U" amounts and the like carry nothing we keep.
        break;
    }
  }
  if (added < most) done_ = true;
  return added > 0;
}

}  // namespace

std::unique_ptr<RecordWindows> QIFReader::windows(std::string_view text, std::size_t skippedLines,
                                                  CalendarDay fromDate, CalendarDay toDate,
                                                  CalendarDay today, QIFReadResult& outcome) const {
  outcome = QIFReadResult();
  LineWalk lines(text);
  for (std::string_view skipped; skippedLines > 0 && lines.next(skipped);) --skippedLines;
  const DateTables tables = bundle_.dateTables();
  std::string outputDateFormat = store_.objectForKey(prefKey::OutputDateFormat).toString();
  if (outputDateFormat.empty()) outputDateFormat = kDefaultOutputDateFormat;
  // The dates are settled before any record is made, so that a register read a window at a time
  // never turns out unreadable half-way.
  bool european = options_.isOn(option::europeanDates);
  outcome.failedLine = firstUnreadableDate(lines, tables, european, today);
  // People should not have to know their bank's date order: a register whose dates all read day
  // first, and not all month first, can only have been written day first.
  if (outcome.failedLine != 0 && !european &&
      firstUnreadableDate(lines, tables, true, today) == 0) {
    european = true;
    outcome.failedLine = 0;
    outcome.readDayFirst = true;
  } else if (outcome.failedLine != 0 && !european) {
    std::string_view failed;
    LineWalk toFailed = lines;
    for (int line = 0; line < outcome.failedLine; ++line) toFailed.next(failed);
    std::optional<CalendarDay> asDayFirst = parseQIFDate(failed.substr(1), tables, true, today);
    outcome.mayBeDayFirst = asDayFirst && asDayFirst->isValid();
  }
  return std::make_unique<RegisterWindows>(lines, tables, european, fromDate, toDate, today,
                                           std::move(outputDateFormat));
}

QIFReadResult QIFReader::fromQIFText(std::string_view text, std::size_t skippedLines,
                                     CalendarDay fromDate, CalendarDay toDate,
                                     CalendarDay today) const {
  QIFReadResult result;
  windows(text, skippedLines, fromDate, toDate, today, result)->next(result.qif, SIZE_MAX);
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
