// The small text scanners, each held to a file of cases under tests/data/text (amounts, entities,
// templates, case-insensitive operations, fields), and the cutting of lines held to the cutting
// it replaced.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TextPrinters.h"
#include "support/CaseFile.h"
#include "text/Amounts.h"
#include "text/CaseInsensitive.h"
#include "text/Entities.h"
#include "text/Fields.h"
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

using Fields = std::vector<std::string>;

// The fields of a text, cut from start to end as a reader cuts them (each field's own text, from
// its start to its end).
Fields cut(std::string_view text, std::string_view rule, ScanState& state) {
  Fields fields;
  std::size_t start = 0;
  while (start < text.size()) {
    FieldBreak field = findField(text, start, rule, state);
    fields.emplace_back(text.substr(start, field.end - start));
    start = field.next;
  }
  return fields;
}

TEST(FieldsTest, EveryRule) {
  testing::expectCaseFile("text/fields.txt", [](const std::string& text, const std::string& words) {
    ScanState state;
    std::size_t gap = words.find(" gap ");
    if (gap != std::string::npos) state.multipleBlankCount = std::stoi(words.substr(gap + 5));
    std::string rule = words.substr(0, gap);
    std::string fields;
    for (const std::string& field : cut(text, rule == "-" ? "" : rule, state))
      fields += (fields.empty() ? "" : " ") + testing::quoted(field);
    return fields;
  });
}

TEST(FieldsTest, InitialBlanksAreRemembered) {
  ScanState state;
  const std::string_view format = fieldRule::INITIAL_BLANKS;
  EXPECT_EQ(findField("a\t  b", 0, format, state), (FieldBreak{1, 4}));
  EXPECT_EQ(state.initialBlanks, 2);
  // The same number of blanks now continues the field.
  EXPECT_EQ(findField("a\n  b\tc", 0, format, state), (FieldBreak{5, 6}));
  EXPECT_EQ(state.initialBlanks, 0);
}

TEST(FieldsTest, EveryRuleMovesOnAndStaysInsideTheText) {
  const char* rules[] = {"OFX",     "MULTIPLE_BLANKS", "CSV",       "SSV",
                         "COLUMNS", "COUNT",           "TABS_ONLY", "INITIAL_BLANKS"};
  const char* texts[] = {"",      " ",       "\t",       "\r\n",      "\"",     "\"\"",
                         ",",     ";",       "  ",       "a  ",       "\t  \t", "\"a\" ",
                         "a\t  ", "x\n  \n", "\xC3\xA9", "\",\"\",\""};
  for (const char* r : rules) {
    for (const char* t : texts) {
      ScanState state;
      std::string_view text(t);
      for (std::size_t start = 0; start < text.size();) {
        FieldBreak field = findField(text, start, r, state);
        ASSERT_GT(field.next, start) << r << " on \"" << t << "\"";
        ASSERT_GE(field.end, start);
        ASSERT_LE(field.end, field.next);
        ASSERT_LE(field.next, text.size());
        start = field.next;
      }
      EXPECT_EQ(findField(text, text.size(), r, state), (FieldBreak{text.size(), text.size()}));
    }
  }
}

// The words are the key, quoted, and whether the field is after it or before it.
TEST(FieldsTest, MatchField) {
  testing::expectCaseFile(
      "text/match-field.txt", [](const std::string& text, const std::string& words) {
        std::optional<std::size_t> at =
            matchField(text, testing::unquoted(words), words.ends_with("after"));
        return at ? std::to_string(*at) : "none";
      });
}

TEST(FieldsTest, NonNullMin) {
  using P = std::optional<std::size_t>;
  const P cases[][3] = {{3, 5, 3}, {5, 3, 3}, {{}, 5, 5}, {5, {}, 5}, {{}, {}, {}}};
  for (const auto& [a, b, min] : cases) EXPECT_EQ(nonNullMin(a, b), min);
}

}  // namespace
}  // namespace corvela
