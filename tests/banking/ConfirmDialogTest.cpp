// What the confirmation dialog shows and what its buttons and fields do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "banking/CategoryWarning.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

// Starts a run over `qif` with `store` (a JSON dictionary) and `options`, stopping in the first
// dialog.
void startWith(BankingHarness& h, const char* store,
               std::initializer_list<std::string_view> options, const char* qif) {
  ASSERT_TRUE(h.loadStore(store).ok());
  h.setOptions(options);
  h.readQIF(qif);
  h.start();
}

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
    startWith(h, (R"({"Instructions": [)" + instruction + "]}").c_str(), {},
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
  startWith(fixed, kShop, {option::confirmAllTransactions}, "D12/31/23\nPSHOP\nT-1.00\n^\n");
  EXPECT_EQ(fixed.confirm().dateText, "12/31/2023 (will use 01/02/2024)");
  EXPECT_FALSE(fixed.confirm().dateStepperShown);
  fixed.processor.stepDate(1);
  EXPECT_EQ(fixed.processor.changedDate(), "01/02/2024");

  BankingHarness own;
  startWith(own, kShop, {option::confirmAllTransactions}, "D12/31/23\nPSHOP\nT-1.00\n^\n");
  EXPECT_TRUE(own.confirm().dateStepperShown);
  own.processor.stepDate(1);
  EXPECT_EQ(own.confirm().dateText, "12/31/2023 (will use 01/01/2024)");
  own.processor.stepDate(-1);
  EXPECT_EQ(own.confirm().dateText, "12/31/2023") << "back on its own date it stands alone";
  own.processor.stepDate(-1);
  own.processor.confirmOK();
  EXPECT_EQ(own.output.substr(0, 12), "D12/30/2023\n");

  // Dates step in the store's own pattern.
  BankingHarness dotted;
  startWith(dotted, R"({"OutputDateFormat": "%d.%m.%Y", "Instructions": []})",
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
    startWith(h, kShop, {option::confirmAllTransactions}, c.qif);
    EXPECT_EQ(h.confirm().number, c.number) << c.qif;
  }
}

TEST(ConfirmDialog, AnAmountInstructionFillsTheFieldsAndCannotBeAddedAgain) {
  BankingHarness h;
  startWith(h, kShop, {option::confirmAllTransactions},
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
  BankingHarness byCategory;
  startWith(byCategory, kShop, {option::confirmAllTransactions, option::baseCategoriesOnCategories},
            "D1/2/24\nPSHOP\nT-1.00\nLFood\n^\n");
  EXPECT_TRUE(byCategory.confirm().instructionPopUpShown);
  EXPECT_FALSE(byCategory.processor.validateMenuItem(kAddNewInstructionForThisTransaction));
  EXPECT_FALSE(byCategory.processor.validateMenuItem(kAddNewInstructionForThisAmount));

  BankingHarness none;
  startWith(none, kShop, {option::confirmAllTransactions, option::dontAddCategories},
            "D1/2/24\nPSHOP\nT-1.00\nLFood:Fresh\n^\n");
  EXPECT_FALSE(none.confirm().instructionPopUpShown);
  EXPECT_EQ(none.confirm().confirmedCategory, "Food:Fresh");
  EXPECT_EQ(none.confirm().categoryWarning, std::string(kNewCategoryWarning));
}

TEST(ConfirmDialog, TypedCategoriesAreWarnedAboutAndUnknownTransfersRefused) {
  BankingHarness h;
  startWith(h, kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-1.00\n^\n");
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
  BankingHarness h;
  startWith(h, kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-100.00\n^\n");
  BankingCreditCardQIF& p = h.processor;
  EXPECT_EQ(h.confirm().addRemoveSplitsTitle, "Add Splits");
  BankingHarness delimited;
  delimited.settings.outputFormatText = "Ledger";
  startWith(delimited, kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-1.00\n^\n");
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
  BankingHarness h;
  startWith(h, kShop, {option::confirmAllTransactions}, "D1/2/24\nPSHOP\nT-100.00\n^\n");
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

}  // namespace
}  // namespace corvela::testing
