#include <gtest/gtest.h>

#include "app/ControllerFixture.h"
#include "support/CaseFile.h"

namespace corvela::testing {
namespace {

// The intake scenarios that write down the form and the state are scripts
// (tests/data/app/scripts/IntakeTest.*).
using IntakeTest = ControllerTest;

constexpr const char* kRegister = "!Type:Bank\nD1/2/24\nT1\n^\n";

TEST_F(IntakeTest, OpenPanelStartsInTheLastFolderAndOffersTheKnownTypes) {
  store.prefs.setObject("LastRootDirectory", dir);
  platform.answerNextOpenPanel(std::nullopt);
  controller().processFile();
  ASSERT_EQ(platform.openPanels.size(), 1u);
  EXPECT_EQ(platform.openPanels[0].directory, dir);
  EXPECT_EQ(platform.openPanels[0].fileTypes,
            (std::vector<std::string>{"txt", "qif", "QIF", "csv", "jsp", "asp", "qfx", "QFX", "ofx",
                                      "OFX", "crvc", "cvef", ""}));
  EXPECT_FALSE(session.ProcessingGlobal);

  std::string sub = dir + "/sub";
  std::filesystem::create_directories(sub);
  std::ofstream(sub + "/x.qif") << kRegister;
  platform.answerNextOpenPanel(OpenPanelChoice{sub + "/x.qif", false});
  controller().processFile();
  EXPECT_TRUE(session.ProcessingGlobal);
  EXPECT_EQ(store.prefs.objectForKey("LastRootDirectory").toString(), sub);
}

// Activation takes a look at the clipboard, and only a text with a date in it is taken (a second
// later); without a clipboard there is nothing to take.
TEST_F(IntakeTest, ClipboardWatchingWaitsForADatedNewText) {
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(platform.timers.empty());
  expectCaseFile("app/clipboard-dates.txt", [&](const std::string& text, const std::string&) {
    platform.clipboard = text;
    platform.timers.clear();
    controller().applicationDidBecomeActive();
    EXPECT_TRUE(session.JustActivated);
    return std::to_string(platform.timers.size()) + " timers";
  });
  EXPECT_FALSE(session.ProcessingGlobal);
}

}  // namespace
}  // namespace corvela::testing
