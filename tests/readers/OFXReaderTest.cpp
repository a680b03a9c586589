#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "readers/OFXReader.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

namespace key = transactionKey;

// One <STMTTRN> block in the SGML form of OFX 1.x: each field "<TAG>value" on a line of its own.
std::string sgmlTransaction(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string block = "<STMTTRN>\n";
  for (const auto& [tag, value] : fields) block += "<" + tag + ">" + value + "\n";
  return block + "</STMTTRN>\n";
}

// The same in the XML form of OFX 2.x, with closing tags, CRLF line ends and indentation.
std::string xmlTransaction(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string block = "  <STMTTRN>\r\n";
  for (const auto& [tag, value] : fields) {
    block += "    <" + tag + ">" + value + "</" + tag + ">\r\n";
  }
  return block + "  </STMTTRN>\r\n";
}

std::string bankDownload(const std::string& transactions) {
  return "OFXHEADER:100\nDATA:OFXSGML\n\n<OFX>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n<TRNUID>1\n"
         "<STMTRS>\n<BANKTRANLIST>\n<DTSTART>20240101\n" +
         transactions +
         "</BANKTRANLIST>\n<LEDGERBAL>\n<BALAMT>10.00\n<DTASOF>20240201\n</LEDGERBAL>\n"
         "</STMTRS>\n</STMTTRNRS>\n</BANKMSGSRSV1>\n</OFX>\n";
}

std::string cardDownload(const std::string& transactions) {
  return "<OFX>\n<CREDITCARDMSGSRSV1>\n<CCSTMTTRNRS>\n<CCSTMTRS>\n<BANKTRANLIST>\n" + transactions +
         "</BANKTRANLIST>\n</CCSTMTRS>\n</CCSTMTTRNRS>\n</CREDITCARDMSGSRSV1>\n</OFX>\n";
}

// Test names from the cases' own names.
auto caseName = [](const auto& info) { return std::string(info.param.name); };

class OFXReaderTest : public ::testing::Test {
 protected:
  OFXReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromOFX(text, from, to);
  }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  Preferences options{prefs};
  OFXReader reader{prefs, options};
};

// --- addField ---------------------------------------------------------------------------------

struct AddFieldCase {
  const char* name;
  const char* block;
  const char* label;
  std::optional<std::string> value;  // none: the tag is not found
};

void PrintTo(const AddFieldCase& c, std::ostream* os) { *os << c.name; }

class AddFieldTest : public ::testing::TestWithParam<AddFieldCase> {};

TEST_P(AddFieldTest, StoresTheValueAfterTheTag) {
  const AddFieldCase& c = GetParam();
  Value record = Value{{"memo", "kept"}};

  bool found = OFXReader::addField(key::memo, c.label, c.block, record);

  ASSERT_EQ(found, c.value.has_value());
  EXPECT_EQ(str(record, key::memo), c.value.value_or("kept"));
  EXPECT_EQ(record.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AddFieldTest,
    ::testing::Values(
        AddFieldCase{"ClosingTagOnTheSameLineEndsTheValue", "<NAME>Corner Cafe</NAME>\n", "<NAME>",
                     "Corner Cafe"},
        AddFieldCase{"TrailingBlanksBeforeTheLineEndStay", "<NAME>Corner Cafe   \n<MEMO>x",
                     "<NAME>", "Corner Cafe   "},
        AddFieldCase{"CarriageReturnEndsTheValue", "<MEMO>Rent\r\n", "<MEMO>", "Rent"},
        AddFieldCase{"BlanksAndTabsAfterTheTagAreSkipped", "<MEMO> \t Rent\n", "<MEMO>", "Rent"},
        AddFieldCase{"ValueOnTheNextLineIsFound", "<TRNAMT>\n\t\t\n\t\t-12.00\n\t</TRNAMT>",
                     "<TRNAMT>", "-12.00"},
        AddFieldCase{"EmptyElementIsTheEmptyString", "<MEMO></MEMO>", "<MEMO>", ""},
        AddFieldCase{"TagAtTheEndOfTheTextIsTheEmptyString", "<NAME>A\n<MEMO>", "<MEMO>", ""},
        AddFieldCase{"OnlyBlanksToTheEndAreTheEmptyString", "<MEMO>   ", "<MEMO>", ""},
        AddFieldCase{"ValueRunsToTheEndOfTheText", "<MEMO>no line end", "<MEMO>", "no line end"},
        AddFieldCase{"FirstOccurrenceWins", "<NAME>First\n<NAME>Second\n", "<NAME>", "First"},
        AddFieldCase{"UTF8TextIsKeptWhole", "<NAME>Ch\xC3\xA8que/\n", "<NAME>", "Ch\xC3\xA8que/"},
        AddFieldCase{"EscapedCharactersAreDecoded", "<NAME>AT&amp;T\n", "<NAME>", "AT&T"},
        AddFieldCase{"CaseOfTheTagCounts", "<memo>lower\n", "<MEMO>", std::nullopt},
        AddFieldCase{"LongerTagIsNotTheTag", "<MEMOX>other\n", "<MEMO>", std::nullopt},
        AddFieldCase{"AbsentTagLeavesTheRecord", "<NAME>A\n", "<MEMO>", std::nullopt},
        AddFieldCase{"EmptyBlock", "", "<MEMO>", std::nullopt}),
    caseName);

// --- reading ----------------------------------------------------------------------------------

TEST_F(OFXReaderTest, SGMLAndXMLGiveTheSameRecords) {
  const std::vector<std::pair<std::string, std::string>> first = {
      {"TRNTYPE", "CHECK"}, {"DTPOSTED", "20240105"},   {"TRNAMT", "-50.00"}, {"FITID", "1"},
      {"CHECKNUM", "1012"}, {"NAME", "Hardware Store"}, {"MEMO", "Paint"}};
  const std::vector<std::pair<std::string, std::string>> second = {
      {"TRNTYPE", "CREDIT"},
      {"DTPOSTED", "20240131120000[-5:EST]"},
      {"TRNAMT", "1200.00"},
      {"FITID", "2"},
      {"NAME", "Payroll"}};
  Value expected = Value::array();
  expected.append(Value{{"date", "01/05/2024"},
                        {"number", "1012"},
                        {"description", "Hardware Store"},
                        {"memo", "Paint"},
                        {"amount", "-50.00"}});
  expected.append(Value{{"date", "01/31/2024"}, {"description", "Payroll"}, {"amount", "1200.00"}});

  OFXReadResult sgml = read(bankDownload(sgmlTransaction(first) + sgmlTransaction(second)));
  OFXReadResult xml = read(bankDownload(xmlTransaction(first) + xmlTransaction(second)));

  EXPECT_EQ(sgml.qif, expected) << describe(sgml.qif);
  EXPECT_EQ(xml.qif, expected) << describe(xml.qif);
  EXPECT_EQ(sgml.count(), 2u);
}

TEST_F(OFXReaderTest, DecimalCommaAmountsAreReadAsTheQIFReaderReadsThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"-130,00", "-130.00"}, {"1.234,56", "1,234.56"}, {"12,5", "12.5"},
      {"-50.00", "-50.00"},   {"1,234.56", "1,234.56"}, {"1,234", "1,234"}};
  std::string transactions;
  for (const auto& c : cases)
    transactions += sgmlTransaction({{"DTPOSTED", "20240105"}, {"TRNAMT", c.first}});
  OFXReadResult result = read(bankDownload(transactions));
  ASSERT_EQ(result.count(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(str(result.qif[i], key::amount), cases[i].second) << cases[i].first;
}

TEST_F(OFXReaderTest, OnlyTheSTMTTRNTagStartsATransaction) {
  // <STMTTRNRS> and <CCSTMTTRNRS> wrap statements; they hold no transaction of their own.
  EXPECT_EQ(read(bankDownload("")).count(), 0u);
  EXPECT_EQ(read(cardDownload("")).count(), 0u);
  EXPECT_EQ(read("").count(), 0u);
  EXPECT_EQ(read("<DTPOSTED>20240101<TRNAMT>1.00").count(), 0u);
}

TEST_F(OFXReaderTest, DescriptionIsEmptyWithoutANameAndMemoAbsentWithoutAMemo) {
  OFXReadResult result =
      read(bankDownload(sgmlTransaction({{"DTPOSTED", "20240105"}, {"TRNAMT", "-3.00"}})));

  ASSERT_EQ(result.count(), 1u);
  EXPECT_EQ(result.qif[0],
            (Value{{"date", "01/05/2024"}, {"description", ""}, {"amount", "-3.00"}}));
}

TEST_F(OFXReaderTest, DatesAreWrittenWithTheStoredPattern) {
  std::string download =
      bankDownload(sgmlTransaction({{"DTPOSTED", "20240305"}, {"TRNAMT", "1.00"}, {"NAME", "A"}}));
  EXPECT_EQ(str(read(download).qif[0], key::date), "03/05/2024");

  prefs.setObject(prefKey::OutputDateFormat, "%d.%m.%y");
  EXPECT_EQ(str(read(download).qif[0], key::date), "05.03.24");

  prefs.setObject(prefKey::OutputDateFormat, "%Y-%m-%d");
  EXPECT_EQ(str(read(download).qif[0], key::date), "2024-03-05");
}

TEST_F(OFXReaderTest, MustConfirmFollowsTheOption) {
  EXPECT_FALSE(read(bankDownload("")).mustConfirm);
  options.add(option::confirmAllTransactions);
  EXPECT_TRUE(read(bankDownload("")).mustConfirm);
}

TEST_F(OFXReaderTest, LastBlockRunsToTheEndOfTheDownload) {
  std::string last = sgmlTransaction({{"DTPOSTED", "2024"}, {"TRNAMT", "1.00"}});
  std::string download = bankDownload(last);

  OFXReadResult result = read(download);

  ASSERT_EQ(result.count(), 1u);
  std::string_view tail = std::string_view(download).substr(download.find("<STMTTRN>") + 9);
  EXPECT_EQ(str(result.qif[0], key::errorText), tail);
  EXPECT_TRUE(tail.ends_with("</OFX>\n"));
}

// --- posting dates ----------------------------------------------------------------------------

struct PostingDateCase {
  const char* name;
  const char* posted;              // the text after <DTPOSTED>, up to the line end
  std::optional<std::string> day;  // none: a "does not contain a date" error record
};

void PrintTo(const PostingDateCase& c, std::ostream* os) { *os << c.name; }

class PostingDateTest : public OFXReaderTest,
                        public ::testing::WithParamInterface<PostingDateCase> {};

TEST_P(PostingDateTest, ReadsTheDayOrMakesANoDateErrorRecord) {
  const PostingDateCase& c = GetParam();
  std::string block =
      "<STMTTRN>\n<DTPOSTED>" + std::string(c.posted) + "\n<TRNAMT>-5.00\n<NAME>Shop\n";

  OFXReadResult result = read("<OFX><BANKMSGSRSV1>\n" + block);

  ASSERT_EQ(result.count(), 1u);
  if (c.day) {
    EXPECT_EQ(str(result.qif[0], key::date), *c.day);
    EXPECT_FALSE(has(result.qif[0], key::errorMessage));
  } else {
    Value expected =
        Value{{"errorMessage", std::string(kOFXNoDateMessage)}, {"errorText", block.substr(9)}};
    EXPECT_EQ(result.qif[0], expected) << describe(result.qif[0]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Days, PostingDateTest,
    ::testing::Values(PostingDateCase{"DayAlone", "20240131", "01/31/2024"},
                      PostingDateCase{"TimeAndZoneAreIgnored", "20240131120000[-5:EST]",
                                      "01/31/2024"},
                      PostingDateCase{"LateTimeWithEasternZoneStaysOnItsDay",
                                      "20240131235959.999[-5:EST]", "01/31/2024"},
                      PostingDateCase{"EarlyTimeWithFarEastZoneStaysOnItsDay",
                                      "20240101000000[+9:JST]", "01/01/2024"},
                      PostingDateCase{"LeapDay", "20240229", "02/29/2024"},
                      PostingDateCase{"WhiteSpaceBeforeTheDigitsIsSkipped",
                                      "\n\t\t\n\t\t20170331233411", "03/31/2017"},
                      PostingDateCase{"MonthThirteen", "20241340", std::nullopt},
                      PostingDateCase{"DayFortyInAValidMonth", "20240140", std::nullopt},
                      PostingDateCase{"FebruaryThirtiethOfALeapYear", "20240230", std::nullopt},
                      PostingDateCase{"LeapDayOfACommonYear", "20230229", std::nullopt},
                      PostingDateCase{"DayZero", "20240100", std::nullopt},
                      PostingDateCase{"MonthZero", "20240015", std::nullopt},
                      PostingDateCase{"YearZero", "00000101", std::nullopt},
                      PostingDateCase{"SevenDigits", "2024013", std::nullopt},
                      PostingDateCase{"SevenDigitsBeforeATag", "2024013</DTPOSTED>", std::nullopt},
                      PostingDateCase{"DashedDate", "2024-01-31", std::nullopt},
                      PostingDateCase{"SignedYear", "+2024013", std::nullopt},
                      PostingDateCase{"BlankInsideTheDate", "2024 0131", std::nullopt},
                      PostingDateCase{"Empty", "", std::nullopt},
                      PostingDateCase{"Letters", "TODAY", std::nullopt}),
    caseName);

TEST_F(OFXReaderTest, DigitsCutShortByTheEndOfTheTextAreNoDate) {
  for (std::string_view tail : {"", "2", "2024", "2024013"}) {
    std::string text = "<STMTTRN><TRNAMT>1.00<DTPOSTED>" + std::string(tail);
    OFXReadResult result = read(text);
    ASSERT_EQ(result.count(), 1u) << tail;
    EXPECT_EQ(str(result.qif[0], key::errorMessage), kOFXNoDateMessage) << tail;
  }
}

TEST_F(OFXReaderTest, BlockWithoutPostingDateIsANoDateErrorRecord) {
  std::string block = sgmlTransaction({{"TRNAMT", "-5.00"}, {"NAME", "Shop"}});

  OFXReadResult result = read(bankDownload(block));

  ASSERT_EQ(result.count(), 1u);
  EXPECT_EQ(str(result.qif[0], key::errorMessage),
            "The following OFX transaction does not contain a date; it cannot be processed: ");
  EXPECT_TRUE(str(result.qif[0], key::errorText).starts_with(block.substr(9)));
}

// --- date range -------------------------------------------------------------------------------

TEST_F(OFXReaderTest, RangeIsInclusiveAtBothEnds) {
  std::string transactions;
  for (const char* day : {"20240109", "20240110", "20240115", "20240120", "20240121"}) {
    transactions += sgmlTransaction({{"DTPOSTED", day}, {"TRNAMT", "1.00"}, {"NAME", day}});
  }
  // A block without a readable date cannot be placed in or out of the range, so it is reported.
  transactions += sgmlTransaction({{"DTPOSTED", "20241340"}, {"TRNAMT", "1.00"}});

  OFXReadResult result = read(bankDownload(transactions), {2024, 1, 10}, {2024, 1, 20});

  ASSERT_EQ(result.count(), 4u);
  EXPECT_EQ(str(result.qif[0], key::description), "20240110");
  EXPECT_EQ(str(result.qif[1], key::description), "20240115");
  EXPECT_EQ(str(result.qif[2], key::description), "20240120");
  EXPECT_EQ(str(result.qif[3], key::errorMessage), kOFXNoDateMessage);
}

TEST_F(OFXReaderTest, RangeOfOneDayAndTheWidestRange) {
  std::string transactions =
      sgmlTransaction({{"DTPOSTED", "00010101"}, {"TRNAMT", "1.00"}}) +
      sgmlTransaction({{"DTPOSTED", "20240229235959[-12:BIT]"}, {"TRNAMT", "2.00"}}) +
      sgmlTransaction({{"DTPOSTED", "99991231"}, {"TRNAMT", "3.00"}});

  OFXReadResult oneDay = read(bankDownload(transactions), {2024, 2, 29}, {2024, 2, 29});
  ASSERT_EQ(oneDay.count(), 1u);
  EXPECT_EQ(str(oneDay.qif[0], key::amount), "2.00");

  EXPECT_EQ(read(bankDownload(transactions)).count(), 3u);
  EXPECT_EQ(read(bankDownload(transactions), {2024, 3, 1}, {2024, 2, 1}).count(), 0u);
}

// --- numbers ----------------------------------------------------------------------------------

struct NumberCase {
  const char* name;
  const char* messageSet;  // the aggregate that says what kind of statement it is
  std::vector<std::pair<std::string, std::string>> numbers;
  std::optional<std::string> number;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

class NumberTest : public OFXReaderTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberTest, TakesTheNumberTheStatementKindCallsFor) {
  const NumberCase& c = GetParam();
  std::vector<std::pair<std::string, std::string>> fields = {{"DTPOSTED", "20240105"},
                                                             {"TRNAMT", "-9.00"}};
  fields.insert(fields.end(), c.numbers.begin(), c.numbers.end());
  std::string download =
      "<OFX><" + std::string(c.messageSet) + ">\n" + sgmlTransaction(fields) + "</OFX>\n";

  OFXReadResult result = read(download);

  ASSERT_EQ(result.count(), 1u);
  EXPECT_EQ(has(result.qif[0], key::number), c.number.has_value());
  EXPECT_EQ(str(result.qif[0], key::number), c.number.value_or(""));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NumberTest,
    ::testing::Values(
        NumberCase{"CardTakesRefnumOverChecknum",
                   "CREDITCARDMSGSRSV1",
                   {{"CHECKNUM", "77"}, {"REFNUM", "R-1"}},
                   "R-1"},
        NumberCase{"CardIgnoresChecknum", "CREDITCARDMSGSRSV1", {{"CHECKNUM", "77"}}, std::nullopt},
        NumberCase{"BankTakesRefnumFirst",
                   "BANKMSGSRSV1",
                   {{"CHECKNUM", "1012"}, {"REFNUM", "R-2"}},
                   "R-2"},
        NumberCase{"BankFallsBackToChecknum", "BANKMSGSRSV1", {{"CHECKNUM", "1012"}}, "1012"},
        NumberCase{"BankWithoutEither", "BANKMSGSRSV1", {}, std::nullopt},
        NumberCase{"NeitherKindTakesNoNumber",
                   "INVSTMTMSGSRSV1",
                   {{"CHECKNUM", "1012"}, {"REFNUM", "R-3"}},
                   std::nullopt},
        NumberCase{"EmptyRefnumIsStillTheNumber",
                   "BANKMSGSRSV1",
                   {{"REFNUM", ""}, {"CHECKNUM", "1012"}},
                   ""}),
    caseName);

TEST_F(OFXReaderTest, CardAndBankStatementsInOneDownloadAreReadAsCard) {
  std::string download =
      "<OFX><BANKMSGSRSV1>\n" +
      sgmlTransaction({{"DTPOSTED", "20240105"}, {"TRNAMT", "-9.00"}, {"CHECKNUM", "1012"}}) +
      "</BANKMSGSRSV1><CREDITCARDMSGSRSV1>\n" +
      sgmlTransaction({{"DTPOSTED", "20240106"}, {"TRNAMT", "-1.00"}, {"REFNUM", "R-9"}}) +
      "</CREDITCARDMSGSRSV1></OFX>";

  OFXReadResult result = read(download);

  ASSERT_EQ(result.count(), 2u);
  EXPECT_FALSE(has(result.qif[0], key::number));
  EXPECT_EQ(str(result.qif[1], key::number), "R-9");
}

// --- amounts and transaction types ------------------------------------------------------------

struct TypeCase {
  const char* name;
  bool useOFXTRNTYPE;
  std::optional<std::string> trntype;  // none: no <TRNTYPE> tag
  std::optional<std::string> trnamt;   // none: no <TRNAMT> tag
  Value expected;                      // without `date` and `description`, or an error record
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.name; }

class TypeTest : public OFXReaderTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(TypeTest, AppliesTheTypeAndReportsWhatIsMissing) {
  const TypeCase& c = GetParam();
  if (c.useOFXTRNTYPE) options.add(option::useOFXTRNTYPE);
  std::vector<std::pair<std::string, std::string>> fields = {{"DTPOSTED", "20240105"}};
  if (c.trntype) fields.emplace_back("TRNTYPE", *c.trntype);
  if (c.trnamt) fields.emplace_back("TRNAMT", *c.trnamt);
  std::string block = sgmlTransaction(fields);

  OFXReadResult result = read(block);

  ASSERT_EQ(result.count(), 1u);
  Value expected = c.expected;
  if (has(expected, key::errorMessage)) {
    expected.set(key::errorText, block.substr(9));
  } else {
    expected.set(key::date, "01/05/2024");
    expected.set(key::description, "");
  }
  EXPECT_EQ(result.qif[0], expected) << describe(result.qif[0]);
}

// The texts as the person reads them, each ending with a blank before the block's text.
const std::string kNoAmount =
    "The following OFX transaction has no amount; it cannot be processed: ";
const std::string kNoType = "The following OFX transaction has no type; it cannot be processed: ";

INSTANTIATE_TEST_SUITE_P(
    Types, TypeTest,
    ::testing::Values(
        TypeCase{
            "OptionOffLeavesDebitAndTypeAlone", false, "DEBIT", "12.00", {{"amount", "12.00"}}},
        TypeCase{"DebitGetsItsMinus",
                 true,
                 "DEBIT",
                 "12.00",
                 {{"amount", "-12.00"}, {"trntype", "DEBIT"}}},
        TypeCase{"NegativeDebitStaysAsItIs",
                 true,
                 "DEBIT",
                 "-12.00",
                 {{"amount", "-12.00"}, {"trntype", "DEBIT"}}},
        TypeCase{"DebitWithAPlusSignBecomesNegative",
                 true,
                 "DEBIT",
                 "+12.00",
                 {{"amount", "-12.00"}, {"trntype", "DEBIT"}}},
        TypeCase{"CreditKeepsItsAmount",
                 true,
                 "CREDIT",
                 "12.00",
                 {{"amount", "12.00"}, {"trntype", "CREDIT"}}},
        TypeCase{"OtherTypesKeepTheirAmount",
                 true,
                 "POS",
                 "-4.50",
                 {{"amount", "-4.50"}, {"trntype", "POS"}}},
        TypeCase{"OnlyTheExactTypeDebitIsSigned",
                 true,
                 "debit",
                 "12.00",
                 {{"amount", "12.00"}, {"trntype", "debit"}}},
        TypeCase{"OptionOffNeedsNoType", false, std::nullopt, "3.00", {{"amount", "3.00"}}},
        TypeCase{"OptionOnNeedsAType", true, std::nullopt, "3.00", {{"errorMessage", kNoType}}},
        TypeCase{"NoAmount", false, "DEBIT", std::nullopt, {{"errorMessage", kNoAmount}}},
        TypeCase{"NoAmountKeepsTheTypeWithTheOption",
                 true,
                 "DEBIT",
                 std::nullopt,
                 {{"errorMessage", kNoAmount}, {"trntype", "DEBIT"}}},
        TypeCase{"NoAmountAndNoTypeIsANoTypeError",
                 true,
                 std::nullopt,
                 std::nullopt,
                 {{"errorMessage", kNoType}}},
        TypeCase{"NoAmountAndNoTypeWithoutTheOption",
                 false,
                 std::nullopt,
                 std::nullopt,
                 {{"errorMessage", kNoAmount}}}),
    caseName);

TEST_F(OFXReaderTest, ErrorRecordsKeepTheirPlaceAmongTheTransactions) {
  std::string transactions = sgmlTransaction({{"DTPOSTED", "20240101"}, {"TRNAMT", "1.00"}}) +
                             sgmlTransaction({{"DTPOSTED", "20240102"}}) +
                             sgmlTransaction({{"TRNAMT", "3.00"}}) +
                             sgmlTransaction({{"DTPOSTED", "20240104"}, {"TRNAMT", "4.00"}});

  OFXReadResult result = read(bankDownload(transactions));

  ASSERT_EQ(result.count(), 4u);
  EXPECT_EQ(str(result.qif[0], key::amount), "1.00");
  EXPECT_EQ(str(result.qif[1], key::errorMessage), kOFXNoAmountMessage);
  EXPECT_EQ(str(result.qif[2], key::errorMessage), kOFXNoDateMessage);
  EXPECT_EQ(str(result.qif[3], key::amount), "4.00");
}

}  // namespace
}  // namespace corvela
