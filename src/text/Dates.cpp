#include "text/Dates.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "text/CharClass.h"
#include "text/ScanPattern.h"

namespace corvela {
namespace {

using charclass::isDigit;
using charclass::isLineBreak;
using charclass::isSpace;

// The first character (a whole UTF-8 sequence) of a string setting; "" when there is none.
std::string_view firstCharacter(std::string_view text) {
  if (text.empty()) return {};
  unsigned char lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return text.substr(0, length);
}

std::string numericPattern(char separator, int numbers) {
  std::string pattern = "%d";
  for (int i = 1; i < numbers; ++i) {
    pattern += separator;
    pattern += "%d";
  }
  return pattern + "%n";
}

// What a long-date pattern can begin with, at a position that holds no white space: an ordinary
// character only itself, %d only a digit or a sign. Knowing it spares running every month's
// pattern at every position of a long text.
struct PatternStart {
  enum class Kind { Anything, Number, Character } kind = Kind::Anything;
  unsigned char character = 0;  // Character
  bool width = false;           // Number: the %d has a field width

  bool mayMatchAt(unsigned char c) const {
    switch (kind) {
      case Kind::Number:
        return isDigit(c) || c == '+' || c == '-';
      case Kind::Character:
        return c == character;
      case Kind::Anything:
        break;
    }
    return true;
  }
};

PatternStart patternStart(std::string_view pattern) {
  if (pattern.empty()) return {};
  unsigned char first = static_cast<unsigned char>(pattern[0]);
  if (isSpace(first)) return {};
  if (first != '%') return {PatternStart::Kind::Character, first, false};
  std::size_t i = 1;
  while (i < pattern.size() && isDigit(static_cast<unsigned char>(pattern[i]))) ++i;
  if (i < pattern.size() && pattern[i] == 'd') return {PatternStart::Kind::Number, 0, i > 1};
  return {};
}

std::vector<PatternStart> patternStarts(const std::vector<LongDateFormat>& table) {
  std::vector<PatternStart> starts;
  starts.reserve(table.size());
  for (const LongDateFormat& entry : table) starts.push_back(patternStart(entry.format));
  return starts;
}

// The bytes at which some long-date pattern may match.
std::array<bool, 256> possibleStarts(const std::vector<PatternStart>& withYear,
                                     const std::vector<PatternStart>& withoutYear) {
  std::array<bool, 256> starts{};
  for (const auto* list : {&withYear, &withoutYear}) {
    for (const PatternStart& start : *list) {
      switch (start.kind) {
        case PatternStart::Kind::Anything:
          starts.fill(true);
          return starts;
        case PatternStart::Kind::Number:
          for (unsigned char c : std::string_view("0123456789+-")) starts[c] = true;
          break;
        case PatternStart::Kind::Character:
          starts[start.character] = true;
          break;
      }
    }
  }
  return starts;
}

// What the `separator` at `at` says of the search of findDateSlash and its twins: nothing (two
// numbers are not around it: the search goes on), or that the text's date is the one at *start,
// or that the text has none.
enum class NumericDateVerdict { keepLooking, date, none };

NumericDateVerdict numericDateAt(std::string_view text, std::size_t at, std::string_view pattern,
                                 std::size_t* start) {
  *start = at;
  while (*start > 0 && isDigit(static_cast<unsigned char>(text[*start - 1]))) --*start;
  ScanResult read = scanPattern(text.substr(*start), pattern);
  if (read.conversions < 2) return NumericDateVerdict::keepLooking;
  int a = read.values[0], b = read.values[1], c = read.values[2];
  bool accepted;
  if (read.conversions == 3 && a >= 101) {  // year first
    accepted = (b <= 12 && c <= 31) || (c <= 12 && b <= 31);
  } else {
    accepted = (a <= 12 && b <= 31) || (b <= 12 && a <= 31);
  }
  return accepted ? NumericDateVerdict::date : NumericDateVerdict::none;
}

// findDateSlash and its twins.
std::optional<std::size_t> findNumericDate(std::string_view text, char separator) {
  const std::string pattern = numericPattern(separator, 3);
  for (std::size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, at + 1)) {
    std::size_t start = 0;
    switch (numericDateAt(text, at, pattern, &start)) {
      case NumericDateVerdict::keepLooking:
        continue;
      case NumericDateVerdict::date:
        return start;
      case NumericDateVerdict::none:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

// Where the nearest `mark` that ends at or before each candidate lies, for candidates that only
// move forward: every byte of the text is looked at once per findDate call.
class MarkBehind {
 public:
  MarkBehind(std::string_view text, std::string_view mark) : text_(text), mark_(mark) {}

  std::optional<std::size_t> before(std::size_t candidate) {
    if (!started_) {
      started_ = true;
      if (candidate >= mark_.size()) {
        std::size_t found = text_.rfind(mark_, candidate - mark_.size());
        if (found != std::string_view::npos) last_ = found;
      }
      // Everything that starts at or before candidate - size was covered by rfind.
      scanned_ = candidate + 1 > mark_.size() ? candidate + 1 - mark_.size() : 0;
    }
    for (; scanned_ + mark_.size() <= candidate; ++scanned_) {
      if (text_.compare(scanned_, mark_.size(), mark_) == 0) last_ = scanned_;
    }
    return last_;
  }

 private:
  std::string_view text_;
  std::string_view mark_;
  bool started_ = false;
  std::size_t scanned_ = 0;
  std::optional<std::size_t> last_;
};

bool endsAt(std::string_view text, std::size_t consumed, std::string_view end) {
  return consumed == text.size() ||
         (!end.empty() && text.substr(consumed).substr(0, end.size()) == end);
}

}  // namespace

int completeYear(int year) {
  if (year > 99) return year;
  return year >= 74 ? 1900 + year : 2000 + year;
}

int defaultYear(int month, int day, const CalendarDay& today) {
  bool stillToCome = month > today.month || (month == today.month && day > today.day);
  return stillToCome ? today.year - 1 : today.year;
}

void setDefaultYear(CalendarDay& date, const CalendarDay& today) {
  date.year = defaultYear(date.month, date.day, today);
}

std::optional<std::size_t> findDateSlash(std::string_view text) {
  return findNumericDate(text, '/');
}
std::optional<std::size_t> findDateDash(std::string_view text) {
  return findNumericDate(text, '-');
}
std::optional<std::size_t> findDateDot(std::string_view text) { return findNumericDate(text, '.'); }

bool hasNumericDate(std::string_view text) {
  // The three searches advance together, each to its next separator, the one furthest behind
  // first, and end at the first that finds a date: a text of dates with dots and amounts with
  // minus signs is not searched to its end for a date with dashes.
  struct Search {
    char separator;
    std::string pattern;
    std::size_t at;  // its next separator, npos once it has decided
  };
  Search searches[] = {{'/', numericPattern('/', 3), text.find('/')},
                       {'-', numericPattern('-', 3), text.find('-')},
                       {'.', numericPattern('.', 3), text.find('.')}};
  for (;;) {
    Search* next = nullptr;
    for (Search& search : searches)
      if (search.at != std::string_view::npos && (!next || search.at < next->at)) next = &search;
    if (!next) return false;
    std::size_t start = 0;
    switch (numericDateAt(text, next->at, next->pattern, &start)) {
      case NumericDateVerdict::keepLooking:
        next->at = text.find(next->separator, next->at + 1);
        break;
      case NumericDateVerdict::date:
        return true;
      case NumericDateVerdict::none:
        next->at = std::string_view::npos;
        break;
    }
  }
}

std::optional<std::size_t> findDateLong(std::string_view text, const DateTables& tables,
                                        ScanState& state, std::size_t from) {
  const std::vector<PatternStart> withYear = patternStarts(tables.longDateFormats);
  const std::vector<PatternStart> withoutYear = patternStarts(tables.longDateNoYearFormats);
  const std::array<bool, 256> starts = possibleStarts(withYear, withoutYear);
  for (std::size_t pos = from; pos < text.size(); ++pos) {
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c == '\n' || c == '\r' || c == ' ' || c == '\t' || !starts[c]) continue;
    // Inside a number that the previous position began, a pattern that opens with a plain %d
    // reads the same digits to the same end as it did there, so it cannot match now either.
    unsigned char previous = pos > from ? static_cast<unsigned char>(text[pos - 1]) : ' ';
    bool insideNumber = isDigit(c) && (isDigit(previous) || previous == '+' || previous == '-');
    auto worthTrying = [&](const PatternStart& start) {
      if (insideNumber && start.kind == PatternStart::Kind::Number && !start.width) return false;
      return start.mayMatchAt(c);
    };
    std::string_view rest = text.substr(pos);
    for (std::size_t i = 0; i < tables.longDateFormats.size(); ++i) {
      if (!worthTrying(withYear[i])) continue;
      ScanResult read = scanPattern(rest, tables.longDateFormats[i].format);
      if (read.conversions == 2 && read.consumed) {
        state.longDateLength = static_cast<int>(*read.consumed);
        return pos;
      }
    }
    state.longDateLength = 0;
    for (std::size_t i = 0; i < tables.longDateNoYearFormats.size(); ++i) {
      if (!worthTrying(withoutYear[i])) continue;
      ScanResult read = scanPattern(rest, tables.longDateNoYearFormats[i].format);
      if (read.conversions == 1 && read.consumed.value_or(0) > 0) {
        state.longDateLength = static_cast<int>(*read.consumed);
        return pos;
      }
    }
  }
  return std::nullopt;
}

std::optional<TextSpan> findDate(std::string_view text, const DateRule& rule,
                                 const DateTables& tables, ScanState& state, std::size_t from) {
  if (from > text.size()) return std::nullopt;
  if (rule.ofx) {
    const std::string& after = rule.dateAfter;
    if (after.empty()) return std::nullopt;
    std::size_t found = text.find(after, from);
    if (found == std::string_view::npos) return std::nullopt;
    std::size_t start = found + after.size();
    // Eight digits follow the tag; a text cut short gives what there is.
    return TextSpan{start, std::min<std::size_t>(8, text.size() - start)};
  }

  std::string_view separator = firstCharacter(rule.delimiter);
  std::string_view dateStart = firstCharacter(rule.start);
  std::string_view dateEnd = firstCharacter(rule.end);
  if (separator.empty() || dateStart.empty()) return std::nullopt;
  const bool longDates = separator == ",";
  const std::string fullPattern = numericPattern(separator[0], 3);
  const std::string partialPattern = numericPattern(separator[0], 2);
  const std::optional<std::int64_t>& distance = rule.distanceFromNewline;
  MarkBehind startMark(text, dateStart);

  std::optional<std::size_t> lastNumericStart;
  std::size_t searchFrom = from;
  while (searchFrom < text.size()) {
    std::optional<std::size_t> candidate;
    if (longDates) {
      candidate = findDateLong(text, tables, state, searchFrom);
    } else {
      std::size_t found = text.find(separator, searchFrom);
      if (found != std::string_view::npos) candidate = found;
    }
    if (!candidate) return std::nullopt;
    searchFrom = *candidate + 1;

    std::optional<std::size_t> mark = startMark.before(*candidate);
    if (!mark) continue;
    const std::size_t start = *mark + dateStart.size();

    std::size_t length;
    if (longDates) {
      // Only white space may stand between the date-start character and the month name, just
      // as a number may be preceded by blanks; the date then covers them.
      std::size_t i = *candidate;
      while (i > start && isSpace(static_cast<unsigned char>(text[i - 1]))) --i;
      if (i != start) continue;
      length = *candidate - start + static_cast<std::size_t>(state.longDateLength);
    } else {
      // A numeric date is read from its start alone, so a start that failed for an earlier
      // separator fails again: skipping it keeps the search linear.
      if (start == lastNumericStart) continue;
      lastNumericStart = start;
      // A later separator of a date that begins before `from` (the 12 of 2015-12-31, the date
      // the search was asked to pass) must not find that date again.
      if (start < from) continue;
      std::string_view rest = text.substr(start);
      ScanResult read = scanPattern(rest, fullPattern);
      if (read.conversions != 3 || !read.consumed) read = scanPattern(rest, partialPattern);
      if (read.conversions < 2 || !read.consumed) continue;
      length = *read.consumed;
    }

    const std::size_t end = start + length;
    bool endOK = dateEnd.empty() ? end == text.size()
                                 : text.substr(end).substr(0, dateEnd.size()) == dateEnd;
    if (!endOK) continue;

    if (distance) {
      std::int64_t n = *distance;
      bool atColumn = static_cast<std::int64_t>(start) == n - 1;
      bool afterBreak =
          n >= 1 && static_cast<std::int64_t>(start) >= n &&
          isLineBreak(static_cast<unsigned char>(text[start - static_cast<std::size_t>(n)]));
      if (!atColumn && !afterBreak) continue;
    }

    if (state.multipleBlankCount == -1 && start > 0 && text[start - 1] == ' ') {
      std::size_t first = start;
      while (first > 0 && text[first - 1] == ' ') --first;
      if (first > 0) state.multipleBlankCount = static_cast<int>(start - first);
    }
    return TextSpan{start, length};
  }
  return std::nullopt;
}

std::optional<CalendarDay> parseDate(std::string_view date, const DateRule& rule,
                                     const DateTables& tables, const CalendarDay& today) {
  std::string_view separator = firstCharacter(rule.delimiter);
  std::string_view dateEnd = firstCharacter(rule.end);
  const bool dayBeforeMonth = rule.dayBeforeMonth;

  if (separator == "/" || separator == "-" || separator == ".") {
    ScanResult read = scanPattern(date, numericPattern(separator[0], 3));
    if (read.conversions == 3 && read.consumed) {
      if (!endsAt(date, *read.consumed, dateEnd)) return std::nullopt;
      int a = read.values[0], b = read.values[1], c = read.values[2];
      if (a > 100) return CalendarDay{a, b, c};  // year first: never day before month
      CalendarDay day{completeYear(c), a, b};
      if (dayBeforeMonth) std::swap(day.month, day.day);
      return day;
    }
    read = scanPattern(date, numericPattern(separator[0], 2));
    if (read.conversions != 2 || !read.consumed) return std::nullopt;
    if (!endsAt(date, *read.consumed, dateEnd)) return std::nullopt;
    CalendarDay day{0, read.values[0], read.values[1]};
    if (dayBeforeMonth) std::swap(day.month, day.day);
    setDefaultYear(day, today);
    return day;
  }

  if (separator == ",") {
    for (const LongDateFormat& entry : tables.longDateFormats) {
      ScanResult read = scanPattern(date, entry.format);
      if (read.conversions != 2 || !read.consumed || !endsAt(date, *read.consumed, dateEnd))
        continue;
      int day = read.values[0], year = read.values[1];
      if (day > 31) std::swap(day, year);  // the pattern reads the year first
      return CalendarDay{completeYear(year), entry.month, day};
    }
    for (const LongDateFormat& entry : tables.longDateNoYearFormats) {
      ScanResult read = scanPattern(date, entry.format);
      if (read.conversions != 1 || !read.consumed || !endsAt(date, *read.consumed, dateEnd))
        continue;
      CalendarDay day{0, entry.month, read.values[0]};
      setDefaultYear(day, today);
      return day;
    }
  }
  return std::nullopt;
}

std::optional<CalendarDay> parseQIFDate(std::string_view date, const DateTables& tables,
                                        bool european, const CalendarDay& today) {
  for (const std::string& pattern : tables.shortDateFormats) {
    ScanResult read = scanPattern(date, pattern);
    if (read.conversions != 3 || !read.consumed) continue;
    std::size_t consumed = *read.consumed;
    if (consumed != date.size() && !isSpace(static_cast<unsigned char>(date[consumed]))) continue;
    int a = read.values[0], b = read.values[1], c = read.values[2];
    if (a > 100) return CalendarDay{a, b, c};  // year first: never day before month
    CalendarDay day{completeYear(c), a, b};
    if (european) std::swap(day.month, day.day);
    return day;
  }

  for (std::size_t i = 0; i < tables.longMonths.size(); ++i) {
    const std::string& name = tables.longMonths[i];
    if (name.empty() || !date.starts_with(name)) continue;
    std::string_view rest = date.substr(name.size());
    for (const std::string& pattern : tables.afterLongMonth) {
      ScanResult read = scanPattern(rest, pattern);
      if (read.conversions == 2 && read.consumed == rest.size())
        return CalendarDay{completeYear(read.values[1]), static_cast<int>(i % 12) + 1,
                           read.values[0]};
    }
  }

  ScanResult read = scanPattern(date, "%2d/%2d%n");
  if (read.conversions == 2 && read.consumed == date.size()) {
    CalendarDay day{0, read.values[0], read.values[1]};
    if (european) std::swap(day.month, day.day);
    setDefaultYear(day, today);
    return day;
  }
  return std::nullopt;
}

}  // namespace corvela
