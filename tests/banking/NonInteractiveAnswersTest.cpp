// The command line's answers to the dialogs of a run.
#include <gtest/gtest.h>

#include "banking/BankingHarness.h"
#include "banking/NonInteractiveAnswers.h"

namespace corvela::testing {
namespace {

TEST(NonInteractiveAnswers, ConfirmsAsProposedAndOutputsTheUnmatchedAsRead) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(R"({"Instructions": [
      {"descriptionMatch": "SHOP", "newDescription": "Shop", "category": "Shopping",
       "categoryConfirm": "Y"},
      {"descriptionMatch": "MOVE", "category": "[Savings]", "categoryConfirm": "Y"}]})")
                  .ok());
  h.readQIF(
      "D1/2/24\nPSHOP 1\nT-1.00\n^\n"
      "D1/3/24\nPUNKNOWN\nMnote\nT-2.00\nN5\nLMisc\n^\n"
      "D1/4/24\nPMOVE\nT-3.00\n^\n"
      "D1/5/24\nPSHOP 2\nT-4.00\n^\n");
  h.start();
  // OK refuses the transfer to an account the list does not know; the transaction is then
  // output as read rather than holding the run up.
  h.platform.answerNextAlert(0);
  NonInteractiveTally tally = answerWithoutDialogs(h.processor);
  EXPECT_EQ(tally.confirmedAsProposed, 2);
  EXPECT_EQ(tally.outputAsRead, 2);
  EXPECT_EQ(h.platform.alerts.size(), 1u);
  EXPECT_EQ(h.end.calls, 1);
  EXPECT_EQ(h.end.count, 4);
  EXPECT_EQ(h.output,
            "D01/02/2024\nPShop\nM\nT-1.00\nLShopping\n^\n"
            "D01/03/2024\nPUNKNOWN\nMnote\nT-2.00\nN5\nLMisc\n^\n"
            "D01/04/2024\nPMOVE\nM\nT-3.00\n^\n"
            "D01/05/2024\nPShop\nM\nT-4.00\nLShopping\n^\n");
  EXPECT_EQ(h.instructions.numberOfInstructions(), 2u) << "nothing is taught";
}

}  // namespace
}  // namespace corvela::testing
