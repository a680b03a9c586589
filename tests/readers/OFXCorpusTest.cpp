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

TEST_F(OFXCorpusTest, RecordsAsTheFilesHoldThem) {
  testing::expectCaseFile(
      "readers/ofx-corpus-records.txt", [this](const std::string& file, const std::string& words) {
        OFXReadResult result = read(file);
        std::size_t index = std::stoul(words.substr(7));
        return index < result.count() ? testing::quoted(testing::summary(result.qif[index]))
                                      : "no such record";
      });
  // The two Desjardins files hold the same list once the first is converted from Windows-1252.
  EXPECT_EQ(read("moneyguru/desjardins.ofx").qif, read("moneyguru/desjardins.qfx").qif);
}

}  // namespace
}  // namespace corvela
