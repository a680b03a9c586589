// Records built from formatted text: the signed amount of every column rule, and the reading-
// error warning, whose "don't warn" switch is carried from one transaction to the next.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "banking/FormattedTextReader.h"
#include "formats/ErrorWarning.h"
#include "prefs/Bundle.h"
#include "prefs/ValueText.h"
#include "support/CaseFile.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using Strings = std::vector<std::string>;

class FormattedTextReaderTest : public ::testing::Test {
 protected:
  std::optional<RecordList> read(const std::string& text, const Value& format) {
    return reader.fromFormattedText(text, format, CalendarDay::distantPast(),
                                    CalendarDay::distantFuture(), CalendarDay{2024, 6, 1});
  }
  Strings amounts(const std::string& text, const Value& format) {
    Strings found;
    std::optional<RecordList> records = read(text, format);
    if (records)
      for (const Value& record : *records) found.push_back(str(record, "amount"));
    return found;
  }

  testing::ScratchStore store;
  testing::ScriptedPlatform platform;
  std::vector<Value> added;
  ErrorWarning warning{platform, [this](const Value& format) { added.push_back(format); }};
  DateTables tables = Bundle::builtIn().dateTables();
  FormattedTextReader reader{store.prefs, tables, warning};
};

Value csvFormat(std::initializer_list<std::pair<const std::string, Value>> columns) {
  Value format{{"Name", "t"},    {"DateDelimiter", "/"}, {"DateStart", "\n"},
               {"DateEnd", ";"}, {"Fields", "SSV"},      {"OneTransactionPerLine", true},
               {"Date", 0}};
  for (const auto& [key, value] : columns) format.set(key, value);
  return format;
}

// The cases of tests/data/banking/formatted-amounts.txt: the columns as JSON, after "precision N"
// when the store sets one.
TEST_F(FormattedTextReaderTest, AmountOfEveryColumnRule) {
  testing::expectCaseFile(
      "banking/formatted-amounts.txt", [this](const std::string& text, const std::string& words) {
        if (words.starts_with("precision "))
          store.prefs.setInt("bccAmountsPrecision", std::stoi(words.substr(10)));
        else
          store.prefs.removeObjectForKey("bccAmountsPrecision");
        Value format = csvFormat({});
        Result<Value> columns = fromJSON(words.substr(words.find('{')));
        if (!columns.ok()) return "unreadable columns " + columns.message();
        for (const auto& [key, value] : columns.value().toDictionary()) format.set(key, value);
        std::string answer;
        for (const std::string& amount : amounts(text, format))
          answer += (answer.empty() ? "" : " ") + amount;
        return answer;
      });
  // However long an amount is, it is written whole, never cut short to a smaller number.
  store.prefs.setInt("bccAmountsPrecision", 0);
  const Strings huge =
      amounts("x\n01/02/2024;a;1" + std::string(69, '0') + "\n", csvFormat({{"Credit", 2}}));
  ASSERT_EQ(huge.size(), 1u);
  EXPECT_EQ(huge[0].size(), 70u) << huge[0];
}

TEST_F(FormattedTextReaderTest, DontWarnHoldsForTheRestOfTheReadingOnly) {
  const std::string text = "x\n01/02/2024;a;1\n13/45/2024;b;2\n99/99/2024;c;3\n01/05/2024;d;4\n";
  const Value format = csvFormat({{"Credit", 2}});
  platform.answerNextInputErrorWarning(1, true);
  EXPECT_EQ(amounts(text, format), (Strings{"1.00", "4.00"}));
  ASSERT_EQ(platform.inputErrorWarnings.size(), 1u);
  EXPECT_EQ(platform.inputErrorWarnings[0].text, "13/45/2024;b;2");
  EXPECT_EQ(platform.inputErrorWarnings[0].buttonTitle, "Skip Transaction");
  ASSERT_EQ(added.size(), 1u);
  EXPECT_TRUE(added[0]["dontWarn"].toBool());

  // The next reading warns again, and cancel ends it with nothing.
  platform.answerNextInputErrorWarning(0, false);
  EXPECT_FALSE(read(text, format));
  EXPECT_EQ(platform.inputErrorWarnings.size(), 2u);
  // No date at all: nothing, and no warning.
  EXPECT_FALSE(read("nothing\n", format));
  EXPECT_TRUE(platform.allAnswersUsed());
}

// Read a window at a time, a text gives the records it gives whole, in line and in chunk mode,
// with transactions that cannot be read; a cancel at one of them gives the reading up, keeping
// what its earlier windows gave.
TEST_F(FormattedTextReaderTest, AWindowAtATimeGivesWhatTheWholeReadingGives) {
  std::string text = "Statement\n";
  for (int day = 1; day <= 28; ++day)
    text += (day % 9 == 0 ? "13/45/2024" : "02/" + std::to_string(day) + "/2024") + ";shop;" +
            std::to_string(day) + ".50\n";
  Value chunks = csvFormat({{"Credit", 2}});
  chunks.set("OneTransactionPerLine", false);
  const CalendarDay past = CalendarDay::distantPast(), future = CalendarDay::distantFuture();
  platform.goOnAtEveryWarning();
  for (const Value& format : {csvFormat({{"Credit", 2}}), chunks}) {
    const std::optional<RecordList> whole = read(text, format);
    ASSERT_TRUE(whole && whole->size() == 25);
    for (std::size_t window : {1, 4}) {
      std::unique_ptr<RecordWindows> reading =
          reader.windows(text, format, past, future, CalendarDay{2024, 6, 1});
      RecordList records;
      for (std::size_t before = 0; reading->next(records, window); before = records.size())
        ASSERT_LE(records.size() - before, window);
      EXPECT_EQ(records.toValue(), whole->toValue()) << window << " at a time";
    }
  }
  platform.answerNextInputErrorWarning(0, false);
  std::unique_ptr<RecordWindows> reading =
      reader.windows(text, csvFormat({{"Credit", 2}}), past, future, CalendarDay{2024, 6, 1});
  RecordList records;
  while (reading->next(records, 3)) {
  }
  EXPECT_TRUE(reading->givenUp());
  EXPECT_EQ(records.size(), 8u);
}

}  // namespace
}  // namespace corvela
