#include <gtest/gtest.h>

#include "app/ControllerFixture.h"
#include "support/FailingRename.h"

namespace corvela::testing {
namespace {

const std::string kBankRegister = std::string(CORVELA_TEST_DATA) + "/app/bank.qif";

// The runs that write down what they told the person are scripts
// (tests/data/app/scripts/RunTest.*).
class RunTest : public ControllerTest {
 protected:
  // Loads `input` and runs it into `out`, chosen in the save panel (none: cancelled).
  void run(const std::string& input, std::optional<std::string> out) {
    controller().actuallyProcessFile(input);
    ASSERT_TRUE(session.ProcessingGlobal);
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
  }
};

// Chosen in the save panel, the statement being read or the store is refused before anything
// runs, and left as it was.
TEST_F(RunTest, TheInputOrTheStoreIsNotChosenAsTheOutput) {
  const std::string input = file("in.qif", readFile(kBankRegister));
  for (const std::string& target : {input, store.prefs.prefsPath()}) {
    const std::string before = readFile(target);
    run(input, target);
    EXPECT_EQ(platform.lastStatus().title, "Output File Not Written") << target;
    EXPECT_TRUE(platform.lastStatus().text.ends_with(
        "\r\rNo transactions were processed; nothing was changed."));
    EXPECT_EQ(readFile(target), before);
    controller().doneWithFile();
  }
}

TEST_F(RunTest, AFailedWriteLeavesTheOutputFileAsItWas) {
  FailingRename failing;
  fileOps = &failing;
  std::string out = file("out.qif", "precious\n");
  run(kBankRegister, out);
  EXPECT_EQ(readFile(out), "precious\n");
  EXPECT_EQ(platform.lastStatus().title, "Output File Not Written");
  EXPECT_NE(platform.lastStatus().text.find(out), std::string::npos);
  EXPECT_NE(platform.lastStatus().text.find("No space left on device"), std::string::npos);
}

TEST_F(RunTest, EachRunConfirmsAsTheOptionSaysAndWarnsAfresh) {
  turnOn(option::confirmAllTransactions);
  // A warning silenced during an earlier run...
  Value format{{"Name", "Shop"}};
  platform.answerNextInputErrorWarning(ErrorWarning::goOn, true);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
              ErrorWarning::goOn);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 1u);
  run(kBankRegister, dir + "/out.qif");
  EXPECT_TRUE(bank.mustConfirm);
  // ...is shown again in the next one.
  platform.answerNextInputErrorWarning(ErrorWarning::cancel);
  EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
            ErrorWarning::cancel);
}

}  // namespace
}  // namespace corvela::testing
