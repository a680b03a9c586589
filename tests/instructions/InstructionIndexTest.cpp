#include "instructions/InstructionIndex.h"

#include <gtest/gtest.h>

#include <random>

namespace corvela {
namespace {

// Short words from a small alphabet so that prefixes collide often; mixed case, accents,
// ß/ẞ (whose folded forms differ in bytes), a byte that is not UTF-8, and the empty string.
const char* const kPieces[] = {"a", "A", "b", "ab", "AB", " ", "é", "É", "ß", "\xE1\xBA\x9E",
                               "\xFF", "x", "MKTP", "mktp", ""};

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
      case 0: record.set("categoryMatch", randomText(rng, 3)); break;
      case 1: record.set("descriptionMatch", 7); break;  // not a string: reads as ""
      case 2: record = Value("not a record"); break;
      default: record.set("descriptionMatch", randomText(rng, 3)); break;
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
      std::string text = randomText(rng, 5);
      for (const char* key : {"descriptionMatch", "categoryMatch"}) {
        for (bool longest : {false, true}) {
          ASSERT_EQ(index.match(list, text, key, longest),
                    matchByWalk(list, text, key, longest, false))
              << "round " << round << ", text \"" << text << "\", key " << key
              << (longest ? ", longest" : "");
        }
      }
    }
  }
}

TEST(InstructionIndexTest, AChangedListIsSeenAtTheNextLookup) {
  InstructionIndex index;
  Value list(Value::Array{Value{{"descriptionMatch", "AMAZON"}}});
  EXPECT_EQ(index.match(list, "AMAZON MKTP", "descriptionMatch", false), 0u);

  Value changed = list;  // shares storage until written
  changed.insert(0, Value{{"descriptionMatch", "AMAZON MKTP"}});
  EXPECT_EQ(index.match(changed, "AMAZON MKTP", "descriptionMatch", true), 0u);
  EXPECT_EQ(index.match(changed, "AMAZON MKTP", "descriptionMatch", false), 0u);
  EXPECT_EQ(index.match(list, "AMAZON MKTP", "descriptionMatch", true), 0u);
  EXPECT_EQ(index.match(Value(), "AMAZON", "descriptionMatch", false), std::nullopt);
}

}  // namespace
}  // namespace corvela
