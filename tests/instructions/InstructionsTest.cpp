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

constexpr std::string_view kDesc = instructionKey::descriptionMatch;
constexpr std::string_view kCat = instructionKey::categoryMatch;
constexpr std::string_view kLongest = option::longestInstructionMatch;
constexpr std::string_view kContains = option::matchDescriptionWithContains;

TEST_F(InstructionsTest, FindsTheInstructionThatApplies) {
  struct Case {
    std::vector<std::string_view> options;
    std::vector<Value> records;  // stored in this order
    std::string_view text;
    std::string_view key;
    std::optional<std::string> expected;  // the match string of the record found
  };
  const Case cases[] = {
      // General rule wins by default.
      {{}, {describe("AMAZON"), describe("AMAZON MKTP")}, "AMAZON MKTP US", kDesc, "AMAZON"},
      // Longest match wins when asked.
      {{kLongest},
       {describe("AMAZON"), describe("AMAZON MKTP")},
       "AMAZON MKTP US",
       kDesc,
       "AMAZON MKTP"},
      // Equal length keeps the earlier.
      {{kLongest, kContains},
       {describe("COFFEE"), describe("SHOP 1")},
       "SHOP 1 COFFEE",
       kDesc,
       "COFFEE"},
      // Case is ignored at the start.
      {{}, {describe("Amazon")}, "AMAZON.COM", kDesc, "Amazon"},
      // Case is ignored inside.
      {{kContains}, {describe("Amazon")}, "AMAZON.COM", kDesc, "Amazon"},
      // Case is ignored beyond ascii.
      {{}, {describe("café")}, "CAFÉ DU MONDE", kDesc, "café"},
      // Contains finds the middle.
      {{kContains}, {describe("MKTP")}, "AMAZON MKTP US", kDesc, "MKTP"},
      // Starts with ignores the middle.
      {{}, {describe("MKTP")}, "AMAZON MKTP US", kDesc, {}},
      // Categories match only at the start.
      {{kContains}, {byCategory("MKTP")}, "AMAZON MKTP", kCat, {}},
      // Category instruction by category.
      {{}, {describe("FOOD"), byCategory("Groceries")}, "GROCERIES:FOOD", kCat, "Groceries"},
      // Description instructions ignore categories.
      {{}, {describe("FOOD")}, "FOOD STORE", kCat, {}},
      // Empty text matches an empty match string.
      {{kLongest}, {describe("AMAZON"), describe("")}, "", kDesc, ""},
      // Empty text matches nothing else.
      {{kContains}, {describe("AMAZON")}, "", kDesc, {}},
      // Empty match string never matches text.
      {{}, {describe("")}, "AMAZON", kDesc, {}},
      // Empty match string never matches text inside.
      {{kContains}, {describe("")}, "AMAZON", kDesc, {}},
      // Match longer than the text.
      {{}, {describe("AMAZON MKTP")}, "AMAZON", kDesc, {}},
      // No instructions.
      {{kLongest}, {}, "AMAZON", kDesc, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    prefs.setObject(prefKey::Preferences, Value::array());
    for (std::string_view name : c.options) preferences.add(name);
    storeInOrder(c.records);
    std::optional<Value> found = instructions.instructionMatching(c.text, c.key);
    EXPECT_EQ(found ? std::optional(matchString(*found)) : std::nullopt, c.expected);
  }
  prefs.removeObjectForKey(prefKey::Instructions);
  EXPECT_FALSE(instructions.instructionMatching("", kDesc).has_value());
  EXPECT_FALSE(instructions.instructionMatching("AMAZON", kDesc).has_value());
}

// --- store operations

// Saving keeps one record per match string, ignoring case, in a list sorted ignoring case: the
// same match in other case replaces the record in place, whatever its kind.
TEST_F(InstructionsTest, SavingKeepsOneSortedRecordPerMatch) {
  EXPECT_EQ(instructions.setInstruction(describe("shell")), 0u);
  EXPECT_EQ(instructions.setInstruction(describe("AMAZON", "Books")), 0u);
  EXPECT_EQ(instructions.setInstruction(byCategory("Groceries")), 1u);
  EXPECT_EQ(instructions.setInstruction(describe("zoo")), 3u);
  EXPECT_EQ(instructions.setInstruction(describe("amazon mktp")), 1u);
  EXPECT_EQ(instructions.setInstruction(describe("Amazon", "Shopping")), 0u);
  EXPECT_EQ(instructions.setInstruction(describe("FOOD", "Dining")), 2u);
  EXPECT_EQ(instructions.setInstruction(byCategory("Food", "Groceries")), 2u);
  EXPECT_EQ(stored(), (std::vector<std::string>{"Amazon", "amazon mktp", "Food", "Groceries",
                                                "shell", "zoo"}));
  EXPECT_EQ(str(instructions.instructionAtIndex(0), "category"), "Shopping");
  EXPECT_FALSE(has(instructions.instructionAtIndex(2), kDesc));
}

// A missing list reads as empty; lookup and removal ignore case.
TEST_F(InstructionsTest, LookupAndRemovalIgnoreCase) {
  EXPECT_EQ(instructions.numberOfInstructions(), 0u);
  EXPECT_FALSE(instructions.getInstructionsArray().has_value());
  EXPECT_FALSE(instructions.instructionFor("AMAZON").has_value());
  EXPECT_TRUE(instructions.instructionAtIndex(0).isNull());
  instructions.removeInstruction(describe("AMAZON"));
  instructions.removeInstructionAtIndex(0);
  EXPECT_FALSE(prefs.prefs().contains(prefKey::Instructions));

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

// --- combo box

// A whole list is stored in the order given, and the combo box lists its match strings.
TEST_F(InstructionsTest, ComboBoxListsTheMatchStrings) {
  storeInOrder({describe("zoo"), describe("AMAZON")});
  EXPECT_EQ(stored(), (std::vector<std::string>{"zoo", "AMAZON"}));
  std::optional<Value> copy = instructions.getInstructionsArray();
  ASSERT_TRUE(copy.has_value());
  copy->removeAt(0);
  EXPECT_EQ(instructions.numberOfInstructions(), 2u);

  storeInOrder({describe("AMAZON"), byCategory("Groceries")});
  EXPECT_EQ(instructions.numberOfItemsInComboBox(), 2);
  EXPECT_EQ(instructions.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(instructions.comboBoxObjectValueForItemAtIndex(1), "Groceries");
  EXPECT_EQ(instructions.comboBoxObjectValueForItemAtIndex(2), "");
  EXPECT_EQ(instructions.comboBoxIndexOfItemWithStringValue("Groceries"), 1);
  EXPECT_EQ(instructions.comboBoxIndexOfItemWithStringValue("amazon"), kComboBoxNotFound);
}

// The completion offered is the shortest match string the prefix starts.
TEST_F(InstructionsTest, OffersTheShortestMatchString) {
  struct Case {
    std::vector<std::string> stored;  // in this order
    std::string prefix;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      // Shortest.
      {{"Amazon", "AMAZON MKTP", "Amex"}, "am", "Amex"},
      // Equal length takes the first stored.
      {{"Amazin", "Amazon"}, "am", "Amazin"},
      // Equal length takes the first stored unsorted.
      {{"Amazon", "Amazin"}, "AM", "Amazon"},
      // Longer prefix than any entry.
      {{"Amex"}, "Amex Gold", {}},
      // Nothing continues.
      {{"Amex"}, "Ax", {}},
      // Empty prefix offers the shortest.
      {{"Amazon", "BP"}, "", "BP"},
      // Very long match strings are not offered.
      {{std::string(9999, 'a')}, "a", {}},
      // Just under the limit.
      {{std::string(9998, 'a')}, "a", std::string(9998, 'a')},
  };
  for (const Case& c : cases) {
    std::vector<Value> records;
    for (const std::string& match : c.stored) records.push_back(describe(match));
    storeInOrder(records);
    EXPECT_EQ(instructions.comboBoxCompletedString(c.prefix), c.expected) << c.prefix;
  }
}

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
