#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

// Tables of our own, so that these tests do not depend on what the shipped bundle holds.
constexpr std::string_view kTestBundle = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
  <key>CVShortDateFormats</key>
  <array><string>%d/%d/%d%n</string><string>%d-%d-%d%n</string></array>
  <key>CVRemoveFromAmounts</key>
  <string>$) </string>
</dict>
</plist>
)";

const Bundle& testBundle() {
  static const Bundle bundle = Bundle::fromXML(kTestBundle).value();
  return bundle;
}

const CalendarDay kToday{2024, 6, 15};

std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

class QIFReaderTest : public ::testing::Test {
 protected:
  QIFReaderTest() : options(store.prefs), reader(store.prefs, options, testBundle()) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }

  QIFReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromQIFLines(linesOf(text), from, to, kToday);
  }

  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

TEST_F(QIFReaderTest, ReadsEveryFieldOfARecord) {
  QIFReadResult result =
      read("D1/31/2024\nN 101\nPShop\nMWeekly\nT-1,234.56\nLFood:Groceries\nC*\nUignored\n^\n");
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.qif.size(), 1u);
  Value expected = {{"date", "01/31/2024"}, {"number", " 101"},      {"description", "Shop"},
                    {"memo", "Weekly"},     {"amount", "-1,234.56"}, {"category", "Food:Groceries"},
                    {"cleared", "*"}};
  EXPECT_EQ(result.qif[0], expected) << describe(result.qif[0]);
}

TEST_F(QIFReaderTest, DatesAreWrittenWithTheStoredOutputPattern) {
  store.prefs.setObject(prefKey::OutputDateFormat, "%Y-%m-%d");
  QIFReadResult result = read("D2/3/24\n^\nD12/31/1999\n^\n");
  ASSERT_EQ(result.qif.size(), 2u);
  EXPECT_EQ(str(result.qif[0], "date"), "2024-02-03");
  EXPECT_EQ(str(result.qif[1], "date"), "1999-12-31");
}

struct RegisterCase {
  const char* name;
  const char* text;
  std::vector<const char*> expectedRecords;  // the JSON of each record, in order
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const RegisterCase& c, std::ostream* os) { *os << c.name; }

class QIFRegisterTest : public QIFReaderTest, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(QIFRegisterTest, RecordsAreCollectedAsTheLinesSay) {
  QIFReadResult result = read(GetParam().text);
  ASSERT_TRUE(result.ok()) << "stopped at line " << result.failedLine;
  ASSERT_EQ(result.qif.size(), GetParam().expectedRecords.size()) << describe(result.qif);
  for (std::size_t i = 0; i < result.qif.size(); ++i) {
    Value expected = fromJSON(GetParam().expectedRecords[i]).value();
    EXPECT_EQ(result.qif[i], expected) << "record " << i << ": " << describe(result.qif[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Registers, QIFRegisterTest,
    ::testing::Values(RegisterCase{"LastRecordWithoutCaretIsDropped",
                                   "D1/1/2024\nPOne\n^\nD1/2/2024\nPTwo\n",
                                   {R"({"date":"01/01/2024","description":"One"})"}},
                      RegisterCase{"SplitsReplaceTheCategory",
                                   "D1/1/2024\nT-30\nLWhole\nSFood\nEbread\n$-10\nSHome\n$-20\n^\n",
                                   {R"({"date":"01/01/2024","amount":"-30","splits":[
                          {"category":"Food","memo":"bread","amount":"-10"},
                          {"category":"Home","memo":"","amount":"-20"}]})"}},
                      RegisterCase{"DollarLineBeforeAnySplitAddsNothing",
                                   "D1/1/2024\n$-5\nLKeep\n^\n",
                                   {R"({"date":"01/01/2024","category":"Keep"})"}},
                      RegisterCase{"SplitListEndsWithItsRecord",
                                   "D1/1/2024\nSFood\n$-1\n^\nD1/2/2024\n$-2\nLOther\n^\n",
                                   {R"({"date":"01/01/2024","splits":[
                          {"category":"Food","memo":"","amount":"-1"}]})",
                                    R"({"date":"01/02/2024","category":"Other"})"}},
                      RegisterCase{"SplitAmountsAreConvertedLikeTheTotal",
                                   "D1/1/2024\nT-12,34\nSFood\n$-10,00\nSHome\n$-2,34\n^\n",
                                   {R"({"date":"01/01/2024","amount":"-12.34","splits":[
                          {"category":"Food","memo":"","amount":"-10.00"},
                          {"category":"Home","memo":"","amount":"-2.34"}]})"}},
                      RegisterCase{"RecordWithoutDatePassesNothingOn",
                                   "PCarried\nMmemo\n^\nD1/5/2024\nPOwn\n^\n",
                                   {R"({"date":"01/05/2024","description":"Own"})"}},
                      RegisterCase{"RepeatedLineReplacesTheEarlierOne",
                                   "D1/1/2024\nPFirst\nPSecond\nD1/3/2024\n^\n",
                                   {R"({"date":"01/03/2024","description":"Second"})"}},
                      RegisterCase{
                          "BlankLedAndUnknownLinesAreIgnored",
                          "!Type:Bank\n\n D9/9/2024\nD1/1/2024\nAStreet 1\nU-5.00\nT-5.00\n^\n",
                          {R"({"date":"01/01/2024","amount":"-5.00"})"}},
                      RegisterCase{"EuropeanAmountsAreConverted",
                                   "D1/1/2024\nT-1.234,56\n^\nD1/1/2024\nT1,234.56\n^\n"
                                   "D1/1/2024\nT1,234\n^\nD1/1/2024\nT12,5\n^\n",
                                   {R"({"date":"01/01/2024","amount":"-1,234.56"})",
                                    R"({"date":"01/01/2024","amount":"1,234.56"})",
                                    R"({"date":"01/01/2024","amount":"1,234"})",
                                    R"({"date":"01/01/2024","amount":"12.5"})"}}),
    [](const ::testing::TestParamInfo<RegisterCase>& info) { return info.param.name; });

TEST_F(QIFReaderTest, DateRangeIsInclusiveAndSkipsAllLinesOfOutsideRecords) {
  QIFReadResult result = read(
      "D2/29/2024\nPBefore\nSSplit\n$-1\nLLeaked\n^\n"
      "D3/1/2024\nPFirst day\n^\n"
      "D3/31/2024\nPLast day\n^\n"
      "D4/1/2024\nPAfter\nN77\n^\n",
      {2024, 3, 1}, {2024, 3, 31});
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.qif.size(), 2u) << describe(result.qif);
  EXPECT_EQ(result.qif[0], (Value{{"date", "03/01/2024"}, {"description", "First day"}}));
  EXPECT_EQ(result.qif[1], (Value{{"date", "03/31/2024"}, {"description", "Last day"}}));
}

TEST_F(QIFReaderTest, FieldsBeforeTheDateStayWithTheirRecordWhenItIsOutOfRange) {
  // Some writers put "N" before "D": an out-of-range record must take its number with it, and
  // the next record must keep its own.
  QIFReadResult result = read(
      "N101\nD2/28/2024\nPIn\n^\n"
      "N102\nD3/31/2024\nPOut\nSSplit\n$-1\n^\n"
      "N103\nD3/1/2024\nPIn too\n^\n",
      {2024, 2, 1}, {2024, 3, 15});
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.qif.size(), 2u) << describe(result.qif);
  EXPECT_EQ(result.qif[0],
            (Value{{"date", "02/28/2024"}, {"number", "101"}, {"description", "In"}}));
  EXPECT_EQ(result.qif[1],
            (Value{{"date", "03/01/2024"}, {"number", "103"}, {"description", "In too"}}));
}

struct DateOrderCase {
  const char* name;
  const char* text;
  int failedLine;
  bool readDayFirst;
  bool mayBeDayFirst;
  std::vector<const char*> dates;
};

void PrintTo(const DateOrderCase& c, std::ostream* os) { *os << c.name; }

class DateOrderTest : public QIFReaderTest, public ::testing::WithParamInterface<DateOrderCase> {};

// With the option "europeanDates" off, a register is read day first only when nothing else fits.
TEST_P(DateOrderTest, DayFirstOnlyWhenEveryDateSaysSo) {
  const DateOrderCase& c = GetParam();
  QIFReadResult result = read(c.text);
  EXPECT_EQ(result.failedLine, c.failedLine);
  EXPECT_EQ(result.readDayFirst, c.readDayFirst);
  EXPECT_EQ(result.mayBeDayFirst, c.mayBeDayFirst);
  ASSERT_EQ(result.qif.size(), c.dates.size()) << describe(result.qif);
  for (std::size_t i = 0; i < c.dates.size(); ++i)
    EXPECT_EQ(str(result.qif[i], "date"), c.dates[i]);
}

INSTANTIATE_TEST_SUITE_P(Registers, DateOrderTest,
                         ::testing::Values(DateOrderCase{"EveryDateDayFirst",
                                                         "D05/02/2007\n^\nD22/01/2007\n^\n",
                                                         0,
                                                         true,
                                                         false,
                                                         {"02/05/2007", "01/22/2007"}},
                                           DateOrderCase{"BothOrdersFitSoMonthFirst",
                                                         "D05/02/2007\n^\nD01/12/2007\n^\n",
                                                         0,
                                                         false,
                                                         false,
                                                         {"05/02/2007", "01/12/2007"}},
                                           DateOrderCase{"MixedOrdersAreRefused",
                                                         "D01/13/2024\n^\nD13/01/2024\n^\n",
                                                         3,
                                                         false,
                                                         true,
                                                         {"01/13/2024"}},
                                           DateOrderCase{"NoDateAtAllIsNoHint",
                                                         "D01/02/2024\n^\nDnot a date\n^\n",
                                                         3,
                                                         false,
                                                         false,
                                                         {"01/02/2024"}}),
                         [](const ::testing::TestParamInfo<DateOrderCase>& info) {
                           return info.param.name;
                         });

TEST_F(QIFReaderTest, EuropeanDatesAreReadDayFirst) {
  options.add(option::europeanDates);
  QIFReadResult result = read("D31/12/2023\n^\nD05/01/2024\n^\n");
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.qif.size(), 2u);
  EXPECT_EQ(str(result.qif[0], "date"), "12/31/2023");
  EXPECT_EQ(str(result.qif[1], "date"), "01/05/2024");
}

TEST_F(QIFReaderTest, AYearlessDateFallsWithinTheLastTwelveMonths) {
  // The bare month/day form is read by the reader's last resort, not by the tables.
  QIFReadResult result = read("D6/15\n^\nD6/16\n^\n");
  ASSERT_EQ(result.qif.size(), 2u);
  EXPECT_EQ(str(result.qif[0], "date"), "06/15/2024");
  EXPECT_EQ(str(result.qif[1], "date"), "06/16/2023");
}

struct BadDateCase {
  const char* name;
  const char* text;
  bool european;
  int failedLine;
  std::size_t recordsBefore;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const BadDateCase& c, std::ostream* os) { *os << c.name; }

class QIFBadDateTest : public QIFReaderTest, public ::testing::WithParamInterface<BadDateCase> {};

TEST_P(QIFBadDateTest, ReadingStopsAtTheLineOfTheDate) {
  if (GetParam().european) options.add(option::europeanDates);
  QIFReadResult result = read(GetParam().text);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.failedLine, GetParam().failedLine);
  EXPECT_EQ(result.qif.size(), GetParam().recordsBefore) << describe(result.qif);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, QIFBadDateTest,
    ::testing::Values(
        BadDateCase{"NotADate", "D1/1/2024\n^\nDyesterday\n^\n", false, 3, 1},
        // The European flag turns 12/31/2023 into month 31: no real day, so no silent roll-over.
        BadDateCase{"MonthAfterEuropeanExchange", "!Type:Bank\n\nD12/31/2023\n^\n", true, 3, 0},
        BadDateCase{"FebruaryThirtieth", "D02/28/2024\n^\nD02/30/2024\nT1\n^\n", false, 3, 1},
        BadDateCase{"FebruaryTwentyNinthOfACommonYear", "D2/29/2023\n^\n", false, 1, 0},
        BadDateCase{"DayZero", "D1/0/2024\n^\n", false, 1, 0},
        // A register of its own would be read day first; after a date that cannot be, it is not.
        BadDateCase{"MonthThirteen", "D1/31/2024\n^\nD13/1/2024\n^\n", false, 3, 1},
        BadDateCase{"EmptyDate", "PNo date\nD\n^\n", false, 2, 0},
        // Text glued to the date, as some web downloads write it, is not a date the tables know.
        BadDateCase{"TrailingText", "D1/1/2024Share Withdrawal\n^\n", false, 1, 0}),
    [](const ::testing::TestParamInfo<BadDateCase>& info) { return info.param.name; });

TEST_F(QIFReaderTest, ABadDateIsReportedEvenInsideASkippedRecord) {
  QIFReadResult result = read("D1/1/2020\nPOld\nD2/30/2020\n^\n", {2024, 1, 1}, {2024, 12, 31});
  EXPECT_EQ(result.failedLine, 3);
}

TEST_F(QIFReaderTest, ALeapDayIsARealDay) {
  QIFReadResult result = read("D2/29/2024\n^\n");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(str(result.qif[0], "date"), "02/29/2024");
}

// --- amount normalisation

struct NormalizeCase {
  const char* name;
  const char* amount;
  bool europeanOutput;
  int qifTypeTag;
  const char* expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const NormalizeCase& c, std::ostream* os) { *os << c.name; }

class NormalizeTest : public QIFReaderTest, public ::testing::WithParamInterface<NormalizeCase> {};

TEST_P(NormalizeTest, AmountIsBroughtIntoOutputForm) {
  if (GetParam().europeanOutput) options.add(option::outputEuropeanAmounts);
  Value record = {{"amount", GetParam().amount}, {"description", "x"}};
  std::optional<std::string> normalized =
      reader.normalizeQIFAmountIn(record, GetParam().qifTypeTag);
  ASSERT_TRUE(normalized.has_value());
  EXPECT_EQ(*normalized, GetParam().expected);
  EXPECT_EQ(str(record, "amount"), GetParam().expected);
  EXPECT_TRUE(record["amountAlreadyConverted"].toBool());
  EXPECT_EQ(str(record, "description"), "x");
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, NormalizeTest,
    ::testing::Values(NormalizeCase{"Plain", "12.50", false, 0, "12.50"},
                      NormalizeCase{"Parentheses", "(12.50)", false, 0, "-12.50"},
                      NormalizeCase{"TrailingMinus", "12.50-", false, 0, "-12.50"},
                      NormalizeCase{"RemovedCharacters", "$ 1,234.56", false, 0, "1,234.56"},
                      NormalizeCase{"EuropeanOutput", "-1,234.56", true, 0, "-1234,56"},
                      NormalizeCase{"ReversedNegative", "-12.50", false, 4, "12.50"},
                      NormalizeCase{"ReversedPositive", "12.50", false, 4, "-12.50"},
                      NormalizeCase{"ReversedParentheses", "(12.50)", false, 4, "12.50"},
                      NormalizeCase{"ReverseBitAmongOthers", "7", false, 5, "-7"},
                      NormalizeCase{"SwapBitAloneKeepsTheSign", "7", false, 1, "7"}),
    [](const ::testing::TestParamInfo<NormalizeCase>& info) { return info.param.name; });

TEST_F(QIFReaderTest, NormalizingTwiceChangesNothing) {
  Value record = {{"amount", "12.50-"}};
  reader.normalizeQIFAmountIn(record, kQIFTypeReverseSigns);
  ASSERT_EQ(str(record, "amount"), "12.50");
  options.add(option::outputEuropeanAmounts);
  EXPECT_EQ(reader.normalizeQIFAmountIn(record, kQIFTypeReverseSigns), "12.50");
  EXPECT_EQ(str(record, "amount"), "12.50");
}

TEST_F(QIFReaderTest, ARecordWithoutAmountIsLeftAlone) {
  Value record = {{"memo", "no amount"}};
  EXPECT_EQ(reader.normalizeQIFAmountIn(record, kQIFTypeReverseSigns), std::nullopt);
  EXPECT_EQ(record, (Value{{"memo", "no amount"}}));
}

TEST_F(QIFReaderTest, SplitRecordsAreNormalizedToo) {
  QIFReadResult result = read("D1/1/2024\nSFood\n$(3.00)\n^\n");
  Value split = result.qif[0]["splits"][0];
  EXPECT_EQ(reader.normalizeQIFAmountIn(split, 0), "-3.00");
  EXPECT_EQ(str(split, "category"), "Food");
}

// The shipped removal set must take off the closing parenthesis and keep every character that
// carries the sign or the separators, or "(12.50)" would be written as "-12.50)".
TEST(QIFBundleTest, ShippedRemovalSetFitsTheNormalisation) {
  const Value& removals = Bundle::builtIn().table("CVRemoveFromAmounts");
  ASSERT_TRUE(removals.isString());
  const std::string& set = removals.toString();
  EXPECT_NE(set.find(')'), std::string::npos);
  EXPECT_EQ(set.find_first_of("(-,.0123456789"), std::string::npos) << set;
}

}  // namespace
}  // namespace corvela
