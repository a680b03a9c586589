#include <gtest/gtest.h>

#include "app/BankingRun.h"
#include "app/ControllerFixture.h"
#include "banking/BankingCreditCardQIF.h"
#include "instructions/Instructions.h"
#include "lists/Descriptions.h"
#include "prefs/CancelConfirm.h"
#include "support/ScriptedBankViews.h"

namespace corvela::testing {
namespace {

// The controller lets a register's lines go once they are read; a second run of the same input
// must read them again, the header taken off as the first time.
class ControllerRerunTest : public ControllerTest {
 protected:
  ControllerRerunTest()
      : instructions(store.prefs, options),
        descriptions(store.prefs),
        cancelConfirm(options, platform),
        processor(store.prefs, options, instructions, categories, descriptions, qifReader,
                  outputFormats, cancelConfirm, errorWarning, platform, confirmView,
                  newInstructionView),
        port(processor) {
    bankPort = &port;
    store.prefs.setObject(
        "Instructions",
        Value::Array{Value{{"descriptionMatch", "COFFEE"}, {"category", "Dining"}},
                     Value{{"descriptionMatch", "GROCER"}, {"category", "Food"}},
                     Value{{"descriptionMatch", "SALARY"}, {"category", "Income"}}});
    turnOn(option::confirmAllTransactions);
  }
  // Runs the loaded input into `name`, confirming every transaction; answers what was written.
  std::string runConfirmingAll(const std::string& name) {
    const std::string out = dir + "/" + name;
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
    while (processor.openDialog() == BankingCreditCardQIF::Dialog::confirm) processor.confirmOK();
    EXPECT_FALSE(processor.running());
    return readFile(out);
  }

  Instructions instructions;
  Descriptions descriptions;
  CancelConfirm cancelConfirm;
  ScriptedConfirmView confirmView;
  ScriptedNewInstructionView newInstructionView;
  BankingCreditCardQIF processor;
  BankingRun port;
};

TEST_F(ControllerRerunTest, ARunAfterAStoppedOneWritesWhatAFreshRunWrites) {
  const std::string input = std::string(CORVELA_TEST_DATA) + "/app/bank.qif";
  controller().actuallyProcessFile(input);
  const std::string fresh = runConfirmingAll("fresh.qif");
  ASSERT_NE(fresh.find("^\n"), std::string::npos);
  controller().doneWithFile();

  controller().actuallyProcessFile(input);
  platform.answerNextSavePanel(dir + "/stopped.qif");
  controller().processTheTransactions();
  ASSERT_EQ(processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);
  platform.answerNextCancelConfirm(CancelConfirm::stop);
  processor.cancel();
  ASSERT_FALSE(processor.running());
  EXPECT_EQ(runConfirmingAll("again.qif"), fresh);
}

}  // namespace
}  // namespace corvela::testing
