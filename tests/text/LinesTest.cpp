#include <gtest/gtest.h>

#include "text/Lines.h"

namespace corvela {
namespace {

using Lines = std::vector<std::string>;

TEST(LinesTest, EveryKindOfLineEnd) {
  struct Case {
    const char* name;
    std::string text;
    Lines expected;
  };
  const Case cases[] = {
      {"CR LF", "a\r\nb\r\nc", {"a", "b", "c"}},
      {"LF", "a\nb\nc", {"a", "b", "c"}},
      {"CR", "a\rb\rc", {"a", "b", "c"}},
      {"CR LF mixed with LF", "a\r\nb\nc\r\nd", {"a", "b", "c", "d"}},
      {"final line end", "a\r\nb\r\n", {"a", "b", ""}},
      {"blank line", "a\n\nb", {"a", "", "b"}},
      {"CR LF with a stray CR", "a\r\nb\rc\r\nd", {"a", "b\rc", "d"}},
      {"no line end", "abc", {"abc"}},
      {"empty", "", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(findLines(c.text).strings(), c.expected) << c.name;
}

}  // namespace
}  // namespace corvela
