// Instructions: which one applies to a description, how they are stored, completed and saved
// to disk, their amount instructions, the match-text formatters, and the index that finds them.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "instructions/Amounts.h"
#include "instructions/CVDescriptionMatchFormatter.h"
#include "instructions/CVDollarAmountFormatter.h"
#include "instructions/InstructionIndex.h"
#include "instructions/Instructions.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "support/CaseFile.h"
#include "support/ScratchStore.h"
#include "support/TempDir.h"

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

// The cases of tests/data/instructions/matching.txt: the instruction that applies, or ("completes")
// the completion the combo box offers.
TEST_F(InstructionsTest, FindsTheInstructionThatApplies) {
  testing::expectCaseFile(
      "instructions/matching.txt", [this](const std::string& text, const std::string& words) {
        const std::string flags = words.substr(0, words.find("over"));
        prefs.setObject(prefKey::Preferences, Value::array());
        if (flags.find("longest") != std::string::npos) preferences.add(kLongest);
        if (flags.find("contains") != std::string::npos) preferences.add(kContains);
        Value records = Value::array();
        for (std::size_t at = words.find('"'); at != std::string::npos; at = words.find('"', at)) {
          std::size_t end = 0;
          const std::string match = testing::unquoted(std::string_view(words).substr(at), &end);
          records.append(words.substr(0, at).ends_with("category:") ? byCategory(match)
                                                                    : describe(match));
          at += end;
        }
        instructions.setInstructionsArray(records);
        if (flags.find("completes") != std::string::npos) {
          std::optional<std::string> completed = instructions.comboBoxCompletedString(text);
          return completed ? testing::quoted(*completed) : "none";
        }
        const bool lookUpCategory = flags.find("byCategory") != std::string::npos;
        std::optional<Value> found =
            instructions.instructionMatching(text, lookUpCategory ? kCat : kDesc);
        return found ? testing::quoted(matchString(*found)) : "none";
      });
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

// The completion offered is the shortest match text the prefix starts, but never a very long
// one. (Shorter match texts are cases of tests/data/instructions/matching.txt.)
TEST_F(InstructionsTest, VeryLongMatchStringsAreNotOffered) {
  storeInOrder({describe(std::string(9999, 'a'))});
  EXPECT_EQ(instructions.comboBoxCompletedString("a"), std::nullopt);
  storeInOrder({describe(std::string(9998, 'a'))});
  EXPECT_EQ(instructions.comboBoxCompletedString("a"), std::string(9998, 'a'));
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

// A taught instruction is on disk as soon as it is saved, not at some later write that a
// logout may never reach; a command-line run, which defers its writes, still writes once.
TEST(InstructionSavingTest, ATaughtInstructionReachesTheFileAtOnce) {
  testing::TempDir dir;
  const std::string path = dir.path("store.prefs");
  CVPrefs store = CVPrefs::initWithPath(path);
  Preferences options(store);
  Instructions instructions(store, options);

  instructions.setInstruction(Value{{"descriptionMatch", "ACME"}, {"category", "Household"}});
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 1u);
  instructions.removeInstruction(Value{{"descriptionMatch", "acme"}});
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 0u);

  store.setWritesDeferred(true);
  instructions.setInstruction(Value{{"descriptionMatch", "SHELL"}, {"category", "Fuel"}});
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 0u);
  ASSERT_TRUE(store.synchronizeNow());
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 1u);
}

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

// Short words from a small alphabet so that prefixes collide often; mixed case, accents,
// ß/ẞ (whose folded forms differ in bytes), a byte that is not UTF-8, and the empty string.
const char* const kPieces[] = {
    "a", "A", "b", "ab", "AB", " ", "é", "É", "ß", "\xE1\xBA\x9E", "\xFF", "x", "MKTP", "mktp", ""};

std::string randomText(std::mt19937& rng, int maxPieces) {
  std::uniform_int_distribution<int> count(0, maxPieces);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::string text;
  for (int n = count(rng); n > 0; --n) text += kPieces[piece(rng)];
  return text;
}

Value randomList(std::mt19937& rng) {
  std::uniform_int_distribution<int> size(0, 40);
  std::uniform_int_distribution<int> kind(0, 9);
  Value list = Value::array();
  for (int n = size(rng); n > 0; --n) {
    Value record = Value::dictionary();
    switch (kind(rng)) {
      case 0:
        record.set("categoryMatch", randomText(rng, 3));
        break;
      case 1:
        record.set("descriptionMatch", 7);
        break;  // not a string: reads as ""
      case 2:
        record = Value("not a record");
        break;
      default:
        record.set("descriptionMatch", randomText(rng, 3));
        break;
    }
    list.append(record);
  }
  return list;
}

TEST(InstructionIndexTest, GivesTheWalksAnswerOnRandomLists) {
  std::mt19937 rng(20261206);
  InstructionIndex index;
  for (int round = 0; round < 3000; ++round) {
    Value list = randomList(rng);
    for (int query = 0; query < 20; ++query) {
      std::string text = randomText(rng, 8);
      for (const char* key : {"descriptionMatch", "categoryMatch"}) {
        for (bool longest : {false, true}) {
          for (bool contains : {false, true}) {
            ASSERT_EQ(index.match(list, text, key, longest, contains),
                      matchByWalk(list, text, key, longest, contains))
                << "round " << round << ", text \"" << text << "\", key " << key
                << (longest ? ", longest" : "") << (contains ? ", contains" : "");
          }
        }
      }
    }
  }
}

// Each list is looked up often enough that its tree answers, not only the first walks.
TEST(InstructionIndexTest, AChangedListIsSeenAtTheNextLookup) {
  InstructionIndex index;
  auto treeMatch = [&index](const Value& list, bool longest) {
    std::optional<std::size_t> found;
    for (int i = 0; i <= InstructionIndex::kWalksBeforeTree; ++i)
      found = index.match(list, "AMAZON MKTP", "descriptionMatch", longest, false);
    return found;
  };
  Value list(Value::Array{Value{{"descriptionMatch", "AMAZON"}}});
  EXPECT_EQ(treeMatch(list, false), 0u);

  Value changed = list;  // shares storage until written
  changed.insert(0, Value{{"descriptionMatch", "AMAZON MKTP"}});
  changed.append(Value{{"descriptionMatch", "AMAZON MKTP US"}});
  EXPECT_EQ(treeMatch(changed, true), 0u);
  EXPECT_EQ(treeMatch(changed, false), 0u);
  EXPECT_EQ(treeMatch(list, true), 0u);
  EXPECT_EQ(index.match(changed, "AMAZON MKTP US 1", "descriptionMatch", true, false), 2u);
  EXPECT_EQ(index.match(Value(), "AMAZON", "descriptionMatch", false, false), std::nullopt);
}
}  // namespace
}  // namespace corvela
