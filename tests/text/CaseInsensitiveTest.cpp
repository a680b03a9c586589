#include <gtest/gtest.h>

#include <algorithm>

#include "TextPrinters.h"
#include "support/CaseFile.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

int sign(int value) { return (value > 0) - (value < 0); }

// Every case of tests/data/text/case-insensitive.txt: a text compared with another (both ways),
// searched from a position, replaced in, or capitalized.
TEST(CaseInsensitiveTest, EveryOperation) {
  testing::expectCaseFile(
      "text/case-insensitive.txt", [](const std::string& text, const std::string& words) {
        const std::string_view rest = std::string_view(words).substr(words.find(' ') + 1);
        std::size_t end = 0;
        const std::string other = words == "capitalized" ? "" : testing::unquoted(rest, &end);
        if (words.starts_with("compare")) {
          int order = sign(caseInsensitiveCompare(text, other));
          EXPECT_EQ(sign(caseInsensitiveCompare(other, text)), -order) << text;
          EXPECT_EQ(equalsIgnoringCase(text, other), order == 0) << text;
          return std::string(order < 0 ? "before" : order > 0 ? "after" : "equal");
        }
        if (words.starts_with("find")) {
          std::optional<TextSpan> at =
              findIgnoringCase(text, other, std::stoul(std::string(rest.substr(end + 6))));
          return at ? "at " + std::to_string(at->start) + " length " + std::to_string(at->length)
                    : "none";
        }
        if (words.starts_with("replace")) {
          std::string replaced = text;
          caseInsensitiveReplace(replaced, other, testing::unquoted(rest.substr(end + 4)));
          return testing::quoted(replaced);
        }
        return testing::quoted(capitalizedWords(text));
      });
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

TEST(CaseInsensitiveTest, CapitalizingBrokenTextKeepsTheRest) {
  std::string out = capitalizedWords("AB\xFF CD");
  EXPECT_NE(out.find("Cd"), std::string::npos) << out;
  EXPECT_EQ(out.substr(0, 2), "Ab");
}

}  // namespace
}  // namespace corvela
