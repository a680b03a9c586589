#include <gtest/gtest.h>

#include "TextPrinters.h"
#include "support/CaseFile.h"
#include "text/Fields.h"

namespace corvela {
namespace {

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
