// The two dialogs of a run: what the confirmation dialog shows and what its buttons and fields
// do, what the new-instruction dialog offers, when it lets the person save and what it stores,
// and what one transaction leaves behind for the next.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "banking/CategoryWarning.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

constexpr const char* kAllSplits =
    "You asked to confirm all transactions.  You can change the description or category/memo in "
    "the splits for this transaction only.";
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

TEST(ConfirmDialog, FixedDateIsShownBesideTheOwnAndStepsOnlyWithoutIt) {
  BankingHarness fixed;
  fixed.settings.outputDate = "01/02/2024";
  fixed.startWith(kShop, {option::confirmAllTransactions}, "D12/31/23\nPSHOP\nT-1.00\n^\n");
  EXPECT_EQ(fixed.confirm().dateText, "12/31/2023 (will use 01/02/2024)");
  EXPECT_FALSE(fixed.confirm().dateStepperShown);
  fixed.processor.stepDate(1);
  EXPECT_EQ(fixed.processor.changedDate(), "01/02/2024");

  BankingHarness own(kShop, {option::confirmAllTransactions}, "D12/31/23\nPSHOP\nT-1.00\n^\n");
  EXPECT_TRUE(own.confirm().dateStepperShown);
  own.processor.stepDate(1);
  EXPECT_EQ(own.confirm().dateText, "12/31/2023 (will use 01/01/2024)");
  own.processor.stepDate(-1);
  EXPECT_EQ(own.confirm().dateText, "12/31/2023") << "back on its own date it stands alone";
  own.processor.stepDate(-1);
  own.processor.confirmOK();
  EXPECT_EQ(own.output.substr(0, 12), "D12/30/2023\n");

  // Dates step in the store's own pattern.
  BankingHarness dotted(
      R"({"OutputDateFormat": "%d.%m.%Y", "Instructions": []})",
      {option::dontAddCategories, option::confirmAllTransactions, option::europeanDates},
      "D28/02/24\nPSHOP\nT-1.00\n^\n");
  dotted.processor.stepDate(1);
  dotted.processor.stepDate(1);
  EXPECT_EQ(dotted.confirm().dateText, "28.02.2024 (will use 01.03.2024)");
}

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

TEST(ConfirmDialog, AnAmountInstructionFillsTheFieldsAndCannotBeAddedAgain) {
  BankingHarness h(kShop, {option::confirmAllTransactions},
                   "D1/2/24\nPSHOP\nMown memo\nT-45.00\n^\nD1/3/24\nPSHOP\nT-5.00\n^\n");
  const ConfirmForm& amount = h.confirm();
  EXPECT_EQ(amount.confirmedDescription, "Big Shop");
  EXPECT_EQ(amount.confirmedMemo, "amount memo");
  EXPECT_EQ(amount.memo, (ShownText{"own memo", true}));
  EXPECT_EQ(amount.instructionPopUpMenuItems,
            (std::vector<PopUpMenuItem>{{"Instruction", true},
                                        {"Add New Instruction For This Transaction", true},
                                        {"Add New Instruction For This Amount", false}}));
  EXPECT_FALSE(h.processor.validateMenuItem("Add New Instruction For This Amount"));
  h.processor.confirmAddInstructionForAmount();
  EXPECT_EQ(h.processor.openDialog(), Dialog::confirm) << "a disabled action does nothing";

  h.processor.confirmOK();
  const ConfirmForm& plain = h.confirm();
  EXPECT_EQ(plain.confirmedDescription, "SHOP");
  EXPECT_EQ(plain.confirmedMemo, "instr memo");
  EXPECT_FALSE(plain.memo.shown);
  EXPECT_TRUE(h.processor.validateMenuItem("Add New Instruction For This Amount"));
}

TEST(ConfirmDialog, PopUpFollowsTheKindOfInstruction) {
  BankingHarness byCategory(kShop,
                            {option::confirmAllTransactions, option::baseCategoriesOnCategories},
                            "D1/2/24\nPSHOP\nT-1.00\nLFood\n^\n");
  EXPECT_TRUE(byCategory.confirm().instructionPopUpShown);
  EXPECT_FALSE(byCategory.processor.validateMenuItem(kAddNewInstructionForThisTransaction));
  EXPECT_FALSE(byCategory.processor.validateMenuItem(kAddNewInstructionForThisAmount));

  BankingHarness none(kShop, {option::confirmAllTransactions, option::dontAddCategories},
                      "D1/2/24\nPSHOP\nT-1.00\nLFood:Fresh\n^\n");
  EXPECT_FALSE(none.confirm().instructionPopUpShown);
  EXPECT_EQ(none.confirm().confirmedCategory, "Food:Fresh");
  EXPECT_EQ(none.confirm().categoryWarning, std::string(kNewCategoryWarning));
}

TEST(ConfirmDialog, TypedCategoriesAreWarnedAboutAndUnknownTransfersRefused) {
  BankingHarness h(kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-1.00\n^\n");
  const std::pair<const char*, std::optional<std::string>> typed[] = {
      {"Food:", std::string(kCategoryEndsWithColonWarning)},
      {"Food", std::string(kNewCategoryWarning)},
      {"Bills", std::nullopt},
      {"bills", std::string(kNewCategoryWarning)},
      {"", std::nullopt},
  };
  for (const auto& [text, warning] : typed) {
    h.processor.controlTextDidChange(DialogField::confirmedCategory, text);
    EXPECT_EQ(h.confirm().categoryWarning, warning) << text;
    EXPECT_EQ(h.confirmView.updated.back().categoryWarning, warning) << text;
  }

  // A transfer to an unknown account is refused until corrected.
  h.processor.controlTextDidChange(DialogField::confirmedCategory, "[Savings]");
  h.platform.answerNextAlert(0);
  h.processor.confirmOK();
  ASSERT_EQ(h.platform.alerts.size(), 1u);
  EXPECT_EQ(h.platform.alerts[0].title, "Bad Category \"[Savings]\"");
  EXPECT_EQ(h.output, "");

  h.processor.controlTextDidChange(DialogField::confirmedCategory, "[Checking]");
  h.processor.controlTextDidChange(DialogField::confirmedDescription, "Corner Shop");
  h.processor.confirmOK();
  EXPECT_EQ(h.output, "D01/02/2024\nPCorner Shop\nMinstr memo\nT-1.00\nL[Checking]\n^\n");
  EXPECT_EQ(h.descriptions.getDescriptionsArray(), Value(Value::Array{"Corner Shop"}));
}

TEST(ConfirmDialog, AddingAndRemovingSplitsKeepsWhatWasTyped) {
  BankingHarness h(kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-100.00\n^\n");
  BankingCreditCardQIF& p = h.processor;
  EXPECT_EQ(h.confirm().addRemoveSplitsTitle, "Add Splits");
  BankingHarness delimited;
  delimited.settings.outputFormatText = "Ledger";
  delimited.startWith(kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-1.00\n^\n");
  EXPECT_FALSE(delimited.confirm().addRemoveSplitsShown) << "splits are offered for QIF only";
  p.controlTextDidChange(DialogField::confirmedDescription, "Typed");
  p.controlTextDidChange(DialogField::confirmedCategory, "Bills");

  p.addRemoveSplits();
  const ConfirmForm& split = h.confirm();
  EXPECT_TRUE(split.splitsShown);
  EXPECT_EQ(split.addRemoveSplitsTitle, "Remove Splits");
  EXPECT_EQ(split.splits.rows,
            (std::vector<SplitRow>{{"Bills", "instr memo", "-100.00"}, {"", "", ""}}));
  EXPECT_EQ(h.confirmView.updated.back().splits.editRow, 1u);
  EXPECT_EQ(split.confirmedDescription, "Typed");
  EXPECT_EQ(split.prompt, kAllSplits);

  p.tableViewSetObjectValue(SplitTable::confirm, "amount", 1, "-25.00");
  p.tableViewSetObjectValue(SplitTable::confirm, "category", 1, "Shopping");
  // The person's splits survive the transaction being matched again.
  p.swapDescriptionAndMemo();
  EXPECT_EQ(h.confirm().splits.rows,
            (std::vector<SplitRow>{{"Bills", "instr memo", "-75.00"}, {"Shopping", "", "-25.00"}}));

  p.addRemoveSplits();
  EXPECT_FALSE(h.confirm().splitsShown);
  EXPECT_EQ(h.confirm().confirmedCategory, "Shopping");
  p.confirmOK();
  EXPECT_EQ(h.output, "D01/02/2024\nPSHOP\nMinstr memo\nT-100.00\nLShopping\n^\n");
}

TEST(ConfirmDialog, CancellingTheNewInstructionKeepsTheSplitsShown) {
  BankingHarness h(kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-100.00\n^\n");
  BankingCreditCardQIF& p = h.processor;
  p.addRemoveSplits();
  p.tableViewSetObjectValue(SplitTable::confirm, "amount", 1, "-40.00");
  p.confirmAddInstruction();
  ASSERT_EQ(p.openDialog(), Dialog::newInstruction);
  p.cancel();
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  p.confirmOK();
  EXPECT_EQ(h.output,
            "D01/02/2024\nPSHOP\nMinstr memo\nT-100.00\nSShopping\nEinstr memo\n$-60.00\n"
            "S\nE\n$-40.00\n^\n");
}

// What the new-instruction dialog offers, when it lets the person save, and what it stores.

// What the store holds for the match text `match`.
Value storedFor(const BankingHarness& h, std::string_view match) {
  return h.instructions.instructionFor(match).value_or(Value());
}

constexpr const char* kEmpty = R"({"Instructions": []})";
constexpr const char* kAmazon = "D1/2/24\nPAMAZON MKTP US*2K4\nT-12.34\n^\n";

TEST(NewInstructionDialog, StartsWithMatchingOnlyShortensTheDescription) {
  BankingHarness t(kEmpty, {}, kAmazon);
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
  BankingHarness t(kEmpty, {option::matchDescriptionWithContains}, kAmazon);
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
  BankingHarness t(kEmpty, {}, kAmazon);
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
  BankingHarness t(R"({"Instructions": [], "Categories": ["Food"]})", {},
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
  EXPECT_EQ(toJSON(storedFor(t, "CAFE")), toJSON(expected.value()));
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
    BankingHarness t(kCoffee, {option::confirmAllTransactions}, "D1/2/24\nPCOFFEE 12\nT-4.00\n^\n");
    t.processor.confirmAddInstruction();
    EXPECT_TRUE(t.teach().useDescription) << "prefilled from the instruction that applied";
    t.processor.controlTextDidChange(DialogField::descriptionMatch, "COFFEE");
    t.processor.useDescription(false);
    t.processor.controlTextDidChange(DialogField::category, "Cafe");
    t.platform.answerNextAlert(answer);
    t.processor.saveNewInstruction();
    ASSERT_EQ(t.platform.alerts.size(), 1u);
    EXPECT_EQ(t.platform.alerts[0].text, kQuestion);
    const Value stored = storedFor(t, "coffee");
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
  BankingHarness t(kCoffee, {option::confirmAllTransactions, option::longestInstructionMatch},
                   "D1/2/24\nPCOFFEE BAR 12\nT-4.00\n^\n");
  t.processor.confirmAddInstruction();
  t.processor.controlTextDidChange(DialogField::descriptionMatch, "COFFEE BAR");
  t.processor.saveNewInstruction();
  EXPECT_TRUE(t.platform.alerts.empty());
  EXPECT_EQ(t.instructions.numberOfInstructions(), 2u);
}

TEST(NewInstructionDialog, ANewAmountForTheInstructionIsAddedWithoutAQuestion) {
  BankingHarness t(kCoffee, {option::confirmAllTransactions},
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
  EXPECT_EQ(toJSON(storedFor(t, "Coffee")["amounts"]),
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

// Teaching from the confirmation dialog keeps what the person did not change: the instruction's
// own splits, whether an amount is added to it or its match text is taught again.
TEST(LoopState, TeachingAgainKeepsTheInstructionsSplits) {
  constexpr const char* kGrocer = R"({"Instructions": [{"descriptionMatch": "GROCER",
      "category": "Groceries", "categoryConfirm": "Y",
      "splits": [{"category": "Groceries", "memo": "", "amount": ""},
                 {"category": "Household", "memo": "", "amount": "-2.40"}]}]})";
  for (bool forAmount : {true, false}) {
    SCOPED_TRACE(forAmount ? "for this amount" : "for this transaction");
    BankingHarness h(kGrocer, {}, "D1/2/24\nPGROCER 77\nT-82.40\n^\n");
    const Value before = h.store.prefs.objectForKey("Instructions")[0]["splits"];
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
  BankingHarness h(R"({"Instructions": [{"descriptionMatch": "SHOP", "category": "",
      "categoryConfirm": "Y", "splits": [{"category": "A", "amount": "-30.00"},
                                         {"category": "B", "amount": "-30.00"}]}]})",
                   {}, "D1/2/24\nPSHOP\nT-100.00\n^\n");
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
    BankingHarness h(kAmazon, {option::updateCategoryWhenDescriptionChanged},
                     "D1/2/24\nPAMZN MKTP\nMORDER 5\nT-10.00\n^\n");
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
