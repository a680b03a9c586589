// What the loop makes of one transaction: tidying, instruction choice, cheque numbers, splits
// and the output written without a dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"

namespace corvela::testing {
namespace {

struct StepCase {
  const char* name;
  std::vector<std::string_view> options;
  const char* instructions;  // JSON array of instruction records
  const char* input;         // QIF register
  const char* expected;      // QIF output
  int qifTypeTag = 0;
  int ofxTypeIndex = 0;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class TransactionStepsTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(TransactionStepsTest, OutputIsAsExpected) {
  const StepCase& c = GetParam();
  BankingHarness h;
  for (std::string_view name : c.options) h.options.add(name);
  ASSERT_TRUE(h.loadStore(std::string(R"({"Instructions": )") + c.instructions + "}").ok());
  h.settings.qifTypeTag = c.qifTypeTag;
  h.settings.ofxTypeIndex = c.ofxTypeIndex;
  h.readQIF(c.input);
  h.run();
  EXPECT_EQ(h.output, c.expected);
  EXPECT_EQ(h.end.calls, 1);
  EXPECT_TRUE(h.newInstructionView.shown.empty());
  EXPECT_TRUE(h.confirmView.shown.empty());
}

// Tidying, with the input's categories passed through so that no instruction is needed.
const StepCase kTidying[] = {
    {"SwapByQIFType",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nPSHOP\nMNOTE\nT-1.00\n^\n",
     "D01/02/2024\nPNOTE\nMSHOP\nT-1.00\n^\n",
     1},
    {"SwapByOFXType",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nPSHOP\nMNOTE\nT-1.00\n^\n",
     "D01/02/2024\nPNOTE\nMSHOP\nT-1.00\n^\n",
     0,
     1},
    {"SwapWithoutMemoLeavesBoth",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nPSHOP\nT-1.00\n^\n",
     "D01/02/2024\nPSHOP\nM\nT-1.00\n^\n",
     1},
    {"SignReversalAloneDoesNotSwap",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nPSHOP\nMNOTE\nT-1.00\n^\n",
     "D01/02/2024\nPSHOP\nMNOTE\nT1.00\n^\n",
     4},
    {"SwapAndSignReversal",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nPSHOP\nMNOTE\nT-1.00\n^\n",
     "D01/02/2024\nPNOTE\nMSHOP\nT1.00\n^\n",
     5},
    {"MemoAsDescription",
     {option::dontAddCategories, option::treatMemoAsDescription},
     "[]",
     "D1/2/24\nMNOTE\nT-1.00\n^\n",
     "D01/02/2024\nPNOTE\nMNOTE\nT-1.00\n^\n"},
    {"BlankDescriptionNamed",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nMNOTE\nT-1.00\n^\n",
     "D01/02/2024\nPNO DESCRIPTION\nMNOTE\nT-1.00\n^\n"},
    {"BlankDescriptionLeftBlank",
     {option::dontAddCategories, option::leaveBlankDescriptionsBlank},
     "[]",
     "D1/2/24\nT-1.00\n^\n",
     "D01/02/2024\nP\nM\nT-1.00\n^\n"},
    {"InitialCaps",
     {option::dontAddCategories, option::initialCaps},
     "[]",
     "D1/2/24\nPACME HARDWARE #123\nMSTORE PICKUP\nT-1.00\n^\n",
     "D01/02/2024\nPAcme Hardware #123\nMStore Pickup\nT-1.00\n^\n"},
    {"AmountNormalised",
     {option::dontAddCategories},
     "[]",
     "D1/2/24\nPSHOP\nT12.50-\n^\n",
     "D01/02/2024\nPSHOP\nM\nT-12.50\n^\n"},
};
INSTANTIATE_TEST_SUITE_P(Tidying, TransactionStepsTest, ::testing::ValuesIn(kTidying),
                         [](const auto& info) { return std::string(info.param.name); });

constexpr const char* kStore = R"([
  {"descriptionMatch": "", "category": "Blank"},
  {"descriptionMatch": "AMAZON", "category": "Online"},
  {"descriptionMatch": "AMAZON MKTP", "category": "Marketplace"},
  {"categoryMatch": "Food", "newDescription": "Grocer", "category": "Groceries"},
  {"descriptionMatch": "MKTP", "category": "Market"}
])";

// Which instruction applies.
const StepCase kMatching[] = {
    {"FirstMatchWins",
     {},
     kStore,
     "D1/2/24\nPAMAZON MKTP US\nT-1.00\n^\n",
     "D01/02/2024\nPAMAZON MKTP US\nM\nT-1.00\nLOnline\n^\n"},
    {"LongestMatchWins",
     {option::longestInstructionMatch},
     kStore,
     "D1/2/24\nPamazon mktp us\nT-1.00\n^\n",
     "D01/02/2024\nPamazon mktp us\nM\nT-1.00\nLMarketplace\n^\n"},
    {"Contains",
     {option::matchDescriptionWithContains},
     kStore,
     "D1/2/24\nPPAYPAL *MKTP\nT-1.00\n^\n",
     "D01/02/2024\nPPAYPAL *MKTP\nM\nT-1.00\nLMarket\n^\n"},
    {"DescriptionThenMemo",
     {option::matchDescriptionThenMemo},
     kStore,
     "D1/2/24\nPXYZ\nMAMAZON ORDER\nT-1.00\n^\n",
     "D01/02/2024\nPXYZ\nMAMAZON ORDER\nT-1.00\nLOnline\n^\n"},
    {"DescriptionBeforeMemo",
     {option::matchDescriptionThenMemo},
     kStore,
     "D1/2/24\nPAMAZON\nMMKTP 1\nT-1.00\n^\n",
     "D01/02/2024\nPAMAZON\nMMKTP 1\nT-1.00\nLOnline\n^\n"},
    {"MemoThenDescription",
     {option::matchMemoThenDescription},
     kStore,
     "D1/2/24\nPAMAZON\nMMKTP 1\nT-1.00\n^\n",
     "D01/02/2024\nPAMAZON\nMMKTP 1\nT-1.00\nLMarket\n^\n"},
    {"MemoThenDescriptionFallsBack",
     {option::matchMemoThenDescription},
     kStore,
     "D1/2/24\nPAMAZON\nMNOTHING\nT-1.00\n^\n",
     "D01/02/2024\nPAMAZON\nMNOTHING\nT-1.00\nLOnline\n^\n"},
    {"BlankDescriptionMatchesTheEmptyMatch",
     {option::leaveBlankDescriptionsBlank},
     kStore,
     "D1/2/24\nT-1.00\n^\n",
     "D01/02/2024\nP\nM\nT-1.00\nLBlank\n^\n"},
    {"ByCategory",
     {option::baseCategoriesOnCategories},
     kStore,
     "D1/2/24\nPAMAZON\nT-1.00\nLFood:Fresh\n^\n",
     "D01/02/2024\nPGrocer\nM\nT-1.00\nLGroceries\n^\n"},
    {"ByDescriptionWhenNoCategory",
     {option::baseCategoriesOnCategories},
     kStore,
     "D1/2/24\nPAMAZON\nT-1.00\n^\n",
     "D01/02/2024\nPAMAZON\nM\nT-1.00\nLOnline\n^\n"},
    {"DontAddCategoriesKeepsTheInput",
     {option::dontAddCategories},
     kStore,
     "D1/2/24\nPAMAZON\nT-1.00\nLBooks\n^\n",
     "D01/02/2024\nPAMAZON\nM\nT-1.00\nLBooks\n^\n"},
    {"CategoryIfPresentKeepsIt",
     {option::useCategoriesIfPresent},
     kStore,
     "D1/2/24\nPAMAZON\nT-1.00\nLBooks\n^\n",
     "D01/02/2024\nPAMAZON\nM\nT-1.00\nLBooks\n^\n"},
    {"CategoryIfPresentKeepsSplits",
     {option::useCategoriesIfPresent},
     kStore,
     "D1/2/24\nPAMAZON\nT-3.00\nSBooks\n$-1.00\nSToys\n$-2.00\n^\n",
     "D01/02/2024\nPAMAZON\nM\nT-3.00\nSBooks\nE\n$-1.00\nSToys\nE\n$-2.00\n^\n"},
    {"CategoryIfPresentMatchesWithout",
     {option::useCategoriesIfPresent},
     kStore,
     "D1/2/24\nPAMAZON\nT-1.00\n^\n",
     "D01/02/2024\nPAMAZON\nM\nT-1.00\nLOnline\n^\n"},
};
INSTANTIATE_TEST_SUITE_P(Matching, TransactionStepsTest, ::testing::ValuesIn(kMatching),
                         [](const auto& info) { return std::string(info.param.name); });

// What an instruction and its amount instructions write.
const StepCase kApplying[] = {
    {"NewDescriptionAndMemo",
     {},
     R"([{"descriptionMatch": "SHOP", "newDescription": "Shop", "newMemo": "", "category": "C"}])",
     "D1/2/24\nPSHOP 1\nMNOTE\nT-1.00\nN7\nC*\n^\n",
     "D01/02/2024\nPShop\nM\nT-1.00\nN7\nLC\nC*\n^\n"},
    {"AmountInstruction",
     {},
     R"([{"descriptionMatch": "SHOP", "newDescription": "Shop", "newMemo": "Instr", "category": "C",
          "amounts": [{"amount": "-45.00", "amountDescription": "Big Shop",
                       "amountCategory": "Big", "amountMemo": "Amount memo"}]}])",
     "D1/2/24\nPSHOP\nMNOTE\nT-45.00\n^\nD1/3/24\nPSHOP\nMNOTE\nT-45\n^\n",
     "D01/02/2024\nPBig Shop\nMAmount memo\nT-45.00\nLBig\n^\n"
     "D01/03/2024\nPShop\nMInstr\nT-45\nLC\n^\n"},
    {"AmountInstructionKeepsTheMemo",
     {},
     R"([{"descriptionMatch": "SHOP", "newMemo": "Instr", "category": "C",
          "amounts": [{"amount": "-45.00", "amountDescription": "", "amountCategory": ""}]}])",
     "D1/2/24\nPSHOP\nMNOTE\nT-45.00\n^\n",
     "D01/02/2024\nP\nMNOTE\nT-45.00\nL\n^\n"},
    {"CheckNumberFromTheDescription",
     {},
     R"([{"descriptionMatch": "CHECK", "category": "C", "number": "Y"}])",
     "D1/2/24\nPCHECK 1234 PAID 05\nT-1.00\nN9\n^\nD1/3/24\nPCHECK\nT-1.00\nN9\n^\n",
     "D01/02/2024\nPCHECK 1234 PAID 05\nM\nT-1.00\nN1234\nLC\n^\n"
     "D01/03/2024\nPCHECK\nM\nT-1.00\nN9\nLC\n^\n"},
    {"NoCheckNumberWithoutTheFlag",
     {},
     R"([{"descriptionMatch": "CHECK", "category": "C"}])",
     "D1/2/24\nPCHECK 1234\nT-1.00\n^\n",
     "D01/02/2024\nPCHECK 1234\nM\nT-1.00\nLC\n^\n"},
    {"InstructionSplitsFirstTakesTheAmount",
     {},
     R"([{"descriptionMatch": "SHOP", "category": "C",
          "splits": [{"category": "A", "memo": "m", "amount": ""},
                     {"category": "B", "memo": "", "amount": "0.00"}]}])",
     "D1/2/24\nPSHOP\nT-12.50\n^\n",
     "D01/02/2024\nPSHOP\nM\nT-12.50\nSA\nEm\n$-12.50\nSB\nE\n$0.00\n^\n"},
    {"ReversedSignReachesTheSplitOnce",
     {},
     R"([{"descriptionMatch": "SHOP", "category": "C",
          "splits": [{"category": "A", "memo": "", "amount": ""}]}])",
     "D1/2/24\nPSHOP\nT-12.50\n^\n",
     "D01/02/2024\nPSHOP\nM\nT12.50\nSA\nE\n$12.50\n^\n",
     4},
    {"EuropeanRemainderReachesTheSplitIntact",
     {option::outputEuropeanAmounts},
     R"([{"descriptionMatch": "SHOP", "category": "C",
          "splits": [{"category": "A", "memo": "", "amount": ""},
                     {"category": "B", "memo": "", "amount": "-1.50"}]}])",
     "D1/2/24\nPSHOP\nT-1,234.56\n^\n",
     "D01/02/2024\nPSHOP\nM\nT-1234,56\nSA\nE\n$-1233,06\nSB\nE\n$-1,50\n^\n"},
    {"AmountInstructionSplitsWin",
     {},
     R"([{"descriptionMatch": "SHOP", "category": "C",
          "splits": [{"category": "I", "memo": "", "amount": ""}],
          "amounts": [{"amount": "-5.00", "amountDescription": "S", "amountCategory": "R",
                       "splits": [{"category": "R", "memo": "", "amount": ""}]}]}])",
     "D1/2/24\nPSHOP\nT-5.00\n^\n",
     "D01/02/2024\nPS\nM\nT-5.00\nSR\nE\n$-5.00\n^\n"},
    {"InputSplitsGiveWayToTheInstruction",
     {},
     R"([{"descriptionMatch": "SHOP", "category": "C"}])",
     "D1/2/24\nPSHOP\nT-3.00\nSBooks\n$-3.00\n^\n",
     "D01/02/2024\nPSHOP\nM\nT-3.00\nLC\n^\n"},
};
INSTANTIATE_TEST_SUITE_P(Applying, TransactionStepsTest, ::testing::ValuesIn(kApplying),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TransactionSteps, ControllerSettingsOverrideTheTransaction) {
  struct Case {
    RunSettings settings;
    const char* expected;
  };
  auto settings = [](std::string date, std::string number, bool cleared, bool uncleared) {
    RunSettings s;
    s.outputDate = std::move(date);
    s.outputNumber = std::move(number);
    s.markAsCleared = cleared;
    s.markAsUncleared = uncleared;
    return s;
  };
  const Case cases[] = {
      {settings("", "", false, false), "D01/02/2024\nPCHECK 12\nM\nT-1.00\nN12\nLC\nCX\n^\n"},
      {settings("12/31/2023", "", false, false),
       "D12/31/2023\nPCHECK 12\nM\nT-1.00\nN12\nLC\nCX\n^\n"},
      {settings("", "500", false, false), "D01/02/2024\nPCHECK 12\nM\nT-1.00\nN500\nLC\nCX\n^\n"},
      {settings("", "", true, false), "D01/02/2024\nPCHECK 12\nM\nT-1.00\nN12\nLC\nC*\n^\n"},
      {settings("", "", false, true), "D01/02/2024\nPCHECK 12\nM\nT-1.00\nN12\nLC\nC\n^\n"},
      {settings("", "", true, true), "D01/02/2024\nPCHECK 12\nM\nT-1.00\nN12\nLC\nC*\n^\n"},
  };
  for (const Case& c : cases) {
    BankingHarness h;
    ASSERT_TRUE(
        h.loadStore(
             R"({"Instructions": [{"descriptionMatch": "CHECK", "category": "C", "number": "Y"}]})")
            .ok());
    h.settings = c.settings;
    h.readQIF("D1/2/24\nPCHECK 12\nT-1.00\nN3\nCX\n^\n");
    h.run();
    EXPECT_EQ(h.output, c.expected);
  }
}

TEST(TransactionSteps, CheckNumberIsTheFirstRunOfDigits) {
  EXPECT_EQ(checkNumberIn("CHECK 1234 PAID 05"), "1234");
  EXPECT_EQ(checkNumberIn("#0042"), "0042");
  EXPECT_EQ(checkNumberIn("99"), "99");
  EXPECT_EQ(checkNumberIn("NO DIGITS"), std::nullopt);
  EXPECT_EQ(checkNumberIn(""), std::nullopt);
}

}  // namespace
}  // namespace corvela::testing
