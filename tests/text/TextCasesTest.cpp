// The small text scanners, each held to a file of cases under tests/data/text.

#include <gtest/gtest.h>

#include <cstdio>

#include "support/CaseFile.h"
#include "text/Amounts.h"
#include "text/Entities.h"
#include "text/Lines.h"
#include "text/OutputTemplate.h"

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

}  // namespace
}  // namespace corvela
