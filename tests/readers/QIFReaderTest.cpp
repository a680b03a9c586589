#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/CaseFile.h"
#include "support/ScratchStore.h"
#include "text/Lines.h"

namespace corvela {
namespace {

// Tables of our own, so that these tests do not depend on what the shipped bundle holds.
constexpr std::string_view kTestBundle = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CVShortDateFormats</key><array><string>%d/%d/%d%n</string><string>%d-%d-%d%n</string></array>
  <key>CVRemoveFromAmounts</key><string>$) </string>
</dict></plist>
)";

class QIFReaderTest : public ::testing::Test {
 protected:
  QIFReaderTest() : options(store.prefs), reader(store.prefs, options, bundle) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }
  QIFReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromQIFLines(findLines(text), from, to, CalendarDay{2024, 6, 15});
  }
  // The records, " | " between them.
  static std::string records(const QIFReadResult& result) {
    std::string out;
    for (const Value& r : result.qif.toArray())
      out += (out.empty() ? "" : " | ") + testing::summary(r);
    return out;
  }

  Bundle bundle = Bundle::fromXML(kTestBundle).value();
  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

TEST_F(QIFReaderTest, RecordsAreCollectedAsTheLinesSay) {
  testing::expectCaseFile(
      "readers/qif-records.txt", [this](const std::string& text, const std::string& option) {
        store.prefs.setObject(prefKey::Preferences,
                              option.empty() ? Value::array() : Value(Value::Array{Value(option)}));
        QIFReadResult result = read(text);
        std::string answer =
            result.failedLine ? "stops at line " + std::to_string(result.failedLine) + "; " : "";
        if (result.readDayFirst) answer += "read day first; ";
        if (result.mayBeDayFirst) answer += "may be day first; ";
        return answer + (result.qif.size() ? records(result) : "no records");
      });
}

// A record outside the range takes all its lines with it, the ones before its date included
// ("N" before "D"), and the next record keeps its own.
TEST_F(QIFReaderTest, DateRangeIsInclusiveAndSkipsWholeRecords) {
  QIFReadResult result = read(
      "D2/29/2024\nPBefore\nSSplit\n$-1\nLLeaked\n^\nN101\nD3/1/2024\nPFirst day\n^\n"
      "N102\nD4/1/2024\nPAfter\nSSplit\n$-1\n^\nN103\nD3/31/2024\nPLast day\n^\n",
      {2024, 3, 1}, {2024, 3, 31});
  EXPECT_EQ(records(result),
            "date=03/01/2024 description=First day number=101 | date=03/31/2024 "
            "description=Last day number=103");
  EXPECT_EQ(read("D1/1/2020\nPOld\nD2/30/2020\n^\n", {2024, 1, 1}, {2024, 12, 31}).failedLine, 3);
}

TEST_F(QIFReaderTest, AmountsAreBroughtIntoOutputFormOnce) {
  testing::expectCaseFile("readers/qif-amounts.txt", [this](const std::string& amount,
                                                            const std::string& words) {
    store.prefs.setObject(prefKey::Preferences,
                          words.ends_with(" outputEuropeanAmounts")
                              ? Value(Value::Array{Value(option::outputEuropeanAmounts)})
                              : Value::array());
    Value record = {{"amount", amount}, {"description", "x"}};
    std::string output =
        reader.normalizeQIFAmountIn(record, std::stoi(words.substr(5))).value_or("none");
    EXPECT_EQ(record,
              (Value{{"amount", output}, {"amountAlreadyConverted", true}, {"description", "x"}}));
    // A second pass changes nothing, whatever the options say by then.
    options.add(option::outputEuropeanAmounts);
    EXPECT_EQ(reader.normalizeQIFAmountIn(record, kQIFTypeReverseSigns), output);
    return output;
  });
  Value noAmount = {{"memo", "no amount"}};
  EXPECT_EQ(reader.normalizeQIFAmountIn(noAmount, kQIFTypeReverseSigns), std::nullopt);
  EXPECT_EQ(noAmount, (Value{{"memo", "no amount"}}));
}

// The shipped removal set must take off the closing parenthesis and keep every character that
// carries the sign or the separators, or "(12.50)" would be written as "-12.50)".
TEST(QIFBundleTest, ShippedRemovalSetFitsTheNormalisation) {
  const std::string& set = Bundle::builtIn().table("CVRemoveFromAmounts").toString();
  EXPECT_NE(set.find(')'), std::string::npos);
  EXPECT_EQ(set.find_first_of("(-,.0123456789"), std::string::npos) << set;
}

}  // namespace
}  // namespace corvela
