// The two dialogs of a run: what the confirmation dialog shows and what its buttons and fields
// do, what the new-instruction dialog offers, when it lets the person save and what it stores,
// and what one transaction leaves behind for the next.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

constexpr const char* kSplits = R"(, "splits": [{"category": "A", "memo": "", "amount": ""}])";

// The prompt names what asked for the confirmation and what the person may change; the prompt
// of each case is compared with tests/data/banking/confirm-prompts.txt.
TEST(ConfirmDialog, PromptNamesWhatIsConfirmedAndWhatCanChange) {
  struct Case {
    bool all, byCategory, confirmed, splits;
  };
  const Case cases[] = {{true, false, false, false},
                        {true, false, false, true},
                        {false, false, true, true},
                        {false, false, true, false},
                        {false, true, true, false},
                        {true, true, false, false},
                        // A category instruction with splits asks by description.
                        {true, true, false, true}};
  std::string log;
  for (const Case& c : cases) {
    BankingHarness h;
    if (c.all) h.options.add(option::confirmAllTransactions);
    if (c.byCategory) h.options.add(option::baseCategoriesOnCategories);
    std::string instruction = std::string(c.byCategory ? R"({"categoryMatch": "Food")"
                                                       : R"({"descriptionMatch": "SHOP")") +
                              R"(, "category": "C")" +
                              (c.confirmed ? R"(, "categoryConfirm": "Y")" : "") +
                              (c.splits ? kSplits : "") + "}";
    h.startWith(
        (R"({"Instructions": [)" + instruction + "]}").c_str(), {},
        c.byCategory ? "D1/2/24\nPSHOP\nT-1.00\nLFood\n^\n" : "D1/2/24\nPSHOP\nT-1.00\n^\n");
    ASSERT_EQ(h.processor.openDialog(), Dialog::confirm) << instruction;
    log += "== " + std::string(c.all ? "confirming all, " : "") + instruction + "\n" +
           h.confirm().prompt + "\n" +
           (h.confirm().categoryPrompt ? "by category" : "by description") + ", input category \"" +
           h.confirm().inputCategory + "\"\n";
  }
  expectDataFile("banking/confirm-prompts.txt", log);
}

constexpr const char* kShop = R"({"Instructions": [
  {"descriptionMatch": "SHOP", "category": "Shopping", "newMemo": "instr memo",
   "amounts": [{"amount": "-45.00", "amountDescription": "Big Shop", "amountCategory": "Big",
                "amountMemo": "amount memo"}]},
  {"descriptionMatch": "CHECK", "category": "Cheques", "number": "Y"},
  {"categoryMatch": "Food", "category": "Groceries"}],
  "Categories": ["Bills", "Shopping", "[Checking]"], "Accounts": [{"Name": "Checking", "Type": "Bank"}]})";

TEST(ConfirmDialog, NumberShownIsFixedThenExtractedThenOwn) {
  struct Case {
    const char* fixedNumber;
    const char* qif;
    ShownText number;
  };
  const Case cases[] = {
      {"500", "D1/2/24\nPCHECK 1234\nT-1.00\nN7\n^\n", {"500", true}},
      {"", "D1/2/24\nPCHECK 1234\nT-1.00\nN7\n^\n", {"1234", true}},
      {"", "D1/2/24\nPCHECK\nT-1.00\nN7\n^\n", {"7", true}},
      {"", "D1/2/24\nPCHECK\nT-1.00\n^\n", {"", false}},
  };
  for (const Case& c : cases) {
    BankingHarness h;
    h.settings.outputNumber = c.fixedNumber;
    h.startWith(kShop, {option::confirmAllTransactions}, c.qif);
    EXPECT_EQ(h.confirm().number, c.number) << c.qif;
  }
}

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

// What one transaction leaves behind must not reach the next, and a button acts on the
// transaction it was pressed for: runs of several transactions, pressed through as a person would.

// The output's records, each without its closing "^" line.
std::vector<std::string> records(const std::string& output) {
  std::vector<std::string> found;
  std::size_t start = 0;
  for (std::size_t end; (end = output.find("^\n", start)) != std::string::npos; start = end + 2)
    found.push_back(output.substr(start, end - start));
  return found;
}

// (That an extracted number stays with its own transaction is a case of BankingGoldenTest.)
TEST(LoopState, AChequeNumberIsTheDigitsOfTheDescription) {
  EXPECT_EQ(checkNumberIn("#0042"), "0042");
  EXPECT_EQ(checkNumberIn("NO DIGITS"), std::nullopt);
}

// A description typed in the confirmation dialog and left in editing, with its option on, is
// matched afresh when the next button ends the editing. That button must not then act on what
// the re-match put on screen.
struct PendingEditCase {
  const char* name;
  const char* typed;         // matches TAXI (output at once) or CAB (confirmed)
  DialogAnswer pressed;      // the button pressed with the edit pending
  std::size_t writtenAfter;  // records in the output right after the press
  Dialog openAfter;          // and the dialog then open
  std::size_t indexAfter;    // on this transaction
};

const PendingEditCase kPendingEdits[] = {
    {"OKAfterARematchThatOutputs", "TAXI", press::ok(), 1, Dialog::confirm, 1},
    {"OKAfterARematchThatAsksAgain", "CAB", press::ok(), 0, Dialog::confirm, 0},
    {"AddInstructionAfterARematchThatOutputs", "TAXI", press::addInstruction(), 1, Dialog::confirm,
     1},
};

class PendingEditTest : public ::testing::TestWithParam<PendingEditCase> {};

TEST_P(PendingEditTest, TheButtonActsOnlyOnTheTransactionItWasPressedFor) {
  const PendingEditCase& c = GetParam();
  BankingHarness h(R"({"Instructions": [
      {"descriptionMatch": "CAB", "category": "Travel:Cab", "categoryConfirm": "Y"},
      {"descriptionMatch": "SHOP", "category": "Shopping", "categoryConfirm": "Y"},
      {"descriptionMatch": "TAXI", "category": "Travel"}]})",
                   {option::updateCategoryWhenDescriptionChanged},
                   "D1/2/24\nPSHOP 1\nT-10.00\n^\nD1/3/24\nPSHOP 2\nT-20.00\n^\n");
  BankingCreditCardQIF& p = h.processor;
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  p.controlTextDidChange(DialogField::confirmedDescription, c.typed);
  h.confirmView.onEndEditing = [&p] { p.confirmDescriptionTextChanged(); };
  c.pressed.press(p);

  EXPECT_EQ(records(h.output).size(), c.writtenAfter) << h.output;
  EXPECT_EQ(p.openDialog(), c.openAfter);
  EXPECT_EQ(p.currentTransactionIndex(), c.indexAfter);
  answerDialogs(
      p, c.writtenAfter == 1 ? std::deque{press::ok()} : std::deque{press::ok(), press::ok()});
  EXPECT_EQ(h.end.count, 2);
  EXPECT_EQ(records(h.output).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(LoopState, PendingEditTest, ::testing::ValuesIn(kPendingEdits),
                         [](const auto& info) { return std::string(info.param.name); });

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
