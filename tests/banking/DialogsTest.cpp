// The two dialogs of a run, where a scenario script cannot reach: the new-instruction dialog
// opened for an investment account's banking line, the cheque number rule, and a run started as
// the controller starts it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"

namespace corvela::testing {
namespace {

// The scenarios of each dialog, step by step, are the scripts of tests/data/dialogs/ (see
// DialogScriptsTest.cpp); what stays here is what a script cannot say.

// Hands the dialog back: records which of its methods the bank processor called.
struct InvestmentRecorder : InvestmentBankingDelegate {
  bool canGoBack() const override { return true; }
  void processTransaction(bool backToConfirm) override {
    calls.push_back(backToConfirm ? "confirm" : "process");
  }
  void skipTransaction() override { calls.push_back("skip"); }
  void skipRemaining() override { calls.push_back("skipRemaining"); }
  void back() override { calls.push_back("back"); }
  std::vector<std::string> calls;
};

TEST(NewInstructionDialog, AnInvestmentBankingLineHandsEveryButtonBack) {
  using Press = void (BankingCreditCardQIF::*)();
  const std::pair<Press, const char*> buttons[] = {
      {&BankingCreditCardQIF::saveNewInstruction, "process"},
      {&BankingCreditCardQIF::cancel, "confirm"},
      {&BankingCreditCardQIF::skipTransaction, "skip"},
      {&BankingCreditCardQIF::skipRemaining, "skipRemaining"},
      {&BankingCreditCardQIF::back, "back"},
  };
  for (const auto& [button, call] : buttons) {
    BankingHarness h;
    InvestmentRecorder investment;
    h.processor.investmentBankingAddNewInstructionForAmount(
        "-15.00", Value::dictionary(), std::string(BankingCreditCardQIF::kNoInstructionPrompt),
        false, "01/05/2024", "WIRE FEE", investment);
    EXPECT_EQ(h.teach().memo, (ShownText{"WIRE FEE", true}));
    h.processor.controlTextDidChange(DialogField::category, "Fees");
    (h.processor.*button)();
    EXPECT_EQ(investment.calls, std::vector<std::string>{call});
    EXPECT_FALSE(h.processor.doingInvestmentBankingTransaction());
    EXPECT_EQ(h.processor.qif().size(), 0u);
    EXPECT_EQ(h.instructions.numberOfInstructions(), std::string(call) == "process" ? 1u : 0u);
  }
}

// (That an extracted number stays with its own transaction is a case of BankingGoldenTest.)
TEST(LoopState, AChequeNumberIsTheDigitsOfTheDescription) {
  EXPECT_EQ(checkNumberIn("#0042"), "0042");
  EXPECT_EQ(checkNumberIn("NO DIGITS"), std::nullopt);
}

TEST(LoopState, EveryRunTakesTheStoresPrecision) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(R"({"bccAmountsPrecision": 3, "Instructions": [
      {"descriptionMatch": "SHOP", "category": "C", "categoryConfirm": "Y",
       "splits": [{"category": "A"}]}]})")
                  .ok());
  h.readQIF("D1/2/24\nPSHOP\nT-120.00\n^\n");
  // Started as the controller starts it, without asking for the number formats first.
  h.processor.processInstructionsAndAppendToString(h.output, h.settings, h.end.callback());
  h.processor.tableViewSetObjectValue(SplitTable::confirm, "amount", 0, "-0.125");
  EXPECT_EQ(h.confirm().splits.rows.at(1).amount, "-119.875");
}

}  // namespace
}  // namespace corvela::testing
