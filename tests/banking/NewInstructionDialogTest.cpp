// What the new-instruction dialog offers, when it lets the person save, and what it stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "banking/CategoryWarning.h"

namespace corvela::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

// A run stopped in the new-instruction dialog for the first transaction of `qif`.
struct Teaching : BankingHarness {
  Teaching(const char* store, std::initializer_list<std::string_view> optionNames,
           const char* qif) {
    EXPECT_TRUE(loadStore(store).ok());
    setOptions(optionNames);
    readQIF(qif);
    start();
  }
  Value stored(std::string_view match) const {
    return instructions.instructionFor(match).value_or(Value());
  }
};

constexpr const char* kEmpty = R"({"Instructions": []})";
constexpr const char* kAmazon = "D1/2/24\nPAMAZON MKTP US*2K4\nT-12.34\n^\n";

TEST(NewInstructionDialog, StartsWithMatchingOnlyShortensTheDescription) {
  Teaching t(kEmpty, {}, kAmazon);
  ASSERT_EQ(t.processor.openDialog(), Dialog::newInstruction);
  const NewInstructionForm& form = t.teach();
  EXPECT_EQ(form.prompt, std::string(BankingCreditCardQIF::kNoInstructionPrompt));
  EXPECT_EQ(form.matchLabel, "When a description starts with:");
  EXPECT_EQ(form.matchRestriction, "AMAZON MKTP US*2K4");
  EXPECT_EQ(t.newInstructionView.shown[0].focus, (FieldFocus{DialogField::descriptionMatch}));
  for (const char* accepted : {"AMAZON MKTP", "amazon", "A"}) {
    t.processor.controlTextDidChange(DialogField::descriptionMatch, accepted);
    EXPECT_EQ(form.descriptionMatchText, accepted);
  }
  for (const char* refused : {"", "AMAZON X", "AMAZON MKTP US*2K4 1"}) {
    EXPECT_FALSE(t.processor.descriptionMatchAccepts(refused)) << refused;
    t.processor.controlTextDidChange(DialogField::descriptionMatch, refused);
    EXPECT_EQ(form.descriptionMatchText, "A") << refused << " is refused";
  }
  EXPECT_TRUE(form.okEnabled);

  // A category the store refuses stores nothing and keeps the dialog open.
  t.processor.controlTextDidChange(DialogField::category, "[Nowhere]");
  t.platform.answerNextAlert(0);
  t.processor.saveNewInstruction();
  EXPECT_EQ(t.platform.alerts.size(), 1u);
  EXPECT_EQ(t.instructions.numberOfInstructions(), 0u);
  EXPECT_EQ(t.processor.openDialog(), Dialog::newInstruction);
}

TEST(NewInstructionDialog, ContainsMatchingMustStayInsideTheDescription) {
  Teaching t(kEmpty, {option::matchDescriptionWithContains}, kAmazon);
  const NewInstructionForm& form = t.teach();
  EXPECT_EQ(form.matchLabel, "When a description contains:");
  EXPECT_FALSE(form.matchRestriction);
  for (const char* match : {"mktp", "EBAY"}) {
    t.processor.controlTextDidChange(DialogField::descriptionMatch, match);
    EXPECT_EQ(form.okEnabled, !form.notContainedWarningShown);
    EXPECT_EQ(form.okEnabled, std::string(match) == "mktp");
  }
  t.processor.controlTextDidChange(DialogField::descriptionMatch, "MKTP");
  t.processor.controlTextDidChange(DialogField::category, "Shopping");
  t.processor.saveNewInstruction();
  EXPECT_EQ(t.output, "D01/02/2024\nPAMAZON MKTP US*2K4\nM\nT-12.34\nLShopping\n^\n");
}

TEST(NewInstructionDialog, TheAmountSwitchNeedsADescriptionAndSetsUpItsFields) {
  Teaching t(kEmpty, {}, kAmazon);
  BankingCreditCardQIF& p = t.processor;
  const NewInstructionForm& form = t.teach();
  EXPECT_FALSE(form.amountFieldsEnabled);
  p.amountSwitch(true);
  EXPECT_FALSE(form.okEnabled);
  p.controlTextDidChange(DialogField::amountDescription, "Amazon");
  p.amountUseMemo(true);
  EXPECT_TRUE(form.amountMemoShown);
  EXPECT_EQ(t.newInstructionView.updated.back().focus, (FieldFocus{DialogField::amountMemo}));
  EXPECT_TRUE(form.okEnabled);
  p.amountSwitch(false);
  EXPECT_FALSE(form.amountMemoShown);
  EXPECT_EQ(t.newInstructionView.updated.back().focus, (FieldFocus{DialogField::category}));
  p.amountSwitch(true);
  EXPECT_EQ(form.amountDescription, "") << "switching on starts the amount afresh";
  EXPECT_FALSE(form.amountUseMemo);
}

TEST(NewInstructionDialog, SavedRecordHoldsExactlyWhatWasSwitchedOn) {
  Teaching t(R"({"Instructions": [], "Categories": ["Food"]})", {},
             "D1/2/24\nPCAFE 42 MAIN ST\nMtable 4\nT-12.34\n^\n");
  BankingCreditCardQIF& p = t.processor;
  p.controlTextDidChange(DialogField::descriptionMatch, "CAFE");
  p.useDescription(true);
  EXPECT_EQ(t.teach().newDescription, "CAFE 42 MAIN ST");
  p.controlTextDidChange(DialogField::newDescription, "Cafe");
  p.useMemo(true);
  p.controlTextDidChange(DialogField::newMemo, "lunch");
  p.extractNumberSwitch(true);
  EXPECT_EQ(t.teach().number, (ShownText{"42", true})) << "the extracted number as a preview";
  p.controlTextDidChange(DialogField::category, "Food:");
  EXPECT_EQ(t.teach().categoryWarning, std::string(kCategoryEndsWithColonWarning));
  p.controlTextDidChange(DialogField::category, "Food");
  EXPECT_EQ(t.teach().categoryWarning, std::nullopt);
  p.instructionAddRemoveSplits();
  EXPECT_EQ(t.teach().instructionSplits.rows,
            (std::vector<SplitRow>{{"Food", "lunch", ""}, {"", "", ""}}));
  EXPECT_EQ(t.newInstructionView.updated.back().instructionSplits.editRow, 1u);
  p.tableViewSetObjectValue(SplitTable::instruction, "category", 1, "Tips");
  p.tableViewSetObjectValue(SplitTable::instruction, "amount", 1, "-2.00");
  p.saveNewInstruction();

  Result<Value> expected = fromJSON(R"({"descriptionMatch": "CAFE", "newDescription": "Cafe",
      "newMemo": "lunch", "category": "Food", "categoryConfirm": "Y", "number": "Y",
      "splits": [{"category": "Food", "memo": "lunch", "amount": ""},
                 {"category": "Tips", "memo": "", "amount": "-2.00"}]})");
  ASSERT_TRUE(expected.ok());
  EXPECT_EQ(toJSON(t.stored("CAFE")), toJSON(expected.value()));
  EXPECT_EQ(t.processor.openDialog(), Dialog::confirm) << "categoryConfirm came with the splits";
  EXPECT_EQ(t.confirm().number, (ShownText{"42", true}));
}

constexpr const char* kCoffee = R"({"Instructions": [
  {"descriptionMatch": "Coffee", "newDescription": "Coffee Shop", "category": "Dining",
   "amounts": [{"amount": "-9.99", "amountDescription": "Beans", "amountCategory": "Food"}]}]})";

TEST(NewInstructionDialog, ReplacingAStoredInstructionIsAskedAbout) {
  const char* kQuestion =
      "Instructions for \"COFFEE\" already exist.  If you save these changes, you will replace "
      "the existing instructions for \"COFFEE\".    Do you want to save the changes?.";
  for (int answer : {1, 0}) {
    Teaching t(kCoffee, {option::confirmAllTransactions}, "D1/2/24\nPCOFFEE 12\nT-4.00\n^\n");
    t.processor.confirmAddInstruction();
    EXPECT_TRUE(t.teach().useDescription) << "prefilled from the instruction that applied";
    t.processor.controlTextDidChange(DialogField::descriptionMatch, "COFFEE");
    t.processor.useDescription(false);
    t.processor.controlTextDidChange(DialogField::category, "Cafe");
    t.platform.answerNextAlert(answer);
    t.processor.saveNewInstruction();
    ASSERT_EQ(t.platform.alerts.size(), 1u);
    EXPECT_EQ(t.platform.alerts[0].text, kQuestion);
    const Value stored = t.stored("coffee");
    if (answer == 1) {
      EXPECT_EQ(t.processor.openDialog(), Dialog::newInstruction) << "No keeps the dialog open";
      EXPECT_EQ(str(stored, "category"), "Dining");
    } else {
      EXPECT_EQ(t.processor.openDialog(), Dialog::confirm);
      EXPECT_EQ(str(stored, "descriptionMatch"), "COFFEE");
      EXPECT_EQ(str(stored, "category"), "Cafe");
      EXPECT_FALSE(has(stored, "newDescription")) << "its switch was turned off";
      EXPECT_EQ(stored["amounts"].size(), 1u) << "amount instructions stay with the record";
    }
  }
}

TEST(NewInstructionDialog, ALongerMatchBesideAStoredOneReplacesNothingAndAsksNothing) {
  Teaching t(kCoffee, {option::confirmAllTransactions, option::longestInstructionMatch},
             "D1/2/24\nPCOFFEE BAR 12\nT-4.00\n^\n");
  t.processor.confirmAddInstruction();
  t.processor.controlTextDidChange(DialogField::descriptionMatch, "COFFEE BAR");
  t.processor.saveNewInstruction();
  EXPECT_TRUE(t.platform.alerts.empty());
  EXPECT_EQ(t.instructions.numberOfInstructions(), 2u);
}

TEST(NewInstructionDialog, ANewAmountForTheInstructionIsAddedWithoutAQuestion) {
  Teaching t(kCoffee, {option::confirmAllTransactions},
             "D1/2/24\nPCOFFEE 12\nT-4.00\n^\nD1/3/24\nPCOFFEE 13\nT-4.00\n^\n");
  BankingCreditCardQIF& p = t.processor;
  p.confirmAddInstructionForAmount();
  const NewInstructionForm& form = t.teach();
  EXPECT_EQ(form.selectedTab, InstructionTab::amount);
  EXPECT_EQ(form.descriptionMatchText, "Coffee");
  EXPECT_FALSE(form.okEnabled);
  p.amountSwitch(false);
  EXPECT_TRUE(form.amountSwitch) << "the switch is fixed";
  p.controlTextDidChange(DialogField::amountDescription, "Espresso");
  p.controlTextDidChange(DialogField::amountCategory, "Dining:Coffee");
  p.amountConfirmSwitch(true);
  p.saveNewInstruction();
  EXPECT_TRUE(t.platform.alerts.empty());
  EXPECT_EQ(toJSON(t.stored("Coffee")["amounts"]),
            toJSON(fromJSON(R"([{"amount": "-9.99", "amountDescription": "Beans",
                                 "amountCategory": "Food"},
                                {"amount": "-4.00", "amountDescription": "Espresso",
                                 "amountCategory": "Dining:Coffee", "amountConfirm": "Y"}])")
                       .value()));
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  EXPECT_EQ(t.confirm().confirmedDescription, "Espresso");
}

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

}  // namespace
}  // namespace corvela::testing
