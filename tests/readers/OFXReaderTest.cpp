#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

namespace key = transactionKey;
using testing::summary;
using Fields = std::vector<std::pair<std::string, std::string>>;

// One <STMTTRN> block in the SGML form of OFX 1.x (a field per line, no closing tags), or in the
// XML form of 2.x (closing tags, CRLF line ends, indentation).
std::string block(const Fields& fields, bool xml = false) {
  std::string out = xml ? "  <STMTTRN>\r\n" : "<STMTTRN>\n";
  for (const auto& [tag, value] : fields)
    out +=
        xml ? "    <" + tag + ">" + value + "</" + tag + ">\r\n" : "<" + tag + ">" + value + "\n";
  return out + (xml ? "  </STMTTRN>\r\n" : "</STMTTRN>\n");
}

std::string bankDownload(const std::string& transactions) {
  return "OFXHEADER:100\nDATA:OFXSGML\n\n<OFX>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n<TRNUID>1\n"
         "<STMTRS>\n<BANKTRANLIST>\n<DTSTART>20240101\n" +
         transactions +
         "</BANKTRANLIST>\n<LEDGERBAL>\n<BALAMT>10.00\n<DTASOF>20240201\n</LEDGERBAL>\n"
         "</STMTRS>\n</STMTTRNRS>\n</BANKMSGSRSV1>\n</OFX>\n";
}

class OFXReaderTest : public ::testing::Test {
 protected:
  OFXReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromOFX(text, from, to);
  }
  std::vector<std::string> summaries(const OFXReadResult& result) {
    std::vector<std::string> out;
    for (const Value& record : result.qif.toArray()) out.push_back(summary(record));
    return out;
  }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  Preferences options{prefs};
  OFXReader reader{prefs, options};
};

TEST(OFXAddFieldTest, StoresTheValueAfterTheTag) {
  struct Case {
    const char* block;
    const char* label;
    std::optional<std::string> value;  // none: the tag is not found
  };
  const Case cases[] = {{"<NAME>Corner Cafe</NAME>\n", "<NAME>", "Corner Cafe"},
                        {"<NAME>Corner Cafe   \n<MEMO>x", "<NAME>", "Corner Cafe   "},
                        {"<MEMO>Rent\r\n", "<MEMO>", "Rent"},
                        {"<MEMO> \t Rent\n", "<MEMO>", "Rent"},
                        {"<TRNAMT>\n\t\t\n\t\t-12.00\n\t</TRNAMT>", "<TRNAMT>", "-12.00"},
                        {"<MEMO></MEMO>", "<MEMO>", ""},
                        {"<NAME>A\n<MEMO>", "<MEMO>", ""},
                        {"<MEMO>   ", "<MEMO>", ""},
                        {"<MEMO>no line end", "<MEMO>", "no line end"},
                        {"<NAME>First\n<NAME>Second\n", "<NAME>", "First"},
                        {"<NAME>Ch\xC3\xA8que/\n", "<NAME>", "Ch\xC3\xA8que/"},
                        {"<NAME>AT&amp;T\n", "<NAME>", "AT&T"},
                        {"<memo>lower\n", "<MEMO>", std::nullopt},  // the tag's case counts
                        {"<MEMOX>other\n", "<MEMO>", std::nullopt},
                        {"", "<MEMO>", std::nullopt}};
  for (const Case& c : cases) {
    Value record = Value{{"memo", "kept"}};
    EXPECT_EQ(OFXReader::addField(key::memo, c.label, c.block, record), c.value.has_value())
        << c.block;
    EXPECT_EQ(record, (Value{{"memo", c.value.value_or("kept")}})) << c.block;
  }
}

// Each row is one transaction in a statement of the given kind: B bank, C card, I investment.
// The record is stated without " date=01/31/2024 description=", which most rows share.
TEST_F(OFXReaderTest, EachBlockGivesItsRecord) {
  struct Case {
    char kind;
    bool useOFXTRNTYPE;
    const char* block;  // what follows <STMTTRN>
    const char* record;
  };
  const Case cases[] = {
      // Posting dates: the day is read, time and zone ignored; no real day is a no-date error.
      {'B', false, "<DTPOSTED>20240131235959.999[-5:EST]\n<TRNAMT>-5.00\n", "amount=-5.00"},
      {'B', false, "<DTPOSTED>\n\t\t\n\t\t20240131233411\n<TRNAMT>-5.00\n", "amount=-5.00"},
      {'B', false, "<DTPOSTED>20240229000000[+9:JST]\n<TRNAMT>1\n",
       "amount=1 date=02/29/2024 description="},
      {'B', false, "<DTPOSTED>20241340\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>20240230\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>20230229\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>20240100\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>00000101\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>2024013</DTPOSTED>\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>2024-01-31\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>+2024013\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<DTPOSTED>\n<TRNAMT>1\n", "error=noDate"},
      {'B', false, "<TRNAMT>1\n<NAME>Shop\n", "error=noDate"},
      {'B', false, "<TRNAMT>1.00<DTPOSTED>2024013", "error=noDate"},  // cut short by the end
      {'B', false, "<TRNAMT>1.00<DTPOSTED>\n", "error=noDate"},
      // Amounts with a decimal comma are read as the QIF reader reads them.
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>1.234,56\n", "amount=1,234.56"},
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>12,5\n", "amount=12.5"},
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>1,234\n", "amount=1,234"},
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>   .  \n", "error=badAmount"},
      // The number: REFNUM, else CHECKNUM on a bank statement; a card takes only REFNUM.
      {'C', false, "<DTPOSTED>20240131\n<TRNAMT>1\n<CHECKNUM>77\n<REFNUM>R-1\n",
       "amount=1 number=R-1"},
      {'C', false, "<DTPOSTED>20240131\n<TRNAMT>1\n<CHECKNUM>77\n", "amount=1"},
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>1\n<CHECKNUM>12\n<REFNUM>R-2\n",
       "amount=1 number=R-2"},
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>1\n<CHECKNUM>12\n", "amount=1 number=12"},
      {'B', false, "<DTPOSTED>20240131\n<TRNAMT>1\n<REFNUM>\n<CHECKNUM>12\n", "amount=1 number="},
      {'I', false, "<DTPOSTED>20240131\n<TRNAMT>1\n<CHECKNUM>12\n<REFNUM>R-3\n", "amount=1"},
      // Types: with useOFXTRNTYPE a DEBIT (exactly) is made negative and the type is kept.
      {'B', false, "<DTPOSTED>20240131\n<TRNTYPE>DEBIT\n<TRNAMT>12.00\n", "amount=12.00"},
      {'B', true, "<DTPOSTED>20240131\n<TRNTYPE>DEBIT\n<TRNAMT>12.00\n",
       "amount=-12.00 trntype=DEBIT"},
      {'B', true, "<DTPOSTED>20240131\n<TRNTYPE>DEBIT\n<TRNAMT>-12.00\n",
       "amount=-12.00 trntype=DEBIT"},
      {'B', true, "<DTPOSTED>20240131\n<TRNTYPE>DEBIT\n<TRNAMT>+12.00\n",
       "amount=-12.00 trntype=DEBIT"},
      {'B', true, "<DTPOSTED>20240131\n<TRNTYPE>CREDIT\n<TRNAMT>12.00\n",
       "amount=12.00 trntype=CREDIT"},
      {'B', true, "<DTPOSTED>20240131\n<TRNTYPE>debit\n<TRNAMT>12.00\n",
       "amount=12.00 trntype=debit"},
      {'B', true, "<DTPOSTED>20240131\n<TRNAMT>3.00\n", "error=noType"},
      {'B', false, "<DTPOSTED>20240131\n<TRNTYPE>DEBIT\n", "error=noAmount"},
      {'B', true, "<DTPOSTED>20240131\n<TRNTYPE>DEBIT\n", "error=noAmount trntype=DEBIT"},
      {'B', true, "<DTPOSTED>20240131\n", "error=noType"},
  };
  const std::map<char, std::string> sets{
      {'B', "BANKMSGSRSV1"}, {'C', "CREDITCARDMSGSRSV1"}, {'I', "INVSTMTMSGSRSV1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.block);
    prefs.setObject(prefKey::Preferences, c.useOFXTRNTYPE
                                              ? Value(Value::Array{Value(option::useOFXTRNTYPE)})
                                              : Value::array());
    std::string text = "<OFX><" + sets.at(c.kind) + ">\n<STMTTRN>\n" + c.block;
    OFXReadResult result = read(text);
    ASSERT_EQ(result.count(), 1u);
    std::string record = summary(result.qif[0]);
    const std::string_view shared = " date=01/31/2024 description=";
    if (std::size_t at = record.find(shared); at != std::string::npos)
      record.erase(at, shared.size());
    EXPECT_EQ(record, c.record);
    // An error record carries the rest of the download after <STMTTRN>, for the person to read.
    if (has(result.qif[0], key::errorMessage)) {
      EXPECT_EQ(str(result.qif[0], key::errorText), text.substr(text.find("<STMTTRN>") + 9));
    }
  }
}

TEST_F(OFXReaderTest, SGMLAndXMLGiveTheSameRecords) {
  const Fields first = {{"TRNTYPE", "CHECK"}, {"DTPOSTED", "20240105"}, {"TRNAMT", "-50.00"},
                        {"FITID", "1"},       {"CHECKNUM", "1012"},     {"NAME", "Hardware Store"},
                        {"MEMO", "Paint"}};
  const Fields second = {
      {"DTPOSTED", "20240131120000[-5:EST]"}, {"TRNAMT", "1200.00"}, {"NAME", "Payroll"}};
  const std::vector<std::string> expected = {
      "amount=-50.00 date=01/05/2024 description=Hardware Store memo=Paint number=1012",
      "amount=1200.00 date=01/31/2024 description=Payroll"};
  EXPECT_EQ(summaries(read(bankDownload(block(first) + block(second)))), expected);
  EXPECT_EQ(summaries(read(bankDownload(block(first, true) + block(second, true)))), expected);
  // Wrapping aggregates hold no transaction of their own.
  EXPECT_EQ(read(bankDownload("")).count(), 0u);
  EXPECT_EQ(read("<DTPOSTED>20240101<TRNAMT>1.00").count(), 0u);
}

TEST_F(OFXReaderTest, CardAndBankStatementsInOneDownloadAreReadAsCard) {
  std::string download =
      "<OFX><BANKMSGSRSV1>\n" +
      block({{"DTPOSTED", "20240105"}, {"TRNAMT", "-9.00"}, {"CHECKNUM", "1012"}}) +
      "</BANKMSGSRSV1><CREDITCARDMSGSRSV1>\n" +
      block({{"DTPOSTED", "20240106"}, {"TRNAMT", "-1.00"}, {"REFNUM", "R-9"}}) +
      "</CREDITCARDMSGSRSV1></OFX>";
  EXPECT_EQ(summaries(read(download)),
            (std::vector<std::string>{"amount=-9.00 date=01/05/2024 description=",
                                      "amount=-1.00 date=01/06/2024 description= number=R-9"}));
}

TEST_F(OFXReaderTest, OptionsAndTheDatePatternAreReadAtEachRun) {
  std::string download = bankDownload(block({{"DTPOSTED", "20240305"}, {"TRNAMT", "1.00"}}));
  EXPECT_EQ(str(read(download).qif[0], key::date), "03/05/2024");
  EXPECT_FALSE(read(download).mustConfirm);
  prefs.setObject(prefKey::OutputDateFormat, "%d.%m.%y");
  options.add(option::confirmAllTransactions);
  EXPECT_EQ(str(read(download).qif[0], key::date), "05.03.24");
  EXPECT_TRUE(read(download).mustConfirm);
}

// A block without a readable date cannot be placed in or out of the range, so it is reported
// in its place among the others.
TEST_F(OFXReaderTest, RangeIsInclusiveAndErrorRecordsKeepTheirPlace) {
  std::string transactions;
  for (const char* day : {"20240109", "20240110", "20240115", "20240120", "20240121"}) {
    transactions += block({{"DTPOSTED", day}, {"TRNAMT", "1.00"}, {"NAME", day}});
    if (day[7] == '5') transactions += block({{"DTPOSTED", "20241340"}, {"TRNAMT", "1.00"}});
  }
  OFXReadResult result = read(bankDownload(transactions), {2024, 1, 10}, {2024, 1, 20});
  ASSERT_EQ(result.count(), 4u);
  EXPECT_EQ(str(result.qif[0], key::description), "20240110");
  EXPECT_EQ(str(result.qif[1], key::description), "20240115");
  EXPECT_EQ(str(result.qif[2], key::errorMessage), kOFXNoDateMessage);
  EXPECT_EQ(str(result.qif[3], key::description), "20240120");
  EXPECT_EQ(read(bankDownload(transactions), {2024, 1, 15}, {2024, 1, 15}).count(), 2u);
  EXPECT_EQ(read(bankDownload(transactions), {2024, 3, 1}, {2024, 2, 1}).count(), 1u);
}

}  // namespace
}  // namespace corvela
