#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <iterator>
#include <random>

#include "TextPrinters.h"
#include "formats/InputFormatKeys.h"
#include "formats/InputFormatRules.h"
#include "prefs/Bundle.h"
#include "support/CaseFile.h"
#include "support/FileText.h"
#include "text/Dates.h"

namespace corvela {
namespace {

namespace key = inputFormatKey;
using testing::expectCaseFile;
using Position = std::optional<std::size_t>;

const DateTables& bundleTables() {
  static const DateTables tables = Bundle::builtIn().dateTables();
  return tables;
}

// A mid-year day, so that dates without a year can fall on either side of it.
constexpr CalendarDay kToday{2024, 6, 15};

Value textFormat(std::string_view delimiter, std::string_view start, std::string_view end) {
  return Value{{std::string(key::DateDelimiter), delimiter},
               {std::string(key::DateStart), start},
               {std::string(key::DateEnd), end}};
}

TEST(DatesTest, TwoDigitYearWindow) {
  const std::pair<int, int> cases[] = {{74, 1974}, {99, 1999}, {73, 2073}, {0, 2000},
                                       {5, 2005},  {100, 100}, {999, 999}, {2024, 2024}};
  for (auto [year, expected] : cases) EXPECT_EQ(completeYear(year), expected) << year;
}

// The words name the day the year is chosen on.
TEST(DatesTest, DefaultYearKeepsDatesWithinTheLastTwelveMonths) {
  expectCaseFile(
      "text/dates/default-years.txt", [](const std::string& date, const std::string& words) {
        CalendarDay day{0, std::stoi(date), std::stoi(date.substr(date.find('/') + 1))};
        const CalendarDay today{std::stoi(words.substr(3, 4)), std::stoi(words.substr(8, 2)),
                                std::stoi(words.substr(11))};
        const int year = defaultYear(day.month, day.day, today);
        setDefaultYear(day, today);
        EXPECT_EQ(day.year, year) << date;
        return std::to_string(year);
      });
}

// Days as year-month-day, positions as numbers; "none" for neither.
std::string dayText(const std::optional<CalendarDay>& day) {
  if (!day) return "none";
  char text[24];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", day->year, day->month, day->day);
  return text;
}
std::string positionText(Position at) { return at ? std::to_string(*at) : "none"; }

TEST(DatesTest, FindNumericDates) {
  expectCaseFile("text/dates/numeric-dates.txt", [](const std::string& text, const std::string&) {
    return "slashes " + positionText(findDateSlash(text)) + ", dashes " +
           positionText(findDateDash(text)) + ", dots " + positionText(findDateDot(text));
  });
}

// The three searches taken together answer as the three one by one, whatever the mix of
// separators, digits and numbers that are no dates (which end a search with none).
TEST(DatesTest, HasNumericDateAnswersAsTheThreeSearches) {
  const char* const pieces[] = {"1", "12", "31", "2024", "13",    "99",         "/",         "-",
                                ".", " ",  "\n", "x",    "-6,16", "01.01.2024", "2024-02-30"};
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> count(0, 12);
  int dates = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int n = count(rng); n > 0; --n) text += pieces[piece(rng)];
    const bool expected = findDateSlash(text) || findDateDash(text) || findDateDot(text);
    ASSERT_EQ(hasNumericDate(text), expected) << ::testing::PrintToString(text);
    dates += expected;
  }
  // Both answers are common, so neither is right by chance.
  EXPECT_GT(dates, 2000);
  EXPECT_LT(dates, 18000);
}

TEST(DatesTest, FindLongDates) {
  expectCaseFile("text/dates/long-dates.txt", [](const std::string& text, const std::string& from) {
    ScanState state;
    Position at = findDateLong(text, bundleTables(), state, std::stoul(from.substr(5)));
    return at ? positionText(at) + " length " + std::to_string(state.longDateLength) : "none";
  });
}

// The input formats the case files name: by the date's delimiter, start and end.
Value namedFormat(std::string_view name) {
  Value format = name == "long"                               ? textFormat(",", "\n", "\t")
                 : name == "slashes-to-blank"                 ? textFormat("/", "\n", " ")
                 : name == "dash" || name == "day-first-dash" ? textFormat("-", "\n", "\t")
                 : name == "day-first-dot"                    ? textFormat(".", "\n", " ")
                 : name == "x"                                ? textFormat("x", "\n", "\t")
                 : name.starts_with("csv")         ? textFormat(name.substr(3), "\n", ",")
                 : name == "without-DateStart"     ? textFormat("/", "", "\t")
                 : name == "without-DateDelimiter" ? textFormat("", "\n", "\t")
                 : name.starts_with("column-") || name == "blank-start" ? textFormat("/", " ", "\t")
                 : name.starts_with("ofx") || name == "no-keys"         ? Value::dictionary()
                                                                : textFormat("/", "\n", "\t");
  if (name.starts_with("day-first-")) format.set(key::DayBeforeMonth, true);
  if (name.starts_with("column-")) format.set(key::DistanceFromNewline, name.back() - '0');
  if (name.starts_with("ofx")) format.set(key::OFX, true);
  if (name == "ofx") format.set(key::DateAfter, "<DTPOSTED>");
  return format;
}

// The words name the format and the position to search from; with "count N", the count of
// blanks in front of the first date that the scan starts with (-1: still to be learnt), and the
// answer ends with the count after the search.
TEST(DatesTest, FindDateByFormat) {
  expectCaseFile(
      "text/dates/dates-by-format.txt", [](const std::string& text, const std::string& words) {
        std::size_t from = words.find(" from "), count = words.find(" count ");
        ScanState state;
        if (count != std::string::npos)
          state.multipleBlankCount = std::stoi(words.substr(count + 7));
        std::optional<TextSpan> span =
            findDate(text, dateRuleOf(namedFormat(words.substr(0, from))), bundleTables(), state,
                     std::stoul(words.substr(from + 6)));
        std::string answer =
            span ? std::to_string(span->start) + " length " + std::to_string(span->length) : "none";
        if (count == std::string::npos) return answer;
        return answer + ", count " + std::to_string(state.multipleBlankCount);
      });
}

TEST(DatesTest, ParseDateOfATextField) {
  expectCaseFile(
      "text/dates/date-fields.txt", [](const std::string& date, const std::string& format) {
        return dayText(parseDate(date, dateRuleOf(namedFormat(format)), bundleTables(), kToday));
      });
}

TEST(DatesTest, ParseDateCorrectsAPatternThatReadsTheYearFirst) {
  DateTables tables;
  tables.longDateFormats = {{"Jan %d %d%n", 1}};
  EXPECT_EQ(parseDate("Jan 2024 5", dateRuleOf(textFormat(",", "\n", "\t")), tables, kToday),
            (CalendarDay{2024, 1, 5}));
  EXPECT_EQ(parseDate("Jan 5 24", dateRuleOf(textFormat(",", "\n", "\t")), tables, kToday),
            (CalendarDay{2024, 1, 5}));
}

TEST(DatesTest, ParseQIFDate) {
  expectCaseFile("text/dates/qif-dates.txt", [](const std::string& date, const std::string&) {
    return dayText(parseQIFDate(date, bundleTables(), false, kToday)) + ", European " +
           dayText(parseQIFDate(date, bundleTables(), true, kToday));
  });
}

// A text that a pattern of the tables reads: its conversions filled with `numbers` in turn (a
// %4d with 2024, a %2d with a two-digit number), its %n dropped.
std::string sampleFor(std::string_view pattern, std::vector<std::string> numbers) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    std::size_t j = i + 1;
    while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) ++j;
    std::string width(pattern.substr(i + 1, j - i - 1));
    if (pattern[j] == 'd') {
      std::string number = next < numbers.size() ? numbers[next] : "1";
      ++next;
      if (width == "4") number = "2024";
      if (width == "2" && number.size() < 2) number = "0" + number;
      out += number;
    }
    i = j;
  }
  return out;
}

TEST(DatesTest, EveryFormOfTheBuiltInTables) {
  const DateTables& tables = bundleTables();
  const Value longDate = textFormat(",", " ", " ");
  for (const LongDateFormat& entry : tables.longDateFormats) {
    std::string sample = sampleFor(entry.format, {"7", "2024"});
    if (entry.format.starts_with("%4d")) sample = sampleFor(entry.format, {"2024", "7"});
    EXPECT_EQ(parseDate(sample, dateRuleOf(longDate), tables, kToday),
              (CalendarDay{2024, entry.month, 7}))
        << entry.format << ": " << sample;
    ScanState state;
    EXPECT_EQ(findDateLong("On " + sample + " paid", tables, state), Position(3)) << sample;
    EXPECT_EQ(state.longDateLength, static_cast<int>(sample.size())) << sample;
  }
  for (const LongDateFormat& entry : tables.longDateNoYearFormats) {
    if (entry.format.starts_with("%4d")) continue;  // the twins of the OFX entries
    std::string sample = sampleFor(entry.format, {"7"});
    EXPECT_EQ(parseDate(sample, dateRuleOf(longDate), tables, kToday),
              (CalendarDay{defaultYear(entry.month, 7, kToday), entry.month, 7}))
        << entry.format << ": " << sample;
  }
  for (const std::string& pattern : tables.shortDateFormats) {
    std::string sample = sampleFor(pattern, {"1", "15", "2024"});
    if (pattern.starts_with("%4d")) sample = sampleFor(pattern, {"2024", "1", "15"});
    EXPECT_EQ(parseQIFDate(sample, tables, false, kToday), (CalendarDay{2024, 1, 15}))
        << pattern << ": " << sample;
  }
  for (std::size_t i = 0; i < tables.longMonths.size(); ++i) {
    for (const std::string& pattern : tables.afterLongMonth) {
      std::string sample = tables.longMonths[i] + sampleFor(pattern, {"5", "24"});
      EXPECT_EQ(parseQIFDate(sample, tables, false, kToday),
                (CalendarDay{2024, static_cast<int>(i % 12) + 1, 5}))
          << sample;
    }
  }
}

// A bundle whose date tables hold entries of the wrong kind, a month out of range, and more
// formats without a year than with one.
TEST(DatesTest, TablesFromABundle) {
  Result<Bundle> bundle =
      Bundle::fromXML(testing::readText(CORVELA_TEST_DATA "/text/dates/tables-bundle.plist"));
  ASSERT_TRUE(bundle.ok()) << bundle.message();
  DateTables tables = bundle.value().dateTables();
  EXPECT_EQ(tables.shortDateFormats, std::vector<std::string>{"%d/%d/%d%n"});
  EXPECT_EQ(tables.longMonths, (std::vector<std::string>{"Jan", "", "Mar"}));
  EXPECT_TRUE(tables.afterLongMonth.empty());
  EXPECT_EQ(tables.longDateFormats,
            (std::vector<LongDateFormat>{{"Jan %d, %d%n", 1}, {"Mar %d, %d%n", 3}}));
  EXPECT_EQ(tables.longDateNoYearFormats,
            (std::vector<LongDateFormat>{{"Jan %d%n", 1}, {"Mar %d%n", 3}}));
  // The placeholder keeps "Mar" at index 2, month 3; the empty entry matches nothing.
  EXPECT_EQ(parseQIFDate("Mar", tables, false, kToday), std::nullopt);
}

TEST(CalendarDayTest, ValidityAndFormat) {
  const std::pair<CalendarDay, bool> days[] = {{{2024, 2, 29}, true},   {{2023, 2, 29}, false},
                                               {{2000, 2, 29}, true},   {{1900, 2, 29}, false},
                                               {{2023, 31, 12}, false}, {{2023, 4, 31}, false},
                                               {{2023, 1, 0}, false}};
  for (const auto& [day, valid] : days) EXPECT_EQ(day.isValid(), valid) << day.format("%Y-%m-%d");

  const CalendarDay day{2024, 1, 31};
  EXPECT_EQ(day.format("%m/%d/%Y"), "01/31/2024");
  EXPECT_EQ(day.format("%d/%m/%y"), "31/01/24");
  EXPECT_EQ(day.format("%a %j"), "Wed 031");
  EXPECT_EQ((CalendarDay{1969, 12, 31}).format("%a"), "Wed");
  EXPECT_EQ((CalendarDay{2023, 2, 29}).format("%m/%d/%Y"), "");
  EXPECT_TRUE(CalendarDay::today().isValid());
}

}  // namespace
}  // namespace corvela
