#include <gtest/gtest.h>

#include "app/ControllerFixture.h"
#include "support/CaseFile.h"

namespace corvela::testing {
namespace {

// The intake scenarios that write down the form and the state are scripts
// (tests/data/app/scripts/IntakeTest.*).
using IntakeTest = ControllerTest;

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
