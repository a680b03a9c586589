// The small text scanners, each held to a file of cases under tests/data/text, and the cutting
// of lines held to the cutting it replaced.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/CaseFile.h"
#include "text/Amounts.h"
#include "text/Entities.h"
#include "text/Lines.h"
#include "text/OutputTemplate.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

using testing::expectCaseFile;

TEST(AmountsTest, ConvertEuropeanAmount) {
  expectCaseFile("text/european-amounts.txt", [](const std::string& text, const std::string&) {
    return testing::quoted(convertEuropeanAmount(text));
  });
}

TEST(AmountsTest, FindAmount) {
  expectCaseFile("text/amounts.txt", [](const std::string& text, const std::string&) {
    AmountReading reading = findAmount(text);
    char value[64];
    std::snprintf(value, sizeof value, "%s%.10g", reading.negative ? "-" : "", reading.value);
    return reading.isAmount() ? std::string(value) : "no amount";
  });
}

TEST(EntitiesTest, DecodesWhatOFXEscapesAndLeavesTheRest) {
  expectCaseFile("text/entities.txt", [](const std::string& text, const std::string&) {
    return testing::quoted(decodeEntities(text));
  });
}

// The words are the description and the memo, each quoted.
TEST(OutputTemplateTest, FillsDescriptionAndMemo) {
  expectCaseFile("text/output-templates.txt",
                 [](const std::string& text, const std::string& words) {
                   std::size_t end = 0;
                   std::string description = testing::unquoted(words, &end);
                   std::string memo = testing::unquoted(std::string_view(words).substr(end + 1));
                   return testing::quoted(convertOutputForFieldType(text, description, memo));
                 });
}

TEST(LinesTest, EveryKindOfLineEnd) {
  expectCaseFile("text/lines.txt", [](const std::string& text, const std::string&) {
    std::string lines;
    for (const std::string& line : findLines(text).strings())
      lines += (lines.empty() ? "" : " ") + testing::quoted(line);
    return lines;
  });
}

// Line cutting as it was done before it handed out views: one string per line, the text cut
// once per kind of line end. The views must give the same lines for every text.
std::vector<std::string> cutAsBefore(std::string_view text) {
  auto split = [text](std::string_view separator) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(separator, start)) != std::string_view::npos;
         start = found + separator.size())
      lines.emplace_back(text.substr(start, found - start));
    lines.emplace_back(text.substr(start));
    return lines;
  };
  std::vector<std::string> crlf = split("\r\n");
  if (crlf.size() > 1) {
    std::vector<std::string> lf = split("\n");
    if (lf.size() <= crlf.size()) return crlf;
    for (std::string& line : lf) std::erase(line, '\r');
    return lf;
  }
  std::vector<std::string> cr = split("\r");
  return cr.size() > 1 ? cr : split("\n");
}

TEST(LinesCorpusTest, ViewsGiveTheLinesOfEveryCorpusFile) {
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(CORVELA_CORPUS)) {
    if (!entry.is_regular_file()) continue;
    Result<DecodedText> read = readTextFile(entry.path().string());
    if (!read.ok()) continue;
    const std::string& text = read.value().text;
    EXPECT_EQ(findLines(text).strings(), cutAsBefore(text)) << entry.path();
    ++files;
  }
  EXPECT_GT(files, 100);
}

// Short texts of nothing but line-end characters and one letter meet every mix of line ends,
// the ones no corpus file has included (a CR LF split by a lone CR, a text ending in CR).
TEST(LinesCorpusTest, ViewsGiveTheLinesOfEveryMixOfLineEnds) {
  std::mt19937 random(17);
  const char alphabet[] = {'\r', '\n', 'a'};
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 9, ' ');
    for (char& c : text) c = alphabet[random() % 3];
    EXPECT_EQ(findLines(text).strings(), cutAsBefore(text)) << ::testing::PrintToString(text);
  }
}

}  // namespace
}  // namespace corvela
