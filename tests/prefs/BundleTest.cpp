#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/Bundle.h"
#include "prefs/ValueText.h"

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

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// The tables as another reader of XML property lists reads them: plistlib, printing JSON in the
// form fromJSON reads.
const char kPlistToJson[] = R"PY(
import datetime, json, plistlib, sys
def plain(v):
    if isinstance(v, dict): return {k: plain(x) for k, x in v.items()}
    if isinstance(v, list): return [plain(x) for x in v]
    if isinstance(v, datetime.datetime): return {'$date': v.strftime('%Y-%m-%dT%H:%M:%SZ')}
    if isinstance(v, bytes): return {'$data': __import__('base64').b64encode(v).decode()}
    return v
print(json.dumps(plain(plistlib.load(open(sys.argv[1], 'rb')))))
)PY";

TEST(BundleTest, TheBuiltInTablesReadAsAnotherReaderReadsThem) {
  if (!testing::havePython()) GTEST_SKIP() << "python3 with plistlib is not installed";
  testing::TempFolder folder;
  std::string plist = folder.file("bundle.plist");
  std::ofstream(plist, std::ios::binary) << kBundlePlist;
  int exitCode = -1;
  std::string json = testing::runPython(folder, kPlistToJson, plist, &exitCode);
  ASSERT_EQ(exitCode, 0) << json;
  Result<Value> expected = fromJSON(json);
  ASSERT_TRUE(expected.ok()) << expected.message();
  EXPECT_EQ(bundle().tables(), expected.value());
  EXPECT_GT(bundle().tables().size(), 5u);
}

TEST(BundleTest, FromXMLWantsADictionaryAtTheRoot) {
  for (const char* xml : {"<plist><array/></plist>", "not a property list", ""}) {
    Result<Bundle> read = Bundle::fromXML(xml);
    EXPECT_FALSE(read.ok()) << xml;
  }
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
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(months[i].toString(), kMonthNames[i]);
    // The second half abbreviates the first: month (i mod 12) + 1 either way.
    EXPECT_TRUE(std::string(kMonthNames[i]).starts_with(months[i + 12].toString())) << i;
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
    // Both patterns name the month that the entry stands for: by name, or (the OFX form) by
    // its two digits between year and day.
    std::string abbr = std::string(kMonthNames[month - 1]).substr(0, 3);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%%4d%02d%%2d%%n", static_cast<int>(month));
    const std::string& y = str(withYear[j], "format");
    EXPECT_TRUE(y.find(abbr) != std::string::npos || y == digits) << y;
    EXPECT_NE(str(noYear[j], "format").find(abbr), std::string::npos) << str(noYear[j], "format");
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
  for (int m = 1; m <= 12; ++m) {
    std::string full = kMonthNames[m - 1], abbr = full.substr(0, 3);
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

// A date field of the text reader with "," as delimiter: the first year pattern that makes two
// conversions and consumes the whole text wins; a first number above 31 is the year.
bool parseLongDate(const std::string& text, LongDate* out) {
  const Value& withYear = bundle().table("CVLongDateFormats");
  for (std::size_t j = 0; j < withYear.size(); ++j) {
    Scan s = scan(text, str(withYear[j], "format"));
    if (s.conversions != 2 || static_cast<std::size_t>(s.consumed) != text.size()) continue;
    int day = s.numbers[0], year = s.numbers[1];
    if (day > 31) std::swap(day, year);
    *out = {static_cast<int>(withYear[j]["month"].toInt()), day, year, s.consumed};
    return true;
  }
  return false;
}

TEST(BundleTest, EightDigitOFXDatesParseForEveryMonth) {
  for (int m = 1; m <= 12; ++m) {
    char text[32];
    std::snprintf(text, sizeof text, "2024%02d%02d", m, m + 17);
    LongDate d;
    ASSERT_TRUE(parseLongDate(text, &d)) << text;
    EXPECT_EQ(d.month, m) << text;
    EXPECT_EQ(d.day, m + 17) << text;
    EXPECT_EQ(d.year, 2024) << text;
  }
  LongDate d;
  EXPECT_FALSE(parseLongDate("20241305", &d));  // no month 13
  ASSERT_TRUE(parseLongDate("March 5, 2024", &d));
  EXPECT_EQ(d.month, 3);
  EXPECT_EQ(d.year, 2024);
}

TEST(BundleTest, RemoveFromAmountsKeepsTheCharactersThatCarryMeaning) {
  const Value& remove = bundle().table("CVRemoveFromAmounts");
  ASSERT_TRUE(remove.isString());
  const std::string& chars = remove.toString();
  EXPECT_NE(chars.find(')'), std::string::npos);
  for (char kept : {'(', '-', ',', '.'}) EXPECT_EQ(chars.find(kept), std::string::npos) << kept;
  for (unsigned char c : chars) EXPECT_FALSE(std::isdigit(c)) << c;
  auto cleaned = [&](std::string text) {
    std::erase_if(text, [&](char c) { return chars.find(c) != std::string::npos; });
    return text;
  };
  EXPECT_EQ(cleaned("(12.50)"), "(12.50");
  EXPECT_EQ(cleaned("$1,234.56"), "1,234.56");
  EXPECT_EQ(cleaned("+ 12.00-"), "12.00-");
}

bool flag(const Value& type, const char* key) { return has(type, key); }

TEST(BundleTest, QuickenTypesMeetTheTypeNumberRules) {
  const Value& types = bundle().table("CVQuickenTypes");
  // 0..22 are entries; 23 and 24 are the sign-dependent choices, not entries.
  ASSERT_EQ(types.size(), 23u);
  const char* known[] = {"QuickenName",  "DisplayName",   "SecurityRequired", "SharesRequired",
                         "PriceAllowed", "PriceRequired", "AmountRequired"};
  std::set<std::string> quickenNames, displayNames;
  for (std::size_t i = 0; i < types.size(); ++i) {
    const Value& t = types[i];
    ASSERT_TRUE(t.isDictionary()) << i;
    EXPECT_FALSE(str(t, "QuickenName").empty()) << i;
    EXPECT_FALSE(str(t, "DisplayName").empty()) << i;
    EXPECT_TRUE(quickenNames.insert(str(t, "QuickenName")).second) << i;
    EXPECT_TRUE(displayNames.insert(str(t, "DisplayName")).second) << i;
    for (const auto& [key, value] : t.toDictionary()) {
      EXPECT_TRUE(std::find(std::begin(known), std::end(known), key) != std::end(known)) << key;
    }
    EXPECT_TRUE(!flag(t, "PriceRequired") || flag(t, "PriceAllowed")) << i;
    EXPECT_TRUE(!flag(t, "SharesRequired") || flag(t, "SecurityRequired")) << i;
    // Every type writes shares or an amount; otherwise nothing of value would be output.
    EXPECT_TRUE(flag(t, "SharesRequired") || flag(t, "AmountRequired")) << i;
    if (i >= 19) {
      // Cash transactions of the account: an amount, no security, shares or price.
      EXPECT_TRUE(flag(t, "AmountRequired")) << i;
      for (const char* f :
           {"SecurityRequired", "SharesRequired", "PriceAllowed", "PriceRequired"}) {
        EXPECT_FALSE(flag(t, f)) << i << " " << f;
      }
    }
  }
  // 23 chooses 0 or 1 by sign, 24 chooses 4 or 5: each pair is the in and out of one thing.
  EXPECT_EQ(str(types[0], "QuickenName"), "XIn");
  EXPECT_EQ(str(types[1], "QuickenName"), "XOut");
  EXPECT_EQ(str(types[4], "QuickenName"), "MiscInc");
  EXPECT_EQ(str(types[5], "QuickenName"), "MiscExp");
  for (int i : {0, 1, 4, 5}) {
    EXPECT_TRUE(flag(types[i], "AmountRequired")) << i;
    EXPECT_FALSE(flag(types[i], "SharesRequired")) << i;
  }
  EXPECT_EQ(str(types[22], "QuickenName"), "Check");
  EXPECT_EQ(str(types[2], "QuickenName"), "Buy");
  EXPECT_EQ(str(types[3], "QuickenName"), "Sell");
}

TEST(BundleTest, OFXFormatIsAnInvestmentFormatRecord) {
  const Value& ofx = bundle().table("CVOFXFormat");
  ASSERT_TRUE(ofx.isDictionary());
  EXPECT_TRUE(has(ofx, "OFX"));
  EXPECT_FALSE(str(ofx, "Name").empty());
  EXPECT_EQ(str(ofx, "FormatType"), "Investment");
  EXPECT_EQ(str(ofx, "Fields"), "OFX");
  EXPECT_EQ(str(ofx, "DateAfter"), "<DTTRADE>");
  // The eight-digit date is read by the long-date tables, which "," selects.
  EXPECT_EQ(str(ofx, "DateDelimiter"), ",");
  const Value& types = ofx["Types"];
  // A stored copy whose Types holds exactly two entries is taken for an old one and replaced.
  ASSERT_GT(types.size(), 2u);
  std::set<std::string> formatTypes;
  for (const Value& t : types.toArray()) {
    EXPECT_FALSE(str(t, "ofxType").empty());
    EXPECT_FALSE(str(t, "formatType").empty());
    formatTypes.insert(str(t, "formatType"));
  }
  const std::size_t typeCount = bundle().table("CVQuickenTypes").size();
  for (const Value& m : ofx["TypeMappings"].toArray()) {
    EXPECT_TRUE(formatTypes.contains(str(m, "formatType"))) << str(m, "formatType");
    ASSERT_TRUE(m["quickenType"].isInteger());
    std::int64_t q = m["quickenType"].toInt() & ~std::int64_t{64};
    EXPECT_TRUE(q == 23 || q == 24 || m["quickenType"].toInt() == 100 ||
                (q >= 0 && static_cast<std::size_t>(q) < typeCount))
        << str(m, "formatType") << " " << q;
  }
}

// How the investment reader takes OFX apart with this format: a transaction runs from the text
// after one DateAfter to just before the last character in front of the next; its first eight
// characters are the date and the rest one field, in which the first Types entry found names the
// type, and a mapping gives its QIF action. The amount follows AmountAfter.
struct OFXTransaction {
  std::string date, action, amount;
};

std::vector<OFXTransaction> readOFX(const std::string& text) {
  const Value& format = bundle().table("CVOFXFormat");
  const Value& quickenTypes = bundle().table("CVQuickenTypes");
  const std::string& after = str(format, "DateAfter");
  std::vector<std::size_t> starts;
  for (std::size_t p = text.find(after); p != std::string::npos; p = text.find(after, p + 1)) {
    starts.push_back(p + after.size());
  }
  std::vector<OFXTransaction> out;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    std::size_t end = i + 1 < starts.size() ? starts[i + 1] - after.size() - 1 : text.size();
    std::string chunk = text.substr(starts[i], end - starts[i]);
    std::string field1 = chunk.substr(8);
    OFXTransaction t;
    LongDate d;
    if (parseLongDate(chunk.substr(0, 8), &d)) {
      t.date = std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
    }
    std::string formatType = "<Unknown OFX Type>";
    for (const Value& type : format["Types"].toArray()) {
      if (field1.find(str(type, "ofxType")) != std::string::npos) {
        formatType = str(type, "formatType");
        break;
      }
    }
    std::size_t a = field1.find(str(format, "AmountAfter"));
    if (a != std::string::npos) {
      a += str(format, "AmountAfter").size();
      t.amount = field1.substr(a, field1.find_first_of("<\r\n", a) - a);
    }
    for (const Value& m : format["TypeMappings"].toArray()) {
      if (str(m, "formatType") != formatType) continue;
      std::int64_t q = m["quickenType"].toInt();
      bool negative = t.amount.starts_with("-");
      if (q == 23) q = negative ? 1 : 0;
      if (q == 24) q = negative ? 5 : 4;
      t.action = q == 100 ? "skip" : str(quickenTypes[q], "QuickenName");
    }
    if (t.action.empty()) t.action = formatType;
    out.push_back(t);
  }
  return out;
}

// OFX 1.x without closing tags for elements, each on its own line.
const char kSgml[] = R"(OFXHEADER:100
DATA:OFXSGML
<OFX><INVSTMTMSGSRSV1><INVSTMTTRNRS><INVSTMTRS><DTASOF>20240301
<INVTRANLIST><DTSTART>20240101<DTEND>20240301
<BUYSTOCK><INVBUY><INVTRAN><FITID>1<DTTRADE>20240102120000.000[-5:EST]<MEMO>BOUGHT
</INVTRAN><SECID><UNIQUEID>037833100<UNIQUEIDTYPE>CUSIP</SECID><UNITS>10<UNITPRICE>150.00
<COMMISSION>4.95<TOTAL>-1504.95<SUBACCTSEC>CASH<SUBACCTFUND>CASH</INVBUY><BUYTYPE>BUY</BUYSTOCK>
<INCOME><INVTRAN><FITID>2<DTTRADE>20240115<MEMO>DIVIDEND</INVTRAN>
<SECID><UNIQUEID>037833100<UNIQUEIDTYPE>CUSIP</SECID><INCOMETYPE>DIV<TOTAL>2.40
<SUBACCTSEC>CASH<SUBACCTFUND>CASH</INCOME>
<INVBANKTRAN><STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240116<TRNAMT>500.00<FITID>3</STMTTRN>
<SUBACCTFUND>CASH</INVBANKTRAN>
<REINVEST><INVTRAN><FITID>4<DTTRADE>20240131</INVTRAN><SECID><UNIQUEID>922908363
<UNIQUEIDTYPE>CUSIP</SECID><INCOMETYPE>DIV<TOTAL>-12.34<SUBACCTSEC>CASH<UNITS>0.05
<UNITPRICE>246.80</REINVEST>
<SELLMF><INVSELL><INVTRAN><FITID>5<DTTRADE>20240205</INVTRAN><SECID><UNIQUEID>922908363
<UNIQUEIDTYPE>CUSIP</SECID><UNITS>-2<UNITPRICE>250<TOTAL>500<SUBACCTSEC>CASH
<SUBACCTFUND>CASH</INVSELL><SELLTYPE>SELL</SELLMF>
<TRANSFER><INVTRAN><FITID>6<DTTRADE>20240210</INVTRAN><SECID><UNIQUEID>922908363
<UNIQUEIDTYPE>CUSIP</SECID><SUBACCTSEC>CASH<UNITS>3<TFERACTION>IN<POSTYPE>LONG</TRANSFER>
<INCOME><INVTRAN><FITID>7<DTTRADE>20240229</INVTRAN><SECID><UNIQUEID>922908363
<UNIQUEIDTYPE>CUSIP</SECID><INCOMETYPE>CGLONG<TOTAL>7.00<SUBACCTSEC>CASH<SUBACCTFUND>CASH
</INCOME></INVTRANLIST><INVPOSLIST><POSSTOCK><INVPOS><SECID><UNIQUEID>037833100
<UNIQUEIDTYPE>CUSIP</SECID><HELDINACCT>CASH<POSTYPE>LONG<UNITS>10<UNITPRICE>180
<MKTVAL>1800<DTPRICEASOF>20240301</INVPOS></POSSTOCK></INVPOSLIST></INVSTMTRS>
</INVSTMTTRNRS></INVSTMTMSGSRSV1></OFX>
)";

// OFX 2.x: XML with every element closed, indented.
const char kXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?OFX OFXHEADER="200" VERSION="202"?>
<OFX><INVSTMTMSGSRSV1><INVSTMTTRNRS><INVSTMTRS>
  <INVTRANLIST>
    <SELLOPT>
      <INVSELL>
        <INVTRAN><FITID>8</FITID><DTTRADE>20231120</DTTRADE><MEMO>WRITE CALL</MEMO></INVTRAN>
        <SECID><UNIQUEID>Z123</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID>
        <UNITS>-1</UNITS><UNITPRICE>0.70</UNITPRICE><TOTAL>69.31</TOTAL>
      </INVSELL>
      <OPTSELLTYPE>SELLTOOPEN</OPTSELLTYPE><SHPERCTRCT>100</SHPERCTRCT>
    </SELLOPT>
    <INVEXPENSE>
      <INVTRAN><FITID>9</FITID><DTTRADE>20231201</DTTRADE></INVTRAN>
      <SECID><UNIQUEID>874039100</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID>
      <TOTAL>-21.89</TOTAL><SUBACCTSEC>CASH</SUBACCTSEC>
    </INVEXPENSE>
    <INCOME>
      <INVTRAN><FITID>10</FITID><DTTRADE>20231215</DTTRADE></INVTRAN>
      <SECID><UNIQUEID>874039100</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID>
      <INCOMETYPE>INTEREST</INCOMETYPE><TOTAL>3.10</TOTAL>
    </INCOME>
    <TRANSFER>
      <INVTRAN><FITID>11</FITID><DTTRADE>20231220</DTTRADE></INVTRAN>
      <SECID><UNIQUEID>874039100</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID>
      <UNITS>-5</UNITS><TFERACTION>OUT</TFERACTION><POSTYPE>LONG</POSTYPE>
    </TRANSFER>
    <BUYMF>
      <INVBUY>
        <INVTRAN><FITID>12</FITID><DTTRADE>20231229</DTTRADE></INVTRAN>
        <SECID><UNIQUEID>874039100</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID>
        <UNITS>1.5</UNITS><UNITPRICE>100</UNITPRICE><TOTAL>-150.00</TOTAL>
      </INVBUY>
      <BUYTYPE>BUY</BUYTYPE>
    </BUYMF>
  </INVTRANLIST>
</INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1></OFX>
)";

TEST(BundleTest, OFXFormatReadsTheInvestmentTransactionsOfBothOFXForms) {
  struct Expected {
    const char* date;
    const char* action;
    const char* amount;
  };
  auto check = [](const std::string& text, const std::vector<Expected>& expected) {
    std::vector<OFXTransaction> got = readOFX(text);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].date, expected[i].date) << i;
      EXPECT_EQ(got[i].action, expected[i].action) << i;
      EXPECT_EQ(got[i].amount, expected[i].amount) << i;
    }
  };
  check(kSgml, {{"1/2/2024", "Buy", "-1504.95"},
                {"1/15/2024", "Div", "2.40"},  // the cash deposit after it has no trade date
                {"1/31/2024", "ReinvDiv", "-12.34"},
                {"2/5/2024", "Sell", "500"},
                {"2/10/2024", "ShrsIn", ""},
                {"2/29/2024", "CGLong", "7.00"}});
  check(kXml, {{"11/20/2023", "ShtSell", "69.31"},
               {"12/1/2023", "MiscExp", "-21.89"},
               {"12/15/2023", "IntInc", "3.10"},
               {"12/20/2023", "ShrsOut", ""},
               {"12/29/2023", "Buy", "-150.00"}});
}

}  // namespace
}  // namespace corvela
