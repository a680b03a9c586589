#include <gtest/gtest.h>

#include <algorithm>

#include "TextPrinters.h"
#include "support/CaseFile.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

int sign(int value) { return (value > 0) - (value < 0); }

// Every case of tests/data/text/case-insensitive.txt: a text compared with another (both ways),
// searched from a position, tested for a beginning or a part, replaced in, or capitalized.
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
        if (words.starts_with("begins"))
          return std::string(beginsWithIgnoringCase(text, other) ? "yes" : "no");
        if (words.starts_with("contains"))
          return std::string(containsIgnoringCase(text, other) ? "yes" : "no");
        if (words.starts_with("replace")) {
          std::string replaced = text;
          caseInsensitiveReplace(replaced, other, testing::unquoted(rest.substr(end + 4)));
          return testing::quoted(replaced);
        }
        return testing::quoted(capitalizedWords(text));
      });
}

}  // namespace
}  // namespace corvela
