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

// The answer, whether the sheet was shown, and the two switches after it. A switch chosen on
// the sheet is remembered whichever button closed it.
TEST(CancelConfirmTest, AnswersAndRemembers) {
  using A = CancelConfirm::Answer;
  using R = CancelRemember;
  struct Case {
    std::vector<std::string_view> optionsOn;
    int button;  // -1: the sheet is not shown
    CancelRemember remember;
    A answer;
    bool justStopAfter, justFinishLaterAfter;
  };
  const Case cases[] = {
      {{}, 0, R::askEveryTime, A::stop, false, false},
      {{}, 1, R::askEveryTime, A::finishLater, false, false},
      {{}, 2, R::askEveryTime, A::finishNow, false, false},
      {{}, 7, R::askEveryTime, A::finishNow, false, false},  // an unknown button goes on
      {{}, 0, R::alwaysStop, A::stop, true, false},
      {{}, 1, R::alwaysFinishLater, A::finishLater, false, true},
      {{}, 2, R::alwaysStop, A::finishNow, true, false},
      {{option::justStop}, -1, {}, A::stop, true, false},
      {{option::justFinishLater}, -1, {}, A::finishLater, false, true},
      {{option::justFinishLater, option::justStop}, -1, {}, A::stop, true, true}};
  for (const Case& c : cases) {
    ScratchStore store;
    Preferences options(store.prefs);
    ScriptedPlatform platform;
    for (std::string_view name : c.optionsOn) options.add(name);
    if (c.button >= 0) platform.answerNextCancelConfirm(c.button, c.remember);
    EXPECT_EQ(CancelConfirm(options, platform).cancelConfirm(), c.answer) << c.button;
    EXPECT_EQ(platform.cancelConfirms, c.button >= 0 ? 1 : 0);
    EXPECT_EQ(options.isOn(option::justStop), c.justStopAfter);
    EXPECT_EQ(options.isOn(option::justFinishLater), c.justFinishLaterAfter);
  }
}

}  // namespace
}  // namespace corvela::testing
