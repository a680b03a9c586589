#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"
#include "text/Lines.h"

namespace corvela {
namespace {

// Tables of our own, so that these tests do not depend on what the shipped bundle holds.
constexpr std::string_view kTestBundle = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CVShortDateFormats</key><array><string>%d/%d/%d%n</string><string>%d-%d-%d%n</string></array>
  <key>CVRemoveFromAmounts</key><string>$) </string>
</dict></plist>
)";

class QIFReaderTest : public ::testing::Test {
 protected:
  QIFReaderTest() : options(store.prefs), reader(store.prefs, options, bundle) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }
  QIFReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromQIFLines(findLines(text), from, to, CalendarDay{2024, 6, 15});
  }
  // The records, " | " between them.
  static std::string records(const QIFReadResult& result) {
    std::string out;
    for (const Value& r : result.qif.toArray())
      out += (out.empty() ? "" : " | ") + testing::summary(r);
    return out;
  }

  Bundle bundle = Bundle::fromXML(kTestBundle).value();
  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

TEST_F(QIFReaderTest, RecordsAreCollectedAsTheLinesSay) {
  struct Case {
    const char* text;
    bool european;   // the option "europeanDates"
    int failedLine;  // 0: read to the end
    char dayFirst;   // 'D' read day first, 'M' may have been day first, '-' neither
    const char* records;
  };
  const Case cases[] = {
      {"D1/31/2024\nN 101\nPShop\nMWeekly\nT-1,234.56\nLFood:Groceries\nC*\nUignored\n^\n", false,
       0, '-',
       "amount=-1,234.56 category=Food:Groceries cleared=* date=01/31/2024 description=Shop "
       "memo=Weekly number= 101"},
      // A last record without "^" is dropped; a repeated line replaces the earlier one.
      {"D1/1/2024\nPOne\n^\nD1/2/2024\nPTwo\n", false, 0, '-', "date=01/01/2024 description=One"},
      {"D1/1/2024\nPFirst\nPSecond\nD1/3/2024\n^\n", false, 0, '-',
       "date=01/03/2024 description=Second"},
      // A record without a date passes nothing on to the next.
      {"PCarried\nMmemo\n^\nD1/5/2024\nPOwn\n^\n", false, 0, '-',
       "date=01/05/2024 description=Own"},
      {"!Type:Bank\n\n D9/9/2024\nD1/1/2024\nAStreet 1\nU-5.00\nT-5.00\n^\n", false, 0, '-',
       "amount=-5.00 date=01/01/2024"},
      // Splits replace the category; a "$" before any split adds nothing; the split list ends
      // with its record; split amounts are converted like the total.
      {"D1/1/2024\nT-30\nLWhole\nSFood\nEbread\n$-10\nSHome\n$-20\n^\n", false, 0, '-',
       "amount=-30 date=01/01/2024 splits=[amount=-10 category=Food memo=bread; amount=-20 "
       "category=Home memo=]"},
      {"D1/1/2024\n$-5\nLKeep\n^\n", false, 0, '-', "category=Keep date=01/01/2024"},
      {"D1/1/2024\nSFood\n$-1\n^\nD1/2/2024\n$-2\nLOther\n^\n", false, 0, '-',
       "date=01/01/2024 splits=[amount=-1 category=Food memo=] | category=Other date=01/02/2024"},
      {"D1/1/2024\nT-12,34\nSFood\n$-10,00\nSHome\n$-2,34\n^\n", false, 0, '-',
       "amount=-12.34 date=01/01/2024 splits=[amount=-10.00 category=Food memo=; amount=-2.34 "
       "category=Home memo=]"},
      {"D1/1/2024\nT-1.234,56\n^\nD1/1/2024\nT1,234\n^\nD1/1/2024\nT12,5\n^\n", false, 0, '-',
       "amount=-1,234.56 date=01/01/2024 | amount=1,234 date=01/01/2024 | amount=12.5 "
       "date=01/01/2024"},
      // Dates: two-digit years, a year-less date within the last twelve months, a leap day.
      {"D2/3/24\n^\nD12/31/1999\n^\nD6/15\n^\nD6/16\n^\nD2/29/2024\n^\n", false, 0, '-',
       "date=02/03/2024 | date=12/31/1999 | date=06/15/2024 | date=06/16/2023 | date=02/29/2024"},
      {"D31/12/2023\n^\nD05/01/2024\n^\n", true, 0, '-', "date=12/31/2023 | date=01/05/2024"},
      // Without the option a register is read day first only when every date says so.
      {"D05/02/2007\n^\nD22/01/2007\n^\n", false, 0, 'D', "date=02/05/2007 | date=01/22/2007"},
      {"D05/02/2007\n^\nD01/12/2007\n^\n", false, 0, '-', "date=05/02/2007 | date=01/12/2007"},
      {"D01/13/2024\n^\nD13/01/2024\n^\n", false, 3, 'M', "date=01/13/2024"},
      {"D01/02/2024\n^\nDnot a date\n^\n", false, 3, '-', "date=01/02/2024"},
      // Reading stops at the line of a date that names no real day.
      {"!Type:Bank\n\nD12/31/2023\n^\n", true, 3, '-', ""},  // month 31 once exchanged
      {"D02/28/2024\n^\nD02/30/2024\nT1\n^\n", false, 3, '-', "date=02/28/2024"},
      {"D2/29/2023\n^\n", false, 1, '-', ""},
      {"D1/0/2024\n^\n", false, 1, '-', ""},
      {"D1/31/2024\n^\nD13/1/2024\n^\n", false, 3, 'M', "date=01/31/2024"},
      {"PNo date\nD\n^\n", false, 2, '-', ""},
      // Text glued to the date, as some web downloads write it, is no date the tables know.
      {"D1/1/2024Share Withdrawal\n^\n", false, 1, '-', ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    store.prefs.setObject(
        prefKey::Preferences,
        c.european ? Value(Value::Array{Value(option::europeanDates)}) : Value::array());
    QIFReadResult result = read(c.text);
    EXPECT_EQ(result.failedLine, c.failedLine);
    EXPECT_EQ(result.readDayFirst, c.dayFirst == 'D');
    EXPECT_EQ(result.mayBeDayFirst, c.dayFirst == 'M');
    EXPECT_EQ(records(result), c.records);
  }
}

// A record outside the range takes all its lines with it, the ones before its date included
// ("N" before "D"), and the next record keeps its own.
TEST_F(QIFReaderTest, DateRangeIsInclusiveAndSkipsWholeRecords) {
  QIFReadResult result = read(
      "D2/29/2024\nPBefore\nSSplit\n$-1\nLLeaked\n^\nN101\nD3/1/2024\nPFirst day\n^\n"
      "N102\nD4/1/2024\nPAfter\nSSplit\n$-1\n^\nN103\nD3/31/2024\nPLast day\n^\n",
      {2024, 3, 1}, {2024, 3, 31});
  EXPECT_EQ(records(result),
            "date=03/01/2024 description=First day number=101 | date=03/31/2024 "
            "description=Last day number=103");
  EXPECT_EQ(read("D1/1/2020\nPOld\nD2/30/2020\n^\n", {2024, 1, 1}, {2024, 12, 31}).failedLine, 3);
}

TEST_F(QIFReaderTest, AmountsAreBroughtIntoOutputFormOnce) {
  struct Case {
    const char* amount;
    bool europeanOutput;
    int qifTypeTag;
    const char* expected;
  };
  const Case cases[] = {{"12.50", false, 0, "12.50"},
                        {"(12.50)", false, 0, "-12.50"},
                        {"12.50-", false, 0, "-12.50"},
                        {"$ 1,234.56", false, 0, "1,234.56"},
                        {"-1,234.56", true, 0, "-1234,56"},
                        {"-12.50", false, 4, "12.50"},
                        {"12.50", false, 4, "-12.50"},
                        {"(12.50)", false, 4, "12.50"},
                        {"7", false, 5, "-7"},
                        {"7", false, 1, "7"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.amount);
    store.prefs.setObject(prefKey::Preferences,
                          c.europeanOutput
                              ? Value(Value::Array{Value(option::outputEuropeanAmounts)})
                              : Value::array());
    Value record = {{"amount", c.amount}, {"description", "x"}};
    EXPECT_EQ(reader.normalizeQIFAmountIn(record, c.qifTypeTag), c.expected);
    EXPECT_EQ(
        record,
        (Value{{"amount", c.expected}, {"amountAlreadyConverted", true}, {"description", "x"}}));
    // A second pass changes nothing, whatever the options say by then.
    options.add(option::outputEuropeanAmounts);
    EXPECT_EQ(reader.normalizeQIFAmountIn(record, kQIFTypeReverseSigns), c.expected);
  }
  Value noAmount = {{"memo", "no amount"}};
  EXPECT_EQ(reader.normalizeQIFAmountIn(noAmount, kQIFTypeReverseSigns), std::nullopt);
  EXPECT_EQ(noAmount, (Value{{"memo", "no amount"}}));
}

// The shipped removal set must take off the closing parenthesis and keep every character that
// carries the sign or the separators, or "(12.50)" would be written as "-12.50)".
TEST(QIFBundleTest, ShippedRemovalSetFitsTheNormalisation) {
  const std::string& set = Bundle::builtIn().table("CVRemoveFromAmounts").toString();
  EXPECT_NE(set.find(')'), std::string::npos);
  EXPECT_EQ(set.find_first_of("(-,.0123456789"), std::string::npos) << set;
}

}  // namespace
}  // namespace corvela
