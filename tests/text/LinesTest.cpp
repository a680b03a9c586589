#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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
  for (const Case& c : cases) EXPECT_EQ(findLines(c.text), c.expected) << c.name;
}

std::string corpusFile(const char* name) {
  std::ifstream in(std::string(CORVELA_CORPUS) + "/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(LinesTest, StatementsWithEachLineEnd) {
  struct Case {
    const char* file;
    const char* first;
  };
  const Case cases[] = {
      {"moneyguru/chr13_line_sep.qif", "!Account"},                                      // CR
      {"csv2ofx/ingesp.csv", "date,class,subcategory,desc,notes,image,amount,balance"},  // CR LF
      {"csv2ofx/mint.csv",
       "Date,Description,Original Description,Amount,Transaction Type,Category,Account Name,"
       "Labels,Notes"},                                  // CR
      {"moneyguru/ddmmyyyy_with_dots.qif", "!Account"},  // LF
  };
  for (const Case& c : cases) {
    std::string text = corpusFile(c.file);
    ASSERT_FALSE(text.empty()) << c.file;
    Lines lines = findLines(text);
    EXPECT_GT(lines.size(), 3u) << c.file;
    EXPECT_EQ(lines.front(), c.first) << c.file;
    for (const std::string& line : lines) {
      EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << c.file << ": " << line;
    }
  }
}

}  // namespace
}  // namespace corvela
