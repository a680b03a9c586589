#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "lists/Completion.h"
#include "lists/ListCompletion.h"

namespace corvela {
namespace {

TEST(CompletionTest, CountsCharactersNotBytes) {
  EXPECT_EQ(characterCount("Café"), 4u);
  EXPECT_EQ(leadingCharacters("Café Roma", 4), "Café");
  EXPECT_EQ(leadingCharacters("ab", 5), "ab");
  EXPECT_EQ(characterSlice("Café Roma", 3, 6), "é R");
  EXPECT_EQ(characterSlice("abc", 2, 1), "");
  EXPECT_EQ(characterSlice("abc", 7, 9), "");
}

// --- the category and description rule, one edit at a time

TypedCharacters typedBuffer(std::optional<std::string_view> text) {
  TypedCharacters typed;
  if (text) {
    typed.clear();
    typed.append(*text);
  }
  return typed;
}

struct ListEditCase {
  const char* name;
  std::optional<std::string_view> bufferBefore;  // none: not valid
  TextEdit edit;
  EditDecision expected;
  std::optional<std::string_view> bufferAfter;
};
void PrintTo(const ListEditCase& c, std::ostream* os) { *os << c.name; }

class ListEditTest : public ::testing::TestWithParam<ListEditCase> {};

TEST_P(ListEditTest, ShowsTheRightTextAndRemembersWhatWasTyped) {
  const std::vector<std::string_view> entries = {"Auto", "Auto:Fuel", "Café Roma", "Food"};
  const ListEditCase& c = GetParam();
  ListEditResult result = completeListTyping(c.edit, typedBuffer(c.bufferBefore), entries);
  EXPECT_EQ(result.decision, c.expected);
  EXPECT_EQ(result.typed, typedBuffer(c.bufferAfter));
}

using D = EditDecision;
const ListEditCase kListEditCases[] = {
    {"FirstLetterCompletesToTheShortest",
     std::nullopt,
     {"", {0, 0}, "a", {1, 0}, 'a'},
     D::replace("Auto", {1, 3}),
     "a"},
    {"ReplacingEverythingStartsAfresh",
     "xyz",
     {"Food", {0, 4}, "q", {1, 0}, 'q'},
     D::replace("q", {1, 0}),
     "q"},
    {"UnknownTextGoesBackToWhatWasTyped",
     "a",
     {"Auto", {1, 3}, "Ax", {2, 0}, 'x'},
     D::replace("ax", {2, 0}),
     "ax"},
    {"UnknownTextIsAcceptedWithoutABuffer",
     std::nullopt,
     {"Grocer", {6, 0}, "Grocery", {7, 0}, 'y'},
     D::accept(),
     std::nullopt},
    {"AStaleBufferNeverOverwritesTheField",
     "A",
     {"Auto", {4, 0}, "Autox", {5, 0}, 'x'},
     D::accept(),
     std::nullopt},
    {"ColonJumpsToTheSubcategory",
     "Auto",
     {"Auto", {4, 0}, "Auto:", {5, 0}, ':'},
     D::replace("Auto:Fuel", {5, 4}),
     "Auto:"},
    {"ColonWithoutSubcategoryKeepsTheTyping",
     "Food",
     {"Food", {4, 0}, "Food:", {5, 0}, ':'},
     D::replace("Food:", {5, 0}),
     "Food:"},
    {"SelectionCountsCharacters",
     "",
     {"", {0, 0}, "c", {1, 0}, 'c'},
     D::replace("Café Roma", {1, 8}),
     "c"},
    {"DeletingAtTheCaretForgetsTheBuffer",
     "Fooq",
     {"Fooq", {4, 0}, "Foo", {3, 0}, 127},
     D::accept(),
     std::nullopt},
    {"DeletingASelectedTailDropsATypedCharacter",
     "Fooqz",
     {"Fooqz", {3, 2}, "Foo", {3, 0}, 127},
     D::accept(),
     "Fooq"},
    {"DeletingASelectedTailNoShorterForgets",
     "Au",
     {"Auto", {2, 2}, "Au", {2, 0}, 127},
     D::accept(),
     std::nullopt},
    {"DeletingInTheMiddleForgets",
     "Auto",
     {"Auto", {1, 1}, "Ato", {1, 0}, 127},
     D::accept(),
     std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, ListEditTest, ::testing::ValuesIn(kListEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TypedCharactersTest, OverflowingTheBufferMakesItInvalid) {
  TypedCharacters typed = typedBuffer(std::string(TypedCharacters::kCapacity, 'x'));
  ASSERT_TRUE(typed.valid());
  TextEdit edit{"", {0, 0}, "", {0, 0}, 'y'};
  std::string previous(TypedCharacters::kCapacity, 'x');
  std::string proposed = previous + "y";
  edit.previousText = previous;
  edit.previousSelection = {previous.size(), 0};
  edit.proposedText = proposed;
  edit.proposedSelection = {proposed.size(), 0};

  ListEditResult result = completeListTyping(edit, typed, {});
  EXPECT_EQ(result.decision, EditDecision::accept());
  EXPECT_FALSE(result.typed.valid());
}

}  // namespace
}  // namespace corvela
