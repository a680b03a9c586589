#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "instructions/Instructions.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

Value describe(std::string_view match, std::string_view category = "") {
  return Value{{"descriptionMatch", Value(match)}, {"category", Value(category)}};
}
Value byCategory(std::string_view match, std::string_view category = "") {
  return Value{{"categoryMatch", Value(match)}, {"category", Value(category)}};
}

std::vector<std::string> matchStrings(const Value& list) {
  std::vector<std::string> strings;
  for (const Value& record : list.toArray()) strings.push_back(matchString(record));
  return strings;
}

class InstructionsTest : public ::testing::Test {
 protected:
  void storeInOrder(std::vector<Value> records) {
    instructions.setInstructionsArray(Value(Value::Array(records.begin(), records.end())));
  }
  std::vector<std::string> stored() const {
    return matchStrings(prefs.objectForKey(prefKey::Instructions));
  }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  Preferences preferences{prefs};
  Instructions instructions{prefs, preferences};
};

// --- matching

struct MatchCase {
  const char* name;
  std::vector<std::string_view> options;
  std::vector<Value> records;  // stored in this order
  std::string_view text;
  std::string_view key;
  std::optional<std::string> expected;  // the match string of the record found
};
void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.name; }

class MatchingTest : public InstructionsTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(MatchingTest, FindsTheInstructionThatApplies) {
  const MatchCase& c = GetParam();
  for (std::string_view name : c.options) preferences.add(name);
  storeInOrder(c.records);

  std::optional<Value> found = instructions.instructionMatching(c.text, c.key);
  ASSERT_EQ(found.has_value(), c.expected.has_value());
  if (found) {
    EXPECT_EQ(matchString(*found), *c.expected);
  }
}

constexpr std::string_view kDesc = instructionKey::descriptionMatch;
constexpr std::string_view kCat = instructionKey::categoryMatch;
constexpr std::string_view kLongest = option::longestInstructionMatch;
constexpr std::string_view kContains = option::matchDescriptionWithContains;

const MatchCase kMatchCases[] = {
    {"GeneralRuleWinsByDefault",
     {},
     {describe("AMAZON"), describe("AMAZON MKTP")},
     "AMAZON MKTP US",
     kDesc,
     "AMAZON"},
    {"LongestMatchWinsWhenAsked",
     {kLongest},
     {describe("AMAZON"), describe("AMAZON MKTP")},
     "AMAZON MKTP US",
     kDesc,
     "AMAZON MKTP"},
    {"EqualLengthKeepsTheEarlier",
     {kLongest, kContains},
     {describe("COFFEE"), describe("SHOP 1")},
     "SHOP 1 COFFEE",
     kDesc,
     "COFFEE"},
    {"CaseIsIgnoredAtTheStart", {}, {describe("Amazon")}, "AMAZON.COM", kDesc, "Amazon"},
    {"CaseIsIgnoredInside", {kContains}, {describe("Amazon")}, "AMAZON.COM", kDesc, "Amazon"},
    {"CaseIsIgnoredBeyondAscii", {}, {describe("café")}, "CAFÉ DU MONDE", kDesc, "café"},
    {"ContainsFindsTheMiddle", {kContains}, {describe("MKTP")}, "AMAZON MKTP US", kDesc, "MKTP"},
    {"StartsWithIgnoresTheMiddle", {}, {describe("MKTP")}, "AMAZON MKTP US", kDesc, {}},
    {"CategoriesMatchOnlyAtTheStart", {kContains}, {byCategory("MKTP")}, "AMAZON MKTP", kCat, {}},
    {"CategoryInstructionByCategory",
     {},
     {describe("FOOD"), byCategory("Groceries")},
     "GROCERIES:FOOD",
     kCat,
     "Groceries"},
    {"DescriptionInstructionsIgnoreCategories", {}, {describe("FOOD")}, "FOOD STORE", kCat, {}},
    {"EmptyTextMatchesAnEmptyMatchString",
     {kLongest},
     {describe("AMAZON"), describe("")},
     "",
     kDesc,
     ""},
    {"EmptyTextMatchesNothingElse", {kContains}, {describe("AMAZON")}, "", kDesc, {}},
    {"EmptyMatchStringNeverMatchesText", {}, {describe("")}, "AMAZON", kDesc, {}},
    {"EmptyMatchStringNeverMatchesTextInside", {kContains}, {describe("")}, "AMAZON", kDesc, {}},
    {"MatchLongerThanTheText", {}, {describe("AMAZON MKTP")}, "AMAZON", kDesc, {}},
    {"NoInstructions", {kLongest}, {}, "AMAZON", kDesc, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, MatchingTest, ::testing::ValuesIn(kMatchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstructionsTest, MatchingWithoutAStoredListFindsNothing) {
  EXPECT_FALSE(instructions.instructionMatching("", kDesc).has_value());
  EXPECT_FALSE(instructions.instructionMatching("AMAZON", kDesc).has_value());
}

// --- store operations

TEST_F(InstructionsTest, MissingListReadsAsEmpty) {
  EXPECT_EQ(instructions.numberOfInstructions(), 0u);
  EXPECT_FALSE(instructions.getInstructionsArray().has_value());
  EXPECT_FALSE(instructions.instructionFor("AMAZON").has_value());
  EXPECT_TRUE(instructions.instructionAtIndex(0).isNull());
  instructions.removeInstruction(describe("AMAZON"));
  instructions.removeInstructionAtIndex(0);
  EXPECT_FALSE(prefs.prefs().contains(prefKey::Instructions));
}

TEST_F(InstructionsTest, SavingKeepsTheListSortedIgnoringCase) {
  EXPECT_EQ(instructions.setInstruction(describe("shell")), 0u);
  EXPECT_EQ(instructions.setInstruction(describe("AMAZON")), 0u);
  EXPECT_EQ(instructions.setInstruction(byCategory("Groceries")), 1u);
  EXPECT_EQ(instructions.setInstruction(describe("zoo")), 3u);
  EXPECT_EQ(instructions.setInstruction(describe("amazon mktp")), 1u);
  EXPECT_EQ(stored(),
            (std::vector<std::string>{"AMAZON", "amazon mktp", "Groceries", "shell", "zoo"}));
}

TEST_F(InstructionsTest, SavingTheSameMatchInOtherCaseReplacesInPlace) {
  instructions.setInstruction(describe("AMAZON", "Books"));
  instructions.setInstruction(describe("Shell", "Fuel"));
  EXPECT_EQ(instructions.setInstruction(describe("Amazon", "Shopping")), 0u);

  EXPECT_EQ(stored(), (std::vector<std::string>{"Amazon", "Shell"}));
  EXPECT_EQ(str(instructions.instructionAtIndex(0), "category"), "Shopping");
}

TEST_F(InstructionsTest, ACategoryInstructionReplacesADescriptionInstruction) {
  instructions.setInstruction(describe("FOOD", "Dining"));
  EXPECT_EQ(instructions.setInstruction(byCategory("Food", "Groceries")), 0u);

  ASSERT_EQ(instructions.numberOfInstructions(), 1u);
  Value record = instructions.instructionAtIndex(0);
  EXPECT_FALSE(has(record, kDesc));
  EXPECT_EQ(str(record, kCat), "Food");
}

TEST_F(InstructionsTest, LookupAndRemovalIgnoreCase) {
  instructions.setInstruction(describe("AMAZON", "Books"));
  instructions.setInstruction(byCategory("Groceries"));
  instructions.setInstruction(describe("Shell"));

  std::optional<Value> found = instructions.instructionFor("amazon");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(str(*found, "category"), "Books");
  EXPECT_TRUE(instructions.instructionFor("GROCERIES").has_value());
  EXPECT_FALSE(instructions.instructionFor("AMAZ").has_value());

  instructions.removeInstruction(describe("groceries"));
  EXPECT_EQ(stored(), (std::vector<std::string>{"AMAZON", "Shell"}));
  instructions.removeInstruction(describe("Unknown"));
  instructions.removeInstructionAtIndex(5);
  EXPECT_EQ(stored(), (std::vector<std::string>{"AMAZON", "Shell"}));
  instructions.removeInstructionAtIndex(0);
  EXPECT_EQ(stored(), (std::vector<std::string>{"Shell"}));
}

TEST_F(InstructionsTest, AWholeListIsStoredInTheOrderGiven) {
  storeInOrder({describe("zoo"), describe("AMAZON")});
  EXPECT_EQ(stored(), (std::vector<std::string>{"zoo", "AMAZON"}));

  std::optional<Value> copy = instructions.getInstructionsArray();
  ASSERT_TRUE(copy.has_value());
  copy->removeAt(0);
  EXPECT_EQ(instructions.numberOfInstructions(), 2u);
}

// --- combo box

TEST_F(InstructionsTest, ComboBoxListsTheMatchStrings) {
  storeInOrder({describe("AMAZON"), byCategory("Groceries")});
  EXPECT_EQ(instructions.numberOfItemsInComboBox(), 2);
  EXPECT_EQ(instructions.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(instructions.comboBoxObjectValueForItemAtIndex(1), "Groceries");
  EXPECT_EQ(instructions.comboBoxObjectValueForItemAtIndex(2), "");
  EXPECT_EQ(instructions.comboBoxIndexOfItemWithStringValue("Groceries"), 1);
  EXPECT_EQ(instructions.comboBoxIndexOfItemWithStringValue("amazon"), kComboBoxNotFound);
}

struct CompletionCase {
  const char* name;
  std::vector<std::string> stored;  // in this order
  std::string prefix;
  std::optional<std::string> expected;
};
void PrintTo(const CompletionCase& c, std::ostream* os) { *os << c.name; }

class CompletedStringTest : public InstructionsTest,
                            public ::testing::WithParamInterface<CompletionCase> {};

TEST_P(CompletedStringTest, OffersTheShortestMatchString) {
  std::vector<Value> records;
  for (const std::string& match : GetParam().stored) records.push_back(describe(match));
  storeInOrder(records);
  EXPECT_EQ(instructions.comboBoxCompletedString(GetParam().prefix), GetParam().expected);
}

const CompletionCase kCompletionCases[] = {
    {"Shortest", {"Amazon", "AMAZON MKTP", "Amex"}, "am", "Amex"},
    {"EqualLengthTakesTheFirstStored", {"Amazin", "Amazon"}, "am", "Amazin"},
    {"EqualLengthTakesTheFirstStoredUnsorted", {"Amazon", "Amazin"}, "AM", "Amazon"},
    {"LongerPrefixThanAnyEntry", {"Amex"}, "Amex Gold", {}},
    {"NothingContinues", {"Amex"}, "Ax", {}},
    {"EmptyPrefixOffersTheShortest", {"Amazon", "BP"}, "", "BP"},
    {"VeryLongMatchStringsAreNotOffered", {std::string(9999, 'a')}, "a", {}},
    {"JustUnderTheLimit", {std::string(9998, 'a')}, "a", std::string(9998, 'a')},
};

INSTANTIATE_TEST_SUITE_P(Cases, CompletedStringTest, ::testing::ValuesIn(kCompletionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstructionsTest, TypingCompletesToStoredMatchStrings) {
  storeInOrder({describe("Amazon"), describe("Amex")});
  using D = EditDecision;
  struct Step {
    TextEdit edit;
    EditDecision expected;
  };
  const Step steps[] = {
      // "a" in an empty field shows the shortest entry, its untyped tail selected.
      {{"", {0, 0}, "a", {1, 0}, 'a'}, D::replace("Amex", {1, 3})},
      {{"Amex", {1, 3}, "Ama", {3, 0}, 'a'}, D::replace("Amazon", {3, 3})},
      // A key that no entry continues is refused.
      {{"Amex", {1, 3}, "Az", {2, 0}, 'z'}, D::refuse()},
      // Backward delete of the selected tail shortens the typed part and keeps the suggestion.
      {{"Amex", {2, 2}, "Am", {2, 0}, kBackwardDeleteKey}, D::replace("Amex", {1, 3})},
      // ...staying inside a completion that is shorter than the previous text.
      {{"Amazon", {2, 4}, "Am", {2, 0}, kBackwardDeleteKey}, D::replace("Amex", {1, 3})},
      // ...and refused when the whole text was selected.
      {{"Amex", {0, 4}, "", {0, 0}, kBackwardDeleteKey}, D::refuse()},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.edit.proposedText));
    EXPECT_EQ(instructions.isPartialStringValid(step.edit), step.expected);
  }
}

}  // namespace
}  // namespace corvela
