// What one transaction leaves behind must not reach the next, and a button acts on the
// transaction it was pressed for: runs of several transactions, pressed through as a person would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"

namespace corvela::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

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
  BankingHarness h;
  h.setOptions({option::updateCategoryWhenDescriptionChanged});
  ASSERT_TRUE(h.loadStore(R"({"Instructions": [
      {"descriptionMatch": "CAB", "category": "Travel:Cab", "categoryConfirm": "Y"},
      {"descriptionMatch": "SHOP", "category": "Shopping", "categoryConfirm": "Y"},
      {"descriptionMatch": "TAXI", "category": "Travel"}]})")
                  .ok());
  h.readQIF("D1/2/24\nPSHOP 1\nT-10.00\n^\nD1/3/24\nPSHOP 2\nT-20.00\n^\n");
  h.start();
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

// Teaching from the confirmation dialog keeps what the person did not change: the instruction's
// own splits, whether an amount is added to it or its match text is taught again.
TEST(LoopState, TeachingAgainKeepsTheInstructionsSplits) {
  constexpr const char* kGrocer = R"({"Instructions": [{"descriptionMatch": "GROCER",
      "category": "Groceries", "categoryConfirm": "Y",
      "splits": [{"category": "Groceries", "memo": "", "amount": ""},
                 {"category": "Household", "memo": "", "amount": "-2.40"}]}]})";
  for (bool forAmount : {true, false}) {
    SCOPED_TRACE(forAmount ? "for this amount" : "for this transaction");
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(kGrocer).ok());
    const Value before = h.store.prefs.objectForKey("Instructions")[0]["splits"];
    h.readQIF("D1/2/24\nPGROCER 77\nT-82.40\n^\n");
    h.start();
    BankingCreditCardQIF& p = h.processor;
    ASSERT_EQ(p.openDialog(), Dialog::confirm);
    if (forAmount) {
      p.confirmAddInstructionForAmount();
      p.controlTextDidChange(DialogField::amountDescription, "Big shop");
      p.controlTextDidChange(DialogField::amountCategory, "Groceries");
    } else {
      p.confirmAddInstruction();
      p.controlTextDidChange(DialogField::descriptionMatch, "GROCER");
      p.controlTextDidChange(DialogField::category, "Food");
      h.platform.answerNextAlert(0);  // "Yes": replace the stored instruction
    }
    ASSERT_EQ(p.openDialog(), Dialog::newInstruction);
    EXPECT_EQ(h.teach().instructionSplits.rows.size(), 2u) << "the splits are shown";
    p.saveNewInstruction();
    const Value stored = h.store.prefs.objectForKey("Instructions");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(toJSON(stored[0]["splits"]), toJSON(before));
    EXPECT_EQ(h.platform.alerts.size(), forAmount ? 0u : 1u);
    EXPECT_TRUE(h.platform.allAnswersUsed());
  }
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

TEST(LoopState, TheConfirmationShowsWhatTheSplitsLeaveAndWritesOnlySplitsThatAddUp) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(R"({"Instructions": [{"descriptionMatch": "SHOP", "category": "",
      "categoryConfirm": "Y", "splits": [{"category": "A", "amount": "-30.00"},
                                         {"category": "B", "amount": "-30.00"}]}]})")
                  .ok());
  h.readQIF("D1/2/24\nPSHOP\nT-100.00\n^\n");
  h.start();
  BankingCreditCardQIF& p = h.processor;
  EXPECT_EQ(h.confirm().splitRemainder, (ShownText{"Remainder: -40.00", true}));
  EXPECT_EQ(h.confirm().splitsDoNotAddUp, std::string(kSplitsDoNotAddUp));
  p.confirmOK();
  EXPECT_EQ(h.output, "") << "splits that do not add up are not written";
  EXPECT_EQ(p.openDialog(), Dialog::confirm);

  p.tableViewSetObjectValue(SplitTable::confirm, "amount", 1, "-70.00");
  EXPECT_EQ(h.confirm().splitRemainder, (ShownText{"Remainder: 0.00", true}));
  EXPECT_EQ(h.confirm().splitsDoNotAddUp, std::nullopt);
  p.confirmOK();
  EXPECT_EQ(h.output, "D01/02/2024\nPSHOP\nM\nT-100.00\nSA\nE\n$-30.00\nSB\nE\n$-70.00\n^\n");
}

// Processing a transaction again from the confirmation dialog matches its own description (the
// swapped one after a swap), not the new description the dialog proposes.
TEST(LoopState, ARematchUsesTheTransactionsOwnDescription) {
  constexpr const char* kAmazon = R"({"Instructions": [{"descriptionMatch": "AMZN",
      "newDescription": "Amazon", "category": "Shopping", "categoryConfirm": "Y"}]})";
  for (bool swap : {false, true}) {
    SCOPED_TRACE(swap ? "swap" : "add splits");
    BankingHarness h;
    h.setOptions({option::updateCategoryWhenDescriptionChanged});
    ASSERT_TRUE(h.loadStore(kAmazon).ok());
    h.readQIF("D1/2/24\nPAMZN MKTP\nMORDER 5\nT-10.00\n^\n");
    h.start();
    BankingCreditCardQIF& p = h.processor;
    ASSERT_EQ(h.confirm().confirmedDescription, "Amazon");
    if (swap) {
      p.swapDescriptionAndMemo();
      ASSERT_EQ(p.openDialog(), Dialog::newInstruction);
      EXPECT_EQ(h.teach().descriptionText, "ORDER 5");
    } else {
      p.addRemoveSplits();
      ASSERT_EQ(p.openDialog(), Dialog::confirm);
      EXPECT_EQ(str(p.instruction(), "descriptionMatch"), "AMZN");
      EXPECT_TRUE(h.confirm().splitsShown);
    }
  }
}

}  // namespace
}  // namespace corvela::testing
