#include <gtest/gtest.h>

#include "app/ControllerFixture.h"

namespace corvela::testing {
namespace {

// The runs that write down what they told the person are scripts
// (tests/data/app/scripts/RunTest.*).
using RunTest = ControllerTest;

TEST_F(RunTest, EachRunConfirmsAsTheOptionSaysAndWarnsAfresh) {
  turnOn(option::confirmAllTransactions);
  // A warning silenced during an earlier run...
  Value format{{"Name", "Shop"}};
  platform.answerNextInputErrorWarning(ErrorWarning::goOn, true);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
              ErrorWarning::goOn);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 1u);
  controller().actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/bank.qif");
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  EXPECT_TRUE(bank.mustConfirm);
  // ...is shown again in the next one.
  platform.answerNextInputErrorWarning(ErrorWarning::cancel);
  EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
            ErrorWarning::cancel);
}

}  // namespace
}  // namespace corvela::testing
