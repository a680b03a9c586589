#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "formats/OutputFormatsFixture.h"
#include "prefs/ValueText.h"

namespace corvela {
namespace {

using testing::delimitedFormat;
using testing::OutputFormatsTest;
using testing::shopping;
using testing::splitRecord;

// --- QIF

struct QIFCase {
  const char* name;
  BankCCOutput transaction;
  std::vector<std::string_view> options;
  const char* expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const QIFCase& c, std::ostream* os) { *os << c.name; }

class QIFOutputTest : public OutputFormatsTest, public ::testing::WithParamInterface<QIFCase> {};

TEST_P(QIFOutputTest, RecordLinesAreWrittenInOrder) {
  for (std::string_view name : GetParam().options) options.add(name);
  EXPECT_EQ(produce(GetParam().transaction), GetParam().expected);
}

BankCCOutput with(BankCCOutput t, void (*change)(BankCCOutput&)) {
  change(t);
  return t;
}

INSTANTIATE_TEST_SUITE_P(
    Records, QIFOutputTest,
    ::testing::Values(
        QIFCase{"NoMemoStillWritesBareM", shopping(), {}, "D01/31/2024\nPShop\nM\nT-12.00\n^\n"},
        QIFCase{"NothingButTheDate",
                BankCCOutput{"01/31/2024", {}, {}, {}, {}, {}, {}, {}},
                {},
                "D01/31/2024\nP\nM\n^\n"},
        QIFCase{"AllFields",
                with(shopping(),
                     [](BankCCOutput& t) {
                       t.memo = "weekly";
                       t.number = "  42";
                       t.category = "Food";
                       t.cleared = "*";
                     }),
                {},
                "D01/31/2024\nPShop\nMweekly\nT-12.00\nN42\nLFood\nC*\n^\n"},
        QIFCase{"UnclearedMarkIsABareC",
                with(shopping(), [](BankCCOutput& t) { t.cleared = ""; }),
                {},
                "D01/31/2024\nPShop\nM\nT-12.00\nC\n^\n"},
        QIFCase{"EmptyNumberWritesNoN",
                with(shopping(), [](BankCCOutput& t) { t.number = "  "; }),
                {},
                "D01/31/2024\nPShop\nM\nT-12.00\n^\n"},
        QIFCase{"LongNumberRemoved",
                with(shopping(), [](BankCCOutput& t) { t.number = "123456"; }),
                {option::removeLongNumber},
                "D01/31/2024\nPShop\nM\nT-12.00\nN\n^\n"},
        QIFCase{"FiveDigitNumberKept",
                with(shopping(), [](BankCCOutput& t) { t.number = "12345"; }),
                {option::removeLongNumber},
                "D01/31/2024\nPShop\nM\nT-12.00\nN12345\n^\n"},
        QIFCase{"LongNumberKeptWithoutTheOption",
                with(shopping(), [](BankCCOutput& t) { t.number = "123456"; }),
                {},
                "D01/31/2024\nPShop\nM\nT-12.00\nN123456\n^\n"},
        QIFCase{"DashDates",
                shopping(),
                {option::outputDashDates},
                "D01-31-2024\nPShop\nM\nT-12.00\n^\n"},
        QIFCase{"SplitsReplaceTheCategoryLine",
                with(shopping(),
                     [](BankCCOutput& t) {
                       t.category = "Ignored";
                       t.splits = Value(Value::Array{splitRecord("Food", "bread", "-5.00"),
                                                     splitRecord("Home", "", "-7.00")});
                     }),
                {},
                "D01/31/2024\nPShop\nM\nT-12.00\nSFood\nEbread\n$-5.00\nSHome\nE\n$-7.00\n^\n"},
        QIFCase{"EmptySplitListKeepsTheCategory",
                with(shopping(),
                     [](BankCCOutput& t) {
                       t.category = "Food";
                       t.splits = Value::array();
                     }),
                {},
                "D01/31/2024\nPShop\nM\nT-12.00\nLFood\n^\n"}),
    [](const ::testing::TestParamInfo<QIFCase>& info) { return info.param.name; });

TEST_F(OutputFormatsTest, TemplatesShapeDescriptionAndMemo) {
  store.prefs.setObject(prefKey::DescriptionOutput, "%d (%m)");
  store.prefs.setObject(prefKey::MemoOutput, "Ref %m");
  BankCCOutput t = shopping();
  t.memo = "card 9";
  EXPECT_EQ(produce(t), "D01/31/2024\nPShop (card 9)\nMRef card 9\nT-12.00\n^\n");
}

TEST_F(OutputFormatsTest, AStoreWithoutTemplatesWritesTheTextsUnchanged) {
  store.prefs.removeObjectForKey(prefKey::DescriptionOutput);
  store.prefs.removeObjectForKey(prefKey::MemoOutput);
  BankCCOutput t = shopping();
  t.memo = "weekly";
  EXPECT_EQ(produce(t), "D01/31/2024\nPShop\nMweekly\nT-12.00\n^\n");
}

TEST_F(OutputFormatsTest, TheCategoryJoinsTheCategoryList) {
  BankCCOutput t = shopping();
  t.category = "Food:Groceries";
  produce(t);
  EXPECT_EQ(categories.indexOfCategory("Food:Groceries"), 0);
}

TEST_F(OutputFormatsTest, ARefusedTransferIsStillWritten) {
  platform.answerNextAlert(0);
  BankCCOutput t = shopping();
  t.category = "[Nowhere]/Class";
  EXPECT_EQ(produce(t), "D01/31/2024\nPShop\nM\nT-12.00\nL[Nowhere]/Class\n^\n");
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].title, "Bad Category \"[Nowhere]/Class\"");
  EXPECT_EQ(categories.indexOfCategory("[Nowhere]/Class"), -1);
}

TEST_F(OutputFormatsTest, QIFOutputIsTheQIFEntryInAnyLetterCase) {
  EXPECT_TRUE(OutputFormats::QIFOutput({"QIF", ""}));
  EXPECT_TRUE(OutputFormats::QIFOutput({"qif", ""}));
  EXPECT_FALSE(OutputFormats::QIFOutput({"Bank", ""}));
}

// --- delimited fields

struct FieldCase {
  const char* name;
  const char* field;
  bool csv;
  int position;
  const char* expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class FieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldTest, FieldIsQuotedAndSeparated) {
  std::string buffer = "x";
  OutputFormats::produceNonQIFOutputField(GetParam().field, GetParam().csv, buffer,
                                          GetParam().position);
  EXPECT_EQ(buffer, std::string("x") + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldTest,
    ::testing::Values(FieldCase{"Bare", "Smith", true, 1, ",Smith"},
                      FieldCase{"FirstColumnHasNoSeparator", "Smith", true, 0, "Smith"},
                      FieldCase{"CommaAndQuotes", "Smith, \"Jr\"", true, 2,
                                ",\"Smith, \"\"Jr\"\"\""},
                      FieldCase{"QuoteAlone", "5\" pipe", true, 0, "\"5\"\" pipe\""},
                      FieldCase{"LineBreakIsQuoted", "two\nlines", true, 1, ",\"two\nlines\""},
                      FieldCase{"TabIsKeptInCSV", "a\tb", true, 0, "a\tb"},
                      FieldCase{"TabsBecomeBlanks", "a\tb\t\tc", false, 1, "\ta     b          c"},
                      FieldCase{"CommaIsPlainInTabs", "Smith, Jr", false, 0, "Smith, Jr"},
                      FieldCase{"EmptyField", "", true, 3, ","}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

// --- delimited bank and credit-card lines

TEST_F(OutputFormatsTest, EveryBankColumnHasItsValue) {
  formats.addFormat(delimitedFormat(
      "All",
      {"Date", "Type", "Description", "Memo", "Amount", "Credit", "Debit", "Number", "Category",
       "Shares", "Security", "Price", "Fees", "Account", "Splits", "blank1", "Other"}));
  BankCCOutput t = shopping();
  t.memo = "weekly";
  t.number = " 123456";
  t.category = "Food";
  t.cleared = "*";
  options.add(option::removeLongNumber);  // only QIF drops long numbers
  EXPECT_EQ(produce(t, "all", "Checking"),
            "01/31/2024,,Shop,weekly,-12.00,,-12.00,123456,Food,,,,,Checking,,,\n");
}

TEST_F(OutputFormatsTest, CreditAndDebitFollowTheSign) {
  formats.addFormat(delimitedFormat("CD", {"Amount", "Credit", "Debit"}));
  BankCCOutput t = shopping();
  EXPECT_EQ(produce(t, "CD"), "-12.00,,-12.00\n");
  t.amount = "12.00";
  EXPECT_EQ(produce(t, "CD"), "12.00,12.00,\n");
  t.amount.reset();
  EXPECT_EQ(produce(t, "CD"), ",,\n");
}

TEST_F(OutputFormatsTest, AbsentFirstColumnLeavesTheLeadingSeparator) {
  formats.addFormat(delimitedFormat("Skip", {"Date", "Description", "blank1", "Amount"}, {0, 2}));
  EXPECT_EQ(produce(shopping(), "Skip"), ",Shop,-12.00\n");
  formats.addFormat(delimitedFormat("Tabs", {"Date", "Description", "Amount"}, {0}, "Tab"));
  EXPECT_EQ(produce(shopping(), "Tabs"), "\tShop\t-12.00\n");
}

TEST_F(OutputFormatsTest, PresentFlagsDecideTheColumnsEvenWhenOrderIsShorter) {
  Value format = delimitedFormat("Short", {"Date"});
  format.mutableDictionary()["Present"].append(true);
  formats.addFormat(format);
  EXPECT_EQ(produce(shopping(), "Short"), "01/31/2024,\n");
}

TEST_F(OutputFormatsTest, AnUnknownFormatWritesNothing) {
  EXPECT_EQ(produce(shopping(), "Nowhere"), "");
}

TEST_F(OutputFormatsTest, SplitsOnLinesOfTheirOwn) {
  Value format =
      delimitedFormat("Lines", {"Date", "Number", "Description", "Category", "Amount", "Memo"});
  format.set("SplitsOutput", 1);
  formats.addFormat(format);
  BankCCOutput t = shopping();
  t.number = "77";
  t.splits =
      Value(Value::Array{splitRecord("Food", "bread", "-5.00"), splitRecord("Home", "", "-7.00")});
  EXPECT_EQ(produce(t, "Lines"),
            "01/31/2024,77,Shop,,-12.00,\n"
            "01/31/2024,,,Food,-5.00,bread\n"
            "01/31/2024,,,Home,-7.00,\n");
  EXPECT_GE(categories.indexOfCategory("Food"), 0);
  EXPECT_GE(categories.indexOfCategory("Home"), 0);
}

TEST_F(OutputFormatsTest, SplitLinesGoThroughTheTemplates) {
  store.prefs.setObject(prefKey::DescriptionOutput, "Split: %d");
  Value format = delimitedFormat("Lines", {"Description", "Amount"});
  format.set("SplitsOutput", 1);
  formats.addFormat(format);
  BankCCOutput t = shopping();
  t.splits = Value(Value::Array{splitRecord("Food", "", "-12.00")});
  EXPECT_EQ(produce(t, "Lines"), "Split: Shop,-12.00\nSplit: ,-12.00\n");
}

TEST_F(OutputFormatsTest, SplitsAsFieldsOfTheSplitsColumn) {
  Value format = delimitedFormat("Columns", {"Date", "Splits", "Amount"});
  format.set("SplitsOutput", 2);
  formats.addFormat(format);
  BankCCOutput t = shopping();
  t.splits = Value(
      Value::Array{splitRecord("Food", "bread, rye", "-5.00"), splitRecord("Home", "", "-7.00")});
  EXPECT_EQ(produce(t, "Columns"), "01/31/2024,-5.00,Food,\"bread, rye\",-7.00,Home,,-12.00\n");
  t.splits.reset();
  EXPECT_EQ(produce(t, "Columns"), "01/31/2024,-12.00\n");
}

TEST_F(OutputFormatsTest, SplitsColumnIsEmptyUnlessSplitsAreColumns) {
  Value format = delimitedFormat("NoSplits", {"Splits", "Amount"});
  formats.addFormat(format);
  BankCCOutput t = shopping();
  t.splits = Value(Value::Array{splitRecord("Food", "", "-12.00")});
  EXPECT_EQ(produce(t, "NoSplits"), ",-12.00\n");
}

// --- dates of delimited columns

struct DateCase {
  const char* name;
  const char* outputDateFormat;
  bool reformat;
  const char* reformatPattern;  // nullptr: the record has none
  const char* date;
  const char* expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }

class ConvertedDateTest : public OutputFormatsTest,
                          public ::testing::WithParamInterface<DateCase> {};

TEST_P(ConvertedDateTest, DateColumnIsReformattedWhenAsked) {
  store.prefs.setObject(prefKey::OutputDateFormat, GetParam().outputDateFormat);
  Value format = delimitedFormat("Dated", {"Date"});
  format.set("ReformatDate", GetParam().reformat);
  if (GetParam().reformatPattern) format.set("ReformatDateFormat", GetParam().reformatPattern);
  formats.addFormat(format);
  EXPECT_EQ(formats.convertedDate({"Dated", ""}, GetParam().date), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, ConvertedDateTest,
    ::testing::Values(
        DateCase{"Off", "%m/%d/%Y", false, "%Y-%m-%d", "01/31/2024", "01/31/2024"},
        DateCase{"Slash", "%m/%d/%Y", true, "%d.%m.%y", "01/31/2024", "31.01.24"},
        DateCase{"DefaultPattern", "%m/%d/%Y", true, nullptr, "1/5/24", "01/05/2024"},
        DateCase{"Dash", "%m-%d-%Y", true, "%Y%m%d", "02-29-2024", "20240229"},
        DateCase{"LongDate", "%B %d, %Y", true, "%m/%d/%Y", "March 4, 2024", "03/04/2024"},
        // Dates inside the program follow OutputDateFormat, day first when it says so.
        DateCase{"DayFirstOutputPattern", "%d/%m/%Y", true, "%Y-%m-%d", "05/01/2024", "2024-01-05"},
        DateCase{"NoRealDayStaysAsItIs", "%m/%d/%Y", true, "%Y-%m-%d", "02/30/2024", "02/30/2024"},
        DateCase{"NotADate", "%m/%d/%Y", true, "%Y-%m-%d", "soon", "soon"}),
    [](const ::testing::TestParamInfo<DateCase>& info) { return info.param.name; });

TEST_F(OutputFormatsTest, DashDatesLeaveDelimitedDatesAlone) {
  options.add(option::outputDashDates);
  formats.addFormat(delimitedFormat("D", {"Date"}));
  EXPECT_EQ(produce(shopping(), "D"), "01/31/2024\n");
}

// --- delimited investment lines

TEST_F(OutputFormatsTest, InvestmentColumnsTakeTheInvestmentValues) {
  Value format = delimitedFormat(
      "Inv", {"Date", "Type", "Security", "Shares", "Price", "Fees", "Amount", "Credit", "Debit",
              "Number", "Category", "Description", "Memo", "Account", "Splits", "blank1"});
  format.set("Type", "Investment");
  formats.addFormat(format);
  InvestmentOutput t{"Buy",  "02/01/2024", "Broker",    "lot 1",  "-1,000.50", "9",
                     "Fees", "10",         "Acme, Inc", "100.05", "-9.95"};
  std::string buffer;
  formats.produceInvestmentOutput(buffer, {"Inv", "Brokerage"}, t);
  EXPECT_EQ(buffer,
            "02/01/2024,Buy,\"Acme, Inc\",10,100.05,-9.95,\"-1,000.50\",,\"-1,000.50\",9,Fees,"
            "Broker,lot 1,Brokerage,,\n");
  EXPECT_GE(categories.indexOfCategory("Fees"), 0);
}

TEST_F(OutputFormatsTest, InvestmentLineForAnUnknownFormatIsNothing) {
  std::string buffer;
  formats.produceInvestmentOutput(buffer, {"Missing", ""}, InvestmentOutput{});
  EXPECT_EQ(buffer, "");
}

}  // namespace
}  // namespace corvela
