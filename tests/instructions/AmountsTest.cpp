#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instructions/Amounts.h"
#include "instructions/CVDescriptionMatchFormatter.h"
#include "instructions/CVDollarAmountFormatter.h"

namespace corvela {
namespace {

Value amountRule(std::string_view amount, std::string_view category) {
  return Value{{"amount", Value(amount)},
               {"amountDescription", Value("")},
               {"amountCategory", Value(category)}};
}

Value instructionWith(std::vector<Value> amounts) {
  Value instruction{{"descriptionMatch", "SAFEWAY"}, {"category", "Groceries"}};
  if (!amounts.empty())
    instruction.set("amounts", Value(Value::Array(amounts.begin(), amounts.end())));
  return instruction;
}

std::vector<std::string> amountsOf(const Value& instruction) {
  std::vector<std::string> amounts;
  for (const Value& rule : instruction["amounts"].toArray())
    amounts.push_back(str(rule, "amount") + "=" + str(rule, "amountCategory"));
  return amounts;
}

TEST(AmountsTest, LookupIsByExactText) {
  Value instruction =
      instructionWith({amountRule("-45.00", "Fuel"), amountRule("-120.00", "Household")});
  struct {
    std::string_view amount;
    std::optional<std::string> category;
  } const cases[] = {{"-45.00", "Fuel"}, {"-120.00", "Household"}, {"-45", {}}, {"45.00", {}}};
  for (const auto& c : cases) {
    std::optional<Value> found = Amounts::amountMatching(c.amount, instruction);
    EXPECT_EQ(found ? std::optional(str(*found, "amountCategory")) : std::nullopt, c.category)
        << c.amount;
  }
  EXPECT_FALSE(Amounts::amountMatching("-45.00", instructionWith({})).has_value());
}

TEST(AmountsTest, SavingReplacesInPlaceOrAppendsAndDeletingLastRemovesTheKey) {
  Value instruction = instructionWith({});
  Amounts::setAmount(amountRule("-45.00", "Fuel"), instruction);
  Amounts::setAmount(amountRule("-120.00", "Household"), instruction);
  Amounts::setAmount(amountRule("-45.00", "Car"), instruction);
  Amounts::setAmount(amountRule("10.00", "Refund"), instruction);
  EXPECT_EQ(amountsOf(instruction),
            (std::vector<std::string>{"-45.00=Car", "-120.00=Household", "10.00=Refund"}));
  EXPECT_EQ(str(instruction, "category"), "Groceries");

  // Deleting is by exact text too; deleting the last amount removes the key.
  Amounts::deleteAmount("-45", instruction);
  Amounts::deleteAmount("-45.00", instruction);
  Amounts::deleteAmount("10.00", instruction);
  EXPECT_EQ(amountsOf(instruction), (std::vector<std::string>{"-120.00=Household"}));
  Amounts::deleteAmount("-120.00", instruction);
  EXPECT_FALSE(has(instruction, "amounts"));
  Amounts::deleteAmount("-120.00", instruction);
  EXPECT_FALSE(has(instruction, "amounts"));
}

TEST(AmountsTest, ComboBoxListsTheShownInstructionsAmounts) {
  Amounts amounts;
  EXPECT_EQ(amounts.numberOfItemsInComboBox(), 0);
  amounts.initializeComboBoxForInstruction(instructionWith(
      {amountRule("-45.00", ""), amountRule("-4.00", ""), amountRule("-120.00", "")}));

  EXPECT_EQ(amounts.numberOfItemsInComboBox(), 3);
  EXPECT_EQ(amounts.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(amounts.comboBoxObjectValueForItemAtIndex(2), "-120.00");
  EXPECT_EQ(amounts.comboBoxIndexOfItemWithStringValue("-4.00"), 1);
  EXPECT_EQ(amounts.comboBoxIndexOfItemWithStringValue("-4"), kComboBoxNotFound);
  EXPECT_EQ(amounts.comboBoxCompletedString("-4"), "-4.00");
  EXPECT_EQ(amounts.comboBoxCompletedString("-1"), "-120.00");
  EXPECT_EQ(amounts.comboBoxCompletedString("5"), std::nullopt);

  EXPECT_EQ(amounts.isPartialStringValid({"", {0, 0}, "-1", {2, 0}, '1'}),
            EditDecision::replace("-120.00", {2, 5}));
  EXPECT_EQ(amounts.isPartialStringValid({"-120.00", {2, 5}, "-19", {3, 0}, '9'}),
            EditDecision::refuse());

  amounts.initializeComboBoxForInstruction(instructionWith({}));
  EXPECT_EQ(amounts.numberOfItemsInComboBox(), 0);
}

TEST(CVDollarAmountFormatterTest, AcceptsOnlySignedDecimalsWithTwoPlaces) {
  for (std::string_view text : {"", "-", "+", ".", "-.", "-12.3", "+7", "12.34", "0.", "007"})
    EXPECT_TRUE(CVDollarAmountFormatter::isPartialStringValid(text)) << '"' << text << '"';
  for (std::string_view text :
       {"12.345", "1,000", "$5", "1-2", "12 ", "--1", "+-1", "1.2.3", " 1", "1e5", "£5"})
    EXPECT_FALSE(CVDollarAmountFormatter::isPartialStringValid(text)) << '"' << text << '"';
}

TEST(CVDescriptionMatchFormatterTest, RestrictionAllowsOnlyShorteningTheDescription) {
  CVDescriptionMatchFormatter formatter;
  EXPECT_TRUE(formatter.isPartialStringValid(""));
  EXPECT_TRUE(formatter.isPartialStringValid("anything at all"));

  formatter.shortenOnly("AMAZON MKTP US");
  for (std::string_view text : {"AMAZON", "amazon mk", "A", "AMAZON MKTP US"})
    EXPECT_TRUE(formatter.isPartialStringValid(text)) << '"' << text << '"';
  for (std::string_view text : {"", "AMAZON X", "AMAZON MKTP US 1", "MAZON"})
    EXPECT_FALSE(formatter.isPartialStringValid(text)) << '"' << text << '"';

  formatter.shortenOnly(std::nullopt);
  EXPECT_TRUE(formatter.isPartialStringValid(""));
}

}  // namespace
}  // namespace corvela
