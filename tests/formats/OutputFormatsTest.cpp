#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormatsFixture.h"
#include "formats/QIFOutputText.h"
#include "lists/TypingField.h"
#include "prefs/ValueText.h"
#include "support/CaseFile.h"
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

// The words say whether the line is CSV and the field's position in it.
TEST(OutputFieldTest, FieldIsQuotedAndSeparated) {
  testing::expectCaseFile(
      "formats/output-fields.txt", [](const std::string& field, const std::string& words) {
        std::string buffer = "x";
        OutputFormats::produceNonQIFOutputField(field, words.starts_with("csv"), buffer,
                                                std::stoi(words.substr(words.find(' ') + 1)));
        return testing::quoted(buffer);
      });
}

// Dates inside the program follow OutputDateFormat, day first when it says so; a date column
// is reformatted only when asked, and what is no real day stays as it is.
TEST_F(OutputFormatsTest, DateColumnIsReformattedWhenAsked) {
  testing::expectCaseFile(
      "formats/reformatted-dates.txt", [this](const std::string& date, const std::string& words) {
        std::size_t end = 0;
        store.prefs.setObject(prefKey::OutputDateFormat, testing::unquoted(words, &end));
        Value format = delimitedFormat("Dated", {"Date"});
        format.set("ReformatDate", words.substr(end + 1).starts_with("as"));
        if (std::size_t pattern = words.find('"', end); pattern != std::string::npos)
          format.set("ReformatDateFormat", testing::unquoted(words.substr(pattern)));
        formats.addFormat(format);
        return testing::quoted(formats.convertedDate({"Dated", ""}, date));
      });
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

TEST(QIFOutputTextTest, HeadersFollowTheInputsKindAndThePortfolioIsInvestment) {
  const char* const types[] = {"!Type:Bank\n", "!Type:CCard\n", "!Type:Invst\n", "", ""};
  for (int kind = 0; kind < 5; ++kind) EXPECT_EQ(qifTypeHeader(kind), types[kind]) << kind;
  EXPECT_EQ(qifAccountHeader("Brokerage", "Port"), "!Account\nNBrokerage\nTPort\n^\n!Type:Invst\n");
  EXPECT_EQ(qifAccountHeader("Visa", "CCard"), "!Account\nNVisa\nTCCard\n^\n!Type:CCard\n");
}

InvestmentQIFFields buy() {
  InvestmentQIFFields f;
  f.date = "02/01/2024";
  f.actionName = "Buy";
  f.memo = "lot 1";
  f.security = "Acme";
  f.shares = "10";
  f.price = "100.0500";
  f.fees = "-9.95";
  f.amount = "-1,010.45";
  return f;
}

const Value kBuyType = {{"QuickenName", "Buy"},
                        {"SecurityRequired", true},
                        {"SharesRequired", true},
                        {"PriceAllowed", true},
                        {"AmountRequired", true}};

// An action record writes what its type needs: a zero price and empty fees are left out, a false
// flag counts as absent, and a price is written only with shares. A cash record returns to
// investment records. What each case wrote is tests/data/formats/qif-records.txt.
TEST(QIFOutputTextTest, ActionRecordWritesWhatTheTypeNeeds) {
  InvestmentQIFFields noPriceOrFees = buy();
  noPriceOrFees.price = "0,0000";
  noPriceOrFees.fees = "";
  InvestmentQIFFields interest = buy();
  interest.actionName = "IntInc";
  interest.amount = "(4.20)";
  const Value interestType = {
      {"QuickenName", "IntInc"}, {"SecurityRequired", false}, {"AmountRequired", true}};
  struct Case {
    const char* name;
    InvestmentQIFFields fields;
    Value type;
    bool cleared;
  };
  const Case cases[] = {
      {"buy", buy(), kBuyType, false},
      {"buy, cleared", buy(), kBuyType, true},
      {"no price or fees", noPriceOrFees, kBuyType, false},
      {"interest", interest, interestType, false},
      {"a type that needs nothing", interest, Value::dictionary(), false},
      {"a price without shares", buy(), Value{{"PriceRequired", true}}, false},
  };
  std::string written;
  for (const Case& c : cases)
    written +=
        "== " + std::string(c.name) + "\n" + qifInvestmentActionRecord(c.fields, c.type, c.cleared);

  InvestmentQIFFields cash;
  cash.date = "03/01/2024";
  cash.actionName = "Check";
  cash.description = "Rent";
  cash.memo = "March";
  cash.amount = "-900.00";
  cash.category = "Housing";
  written += "== cash\n" + qifInvestmentCashRecord(cash, false);
  cash.number = "1042";
  written += "== cash with a number, cleared\n" + qifInvestmentCashRecord(cash, true);
  testing::expectDataFile("formats/qif-records.txt", written);
}

using testing::delimitedFormat;
using testing::OutputFormatsTest;

// --- the list

// Start-up creates the QIF entry once; names stay sorted and unique without regard to case; a
// delete removes the entry at its index and nothing outside.
TEST_F(OutputFormatsTest, TheListKeepsOneQIFEntryAndSortedUniqueNames) {
  EXPECT_EQ(formats.formatAtIndex(0), (Value{{"Name", "QIF"}}));
  EXPECT_EQ(formats.formatAtIndex(1), std::nullopt);
  EXPECT_EQ(formats.formatAtIndex(-1), std::nullopt);
  EXPECT_EQ(formats.formatForName("Savings"), std::nullopt);
  EXPECT_FALSE(formats.createIfAbsent());
  EXPECT_EQ(formats.uniqueNameForName("Savings"), "Savings");
  EXPECT_EQ(formats.addFormat(delimitedFormat("Savings", {"Date"})), 1);
  EXPECT_FALSE(formats.createIfAbsent());
  EXPECT_EQ(formats.addFormat(delimitedFormat("checking", {"Date"})), 0);
  EXPECT_EQ(formats.addFormat(delimitedFormat("Zeta", {"Date"})), 3);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "Savings", "Zeta"}));
  Value replacement = delimitedFormat("savings", {"Amount"});
  EXPECT_EQ(formats.addFormat(replacement), 2);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "savings", "Zeta"}));
  EXPECT_EQ(formats.formatForName("SAVINGS"), replacement);

  EXPECT_EQ(formats.uniqueNameForName("Savings"), "Savings2");
  formats.addFormat(delimitedFormat("savings2", {"Date"}));
  EXPECT_EQ(formats.uniqueNameForName("Savings"), "Savings3");
  EXPECT_EQ(formats.uniqueNameForName("qif"), "qif2");

  formats.deleteFormatAtIndex(9);
  formats.deleteFormatAtIndex(-1);
  formats.deleteFormatAtIndex(3);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "savings", "Zeta"}));

  // The editor sees the list without the QIF entry, and stores its own order; the QIF entry
  // goes at the end, once.
  Value edited = formats.getOutputFormatsArray();
  ASSERT_EQ(edited.size(), 3u);
  EXPECT_EQ(str(edited[0], "Name") + " " + str(edited[2], "Name"), "checking Zeta");
  formats.setOutputFormatsArray(Value(Value::Array{edited[2], Value{{"Name", "QIF"}}, edited[0]}));
  EXPECT_EQ(names(), (std::vector<std::string>{"Zeta", "checking", "QIF"}));
}

// --- the output-format field

TEST_F(OutputFormatsTest, OnlyFormatsOfTheInputsKindAreOffered) {
  for (auto [name, type] : {std::pair{"Visa", "Credit Card"}, std::pair{"Broker", "Investment"},
                            std::pair{"Checking", "Bank"}, std::pair{"Odd", "Other"}}) {
    Value format = delimitedFormat(name, {"Date"});
    format.set("Type", type);
    formats.addFormat(format);
  }
  const std::vector<std::string> offered[] = {{"Checking", "QIF"},
                                              {"QIF", "Visa"},
                                              {"Broker", "QIF"},
                                              {"Checking", "QIF", "Visa"},
                                              {"QIF"}};
  for (int kind = 0; kind < 5; ++kind) {
    formats.comboBoxIncludeOnly(kind, "");
    EXPECT_EQ(formats.filteredNames(), offered[kind]) << kind;
  }
  // A field naming a filtered-out format falls back to QIF; a new name stays.
  EXPECT_EQ(formats.comboBoxIncludeOnly(0, "visa"), "QIF");
  EXPECT_EQ(formats.comboBoxIncludeOnly(1, "visa"), "visa");
  EXPECT_EQ(formats.comboBoxIncludeOnly(0, "A new name"), "A new name");
}

TEST_F(OutputFormatsTest, TheFieldsDataSourceWorksOnTheOfferedNamesAndCompletesTyping) {
  formats.addFormat(delimitedFormat("Bank Long", {"Date"}));
  formats.addFormat(delimitedFormat("Bank", {"Date"}));
  formats.comboBoxIncludeOnly(0, "");
  EXPECT_EQ(formats.numberOfItemsInComboBox(), 3);
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(1), "Bank Long");
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(3), "");
  EXPECT_EQ(formats.comboBoxIndexOfItemWithStringValue("QIF"), 2);
  EXPECT_EQ(formats.comboBoxIndexOfItemWithStringValue("bank"), kComboBoxNotFound);
  EXPECT_EQ(formats.comboBoxCompletedString("ba"), "Bank");
  EXPECT_EQ(formats.comboBoxCompletedString("bank "), "Bank Long");
  EXPECT_EQ(formats.comboBoxCompletedString("x"), std::nullopt);

  // Typing completes a known name but accepts a new one.
  auto rule = [this](const TextEdit& edit) { return formats.isPartialStringValid(edit); };
  formats.comboBoxEntered();
  testing::TypingField known(rule);
  known.type("b");
  EXPECT_EQ(known.shown(), "B[ank]");
  formats.comboBoxEntered();
  testing::TypingField fresh(rule);
  fresh.type("New");
  EXPECT_EQ(fresh.shown(), "New[]");
}

}  // namespace
}  // namespace corvela
