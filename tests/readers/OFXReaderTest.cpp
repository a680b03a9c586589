#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/CaseFile.h"
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
  testing::expectCaseFile("readers/ofx-fields.txt",
                          [](const std::string& block, const std::string& tag) {
                            Value record = Value{{"memo", "kept"}};
                            bool found = OFXReader::addField(key::memo, tag, block, record);
                            EXPECT_EQ(record.size(), 1u) << block;
                            return found ? testing::quoted(str(record, key::memo))
                                   : record == Value{{"memo", "kept"}} ? "not found"
                                                                       : "not found, yet changed";
                          });
}

TEST_F(OFXReaderTest, EachBlockGivesItsRecord) {
  testing::expectCaseFile("readers/ofx-blocks.txt", [this](const std::string& block,
                                                           const std::string& words) {
    prefs.setObject(prefKey::Preferences, words.ends_with(" useOFXTRNTYPE")
                                              ? Value(Value::Array{Value(option::useOFXTRNTYPE)})
                                              : Value::array());
    std::string set = words.starts_with("bank")   ? "BANKMSGSRSV1"
                      : words.starts_with("card") ? "CREDITCARDMSGSRSV1"
                                                  : "INVSTMTMSGSRSV1";
    OFXReadResult result = read("<OFX><" + set + ">\n<STMTTRN>\n" + block);
    if (result.count() != 1) return std::to_string(result.count()) + " records";
    // An error record carries the rest of the download after <STMTTRN>, for the person to read.
    if (has(result.qif[0], key::errorMessage)) {
      EXPECT_EQ(str(result.qif[0], key::errorText), "\n" + block);
    }
    return summary(result.qif[0]);
  });
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
