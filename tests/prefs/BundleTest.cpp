#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "prefs/Bundle.h"

namespace corvela {

extern const std::string_view kBundlePlist;

namespace {

// Conversions a scan pattern makes (the %n that reports the length does not count).
int conversionsIn(const std::string& pattern) {
  int count = 0;
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    std::size_t j = i + 1;
    if (pattern[j] == '%') {
      i = j;
      continue;
    }
    while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) ++j;
    if (j < pattern.size() && pattern[j] != 'n') ++count;
    i = j;
  }
  return count;
}

bool endsWithLengthReport(const std::string& pattern) {
  return pattern.size() >= 2 && pattern.ends_with("%n") &&
         (pattern.size() == 2 || pattern[pattern.size() - 3] != '%');
}

// sscanf with a pattern from the table. Only integer conversions and one final %n are allowed
// (checked by the structural tests), so four int slots are always enough: the conversions fill
// the first ones and %n the next.
struct Scan {
  int conversions = 0;
  int numbers[4] = {0, 0, 0, -1};
  int consumed = -1;
};

Scan scan(const std::string& text, const std::string& pattern) {
  Scan s;
  int slots[4] = {-1, -1, -1, -1};
  int made = std::sscanf(text.c_str(), pattern.c_str(), &slots[0], &slots[1], &slots[2], &slots[3]);
  s.conversions = made < 0 ? 0 : made;
  for (int i = 0; i < 4; ++i) s.numbers[i] = slots[i];
  int expected = conversionsIn(pattern);
  if (s.conversions == expected) s.consumed = slots[expected];
  return s;
}

const Bundle& bundle() { return Bundle::builtIn(); }

TEST(BundleTest, TheBuiltInTextReads) {
  Result<Bundle> read = Bundle::fromXML(kBundlePlist);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value().tables(), bundle().tables());
  for (const char* key : {"CVShortDateFormats", "CVLongMonths", "CVAfterLongMonth",
                          "CVLongDateFormats", "CVLongDateNoYearFormats"}) {
    EXPECT_TRUE(bundle().table(key).isArray()) << key;
  }
}

TEST(BundleTest, FromXMLWantsADictionaryAtTheRoot) {
  Result<Bundle> notDict = Bundle::fromXML("<plist><array/></plist>");
  ASSERT_FALSE(notDict.ok());
  EXPECT_EQ(notDict.message(), "The bundle tables must be a property list whose root is a <dict>.");
  Result<Bundle> broken = Bundle::fromXML("<plist><dict><key>CVLongMonths</key></dict></plist>");
  ASSERT_FALSE(broken.ok());
  EXPECT_EQ(broken.message(), "Property list, line 1: the key \"CVLongMonths\" has no value");
  Result<Bundle> good = Bundle::fromXML(
      "<plist><dict><key>CVRemoveFromAmounts</key><string>$)</string></dict></plist>");
  ASSERT_TRUE(good.ok());
  EXPECT_EQ(good.value().table("CVRemoveFromAmounts"), Value("$)"));
  EXPECT_TRUE(good.value().table("CVLongMonths").isNull());
}

TEST(BundleTest, EveryDatePatternMakesItsConversionsThenReportsTheLength) {
  struct Table {
    const char* key;
    const char* field;  // nullptr: the entries are the patterns
    int conversions;
  };
  for (const Table& t :
       {Table{"CVShortDateFormats", nullptr, 3}, Table{"CVAfterLongMonth", nullptr, 2},
        Table{"CVLongDateFormats", "format", 2}, Table{"CVLongDateNoYearFormats", "format", 1}}) {
    const Value& table = bundle().table(t.key);
    ASSERT_GT(table.size(), 0u) << t.key;
    for (const Value& entry : table.toArray()) {
      const std::string& pattern = t.field ? str(entry, t.field) : entry.toString();
      EXPECT_EQ(conversionsIn(pattern), t.conversions) << t.key << ": " << pattern;
      EXPECT_TRUE(endsWithLengthReport(pattern)) << t.key << ": " << pattern;
      // Only %d (optionally width-limited) and the final %n: anything else would need other
      // argument types in the readers' sscanf calls.
      for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        std::size_t j = i + 1;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) ++j;
        ASSERT_LT(j, pattern.size()) << pattern;
        EXPECT_TRUE(pattern[j] == 'd' || (pattern[j] == 'n' && j + 1 == pattern.size()))
            << t.key << ": " << pattern;
        i = j;
      }
    }
  }
}

// A QIF date is matched by the first short pattern that makes three conversions and stops at the
// end or at a blank; the numbers come out in the written order.
TEST(BundleTest, ShortPatternsReadTheQIFDateFormsFoundInRealFiles) {
  struct Case {
    const char* text;
    int first, second, third;
  };
  const Value& patterns = bundle().table("CVShortDateFormats");
  for (const Case& c :
       {Case{"12/31/99", 12, 31, 99}, Case{"1/ 2/98", 1, 2, 98}, Case{" 1/ 2/98", 1, 2, 98},
        Case{"3/29' 0", 3, 29, 0}, Case{"2/14'2020", 2, 14, 2020}, Case{"1/ 1'01", 1, 1, 1},
        Case{"9/ 5'99", 9, 5, 99}, Case{"12/31/2005", 12, 31, 2005}, Case{"03/18/099", 3, 18, 99},
        Case{"2019-02-28", 2019, 2, 28}, Case{"12-31-99", 12, 31, 99},
        Case{"31.12.2023", 31, 12, 2023}, Case{"10.18.23", 10, 18, 23},
        Case{"2024'01'02", 2024, 1, 2}, Case{"1-5'24", 1, 5, 24}, Case{"20070122", 2007, 1, 22},
        Case{"12/31/2023 ", 12, 31, 2023}}) {
    bool matched = false;
    for (const Value& p : patterns.toArray()) {
      Scan s = scan(c.text, p.toString());
      if (s.conversions != 3) continue;
      std::size_t len = static_cast<std::size_t>(s.consumed);
      if (len != std::strlen(c.text) && !std::isspace(static_cast<unsigned char>(c.text[len]))) {
        continue;
      }
      EXPECT_EQ(s.numbers[0], c.first) << c.text << " with " << p.toString();
      EXPECT_EQ(s.numbers[1], c.second) << c.text << " with " << p.toString();
      EXPECT_EQ(s.numbers[2], c.third) << c.text << " with " << p.toString();
      matched = true;
      break;
    }
    EXPECT_TRUE(matched) << c.text;
  }
  // Not dates: no pattern may take them whole.
  for (const char* text : {"12/31", "Opening balance", "12/31/99Check", "1//2/3"}) {
    for (const Value& p : patterns.toArray()) {
      Scan s = scan(text, p.toString());
      bool whole =
          s.conversions == 3 && (static_cast<std::size_t>(s.consumed) == std::strlen(text) ||
                                 std::isspace(static_cast<unsigned char>(text[s.consumed])));
      EXPECT_FALSE(whole) << text << " with " << p.toString();
    }
  }
}

TEST(BundleTest, MonthNamesRunJanuaryToDecemberTwice) {
  const Value& months = bundle().table("CVLongMonths");
  ASSERT_EQ(months.size(), 24u);
  const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(months[i].toString(), names[i]);
    // The second half abbreviates the first: month (i mod 12) + 1 either way.
    EXPECT_TRUE(std::string(names[i]).starts_with(months[i + 12].toString())) << i;
    EXPECT_EQ(months[i + 12].toString().size(), 3u) << i;
  }
}

// What follows a month name in a QIF date: the first name that is a prefix of the text and an
// after-pattern that consumes all the rest.
TEST(BundleTest, QIFDatesWithMonthNamesRead) {
  struct Case {
    const char* text;
    int month, day, year;
  };
  const Value& months = bundle().table("CVLongMonths");
  const Value& after = bundle().table("CVAfterLongMonth");
  for (const Case& c : {Case{"January 31, 2024", 1, 31, 2024}, Case{"Jan 31, 2024", 1, 31, 2024},
                        Case{"Feb 3 99", 2, 3, 99}, Case{"March 5,2024", 3, 5, 2024},
                        Case{"Dec. 25, 2023", 12, 25, 2023}, Case{"Sep 1, 2023 ", 9, 1, 2023},
                        Case{"May-7-2024", 5, 7, 2024}, Case{"Oct 4' 5", 10, 4, 5}}) {
    bool matched = false;
    std::string text = c.text;
    for (std::size_t i = 0; i < months.size() && !matched; ++i) {
      const std::string& name = months[i].toString();
      if (!text.starts_with(name)) continue;
      std::string rest = text.substr(name.size());
      for (const Value& p : after.toArray()) {
        Scan s = scan(rest, p.toString());
        if (s.conversions != 2 || static_cast<std::size_t>(s.consumed) != rest.size()) continue;
        EXPECT_EQ(static_cast<int>(i % 12) + 1, c.month) << c.text;
        EXPECT_EQ(s.numbers[0], c.day) << c.text;
        EXPECT_EQ(s.numbers[1], c.year) << c.text;
        matched = true;
        break;
      }
    }
    EXPECT_TRUE(matched) << c.text;
  }
}

TEST(BundleTest, LongDateTablesAreParallelAndCoverEveryMonth) {
  const Value& withYear = bundle().table("CVLongDateFormats");
  const Value& noYear = bundle().table("CVLongDateNoYearFormats");
  ASSERT_EQ(withYear.size(), noYear.size());
  bool seen[13] = {};
  for (std::size_t j = 0; j < withYear.size(); ++j) {
    ASSERT_TRUE(withYear[j]["month"].isInteger()) << j;
    std::int64_t month = withYear[j]["month"].toInt();
    ASSERT_GE(month, 1);
    ASSERT_LE(month, 12);
    seen[month] = true;
    // The twin names the same month: its text, up to the day, is the same.
    std::string y = str(withYear[j], "format"), n = str(noYear[j], "format");
    EXPECT_EQ(y.substr(0, y.find("%d")), n.substr(0, n.find("%d"))) << y << " / " << n;
  }
  for (int m = 1; m <= 12; ++m) EXPECT_TRUE(seen[m]) << m;
}

// The long-date search tries every pattern with a year, then every pattern without one, and
// takes the first that makes all its conversions; the consumed length is the date's length.
struct LongDate {
  int month = 0, day = 0, year = -1;  // year -1: none written
  int length = 0;
};

bool findLongDate(const std::string& text, LongDate* out) {
  const Value& withYear = bundle().table("CVLongDateFormats");
  const Value& noYear = bundle().table("CVLongDateNoYearFormats");
  for (std::size_t j = 0; j < withYear.size(); ++j) {
    Scan s = scan(text, str(withYear[j], "format"));
    if (s.conversions != 2) continue;
    int day = s.numbers[0], year = s.numbers[1];
    if (day > 31) std::swap(day, year);
    *out = {static_cast<int>(withYear[j]["month"].toInt()), day, year, s.consumed};
    return true;
  }
  for (std::size_t j = 0; j < noYear.size(); ++j) {
    Scan s = scan(text, str(noYear[j], "format"));
    if (s.conversions != 1 || s.consumed <= 0) continue;
    *out = {static_cast<int>(withYear[j]["month"].toInt()), s.numbers[0], -1, s.consumed};
    return true;
  }
  return false;
}

TEST(BundleTest, LongDatesOfEveryFormAndMonthReadWhole) {
  const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};
  for (int m = 1; m <= 12; ++m) {
    std::string full = names[m - 1], abbr = full.substr(0, 3);
    struct Form {
      std::string text;
      int year;
    };
    for (const Form& f : {Form{full + " 28, 2024", 2024}, Form{abbr + " 28, 2024", 2024},
                          Form{"28 " + full + " 2024", 2024}, Form{"28 " + abbr + " 2024", 2024},
                          Form{full + " 28", -1}, Form{abbr + " 28", -1}, Form{"28 " + full, -1},
                          Form{"28 " + abbr, -1}}) {
      LongDate d;
      ASSERT_TRUE(findLongDate(f.text, &d)) << f.text;
      EXPECT_EQ(d.month, m) << f.text;
      EXPECT_EQ(d.day, 28) << f.text;
      EXPECT_EQ(d.year, f.year) << f.text;
      EXPECT_EQ(d.length, static_cast<int>(f.text.size())) << f.text;
      // Followed by more text the date keeps its own length.
      LongDate inLine;
      ASSERT_TRUE(findLongDate(f.text + "  Deposit 12.00", &inLine)) << f.text;
      EXPECT_EQ(inLine.length, d.length) << f.text;
    }
  }
  LongDate sept;
  ASSERT_TRUE(findLongDate("Sept 30, 2024", &sept));
  EXPECT_EQ(sept.month, 9);
  EXPECT_EQ(sept.year, 2024);
  ASSERT_TRUE(findLongDate("30 Sept", &sept));
  EXPECT_EQ(sept.length, 7);
  LongDate none;
  EXPECT_FALSE(findLongDate("Opening balance 31", &none));
}

}  // namespace
}  // namespace corvela
