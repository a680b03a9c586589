// Real OFX and QFX bank and credit-card downloads written by other programs, read the way an
// opened file is: decoded to UTF-8 (by the byte-order mark, the OFX CHARSET header or the XML
// declaration, else Windows-1252) and read with the widest date range.

#include <gtest/gtest.h>

#include <string>

#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "readers/OFXReader.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace key = transactionKey;

const std::string kCorpus = CORVELA_CORPUS;

std::string download(const std::string& relativePath) {
  Result<DecodedText> file = readTextFile(kCorpus + "/" + relativePath);
  EXPECT_TRUE(file.ok()) << file.message();
  return file.ok() ? file.value().text : std::string();
}

class OFXCorpusTest : public ::testing::Test {
 protected:
  OFXReadResult read(const std::string& relativePath, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromOFX(download(relativePath), from, to);
  }

  testing::ScratchStore store;
  Preferences options{store.prefs};
  OFXReader reader{store.prefs, options};
};

// Every bank and credit-card download of the corpus (MANIFEST.md kinds "OFX bank", "OFX cc",
// "QFX bank", "QFX cc" and "OFX bank+cc", the malformed ones included). The expected counts
// were taken from the files, not from this reader, with
//   grep -o '<STMTTRN>' FILE | wc -l
// Every one of these files has as many <DTPOSTED> and <TRNAMT> tags as <STMTTRN> tags (counted
// the same way), and all but one posting date are eight digits naming a real day; the one
// exception is ofxparse/decimal_error.ofx, whose <DTPOSTED>201120000000 names month 20.
struct CorpusCase {
  const char* file;
  std::size_t records;
  std::size_t noDateErrors = 0;
  std::size_t badAmountErrors = 0;  // a <TRNAMT> that is no amount ("   .  ")
};

void PrintTo(const CorpusCase& c, std::ostream* os) { *os << c.file; }

class OFXCorpusFileTest : public OFXCorpusTest, public ::testing::WithParamInterface<CorpusCase> {};

TEST_P(OFXCorpusFileTest, EveryTransactionIsRead) {
  for (bool useOFXTRNTYPE : {false, true}) {
    if (useOFXTRNTYPE) options.add(option::useOFXTRNTYPE);
    OFXReadResult result = read(GetParam().file);

    ASSERT_EQ(result.count(), GetParam().records) << "useOFXTRNTYPE " << useOFXTRNTYPE;
    std::size_t noDateErrors = 0, badAmountErrors = 0;
    for (std::size_t i = 0; i < result.count(); ++i) {
      const Value& record = result.qif[i];
      if (has(record, key::errorMessage)) {
        bool badAmount = str(record, key::errorMessage) == kOFXBadAmountMessage;
        if (!badAmount) {
          EXPECT_EQ(str(record, key::errorMessage), kOFXNoDateMessage) << describe(record);
        }
        ++(badAmount ? badAmountErrors : noDateErrors);
        continue;
      }
      EXPECT_EQ(str(record, key::date).size(), 10u) << describe(record);
      EXPECT_FALSE(str(record, key::amount).empty()) << describe(record);
      // No amount comes out with two signs, whatever the type says.
      EXPECT_FALSE(str(record, key::amount).starts_with("--")) << describe(record);
      EXPECT_EQ(has(record, key::trntype), useOFXTRNTYPE);
    }
    EXPECT_EQ(noDateErrors, GetParam().noDateErrors);
    EXPECT_EQ(badAmountErrors, GetParam().badAmountErrors);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, OFXCorpusFileTest,
    ::testing::Values(
        CorpusCase{"actual/html-vals.qfx", 2}, CorpusCase{"beancount-import/amex.ofx", 3},
        CorpusCase{"beancount_reds_importers/360Checking.qfx", 4},
        CorpusCase{"beangulp/2013-12-03.bofa.ofx", 27}, CorpusCase{"gnucash/cibc_checking.qfx", 7},
        CorpusCase{"gnucash/cibc_visa.qfx", 15}, CorpusCase{"gnucash/rbc_gi.qfx", 18},
        CorpusCase{"gnucash/wamu.qfx", 177}, CorpusCase{"jgnash/bank1-commas.ofx", 4},
        CorpusCase{"jgnash/File_with_Accents.ofx", 3}, CorpusCase{"jgnash/Sample.ofx", 5},
        CorpusCase{"jgnash/uglyFormat.ofx", 5},
        CorpusCase{"ledger-autosync/accented_characters_latin1.ofx", 1},
        CorpusCase{"libofx/heap-buffer-overflow-1.ofx", 0},  // MALFORMED
        CorpusCase{"libofx/ofx-2.1.1-sect-16.5.3.2.ofx", 3},
        CorpusCase{"libofx/ofx_spec160_stmtrs_example.sgml", 2},
        CorpusCase{"libofx/ofx_spec201_stmtrs_example.xml", 2},
        CorpusCase{"moneyguru/ccstmtrs.ofx", 5}, CorpusCase{"moneyguru/desjardins.ofx", 20},
        CorpusCase{"moneyguru/desjardins.qfx", 20}, CorpusCase{"moneyguru/ing.qfx", 1},
        CorpusCase{"ofx/bb.ofx", 81},
        CorpusCase{"ofx/cef_malformed_decimal.ofx", 1, 0, 1},  // MALFORMED
        CorpusCase{"ofx/creditcard.ofx", 3}, CorpusCase{"ofx/nd-amex-sample.ofx", 15},
        CorpusCase{"ofx/v211.ofx", 3}, CorpusCase{"ofxgo/bmo_v102__no_header_newline.qfx", 1},
        CorpusCase{"ofxgo/moneymrkt1_v103.ofx", 3}, CorpusCase{"ofxgo/wellsfargo.qfx", 1},
        CorpusCase{"ofxparse/anzcc.ofx", 1}, CorpusCase{"ofxparse/bank_medium.ofx", 3},
        CorpusCase{"ofxparse/chase_cc.qfx", 1}, CorpusCase{"ofxparse/checking.ofx", 3},
        CorpusCase{"ofxparse/decimal_error.ofx", 1, 1},  // MALFORMED
        CorpusCase{"ofxparse/suncorp.ofx", 1},
        CorpusCase{"ofxparser/ofx-multiple-accounts-xml.ofx", 3},
        CorpusCase{"ofxparser/ofxdata-bb-two-stmtrs.ofx", 36},
        CorpusCase{"ofxparser/ofxdata-cmfr.ofx", 42},
        CorpusCase{"ofxparser/ofxdata-credit-card.ofx", 1},
        CorpusCase{"ofxparser/ofxdata-oneline.ofx", 8},
        CorpusCase{"ofxstatement-french/BPACA_OP_20220717-2.ofx", 14},
        CorpusCase{"ofxtools/br_nubank_cc.ofx", 6}));

// Expected fields were copied from the files by hand (after iconv -f cp1252 for the
// Windows-1252 ones).

TEST_F(OFXCorpusTest, AmexCardStaircaseSGML) {
  // No closing tags on the same line: each value ends at its line end. A card download: the
  // number is the REFNUM.
  options.add(option::useOFXTRNTYPE);
  OFXReadResult result = read("beancount-import/amex.ofx");

  ASSERT_EQ(result.count(), 3u);
  EXPECT_EQ(result.qif[0], (Value{{"date", "11/24/2013"},
                                  {"number", "320133280255184014"},
                                  {"description", "PRUNE               NEW YORK"},
                                  {"memo", "7101466     RESTAURANT"},
                                  {"amount", "-143.94"},
                                  {"trntype", "DEBIT"}}))
      << describe(result.qif[0]);
}

TEST_F(OFXCorpusTest, WashingtonMutualBankTakesRefnumElseChecknum) {
  OFXReadResult result = read("gnucash/wamu.qfx");

  ASSERT_EQ(result.count(), 177u);
  EXPECT_EQ(result.qif[0], (Value{{"date", "04/22/2001"},
                                  {"number", "3061"},
                                  {"description", "0000003061"},
                                  {"amount", "-33.83"}}));
  EXPECT_EQ(result.qif[2], (Value{{"date", "04/22/2001"},
                                  {"number", "4046482104006432"},
                                  {"description", "VISAUNION 76      5121ISSAQUAH"},
                                  {"amount", "-16.83"}}));
  EXPECT_EQ(result.qif[176], (Value{{"date", "03/01/2001"},
                                    {"number", "01013100632"},
                                    {"description", "TELEPHONE TRANSFER FROM 103302700"},
                                    {"amount", "250.00"}}));
}

TEST_F(OFXCorpusTest, DateRangeOverARealDownload) {
  // grep -o '<DTPOSTED>[0-9]\{6\}' gnucash/wamu.qfx | sort | uniq -c: 111 in March 2001,
  // 66 in April 2001.
  EXPECT_EQ(read("gnucash/wamu.qfx", {2001, 4, 1}, {2001, 4, 30}).count(), 66u);
  EXPECT_EQ(read("gnucash/wamu.qfx", {2001, 3, 1}, {2001, 3, 31}).count(), 111u);
  EXPECT_EQ(read("gnucash/wamu.qfx", {2001, 5, 1}, {2001, 12, 31}).count(), 0u);
}

TEST_F(OFXCorpusTest, BankAndCardXMLStatementsInOneFile) {
  // The download holds a card statement, so no bank transaction takes a CHECKNUM either; none
  // of its transactions has a REFNUM.
  OFXReadResult result = read("ofx/v211.ofx");

  ASSERT_EQ(result.count(), 3u);
  EXPECT_EQ(
      result.qif[0],
      (Value{{"date", "08/24/2005"}, {"description", "FrogKick Scuba Gear"}, {"amount", "-80"}}));
  EXPECT_EQ(result.qif[2], (Value{{"date", "08/11/2005"},
                                  {"description", "Payment - Thank You"},
                                  {"amount", "350.00"}}));
}

TEST_F(OFXCorpusTest, ValuesOnTheLinesAfterTheirTags) {
  // Tags and values on separate, tab-indented lines; "<NAME>Interest Paid " keeps its blank.
  OFXReadResult result = read("jgnash/uglyFormat.ofx");

  ASSERT_EQ(result.count(), 5u);
  EXPECT_EQ(
      result.qif[0],
      (Value{{"date", "03/31/2017"}, {"description", "Interest Paid "}, {"amount", "123.45"}}));
  EXPECT_EQ(str(result.qif[2], key::amount), "-1234.56");
  EXPECT_EQ(str(result.qif[2], key::date), "03/24/2017");
}

TEST_F(OFXCorpusTest, WindowsLatinNamesArriveAsUTF8) {
  OFXReadResult desjardins = read("moneyguru/desjardins.ofx");
  ASSERT_EQ(desjardins.count(), 20u);
  EXPECT_EQ(desjardins.qif[0], (Value{{"date", "01/14/2008"},
                                      {"number", "7"},
                                      {"description", "Ch\u00e8que/"},
                                      {"memo", "DCN"},
                                      {"amount", "-100.00"}}));

  OFXReadResult ledger = read("ledger-autosync/accented_characters_latin1.ofx");
  ASSERT_EQ(ledger.count(), 1u);
  EXPECT_EQ(ledger.qif[0], (Value{{"date", "09/20/2014"},
                                  {"description", "Virement Interac \u00e0: Jean"},
                                  {"amount", "-58.73"}}));

  OFXReadResult accents = read("jgnash/File_with_Accents.ofx");
  ASSERT_EQ(accents.count(), 3u);
  EXPECT_EQ(str(accents.qif[1], key::description),
            "Second Transaction (\u00c0\u00e0\u00c9\u00e9\u00c8\u00e8\u00ca\u00ea\u00cb\u00eb"
            "\u00cf\u00ef\u00d9\u00f9)");

  // ING's whole download sits on one line with CRLF at its end.
  OFXReadResult ing = read("moneyguru/ing.qfx");
  ASSERT_EQ(ing.count(), 1u);
  EXPECT_EQ(ing.qif[0], (Value{{"date", "09/23/2005"},
                               {"description", "D\u00e9p\u00f4t"},
                               {"memo", "81530219 3893476"},
                               {"amount", "100"}}));
}

TEST_F(OFXCorpusTest, SameStatementInWindowsLatinSGMLAndUTF8XML) {
  // The two Desjardins files hold the same transaction list byte for byte once the first is
  // converted from Windows-1252 (checked with iconv and diff).
  OFXReadResult sgml = read("moneyguru/desjardins.ofx");
  OFXReadResult xml = read("moneyguru/desjardins.qfx");

  EXPECT_EQ(sgml.qif, xml.qif);
}

TEST_F(OFXCorpusTest, EscapedCharactersArriveAsCharacters) {
  // html-vals.qfx writes "&" as "&amp;", and one payee escapes its angle brackets twice.
  OFXReadResult result = read("actual/html-vals.qfx");

  ASSERT_EQ(result.count(), 2u);
  EXPECT_EQ(str(result.qif[0], "memo"),
            "PREAUTHORIZED DEBIT;B.C. HYDRO & POWER AUTHORITY;Electronic Funds Transfer");
  EXPECT_EQ(str(result.qif[1], "description"), "TPAY &lt;DEFTPYMT&gt;");
}

}  // namespace
}  // namespace corvela
