#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "prefs/CancelConfirm.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela::testing {
namespace {

struct CancelCase {
  const char* name;
  std::vector<std::string_view> optionsOn;
  bool asks;  // whether the sheet is shown
  CancelConfirmReply reply;
  CancelConfirm::Answer answer;
  bool justStopAfter;
  bool justFinishLaterAfter;
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class CancelConfirmTest : public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelConfirmTest, AnswersAndRemembers) {
  const CancelCase& c = GetParam();
  ScratchStore store;
  Preferences options(store.prefs);
  ScriptedPlatform platform;
  for (std::string_view name : c.optionsOn) options.add(name);
  if (c.asks) platform.answerNextCancelConfirm(c.reply.button, c.reply.remember);

  CancelConfirm cancelConfirm(options, platform);
  EXPECT_EQ(cancelConfirm.cancelConfirm(), c.answer);
  EXPECT_EQ(platform.cancelConfirms, c.asks ? 1 : 0);
  EXPECT_EQ(options.isOn(option::justStop), c.justStopAfter);
  EXPECT_EQ(options.isOn(option::justFinishLater), c.justFinishLaterAfter);
}

using R = CancelRemember;
const CancelCase kCases[] = {
    {"Stop", {}, true, {0, R::askEveryTime}, CancelConfirm::stop, false, false},
    {"FinishLater", {}, true, {1, R::askEveryTime}, CancelConfirm::finishLater, false, false},
    {"FinishNow", {}, true, {2, R::askEveryTime}, CancelConfirm::finishNow, false, false},
    {"UnknownButtonGoesOn", {}, true, {7, R::askEveryTime}, CancelConfirm::finishNow, false, false},
    {"AlwaysStop", {}, true, {0, R::alwaysStop}, CancelConfirm::stop, true, false},
    {"AlwaysFinishLater",
     {},
     true,
     {1, R::alwaysFinishLater},
     CancelConfirm::finishLater,
     false,
     true},
    // The switch is remembered whichever button closed the sheet.
    {"AlwaysStopThenFinishNow",
     {},
     true,
     {2, R::alwaysStop},
     CancelConfirm::finishNow,
     true,
     false},
    {"JustStopAsksNothing", {option::justStop}, false, {}, CancelConfirm::stop, true, false},
    {"JustFinishLaterAsksNothing",
     {option::justFinishLater},
     false,
     {},
     CancelConfirm::finishLater,
     false,
     true},
    {"JustStopWinsOverJustFinishLater",
     {option::justFinishLater, option::justStop},
     false,
     {},
     CancelConfirm::stop,
     true,
     true},
};
INSTANTIATE_TEST_SUITE_P(Answers, CancelConfirmTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvela::testing
