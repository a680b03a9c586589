// Real OFX and QFX bank and credit-card downloads written by other programs, read the way an
// opened file is: decoded to UTF-8 (by the byte-order mark, the OFX CHARSET header or the XML
// declaration, else Windows-1252) and read with the widest date range.

#include <gtest/gtest.h>

#include <string>

#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/CaseFile.h"
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

// Every transaction of the downloads of tests/data/readers/ofx-corpus.txt is read, the same with
// the type option off and on. (That a range keeps exactly the in-range records is checked for
// every corpus file through the command line.)
TEST_F(OFXCorpusTest, EveryTransactionIsRead) {
  testing::expectCaseFile("readers/ofx-corpus.txt", [this](const std::string& file,
                                                           const std::string&) {
    std::string answer;
    for (bool useOFXTRNTYPE : {false, true}) {
      store.prefs.setObject(
          prefKey::Preferences,
          useOFXTRNTYPE ? Value(Value::Array{Value(option::useOFXTRNTYPE)}) : Value::array());
      OFXReadResult all = read(file);
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
      std::string counts = std::to_string(all.count()) + " records" +
                           (noDate ? ", " + std::to_string(noDate) + " without a date" : "") +
                           (badAmount ? ", " + std::to_string(badAmount) + " with no amount" : "");
      if (useOFXTRNTYPE) {
        EXPECT_EQ(counts, answer) << file << " with the type option";
      }
      answer = counts;
    }
    return answer;
  });
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
