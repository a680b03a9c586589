#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

Value splitRecord(const char* category, const char* memo, const char* amount) {
  return Value{{"category", category}, {"memo", memo}, {"amount", amount}};
}

// A delimited format with the given columns; every column present unless listed in `absent`.
Value delimitedFormat(const char* name, std::vector<const char*> columns,
                      std::vector<std::size_t> absent = {}, const char* separator = "Comma") {
  Value::Array order, present;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    order.emplace_back(columns[i]);
    present.emplace_back(std::find(absent.begin(), absent.end(), i) == absent.end());
  }
  return Value{{"Name", name},
               {"Type", "Bank"},
               {"Separator", separator},
               {"Order", Value(std::move(order))},
               {"Present", Value(std::move(present))}};
}

class OutputFormatsTest : public ::testing::Test {
 protected:
  OutputFormatsTest()
      : options(store.prefs),
        categories(store.prefs, platform),
        formats(store.prefs, options, categories, Bundle::builtIn()) {
    store.prefs.setObject(prefKey::DescriptionOutput, "%d");
    store.prefs.setObject(prefKey::MemoOutput, "%m");
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
    formats.createIfAbsent();
  }

  std::string produce(const BankCCOutput& transaction, const char* formatName = "QIF",
                      const char* account = "") {
    std::string buffer;
    formats.produceBankCCOutput(buffer, {formatName, account}, transaction);
    return buffer;
  }

  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const Value& entry : store.prefs.objectForKey("OutputFormats").toArray()) {
      result.push_back(str(entry, "Name"));
    }
    return result;
  }

  testing::ScratchStore store;
  testing::ScriptedPlatform platform;
  Preferences options;
  Categories categories;
  OutputFormats formats;
};

BankCCOutput shopping() {
  BankCCOutput t;
  t.date = "01/31/2024";
  t.description = "Shop";
  t.amount = "-12.00";
  return t;
}

// --- QIF

struct QIFCase {
  const char* name;
  BankCCOutput transaction;
  std::vector<std::string_view> options;
  const char* expected;
};

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

TEST_F(OutputFormatsTest, QIFOutputMeansExactlyQIF) {
  EXPECT_TRUE(OutputFormats::QIFOutput({"QIF", ""}));
  EXPECT_FALSE(OutputFormats::QIFOutput({"qif", ""}));
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

// --- the list

TEST_F(OutputFormatsTest, StartUpCreatesTheQIFEntryOnce) {
  EXPECT_EQ(names(), std::vector<std::string>{"QIF"});
  EXPECT_EQ(formats.formatAtIndex(0), (Value{{"Name", "QIF"}}));
  EXPECT_FALSE(formats.createIfAbsent());
  formats.addFormat(delimitedFormat("Bank", {"Date"}));
  EXPECT_FALSE(formats.createIfAbsent());
  EXPECT_EQ(formats.numberOfFormats(), 2);
}

TEST_F(OutputFormatsTest, AddFormatKeepsNamesSortedAndReplacesByName) {
  EXPECT_EQ(formats.addFormat(delimitedFormat("Savings", {"Date"})), 1);
  EXPECT_EQ(formats.addFormat(delimitedFormat("checking", {"Date"})), 0);
  EXPECT_EQ(formats.addFormat(delimitedFormat("Zeta", {"Date"})), 3);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "Savings", "Zeta"}));

  Value replacement = delimitedFormat("savings", {"Amount"});
  EXPECT_EQ(formats.addFormat(replacement), 2);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "savings", "Zeta"}));
  EXPECT_EQ(formats.formatForName("SAVINGS"), replacement);
}

TEST_F(OutputFormatsTest, LookupsOutsideTheListGiveNothing) {
  EXPECT_EQ(formats.formatAtIndex(1), std::nullopt);
  EXPECT_EQ(formats.formatAtIndex(-1), std::nullopt);
  EXPECT_EQ(formats.formatForName("Bank"), std::nullopt);
  formats.deleteFormatAtIndex(5);
  formats.deleteFormatAtIndex(-1);
  EXPECT_EQ(names(), std::vector<std::string>{"QIF"});
}

TEST_F(OutputFormatsTest, DeleteRemovesTheEntryAtTheIndex) {
  formats.addFormat(delimitedFormat("A", {"Date"}));
  formats.addFormat(delimitedFormat("B", {"Date"}));
  formats.deleteFormatAtIndex(1);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "QIF"}));
}

TEST_F(OutputFormatsTest, UniqueNamesCountOnFromTwo) {
  EXPECT_EQ(formats.uniqueNameForName("Bank"), "Bank");
  formats.addFormat(delimitedFormat("Bank", {"Date"}));
  EXPECT_EQ(formats.uniqueNameForName("Bank"), "Bank2");
  formats.addFormat(delimitedFormat("bank2", {"Date"}));
  EXPECT_EQ(formats.uniqueNameForName("Bank"), "Bank3");
  EXPECT_EQ(formats.uniqueNameForName("qif"), "qif2");
}

TEST_F(OutputFormatsTest, TheEditorSeesTheListWithoutTheQIFEntry) {
  formats.addFormat(delimitedFormat("Zeta", {"Date"}));
  formats.addFormat(delimitedFormat("Alpha", {"Date"}));
  Value edited = formats.getOutputFormatsArray();
  ASSERT_EQ(edited.size(), 2u);
  EXPECT_EQ(str(edited[0], "Name"), "Alpha");
  EXPECT_EQ(str(edited[1], "Name"), "Zeta");

  // The editor stores its own order; the QIF entry goes at the end, once.
  Value reordered(Value::Array{edited[1], Value{{"Name", "QIF"}}, edited[0]});
  formats.setOutputFormatsArray(reordered);
  EXPECT_EQ(names(), (std::vector<std::string>{"Zeta", "Alpha", "QIF"}));
}

TEST_F(OutputFormatsTest, ANewRecordHasTheDefaultLayout) {
  Value record = newOutputFormat("Mine");
  EXPECT_EQ(record, fromJSON(R"({"Name":"Mine","Separator":"Comma","Type":"Bank",
      "Amount":"Amount",
      "Order":["Date","Number","Description","Category","Amount","Memo","blank1","blank2","blank3"],
      "Present":[true,true,true,true,true,true,false,false,false]})")
                        .value())
      << describe(record);
}

// --- the output-format field

struct FilterCase {
  int kind;
  std::vector<std::string> offered;
};

class FilterTest : public OutputFormatsTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FilterTest, OnlyFormatsOfTheInputsKindAreOffered) {
  for (auto [name, type] : {std::pair{"Visa", "Credit Card"}, std::pair{"Broker", "Investment"},
                            std::pair{"Checking", "Bank"}, std::pair{"Odd", "Other"}}) {
    Value format = delimitedFormat(name, {"Date"});
    format.set("Type", type);
    formats.addFormat(format);
  }
  formats.comboBoxIncludeOnly(GetParam().kind, "");
  EXPECT_EQ(formats.filteredNames(), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FilterTest,
                         ::testing::Values(FilterCase{0, {"Checking", "QIF"}},
                                           FilterCase{1, {"QIF", "Visa"}},
                                           FilterCase{2, {"Broker", "QIF"}},
                                           FilterCase{3, {"Checking", "QIF", "Visa"}},
                                           FilterCase{4, {"QIF"}}));

TEST_F(OutputFormatsTest, AFieldNamingAFilteredOutFormatFallsBackToQIF) {
  Value visa = delimitedFormat("Visa", {"Date"});
  visa.set("Type", "Credit Card");
  formats.addFormat(visa);
  EXPECT_EQ(formats.comboBoxIncludeOnly(0, "visa"), "QIF");
  EXPECT_EQ(formats.comboBoxIncludeOnly(1, "visa"), "visa");
  EXPECT_EQ(formats.comboBoxIncludeOnly(0, "A new name"), "A new name");
}

TEST_F(OutputFormatsTest, TheFieldsDataSourceWorksOnTheOfferedNames) {
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
}

TEST_F(OutputFormatsTest, TypingCompletesButAcceptsNewNames) {
  formats.addFormat(delimitedFormat("Bank", {"Date"}));
  formats.comboBoxIncludeOnly(0, "");
  formats.comboBoxEntered();
  TextEdit typedB{"", {0, 0}, "b", {1, 0}, 'b'};
  EditDecision completed = formats.isPartialStringValid(typedB);
  EXPECT_EQ(completed, EditDecision::replace("Bank", {1, 3}));
  TextEdit typedNew{"", {0, 0}, "N", {1, 0}, 'N'};
  EXPECT_EQ(formats.isPartialStringValid(typedNew).verdict, EditDecision::Verdict::Accept);
}

}  // namespace
}  // namespace corvela
