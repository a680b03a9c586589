#include <gtest/gtest.h>

#include <vector>

#include "formats/ErrorWarning.h"
#include "formats/InputFormatKeys.h"
#include "support/ScriptedPlatform.h"

namespace corvela::testing {
namespace {

class ErrorWarningTest : public ::testing::Test {
 protected:
  ErrorWarningTest()
      : warning(platform, [this](const Value& format) { stored.push_back(format); }) {}

  ScriptedPlatform platform;
  std::vector<Value> stored;
  ErrorWarning warning;
  Value format = Value{{"Name", "My Bank"}, {"Match", "MY BANK"}};
};

// Without a format the texts given are asked about with no switch, and a switch that was not
// offered changes nothing; with one, the switch is offered.
TEST_F(ErrorWarningTest, AsksWithTheTextsGivenAndOffersTheSwitchOnlyWithAFormat) {
  platform.answerNextInputErrorWarning(ErrorWarning::goOn, true);
  platform.answerNextInputErrorWarning(ErrorWarning::cancel);
  platform.answerNextInputErrorWarning(ErrorWarning::goOn);
  EXPECT_EQ(warning.format(std::nullopt, "Bad date.", "12/99/2024 SHOP", "Skip Transaction"),
            ErrorWarning::goOn);
  ASSERT_EQ(platform.inputErrorWarnings.size(), 1u);
  EXPECT_EQ(platform.inputErrorWarnings[0].message, "Bad date.");
  EXPECT_EQ(platform.inputErrorWarnings[0].text, "12/99/2024 SHOP");
  EXPECT_EQ(platform.inputErrorWarnings[0].buttonTitle, "Skip Transaction");
  EXPECT_FALSE(platform.inputErrorWarnings[0].showDontWarnSwitch);
  EXPECT_EQ(warning.format(std::nullopt, "m", "t", "Skip Transaction"), ErrorWarning::cancel);
  EXPECT_EQ(warning.format(format, "m", "t", "Skip Transaction"), ErrorWarning::goOn);
  EXPECT_TRUE(platform.inputErrorWarnings[2].showDontWarnSwitch);
  EXPECT_TRUE(stored.empty());
}

TEST_F(ErrorWarningTest, DontWarnStoresTheFormatAndSilencesTheRun) {
  platform.answerNextInputErrorWarning(ErrorWarning::goOn, true);
  EXPECT_EQ(warning.format(format, "m", "t", "Skip Transaction"), ErrorWarning::goOn);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(str(stored[0], inputFormatKey::Name), "My Bank");
  EXPECT_EQ(stored[0][inputFormatKey::dontWarn], Value(true));

  // Silenced, even for a warning without a format, until the next run.
  EXPECT_EQ(warning.format(std::nullopt, "m", "t", "Skip Transaction"), ErrorWarning::goOn);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 1u);
  warning.reset();
  platform.answerNextInputErrorWarning(ErrorWarning::cancel);
  EXPECT_EQ(warning.format(std::nullopt, "m", "t", "Skip Transaction"), ErrorWarning::cancel);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 2u);

  // A format that says not to warn asks nothing.
  warning.reset();
  EXPECT_EQ(warning.format(stored[0], "m", "t", "Skip Transaction"), ErrorWarning::goOn);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 2u);
}

}  // namespace
}  // namespace corvela::testing
