#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

#include "prefs/StringTable.h"

namespace corvela {
namespace {

// Numbers texts as an unordered_map does, through many growths, with texts that share long
// beginnings, differ in one byte, hold zero bytes, or are empty.
TEST(StringTableTest, NumbersTextsAsAMapDoes) {
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 20000; ++i) {
    std::string text(rng() % 3 == 0 ? "Payee 00000" : "");
    for (int n = static_cast<int>(rng() % 4); n > 0; --n)
      text += static_cast<char>("ab\0\xFF"[rng() % 4]);
    if (rng() % 2) text += std::to_string(rng() % 5000);
    texts.push_back(text);
  }
  StringTable table;
  std::unordered_map<std::string_view, std::uint64_t> reference;
  std::uint64_t next = 0;
  for (const std::string& text : texts) {
    auto [number, inserted] = table.insert(text, next);
    auto [it, expectedInserted] = reference.try_emplace(text, next);
    ASSERT_EQ(inserted, expectedInserted) << "text of " << text.size() << " bytes";
    ASSERT_EQ(number, it->second);
    if (inserted) ++next;
  }
  EXPECT_EQ(next, reference.size());
}

}  // namespace
}  // namespace corvela
