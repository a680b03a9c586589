// Split amounts that add up: exact decimal reading and writing, balancing in the confirmation
// and amount tables, the tables' delete buttons, and the amount fields' number formats.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "banking/DecimalAmount.h"
#include "support/CaseFile.h"

namespace corvela::testing {
namespace {

TEST(DecimalAmount, ReadsAndWritesExactly) {
  expectCaseFile(
      "banking/decimal-amounts.txt", [](const std::string& text, const std::string& words) {
        int precision = std::stoi(words.substr(10));
        std::optional<std::int64_t> units = readDecimalAmount(text, precision);
        return units ? std::to_string(*units) + ", written " + writeDecimalAmount(*units, precision)
                     : "no amount";
      });
  // Units the case file does not write: a padded fraction, and the smallest there is.
  EXPECT_EQ(writeDecimalAmount(5, 2), "0.05");
  EXPECT_EQ(writeDecimalAmount(INT64_MIN, 2), "-92233720368547758.08");
}

struct BalanceCase {
  const char* name;
  int precision;       // bccAmountsPrecision
  const char* amount;  // the transaction's, as a QIF T line
  const char* splits;  // the instruction's splits, JSON
  std::size_t row;     // the amount cell typed
  const char* typed;
  const char* expected;  // the split amounts afterwards, separated by spaces
  bool european = false;
};

const BalanceCase kBalancing[] = {
    {"OneSplitCreatesASecond", 2, "-100.00", R"([{"category": "A"}])", 0, "-60.00",
     "-60.00 -40.00"},
    {"TheFirstOfSeveralAbsorbs", 2, "-100.00",
     R"([{"category": "A"}, {"category": "B", "amount": "-30.00"},
         {"category": "C", "amount": "-20.00"}])",
     0, "-60.00", "-50.00 -30.00 -20.00"},
    {"SplitsThatAddUpAreLeftAlone", 2, "-99999.99",
     R"([{"category": "A", "amount": "-60000"}, {"category": "B"}])", 1, "-39999.99",
     "-60000 -39999.99"},
    {"TensOfThousandsKeepTheirCents", 2, "-93779.05", R"([{"category": "A"}])", 0, "-84772.56",
     "-84772.56 -9006.49"},
    {"PrecisionOne", 1, "-100.00", R"([{"category": "A"}])", 0, "-60.00", "-60.00 -40.0"},
    {"PrecisionSeven", 7, "-100.00", R"([{"category": "A"}])", 0, "-60.00", "-60.00 -40.0000000"},
    {"EuropeanAmounts", 2, "-1,234.56", R"([{"category": "A"}])", 0, "-1000,00", "-1000,00 -234,56",
     true},
    {"AnUnreadableAmountChangesNothing", 2, "-100.00", R"([{"category": "A"}])", 0, "sixty",
     "sixty"},
};

class BalancingTest : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(BalancingTest, SplitsAddUpToTheTransaction) {
  const BalanceCase& c = GetParam();
  BankingHarness h;
  if (c.european) h.options.add(option::outputEuropeanAmounts);
  ASSERT_TRUE(h.loadStore(std::string(R"({"bccAmountsPrecision": )") + std::to_string(c.precision) +
                          R"(, "Instructions": [{"descriptionMatch": "SHOP", "category": "C",
                              "categoryConfirm": "Y", "splits": )" +
                          c.splits + "}]}")
                  .ok());
  h.readQIF(std::string("D1/2/24\nPSHOP\nT") + c.amount + "\n^\n");
  h.start();
  ASSERT_EQ(h.processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);
  h.processor.tableViewSetObjectValue(SplitTable::confirm, "amount", c.row, c.typed);
  std::string amounts;
  for (const SplitRow& row : h.confirm().splits.rows)
    amounts += (amounts.empty() ? "" : " ") + row.amount;
  EXPECT_EQ(amounts, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Splits, BalancingTest, ::testing::ValuesIn(kBalancing),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Splits, DeletingRebalancesAndNeverEmptiesTheTable) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(R"({"Instructions": [{"descriptionMatch": "SHOP", "category": "C",
      "categoryConfirm": "Y", "splits": [{"category": "A"}, {"category": "B", "amount": "-30.00"},
                                         {"category": "C", "amount": "-20.00"}]}]})")
                  .ok());
  h.readQIF("D1/2/24\nPSHOP\nT-100.00\n^\n");
  h.start();
  BankingCreditCardQIF& p = h.processor;
  p.tableViewSelectionDidChange(SplitTable::confirm, {0, 1, 2});
  EXPECT_FALSE(h.confirm().splits.deleteButtonEnabled);
  p.deleteSelectedSplit();
  EXPECT_EQ(p.numberOfRowsInTableView(SplitTable::confirm), 3u);
  p.tableViewSelectionDidChange(SplitTable::confirm, {2});
  EXPECT_TRUE(h.confirm().splits.deleteButtonEnabled);
  p.deleteSelectedSplit();
  EXPECT_EQ(h.confirm().splits.rows,
            (std::vector<SplitRow>{{"A", "", "-70.00"}, {"B", "", "-30.00"}}));
  EXPECT_FALSE(h.confirm().splits.deleteButtonEnabled);
  EXPECT_EQ(p.tableViewObjectValue(SplitTable::confirm, "category", 1), "B");
  EXPECT_EQ(p.tableViewObjectValue(SplitTable::confirm, "category", 2), std::nullopt);
  p.confirmOK();
  EXPECT_EQ(h.output, "D01/02/2024\nPSHOP\nM\nT-100.00\nSA\nE\n$-70.00\nSB\nE\n$-30.00\n^\n");
}

TEST(Splits, TheAmountTabBalancesAndTheInstructionTabDoesNot) {
  BankingHarness h;
  h.readQIF("D1/2/24\nPSHOP\nT-100.00\n^\n");
  h.start();
  BankingCreditCardQIF& p = h.processor;
  p.instructionAddRemoveSplits();
  p.tableViewSetObjectValue(SplitTable::instruction, "amount", 0, "-60.00");
  EXPECT_EQ(p.numberOfRowsInTableView(SplitTable::instruction), 1u);

  p.tabViewDidSelectTabViewItem(InstructionTab::amount);
  EXPECT_EQ(h.teach().addRemoveSplitsTitle, "Add Splits");
  p.amountSwitch(true);
  p.instructionAddRemoveSplits();
  EXPECT_TRUE(h.teach().amountConfirm);
  p.tableViewSetObjectValue(SplitTable::amountInstruction, "amount", 0, "-60.00");
  EXPECT_EQ(h.teach().amountSplits.rows,
            (std::vector<SplitRow>{{"", "", "-60.00"}, {"", "", "-40.00"}}));
  p.tabViewDidSelectTabViewItem(InstructionTab::instruction);
  EXPECT_EQ(h.teach().addRemoveSplitsTitle, "Remove Splits");
  p.instructionAddRemoveSplits();
  EXPECT_FALSE(h.teach().instructionSplitsShown);
  EXPECT_EQ(p.numberOfRowsInTableView(SplitTable::instruction), 0u);
  EXPECT_EQ(p.numberOfRowsInTableView(SplitTable::amountInstruction), 2u);
}

TEST(Splits, AmountFieldsTakeTheFormatOfTheirPrecision) {
  const std::pair<int, const char*> cases[] = {
      {1, ""},
      {2, "#,###.00;0.00;-#,##0.00"},
      {4, "#,###.0000;0.0000;-#,##0.0000"},
      {6, "#,###.000000;0.000000;-#,##0.000000"},
      {7, ""},
  };
  for (const auto& [precision, format] : cases) {
    BankingHarness h;
    h.store.prefs.setInt("bccAmountsPrecision", precision);
    h.options.add(option::confirmAllTransactions);
    h.options.add(option::outputEuropeanAmounts);
    h.readQIF("D1/2/24\nPSHOP\nT-1.00\n^\n");
    h.start();
    EXPECT_EQ(h.teach().amountNumberFormat, format) << precision;
    EXPECT_EQ(h.teach().amountDecimalSeparator, ",");
  }
}

}  // namespace
}  // namespace corvela::testing
