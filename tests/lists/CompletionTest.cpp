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

TypedCharacters typedBuffer(std::optional<std::string_view> text) {
  TypedCharacters typed;
  if (text) {
    typed.clear();
    typed.append(*text);
  }
  return typed;
}

// The category and description rule, one edit at a time: what the field shows and what it
// remembers as typed (none: not known).
TEST(ListEditTest, ShowsTheRightTextAndRemembersWhatWasTyped) {
  using D = EditDecision;
  struct Case {
    std::optional<std::string_view> bufferBefore;
    TextEdit edit;
    EditDecision expected;
    std::optional<std::string_view> bufferAfter;
  };
  const Case cases[] = {
      // First letter completes to the shortest.
      {std::nullopt, {"", {0, 0}, "a", {1, 0}, 'a'}, D::replace("Auto", {1, 3}), "a"},
      // Replacing everything starts afresh.
      {"xyz", {"Food", {0, 4}, "q", {1, 0}, 'q'}, D::replace("q", {1, 0}), "q"},
      // Unknown text goes back to what was typed.
      {"a", {"Auto", {1, 3}, "Ax", {2, 0}, 'x'}, D::replace("ax", {2, 0}), "ax"},
      // Unknown text is accepted without a buffer.
      {std::nullopt, {"Grocer", {6, 0}, "Grocery", {7, 0}, 'y'}, D::accept(), std::nullopt},
      // A stale buffer never overwrites the field.
      {"A", {"Auto", {4, 0}, "Autox", {5, 0}, 'x'}, D::accept(), std::nullopt},
      // Colon jumps to the subcategory.
      {"Auto", {"Auto", {4, 0}, "Auto:", {5, 0}, ':'}, D::replace("Auto:Fuel", {5, 4}), "Auto:"},
      // Colon without subcategory keeps the typing.
      {"Food", {"Food", {4, 0}, "Food:", {5, 0}, ':'}, D::replace("Food:", {5, 0}), "Food:"},
      // Selection counts characters.
      {"", {"", {0, 0}, "c", {1, 0}, 'c'}, D::replace("Café Roma", {1, 8}), "c"},
      // Deleting at the caret forgets the buffer.
      {"Fooq", {"Fooq", {4, 0}, "Foo", {3, 0}, 127}, D::accept(), std::nullopt},
      // Deleting a selected tail drops a typed character.
      {"Fooqz", {"Fooqz", {3, 2}, "Foo", {3, 0}, 127}, D::accept(), "Fooq"},
      // Deleting a selected tail no shorter forgets.
      {"Au", {"Auto", {2, 2}, "Au", {2, 0}, 127}, D::accept(), std::nullopt},
      // Deleting in the middle forgets.
      {"Auto", {"Auto", {1, 1}, "Ato", {1, 0}, 127}, D::accept(), std::nullopt},
  };
  const std::vector<std::string_view> entries = {"Auto", "Auto:Fuel", "Café Roma", "Food"};
  for (const Case& c : cases) {
    ListEditResult result = completeListTyping(c.edit, typedBuffer(c.bufferBefore), entries);
    EXPECT_EQ(result.decision, c.expected) << c.edit.proposedText;
    EXPECT_EQ(result.typed, typedBuffer(c.bufferAfter)) << c.edit.proposedText;
  }
}

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
