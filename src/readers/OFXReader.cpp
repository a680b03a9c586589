#include "readers/OFXReader.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
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
  // Every line of a download starts with "<": a search that stops at each of them to compare
  // would go over the text in steps of a line.
  const std::boyer_moore_horspool_searcher tag(kTransactionTag.begin(), kTransactionTag.end());
  auto next = [&](std::string_view::const_iterator from) {
    return std::search(from, download.end(), tag);
  };
  std::vector<std::string_view> blocks;
  for (auto start = next(download.begin()); start != download.end();) {
    start += static_cast<std::ptrdiff_t>(kTransactionTag.size());
    auto end = next(start);
    blocks.emplace_back(start, end);
    start = end;
  }
  return blocks;
}

// The first place of each tag a record is made of, found in one pass over a block: every tag
// starts with "<", so looking at each "<" once finds the same first occurrence a search per tag
// would, without going over the block once per tag.
struct BlockTags {
  enum Tag { dtposted, refnum, checknum, memo, name, trnamt, trntype, count };
  static constexpr std::string_view kLabels[count] = {
      "<DTPOSTED>", "<REFNUM>", "<CHECKNUM>", "<MEMO>", "<NAME>", "<TRNAMT>", "<TRNTYPE>"};
  // Where the text after each tag starts, or npos when the block lacks the tag.
  std::size_t after[count];

  explicit BlockTags(std::string_view block) {
    std::fill(std::begin(after), std::end(after), std::string_view::npos);
    int missing = count;
    for (std::size_t at = block.find('<'); at != std::string_view::npos && missing > 0;
         at = block.find('<', at + 1)) {
      std::string_view rest = block.substr(at);
      if (rest.size() < 2) break;
      for (int tag = 0; tag < count; ++tag) {
        // The letter after "<" tells the tags apart before any comparison is made.
        if (kLabels[tag][1] != rest[1] || after[tag] != std::string_view::npos ||
            !rest.starts_with(kLabels[tag]))
          continue;
        after[tag] = at + kLabels[tag].size();
        --missing;
        break;
      }
    }
  }
  bool has(Tag tag) const { return after[tag] != std::string_view::npos; }
};

// The value that starts at `start` (just after its tag): white space (line ends included)
// skipped, up to the next line end, "<" or the end of the block.
std::string_view valueAt(std::string_view block, std::size_t start) {
  while (start < block.size() && charclass::isSpace(block[start])) ++start;
  // A value is a few characters: looking each up once beats a search for any of three.
  static constexpr std::array<bool, 256> kEndsValue = [] {
    std::array<bool, 256> ends{};
    ends['\r'] = ends['\n'] = ends['<'] = true;
    return ends;
  }();
  std::size_t end = start;
  while (end < block.size() && !kEndsValue[static_cast<unsigned char>(block[end])]) ++end;
  return block.substr(start, end - start);
}

// The posting day of a block, or none when <DTPOSTED> is missing, is not followed by eight
// digits (year, month, day), or the digits name no real day. White space before the digits is
// skipped; a time and zone after them are ignored: the day is the one the bank wrote.
//
// Stricter than reading "%4d%2d%2d": a sign, a blank between the numbers or a short date
// (2024013, read as January 3 by scanf) are refused rather than read as some other day.
std::optional<CalendarDay> postingDay(std::string_view block, std::size_t at) {
  constexpr std::size_t kDigits = 8;
  if (at == std::string_view::npos) return std::nullopt;
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
  // OFX escapes "&", "<" and ">" in values; the person's finance software wants the characters.
  qifTransaction.set(key, decodeEntities(valueAt(ofxTransaction, at + ofxLabel.size())));
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

  const std::vector<std::string_view> blocks = transactionBlocks(text);
  result.qif.reserve(blocks.size());
  DayWriter writeDay(outputDateFormat);
  for (std::string_view block : blocks) {
    const BlockTags tags(block);
    std::optional<CalendarDay> day = postingDay(block, tags.after[BlockTags::dtposted]);
    if (!day) {
      result.qif.append(errorRecord(kOFXNoDateMessage, block));
      continue;
    }
    if (*day < fromDate || *day > toDate) continue;
    // OFX escapes "&", "<" and ">" in values; the person's finance software wants the characters.
    // A value without an entity is the download's own text; a decoded one is kept in `storage`.
    auto field = [&](BlockTags::Tag tag, std::string& storage) -> std::string_view {
      std::string_view raw = valueAt(block, tags.after[tag]);
      if (raw.find('&') == std::string_view::npos) return raw;
      storage = decodeEntities(raw);
      return storage;
    };
    std::string decoded[3];

    // An error record replaces the transaction; with "useOFXTRNTYPE" on it keeps the type.
    Value record;
    std::string amount;
    if (!tags.has(BlockTags::trnamt)) {
      record = errorRecord(kOFXNoAmountMessage, block);
    } else {
      // Some banks write their own locale's decimal comma (-130,00) although OFX asks for a
      // point; read it as the QIF reader reads one.
      amount = convertEuropeanAmount(field(BlockTags::trnamt, decoded[0]));
      if (!readableAmount(amount)) record = errorRecord(kOFXBadAmountMessage, block);
    }
    const bool readable = record.isNull();
    std::optional<std::string> type;
    if (useTRNTYPE) {
      if (!tags.has(BlockTags::trntype)) {
        result.qif.append(errorRecord(kOFXNoTypeMessage, block));
        continue;
      }
      type = std::string(field(BlockTags::trntype, decoded[0]));
      if (readable && *type == "DEBIT") amount = debitAmount(amount);
      if (!readable) record.set(transactionKey::trntype, std::move(*type));
    }
    if (readable) {
      BlockTags::Tag number = BlockTags::count;
      if (numberSource == NumberSource::RefNum) {
        number = BlockTags::refnum;
      } else if (numberSource == NumberSource::RefNumElseCheckNum) {
        number = tags.has(BlockTags::refnum) ? BlockTags::refnum : BlockTags::checknum;
      }
      if (number != BlockTags::count && !tags.has(number)) number = BlockTags::count;
      const bool memo = tags.has(BlockTags::memo);

      // In key order.
      RecordList::TextField fields[6];
      std::size_t count = 0;
      fields[count++] = {transactionKey::amount, amount};
      fields[count++] = {transactionKey::date, writeDay(*day)};
      fields[count++] = {transactionKey::description,
                         tags.has(BlockTags::name) ? field(BlockTags::name, decoded[0]) : ""};
      if (memo) fields[count++] = {transactionKey::memo, field(BlockTags::memo, decoded[1])};
      if (number != BlockTags::count)
        fields[count++] = {transactionKey::number, field(number, decoded[2])};
      if (type) fields[count++] = {transactionKey::trntype, *type};
      result.qif.appendTexts({fields, count});
      continue;
    }
    result.qif.append(record);
  }
  return result;
}

}  // namespace corvela
