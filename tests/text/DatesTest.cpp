#include <gtest/gtest.h>

#include <cctype>

#include "TextPrinters.h"
#include "formats/InputFormatKeys.h"
#include "formats/InputFormatRules.h"
#include "prefs/Bundle.h"
#include "text/Dates.h"

namespace corvela {
namespace {

namespace key = inputFormatKey;
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

TEST(DatesTest, DefaultYearKeepsDatesWithinTheLastTwelveMonths) {
  struct Case {
    CalendarDay today;
    int month, day, year;
  };
  const Case cases[] = {
      {{2024, 6, 15}, 6, 15, 2024},   // today
      {{2024, 6, 15}, 6, 16, 2023},   // tomorrow: last year
      {{2024, 6, 15}, 6, 14, 2024},   // yesterday
      {{2024, 6, 15}, 7, 1, 2023},    // a later month
      {{2024, 1, 1}, 12, 31, 2023},   // new year's day looks back across the year
      {{2024, 1, 1}, 1, 1, 2024},     //
      {{2023, 2, 28}, 2, 29, 2022},   // Feb 29 is still to come in a year without one
      {{2023, 3, 1}, 2, 29, 2023},    //
      {{2024, 6, 15}, 31, 12, 2023},  // an impossible month lies in the future
  };
  for (const Case& c : cases) {
    EXPECT_EQ(defaultYear(c.month, c.day, c.today), c.year) << c.month << "/" << c.day;
    CalendarDay day{0, c.month, c.day};
    setDefaultYear(day, c.today);
    EXPECT_EQ(day.year, c.year);
  }
}

TEST(DatesTest, FindNumericDates) {
  struct Case {
    std::optional<std::size_t> (*find)(std::string_view);
    const char* text;
    Position expected;
  };
  const Case cases[] = {
      {findDateSlash, "Paid 12/31/2023 at the store", 5},
      {findDateSlash, "2023/12/31", 0},             // year first
      {findDateSlash, "2023/31/12", 0},             // year first, day before month
      {findDateSlash, "2023/13/31", std::nullopt},  // neither order fits
      {findDateSlash, "31/12/2023", 0},             // day first
      {findDateSlash, "13/13/2023", std::nullopt},
      {findDateSlash, "5/40/2023 and then 12/31/2023", std::nullopt},  // the first decides
      {findDateSlash, "n/a then 12/25 later", 9},  // a slash without numbers is passed over
      {findDateSlash, "x 3/4 y", 2},               // month and day alone
      {findDateSlash, "", std::nullopt},
      {findDateSlash, "12/", std::nullopt},
      {findDateSlash, "1/2", 0},
      {findDateSlash, "////", std::nullopt},
      {findDateDash, "12/31/2023", std::nullopt},
      {findDateDash, "on 2024-01-31", 3},
      {findDateDash, "call 555-1234 on 2024-01-31", std::nullopt},
      {findDateDot, "Valuta 31.12.2023", 7},
      {findDateDot, "31.12.23", 0},
      {findDateDot, "Total 1.50 on 31.12.2023", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(c.find(c.text), c.expected) << c.text;
}

TEST(DatesTest, FindLongDates) {
  struct Case {
    const char* text;
    std::size_t from;
    Position expected;
    int length;
  };
  const Case cases[] = {
      {"Posted January 5, 2024 to", 0, 7, 15},
      {"on 5 January 2024.", 0, 3, 14},
      {"31 January", 0, 0, 10},  // the full name wins over its abbreviation
      {"Due Jan 31 soon", 0, 4, 6},
      {"Sept 3, 2024", 0, 0, 12},
      {"January 5, 2024 and March 3, 2024", 1, 20, 13},
      {"no dates here", 0, std::nullopt, 0},
      {"\n\t  January 5, 2024", 0, 4, 15},
      {"", 0, std::nullopt, 0},
      {"january 5, 2024", 0, std::nullopt, 0},  // month names are matched with case
  };
  for (const Case& c : cases) {
    ScanState state;
    EXPECT_EQ(findDateLong(c.text, bundleTables(), state, c.from), c.expected) << c.text;
    if (c.expected) {
      EXPECT_EQ(state.longDateLength, c.length) << c.text;
    }
  }
}

TEST(DatesTest, FindDateByFormat) {
  struct Case {
    const char* name;
    Value format;
    std::string text;
    std::size_t from;
    std::optional<TextSpan> expected;
  };
  const Value slashes = textFormat("/", "\n", "\t");
  const Value blanks = textFormat("/", " ", "\t");
  const Value longDates = textFormat(",", "\n", "\t");
  Value column3 = blanks;
  column3.set(key::DistanceFromNewline, 3);
  Value column2 = blanks;
  column2.set(key::DistanceFromNewline, 2);
  const Value ofx{{std::string(key::OFX), true}, {std::string(key::DateAfter), "<DTPOSTED>"}};
  const Case cases[] = {
      {"first date", slashes, "Header\n12/31/2023\tShop\t-5.00\n01/02/2024\tCafe\n", 0,
       TextSpan{7, 10}},
      {"date-start before from", slashes, "Header\n12/31/2023\tShop", 7, TextSpan{7, 10}},
      {"no date start", slashes, "x12/31/2023\tShop", 0, std::nullopt},
      {"wrong date end", slashes, "\n12/31/2023 Shop", 0, std::nullopt},
      {"month and day", slashes, "\n12/31\tShop", 0, TextSpan{1, 5}},
      {"blanks before the date", slashes, "\n  12/31/2023\tShop", 0, TextSpan{1, 12}},
      {"not a date", slashes, "\nA/B\tShop", 0, std::nullopt},
      {"long date", longDates, "\nJanuary 5, 2024\tShop", 0, TextSpan{1, 15}},
      {"indented long date", longDates, "\n  January 5, 2024\tShop", 0, TextSpan{1, 17}},
      {"words before a long date", longDates, "\nPosted January 5, 2024\tShop", 0, std::nullopt},
      {"column from a line break", column3, "\n  12/31/2023\tShop", 0, TextSpan{3, 10}},
      {"column from the text start", column3, "  12/31/2023\tShop", 0, TextSpan{2, 10}},
      {"wrong column", column2, "\n  12/31/2023\tShop", 0, std::nullopt},
      {"OFX tag", ofx, "<STMTTRN><DTPOSTED>20240131120000<TRNAMT>-5", 0, TextSpan{19, 8}},
      {"OFX text cut short", ofx, "<DTPOSTED>2024", 0, TextSpan{10, 4}},
      {"OFX without tag", ofx, "<STMTTRN><TRNAMT>-5", 0, std::nullopt},
      {"OFX without DateAfter", Value{{std::string(key::OFX), true}}, "<DTPOSTED>20240131", 0,
       std::nullopt},
      {"no DateStart", textFormat("/", "", "\t"), "\n12/31/2023\tShop", 0, std::nullopt},
      {"no DateDelimiter", textFormat("", "\n", "\t"), "\n12/31/2023\tShop", 0, std::nullopt},
      {"from past the end", slashes, "\n12/31/2023\t", 99, std::nullopt},
  };
  for (const Case& c : cases) {
    ScanState state;
    EXPECT_EQ(findDate(c.text, dateRuleOf(c.format), bundleTables(), state, c.from), c.expected)
        << c.name;
  }
}

TEST(DatesTest, FindDateLearnsTheBlanksInFrontOfTheFirstDate) {
  const Value blanks = textFormat("/", " ", "\t");
  struct Case {
    const char* text;
    int before;
    int after;
  };
  const Case cases[] = {
      {"Shop   12/31/2023\tx", -1, 3},
      {"   12/31/2023\tx", -1, -1},    // nothing but blanks in front: no count
      {"Shop   12/31/2023\tx", 0, 0},  // only while learning
      {"Shop   12/31/2023\tx", 5, 5},  // learnt once, kept
  };
  for (const Case& c : cases) {
    ScanState state;
    state.multipleBlankCount = c.before;
    ASSERT_TRUE(findDate(c.text, dateRuleOf(blanks), bundleTables(), state)) << c.text;
    EXPECT_EQ(state.multipleBlankCount, c.after) << c.text;
  }
}

TEST(DatesTest, ParseDateOfATextField) {
  struct Case {
    const char* name;
    Value format;
    const char* date;
    std::optional<CalendarDay> expected;
  };
  Value dayFirstSlash = textFormat("/", "\n", "\t");
  dayFirstSlash.set(key::DayBeforeMonth, true);
  Value dayFirstDash = textFormat("-", "\n", "\t");
  dayFirstDash.set(key::DayBeforeMonth, true);
  Value dayFirstDot = textFormat(".", "\n", " ");
  dayFirstDot.set(key::DayBeforeMonth, true);
  const Value slash = textFormat("/", "\n", " ");
  const Value dash = textFormat("-", "\n", "\t");
  const Value longDate = textFormat(",", "\n", "\t");
  const Case cases[] = {
      {"full", slash, "12/31/2023", CalendarDay{2023, 12, 31}},
      {"year first", slash, "2024/01/31", CalendarDay{2024, 1, 31}},
      {"ends at DateEnd", slash, "12/31/2023 Shop", CalendarDay{2023, 12, 31}},
      {"junk after", slash, "12/31/2023x", std::nullopt},
      {"month and day, to come", slash, "6/16", CalendarDay{2023, 6, 16}},
      {"not a date", slash, "Shop", std::nullopt},
      {"day first", dayFirstSlash, "31/12/2023", CalendarDay{2023, 12, 31}},
      {"day first, no year", dayFirstSlash, "16/6", CalendarDay{2023, 6, 16}},
      {"dash", dash, "2024-01-31", CalendarDay{2024, 1, 31}},
      {"dash day first", dayFirstDash, "31-01-2024", CalendarDay{2024, 1, 31}},
      {"year first is never day first", dayFirstDash, "2024-01-31", CalendarDay{2024, 1, 31}},
      {"dot", dayFirstDot, "31.12.23", CalendarDay{2023, 12, 31}},
      {"month name", longDate, "January 5, 2024", CalendarDay{2024, 1, 5}},
      {"day and month name", longDate, "5 January 24", CalendarDay{2024, 1, 5}},
      {"OFX digits", longDate, "20240131", CalendarDay{2024, 1, 31}},
      {"month name without year", longDate, "Jan 31", CalendarDay{2024, 1, 31}},
      {"month name, to come", longDate, "July 4", CalendarDay{2023, 7, 4}},
      {"long date, junk after", longDate, "January 5, 2024x", std::nullopt},
      {"other separator", textFormat("x", "\n", "\t"), "12x31x2023", std::nullopt},
      {"no separator", Value::dictionary(), "12/31/2023", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(parseDate(c.date, dateRuleOf(c.format), bundleTables(), kToday), c.expected)
        << c.name;
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
  struct Case {
    const char* date;
    bool european;
    std::optional<CalendarDay> expected;
  };
  const Case cases[] = {
      {"12/31/2023", true, CalendarDay{2023, 31, 12}},  // the flag exchanges without checking
      {"31/12/2023", true, CalendarDay{2023, 12, 31}},
      {"1/15/099", false, CalendarDay{1999, 1, 15}},  // Y2K-era files write the year as 099
      {"3/29' 0", false, CalendarDay{2000, 3, 29}},
      {"12/31'99", false, CalendarDay{1999, 12, 31}},
      {"2024'01'02", false, CalendarDay{2024, 1, 2}},
      {"20070122", false, CalendarDay{2007, 1, 22}},
      {"1-15'24", false, CalendarDay{2024, 1, 15}},
      {"2024-01-31", true, CalendarDay{2024, 1, 31}},  // year first is never day first
      {"31.12.2023", true, CalendarDay{2023, 12, 31}},
      {"12/31/2023 ", false, CalendarDay{2023, 12, 31}},
      {"12/31/2023x", false, std::nullopt},
      {"12/31/2023\r", false, CalendarDay{2023, 12, 31}},
      {"Deposit", false, std::nullopt},
      {"January 5, 2024", false, CalendarDay{2024, 1, 5}},
      {"Jan 5, 24", false, CalendarDay{2024, 1, 5}},  // second half of the month names
      {"Dec. 24, 2023", false, CalendarDay{2023, 12, 24}},
      {"May-5-2024", false, CalendarDay{2024, 5, 5}},
      {"January 5", false, std::nullopt},
      {"6/16", false, CalendarDay{2023, 6, 16}},  // tomorrow: last year
      {"15/6", true, CalendarDay{2024, 6, 15}},
      {"6/15 ", false, std::nullopt},  // a bare month/day must be the whole text
      {"123/4", false, std::nullopt},
      {"", false, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(parseQIFDate(c.date, bundleTables(), c.european, kToday), c.expected)
        << c.date << (c.european ? " (European)" : "");
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

TEST(DatesTest, TablesFromABundle) {
  Result<Bundle> bundle = Bundle::fromXML(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CVShortDateFormats</key><array><string>%d/%d/%d%n</string><integer>3</integer></array>
  <key>CVLongMonths</key><array><string>Jan</string><integer>0</integer><string>Mar</string></array>
  <key>CVLongDateFormats</key><array>
    <dict><key>format</key><string>Jan %d, %d%n</string><key>month</key><integer>1</integer></dict>
    <dict><key>format</key><string>Bad %d, %d%n</string><key>month</key><integer>13</integer></dict>
    <dict><key>format</key><string>Mar %d, %d%n</string><key>month</key><integer>3</integer></dict>
  </array>
  <key>CVLongDateNoYearFormats</key><array>
    <dict><key>format</key><string>Jan %d%n</string></dict>
    <dict><key>format</key><string>Bad %d%n</string></dict>
    <dict><key>format</key><string>Mar %d%n</string></dict>
    <dict><key>format</key><string>Extra %d%n</string></dict>
  </array>
</dict></plist>)");
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
  EXPECT_TRUE((CalendarDay{2024, 2, 29}).isValid());
  EXPECT_FALSE((CalendarDay{2023, 2, 29}).isValid());
  EXPECT_TRUE((CalendarDay{2000, 2, 29}).isValid());
  EXPECT_FALSE((CalendarDay{1900, 2, 29}).isValid());
  EXPECT_FALSE((CalendarDay{2023, 31, 12}).isValid());
  EXPECT_FALSE((CalendarDay{2023, 4, 31}).isValid());
  EXPECT_FALSE((CalendarDay{2023, 1, 0}).isValid());

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
