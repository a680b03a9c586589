// Real OFX and QFX bank and credit-card downloads written by other programs, read the way an
// opened file is: decoded to UTF-8 (by the byte-order mark, the OFX CHARSET header or the XML
// declaration, else Windows-1252) and read with the widest date range.

#include <gtest/gtest.h>

#include <string>

#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace key = transactionKey;

class OFXCorpusTest : public ::testing::Test {
 protected:
  OFXReadResult read(const std::string& file, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    Result<DecodedText> text = readTextFile(std::string(CORVELA_CORPUS) + "/" + file);
    EXPECT_TRUE(text.ok()) << text.message();
    return reader.fromOFX(text.ok() ? text.value().text : "", from, to);
  }

  testing::ScratchStore store;
  Preferences options{store.prefs};
  OFXReader reader{store.prefs, options};
};

// Every bank and credit-card download of the corpus (MANIFEST.md kinds "OFX bank", "OFX cc",
// "QFX bank", "QFX cc" and "OFX bank+cc", the malformed ones included). The expected counts
// were taken from the files, not from this reader, with
//   grep -o '<STMTTRN>' FILE | wc -l
// Every one of these files has as many <DTPOSTED> and <TRNAMT> tags as <STMTTRN> tags, and all
// but one posting date are eight digits naming a real day; the one exception is
// ofxparse/decimal_error.ofx, whose <DTPOSTED>201120000000 names month 20.
struct CorpusCase {
  const char* file;
  std::size_t records;
  std::size_t noDateErrors = 0;
  std::size_t badAmountErrors = 0;  // a <TRNAMT> that is no amount ("   .  ")
};
const CorpusCase kFiles[] = {{"actual/html-vals.qfx", 2},
                             {"beancount-import/amex.ofx", 3},
                             {"beancount_reds_importers/360Checking.qfx", 4},
                             {"beangulp/2013-12-03.bofa.ofx", 27},
                             {"gnucash/cibc_checking.qfx", 7},
                             {"gnucash/cibc_visa.qfx", 15},
                             {"gnucash/rbc_gi.qfx", 18},
                             {"gnucash/wamu.qfx", 177},
                             {"jgnash/bank1-commas.ofx", 4},
                             {"jgnash/File_with_Accents.ofx", 3},
                             {"jgnash/Sample.ofx", 5},
                             {"jgnash/uglyFormat.ofx", 5},
                             {"ledger-autosync/accented_characters_latin1.ofx", 1},
                             {"libofx/heap-buffer-overflow-1.ofx", 0},  // MALFORMED
                             {"libofx/ofx-2.1.1-sect-16.5.3.2.ofx", 3},
                             {"libofx/ofx_spec160_stmtrs_example.sgml", 2},
                             {"libofx/ofx_spec201_stmtrs_example.xml", 2},
                             {"moneyguru/ccstmtrs.ofx", 5},
                             {"moneyguru/desjardins.ofx", 20},
                             {"moneyguru/desjardins.qfx", 20},
                             {"moneyguru/ing.qfx", 1},
                             {"ofx/bb.ofx", 81},
                             {"ofx/cef_malformed_decimal.ofx", 1, 0, 1},  // MALFORMED
                             {"ofx/creditcard.ofx", 3},
                             {"ofx/nd-amex-sample.ofx", 15},
                             {"ofx/v211.ofx", 3},
                             {"ofxgo/bmo_v102__no_header_newline.qfx", 1},
                             {"ofxgo/moneymrkt1_v103.ofx", 3},
                             {"ofxgo/wellsfargo.qfx", 1},
                             {"ofxparse/anzcc.ofx", 1},
                             {"ofxparse/bank_medium.ofx", 3},
                             {"ofxparse/chase_cc.qfx", 1},
                             {"ofxparse/checking.ofx", 3},
                             {"ofxparse/decimal_error.ofx", 1, 1},  // MALFORMED
                             {"ofxparse/suncorp.ofx", 1},
                             {"ofxparser/ofx-multiple-accounts-xml.ofx", 3},
                             {"ofxparser/ofxdata-bb-two-stmtrs.ofx", 36},
                             {"ofxparser/ofxdata-cmfr.ofx", 42},
                             {"ofxparser/ofxdata-credit-card.ofx", 1},
                             {"ofxparser/ofxdata-oneline.ofx", 8},
                             {"ofxstatement-french/BPACA_OP_20220717-2.ofx", 14},
                             {"ofxtools/br_nubank_cc.ofx", 6}};

// Every transaction is read, with the type option off and on. (That a range keeps exactly the
// in-range records is checked for every corpus file through the command line.)
TEST_F(OFXCorpusTest, EveryTransactionIsRead) {
  for (const CorpusCase& c : kFiles) {
    SCOPED_TRACE(c.file);
    for (bool useOFXTRNTYPE : {false, true}) {
      if (useOFXTRNTYPE) options.add(option::useOFXTRNTYPE);
      OFXReadResult all = read(c.file);
      ASSERT_EQ(all.count(), c.records);
      std::size_t noDate = 0, badAmount = 0;
      for (const Value& record : all.qif.toArray()) {
        std::string error = str(record, key::errorMessage);
        noDate += error == kOFXNoDateMessage;
        badAmount += error == kOFXBadAmountMessage;
        if (!error.empty()) continue;
        EXPECT_EQ(str(record, key::date).size(), 10u) << testing::summary(record);
        // No amount comes out with two signs, whatever the type says.
        EXPECT_FALSE(str(record, key::amount).empty() || str(record, key::amount).starts_with("--"))
            << testing::summary(record);
        EXPECT_EQ(has(record, key::trntype), useOFXTRNTYPE);
      }
      EXPECT_EQ(noDate, c.noDateErrors);
      EXPECT_EQ(badAmount, c.badAmountErrors);
    }
    store.prefs.setObject(prefKey::Preferences, Value::array());
  }
}

// Expected records were copied from the files by hand (after iconv -f cp1252 for the
// Windows-1252 ones).
TEST_F(OFXCorpusTest, RecordsAsTheFilesHoldThem) {
  struct Case {
    const char* file;
    std::size_t index;
    const char* record;
  };
  const Case cases[] = {
      // Staircase SGML, values ending at their line ends; a card download takes REFNUM.
      {"beancount-import/amex.ofx", 0,
       "amount=-143.94 date=11/24/2013 description=PRUNE               NEW YORK memo=7101466     "
       "RESTAURANT number=320133280255184014"},
      // A bank download takes REFNUM, else CHECKNUM.
      {"gnucash/wamu.qfx", 0, "amount=-33.83 date=04/22/2001 description=0000003061 number=3061"},
      {"gnucash/wamu.qfx", 2,
       "amount=-16.83 date=04/22/2001 description=VISAUNION 76      5121ISSAQUAH "
       "number=4046482104006432"},
      // Bank and card statements in one XML file: read as card, so no CHECKNUM.
      {"ofx/v211.ofx", 0, "amount=-80 date=08/24/2005 description=FrogKick Scuba Gear"},
      // Tags and values on separate, tab-indented lines; the name keeps its blank.
      {"jgnash/uglyFormat.ofx", 0, "amount=123.45 date=03/31/2017 description=Interest Paid "},
      // Windows-1252 names arrive as UTF-8.
      {"moneyguru/desjardins.ofx", 0,
       "amount=-100.00 date=01/14/2008 description=Ch\u00e8que/ memo=DCN number=7"},
      {"ledger-autosync/accented_characters_latin1.ofx", 0,
       "amount=-58.73 date=09/20/2014 description=Virement Interac \u00e0: Jean"},
      // ING's whole download sits on one line with CRLF at its end.
      {"moneyguru/ing.qfx", 0,
       "amount=100 date=09/23/2005 description=D\u00e9p\u00f4t memo=81530219 3893476"},
      // "&amp;" is decoded, once: a payee that escapes its angle brackets twice keeps one level.
      {"actual/html-vals.qfx", 1, "description=TPAY &lt;DEFTPYMT&gt;"},
  };
  for (const Case& c : cases) {
    OFXReadResult result = read(c.file);
    ASSERT_LT(c.index, result.count()) << c.file;
    std::string got = testing::summary(result.qif[c.index]);
    if (std::string_view(c.record).starts_with("description="))
      got = "description=" + str(result.qif[c.index], key::description);
    EXPECT_EQ(got, c.record) << c.file;
  }
  // The two Desjardins files hold the same list once the first is converted from Windows-1252.
  EXPECT_EQ(read("moneyguru/desjardins.ofx").qif, read("moneyguru/desjardins.qfx").qif);
}

}  // namespace
}  // namespace corvela
