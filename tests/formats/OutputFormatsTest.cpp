#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/OutputFormatsFixture.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"

namespace corvela {
namespace {

using testing::delimitedFormat;
using testing::OutputFormatsTest;
using testing::shopping;
using testing::splitRecord;

const Value kSplits(Value::Array{splitRecord("Food", "bread, rye", "-5.00"),
                                 splitRecord("Home", "", "-7.00")});

// Each transaction in the QIF format or in a delimited one, with the options given: what each
// wrote is compared with tests/data/formats/each-transaction.txt, one "==" line a case.
TEST_F(OutputFormatsTest, EachTransactionIsWrittenAsItsFormatSays) {
  formats.addFormat(delimitedFormat(
      "All",
      {"Date", "Type", "Description", "Memo", "Amount", "Credit", "Debit", "Number", "Category",
       "Shares", "Security", "Price", "Fees", "Account", "Splits", "blank1", "Other"}));
  formats.addFormat(delimitedFormat("CD", {"Amount", "Credit", "Debit"}));
  // An absent first column still leaves its separator.
  formats.addFormat(delimitedFormat("Skip", {"Date", "Description", "blank1", "Amount"}, {0, 2}));
  formats.addFormat(delimitedFormat("Tabs", {"Date", "Description", "Amount"}, {0}, "Tab"));
  formats.addFormat(delimitedFormat("NoSplits", {"Splits", "Amount"}));
  Value lines =
      delimitedFormat("Lines", {"Date", "Number", "Description", "Category", "Amount", "Memo"});
  lines.set("SplitsOutput", 1);
  formats.addFormat(lines);
  Value columns = delimitedFormat("Columns", {"Date", "Splits", "Amount"});
  columns.set("SplitsOutput", 2);
  formats.addFormat(columns);
  // The Present flags decide the columns even when Order is shorter.
  Value shorter = delimitedFormat("Short", {"Date"});
  shorter.mutableDictionary()["Present"].append(true);
  formats.addFormat(shorter);

  const BankCCOutput shop = shopping();
  const BankCCOutput full{"01/31/2024", "Shop", "weekly", "-12.00", " 123456", "Food", "*", {}};
  const BankCCOutput split{"01/31/2024", "Shop", {}, "-12.00", "77", "Ignored", {}, kSplits};
  struct Case {
    const char* format;
    std::vector<std::string_view> options;
    BankCCOutput transaction;
  };
  const Case cases[] = {{"QIF", {}, shop},
                        {"qif", {}, {"01/31/2024", {}, {}, {}, {}, {}, {}, {}}},
                        {"QIF", {}, full},
                        {"QIF", {}, {"1", "S", {}, "1", "  ", {}, "", {}}},
                        {"QIF", {option::removeLongNumber}, full},
                        {"QIF", {option::removeLongNumber}, {"1", {}, {}, {}, "12345", {}, {}, {}}},
                        {"QIF", {option::outputDashDates}, shop},
                        {"QIF", {}, split},
                        {"QIF", {}, {"1", {}, {}, {}, {}, "Food", {}, Value::array()}},
                        // Only QIF drops long numbers, and only QIF writes dash dates.
                        {"all", {option::removeLongNumber, option::outputDashDates}, full},
                        {"CD", {}, shop},
                        {"CD", {}, {"1", {}, {}, "12.00", {}, {}, {}, {}}},
                        {"CD", {}, {"1", {}, {}, {}, {}, {}, {}, {}}},
                        {"Skip", {}, shop},
                        {"Tabs", {}, shop},
                        {"Short", {}, shop},
                        {"Nowhere", {}, shop},
                        {"NoSplits", {}, split},
                        {"Lines", {}, split},
                        {"Columns", {}, split},
                        {"Columns", {}, shop}};
  std::string written;
  for (const Case& c : cases) {
    store.prefs.setObject(prefKey::Preferences, Value::array());
    written += "== " + std::string(c.format);
    for (std::string_view name : c.options) {
      options.add(name);
      written += " " + std::string(name);
    }
    written += "\n" + produce(c.transaction, c.format, "Checking");
  }
  testing::expectDataFile("formats/each-transaction.txt", written);
  // Every category written joins the category list.
  for (const char* name : {"Food", "Home"}) EXPECT_GE(categories.indexOfCategory(name), 0) << name;
}

TEST_F(OutputFormatsTest, TemplatesShapeDescriptionAndMemoOfEveryLine) {
  store.prefs.setObject(prefKey::DescriptionOutput, "%d (%m)");
  store.prefs.setObject(prefKey::MemoOutput, "Ref %m");
  BankCCOutput t = shopping();
  t.memo = "card 9";
  EXPECT_EQ(produce(t), "D01/31/2024\nPShop (card 9)\nMRef card 9\nT-12.00\n^\n");

  Value format = delimitedFormat("Lines", {"Description", "Amount"});
  format.set("SplitsOutput", 1);
  formats.addFormat(format);
  store.prefs.setObject(prefKey::DescriptionOutput, "Split: %d");
  t.splits = Value(Value::Array{splitRecord("Food", "", "-12.00")});
  EXPECT_EQ(produce(t, "Lines"), "Split: Shop,-12.00\nSplit: ,-12.00\n");

  // A store without templates writes the texts unchanged.
  store.prefs.removeObjectForKey(prefKey::DescriptionOutput);
  store.prefs.removeObjectForKey(prefKey::MemoOutput);
  t.splits.reset();
  EXPECT_EQ(produce(t), "D01/31/2024\nPShop\nMcard 9\nT-12.00\n^\n");
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

TEST(OutputFieldTest, FieldIsQuotedAndSeparated) {
  struct Case {
    const char* field;
    bool csv;
    int position;
    const char* expected;
  };
  const Case cases[] = {{"Smith", true, 1, ",Smith"},
                        {"Smith", true, 0, "Smith"},
                        {"Smith, \"Jr\"", true, 2, ",\"Smith, \"\"Jr\"\"\""},
                        {"5\" pipe", true, 0, "\"5\"\" pipe\""},
                        {"two\nlines", true, 1, ",\"two\nlines\""},
                        {"a\tb", true, 0, "a\tb"},
                        {"a\tb\t\tc", false, 1, "\ta     b          c"},
                        {"Smith, Jr", false, 0, "Smith, Jr"},
                        {"", true, 3, ","}};
  for (const Case& c : cases) {
    std::string buffer = "x";
    OutputFormats::produceNonQIFOutputField(c.field, c.csv, buffer, c.position);
    EXPECT_EQ(buffer, std::string("x") + c.expected) << c.field;
  }
}

// Dates inside the program follow OutputDateFormat, day first when it says so; a date column
// is reformatted only when asked, and what is no real day stays as it is.
TEST_F(OutputFormatsTest, DateColumnIsReformattedWhenAsked) {
  struct Case {
    const char* outputDateFormat;
    bool reformat;
    const char* reformatPattern;  // nullptr: the record has none
    const char* date;
    const char* expected;
  };
  const Case cases[] = {{"%m/%d/%Y", false, "%Y-%m-%d", "01/31/2024", "01/31/2024"},
                        {"%m/%d/%Y", true, "%d.%m.%y", "01/31/2024", "31.01.24"},
                        {"%m/%d/%Y", true, nullptr, "1/5/24", "01/05/2024"},
                        {"%m-%d-%Y", true, "%Y%m%d", "02-29-2024", "20240229"},
                        {"%B %d, %Y", true, "%m/%d/%Y", "March 4, 2024", "03/04/2024"},
                        {"%d/%m/%Y", true, "%Y-%m-%d", "05/01/2024", "2024-01-05"},
                        {"%m/%d/%Y", true, "%Y-%m-%d", "02/30/2024", "02/30/2024"},
                        {"%m/%d/%Y", true, "%Y-%m-%d", "soon", "soon"}};
  for (const Case& c : cases) {
    store.prefs.setObject(prefKey::OutputDateFormat, c.outputDateFormat);
    Value format = delimitedFormat("Dated", {"Date"});
    format.set("ReformatDate", c.reformat);
    if (c.reformatPattern) format.set("ReformatDateFormat", c.reformatPattern);
    formats.addFormat(format);
    EXPECT_EQ(formats.convertedDate({"Dated", ""}, c.date), c.expected) << c.date;
  }
}

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
  buffer.clear();
  formats.produceInvestmentOutput(buffer, {"Missing", ""}, t);
  EXPECT_EQ(buffer, "");
}

}  // namespace
}  // namespace corvela
