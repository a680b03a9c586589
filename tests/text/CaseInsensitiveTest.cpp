#include <gtest/gtest.h>

#include <algorithm>

#include "TextPrinters.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

int sign(int value) { return (value > 0) - (value < 0); }

TEST(CaseInsensitiveTest, CompareAndEquality) {
  struct Case {
    const char* a;
    const char* b;
    int order;
  };
  const Case cases[] = {
      {"apple", "Banana", -1},
      {"Zebra", "apple", 1},
      {"APPLE", "apple", 0},
      {"Caf\xC3\xA9", "CAF\xC3\x89", 0},  // Café, CAFÉ
      {"\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3",
       "\xCF\x83\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x82", 0},  // final sigma
      {"a", "ab", -1},
      {"", "a", -1},
      {"_", "a", -1},                 // folding goes to lower case: "_" sorts before letters
      {"zebra", "\xC3\x84rger", -1},  // by character, not by a language's alphabet
      {"\xFF", "\xFE", 1},
      {"\xC3", "\xC3\xA9", 1},  // a broken character is not the character
      {"Amex", "AMEX GOLD", -1},
      {"[Checking]", "Auto", -1},  // transfer entries sort before every category
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sign(caseInsensitiveCompare(c.a, c.b)), c.order) << c.a << " / " << c.b;
    EXPECT_EQ(sign(caseInsensitiveCompare(c.b, c.a)), -c.order) << c.b << " / " << c.a;
    EXPECT_EQ(equalsIgnoringCase(c.a, c.b), c.order == 0) << c.a << " / " << c.b;
  }
}

TEST(CaseInsensitiveTest, PrefixesAndContainment) {
  EXPECT_TRUE(beginsWithIgnoringCase("ACME HARDWARE #123", "acme h"));
  EXPECT_FALSE(beginsWithIgnoringCase("acme", "ACME HARDWARE"));
  EXPECT_TRUE(beginsWithIgnoringCase("\303\211clair", "\xC3\xA9"));
  EXPECT_TRUE(beginsWithIgnoringCase("anything", ""));
  EXPECT_FALSE(beginsWithIgnoringCase("", "a"));

  EXPECT_TRUE(containsIgnoringCase("Payment to CAF\xC3\x89 DU MONDE", "caf\xC3\xA9 du"));
  EXPECT_TRUE(containsIgnoringCase("abc", ""));
  EXPECT_FALSE(containsIgnoringCase("abc", "abcd"));
  EXPECT_FALSE(containsIgnoringCase("", "a"));
}

TEST(CaseInsensitiveTest, FindGivesTheBytesOfTheMatch) {
  struct Case {
    const char* text;
    const char* target;
    std::size_t from;
    std::optional<TextSpan> expected;
  };
  const Case cases[] = {
      {"Shop SHOP shop", "shop", 0, TextSpan{0, 4}},
      {"Shop SHOP shop", "shop", 1, TextSpan{5, 4}},
      {"\303\211COLE \xC3\xA9"
       "cole",
       "\303\251cole", 1, TextSpan{7, 6}},
      {"x\xE2\x84\xAAy", "k", 0, TextSpan{1, 3}},  // the Kelvin sign is a K
      {"abc", "", 0, std::nullopt},
      {"abc", "c", 3, std::nullopt},
      {"abc", "c", 99, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(findIgnoringCase(c.text, c.target, c.from), c.expected) << c.text;
}

TEST(CaseInsensitiveTest, Replace) {
  struct Case {
    std::string text;
    const char* target;
    const char* replacement;
    const char* expected;
  };
  const Case cases[] = {
      {"a\tb\tc\td", "\t", "     ", "a     b     c     d"},
      {"say \"hi\"", "\"", "\"\"", "say \"\"hi\"\""},  // each quote doubled once
      {"Hello HELLO hello", "hello", "bye", "bye bye bye"},
      {"CAF\xC3\x89 caf\xC3\xA9", "caf\xC3\xA9", "X", "X X"},
      {"abc", "", "X", "abc"},
      {"", "a", "X", ""},
  };
  for (Case c : cases) {
    caseInsensitiveReplace(c.text, c.target, c.replacement);
    EXPECT_EQ(c.text, c.expected);
  }
}

TEST(CaseInsensitiveTest, CapitalizedWords) {
  const std::pair<const char*, const char*> cases[] = {
      {"ACME HARDWARE #123", "Acme Hardware #123"},
      {"CAF\xC3\x89 DU MONDE", "Caf\xC3\xA9 Du Monde"},
      {"\303\211COLE \xC3\x87"
       "A",
       "\303\211cole \xC3\x87"
       "a"},
      {"12TH ST", "12th St"},
      {"ACME-CORP", "Acme-Corp"},
      {"O'BRIEN", "O'brien"},
      {"", ""},
  };
  for (auto [text, expected] : cases) EXPECT_EQ(capitalizedWords(text), expected) << text;
}

TEST(CaseInsensitiveTest, CapitalizingBrokenTextKeepsTheRest) {
  std::string out = capitalizedWords("AB\xFF CD");
  EXPECT_NE(out.find("Cd"), std::string::npos) << out;
  EXPECT_EQ(out.substr(0, 2), "Ab");
}

}  // namespace
}  // namespace corvela
