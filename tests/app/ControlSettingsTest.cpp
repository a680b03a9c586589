#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/ControlSettings.h"
#include "app/OutputFile.h"
#include "platform/MessageFormat.h"
#include "prefs/CVPrefs.h"
#include "support/CaseFile.h"
#include "support/FailingRename.h"
#include "support/FileText.h"
#include "support/ScratchStore.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

// A day written YYYY-MM-DD.
CalendarDay dayOf(const std::string& text) {
  return {std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2))};
}

TEST(ControlSettingsTest, LastMonthIsTheWholeCalendarMonthBefore) {
  testing::expectCaseFile("app/last-month.txt", [](const std::string& text, const std::string&) {
    auto [first, last] = lastMonth(dayOf(text));
    return first.format("%F") + " to " + last.format("%F");
  });
}

// A date field reads the day typed (two-digit years with the short pattern) and, finished,
// shows it in the output pattern; the words today, yesterday and tomorrow name a day only in the
// finished field. A text that names no day is left as typed (none).
std::string dialogDateAnswer(const std::optional<CalendarDay>& day,
                             const std::optional<std::string>& shown) {
  return (day ? "day " + day->format("%F") : std::string("no day")) + ", " +
         (shown ? "shown " + *shown : std::string("nothing shown"));
}

TEST(ControlSettingsTest, DialogDatesReadShortYearsAndWords) {
  testing::expectCaseFile(
      "app/dialog-dates.txt", [](const std::string& text, const std::string& words) {
        std::string pattern = words.substr(0, words.find(" on "));
        std::string shortYear = pattern.substr(0, pattern.size() - 2) + "%y";
        CalendarDay today = dayOf(words.substr(words.find(" on ") + 4));
        return dialogDateAnswer(parseDialogDate(text, pattern, shortYear),
                                dialogDateText(text, pattern, shortYear, today));
      });
}

TEST(ControlSettingsTest, DatesConvertToLocalMidnightAndBack) {
  for (CalendarDay day : {CalendarDay{2024, 2, 29}, CalendarDay{2001, 1, 1},
                          CalendarDay{1999, 12, 31}, CalendarDay{2024, 3, 31}}) {
    EXPECT_EQ(dayOfDate(dateOfDay(day)), day) << day.format("%F");
  }
  EXPECT_TRUE(isDistantFuture(distantFutureDate()));
  EXPECT_FALSE(isDistantFuture(dateOfDay({2999, 12, 31})));
}

TEST(ControlSettingsTest, IncompleteControlSettingsAreReplacedOrCutShort) {
  testing::ScratchStore store;
  CalendarDay today{2024, 3, 15};
  Value settings = readControlSettings(store.prefs, today);
  EXPECT_EQ(settings, defaultControlSettings(today));
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings"), settings);
  EXPECT_EQ(dayOfDate(settings["dateFrom"].toDate()), today);

  Value partial = settings;
  partial.erase("outputFilePath");
  partial.set("outputFormat", "Mine");
  store.prefs.setObject("ControlSettings", partial);
  EXPECT_EQ(readControlSettings(store.prefs, today)["outputFormat"].toString(), "QIF");

  Value complete = settings;
  complete.set("outputFormat", "Mine");
  complete.erase("inputQIFType");
  store.prefs.setObject("ControlSettings", complete);
  EXPECT_EQ(readControlSettings(store.prefs, today), complete);
  // Settings read from pairs end at the first absent value.
  EXPECT_EQ(controlSettingsFromPairs({{"whichTransactions", Value(3)},
                                      {"dateFrom", Value()},
                                      {"outputFilePath", Value("/tmp/x.qif")}}),
            (Value{{"whichTransactions", 3}}));
}

TEST(ControlSettingsTest, FileNamesTypesAndSuggestedNames) {
  EXPECT_EQ(lastPathComponent("/a/b/QIF Import.qif"), "QIF Import.qif");
  EXPECT_EQ(directoryOf("/a/b/x.qif"), "/a/b");
  EXPECT_EQ(directoryOf("x.qif"), "");
  EXPECT_EQ(extensionOf("/a/b.c/x.QIF"), "QIF");
  EXPECT_EQ(extensionOf("/a/b.c/README"), "");
  EXPECT_EQ(extensionOf("/a/archive.tar.crvc"), "crvc");
  Value comma{{"Separator", "Comma"}};
  Value tab{{"Separator", "Tab"}};
  EXPECT_EQ(requiredFileType(true, comma), "qif");
  EXPECT_EQ(requiredFileType(false, comma), "csv");
  EXPECT_EQ(requiredFileType(false, tab), "txt");
  EXPECT_EQ(requiredFileType(false, Value()), "txt");
  CalendarDay today{2024, 3, 5};
  EXPECT_EQ(suggestedOutputName(true, "csv", today), "QIF Import 03-05-2024.qif");
  EXPECT_EQ(suggestedOutputName(false, "csv", today), "Corvela.csv");
  EXPECT_TRUE(markOptionsForKind(4).first.empty());  // no options for an unknown kind
}

TEST(MessageFormatTest, FillsPlaceholdersInOrder) {
  EXPECT_EQ(formatMessage("\r\r%d transaction%@ output to file \"%@\".%@%@",
                          {"1", "", "out.qif", "", ""}),
            "\r\r1 transaction output to file \"out.qif\".");
  EXPECT_EQ(formatMessage("%@ and %@", {"a"}), "a and ");
  EXPECT_EQ(formatMessage("100%% of %@, 5% more", {"x"}), "100% of x, 5% more");
  EXPECT_EQ(formatMessage("trailing %", {}), "trailing %");
}

// The output file itself: written whole or not at all.
using testing::FailingRename;

class OutputFileTest : public ::testing::Test {
 protected:
  testing::TempDir temp;
  std::string dir = temp.root().string();
  std::string path = temp.path("out.qif");
};

TEST_F(OutputFileTest, WritesReplacesOrAppendsKeepingTheBytes) {
  ASSERT_TRUE(writeOutputFile(path, "!Type:Bank\n", false).ok());
  ASSERT_TRUE(writeOutputFile(path, "new\n", false).ok());
  EXPECT_EQ(testing::readText(path), "new\n");
  std::string latin1 = "Caf\xe9;1.00\r\n";  // not UTF-8: must survive untouched
  temp.write("out.qif", latin1);
  ASSERT_TRUE(writeOutputFile(path, "Shop;2.00\n", true).ok());
  EXPECT_EQ(testing::readText(path), latin1 + "Shop;2.00\n");
  // A file that cannot be read is not appended to.
  EXPECT_FALSE(writeOutputFile(dir + "/missing.csv", "x", true).ok());
  EXPECT_FALSE(std::filesystem::exists(dir + "/missing.csv"));
}

TEST_F(OutputFileTest, AFailedWriteLeavesTheFileAsItWas) {
  temp.write("out.qif", "precious\n");
  FailingRename ops;
  for (bool keepExisting : {false, true}) {
    Status written = writeOutputFile(path, "half", keepExisting, ops);
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.message().find(path), std::string::npos) << written.message();
    EXPECT_EQ(testing::readText(path), "precious\n");
  }
  // No temporary file is left behind either.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(OutputFileTest, WritableAndPrefixChecks) {
  EXPECT_FALSE(isWritableFile(path));
  EXPECT_FALSE(isWritableFile(""));
  EXPECT_FALSE(isWritableFile(dir));
  temp.write("out.qif", "!Account\nNChecking\n");
  EXPECT_TRUE(isWritableFile(path));
  EXPECT_TRUE(fileBeginsWith(path, "!Account"));
  EXPECT_FALSE(fileBeginsWith(path, "!Type"));
  EXPECT_FALSE(fileBeginsWith(path, "!Account\nNChecking\nTBank"));
  if (::geteuid() != 0) {
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(isWritableFile(path));
  }
}

}  // namespace
}  // namespace corvela
