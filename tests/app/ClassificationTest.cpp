#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/Classification.h"
#include "prefs/Bundle.h"
#include "support/CaseFile.h"
#include "text/Lines.h"

namespace corvela {
namespace {

TEST(ClassificationTest, OFXAccountIsCutAtWhitespaceOrTag) {
  struct Case {
    const char* text;
    std::optional<std::string> account;
  };
  const Case cases[] = {
      {"<ACCTID>12345</ACCTID>", "12345"},
      {"<ACCTID>12345\n<ACCTTYPE>CHECKING", "12345"},
      {"<ACCTID>12345\r\n<ACCTTYPE>", "12345"},
      {"<ACCTID>12 345<", "12"},
      {"<ACCTID>\n<BANKID>1", ""},
      {"<ACCTID>", std::nullopt},
      {"header <ACCTID>98765", std::nullopt},
      {"<BANKID>1<ACCTTYPE>SAVINGS", std::nullopt},
      {"<ACCTID>first<ACCTID>second ", "first"},
  };
  for (const Case& c : cases) EXPECT_EQ(ofxAccount(c.text), c.account) << c.text;
}

TEST(ClassificationTest, OFXStatementKindsInTheirOrder) {
  EXPECT_EQ(ofxStatementKind("<OFX><BANKMSGSRSV1><CREDITCARDMSGSRSV1>"), 0);
  EXPECT_EQ(ofxStatementKind("<CREDITCARDMSGSRSV1><INVSTMTMSGSRSV1>"), 1);
  EXPECT_EQ(ofxStatementKind("<INVSTMTMSGSRSV1>"), 2);
  EXPECT_EQ(ofxStatementKind("<SIGNONMSGSRSV1>"), std::nullopt);
  EXPECT_EQ(kindLabel(4), "Unknown");
}

using Outcome = QIFClassification::Outcome;

std::string outcomeAnswer(Outcome outcome, int kind, std::size_t skipped,
                          const std::optional<std::string>& account) {
  const char* names[] = {"no transactions", "multiple accounts", "no type line",
                         "investment",      "register",          "text"};
  std::string answer = names[static_cast<int>(outcome)];
  if (outcome == Outcome::reg || outcome == Outcome::investment)
    answer += ", kind " + std::to_string(kind) + ", " + std::to_string(skipped) + " lines skipped";
  return answer + (account ? ", account " + testing::quoted(*account) : "");
}

TEST(ClassificationTest, ClassifiesQIF) {
  testing::expectCaseFile(
      "app/classified-qif.txt", [](const std::string& text, const std::string& words) {
        std::size_t start = words.starts_with("from line ") ? std::stoul(words.substr(10)) : 0;
        QIFClassification found = classifyQIF(findLines(text), start, words.ends_with("continuing"),
                                              Bundle::builtIn().dateTables());
        return outcomeAnswer(found.outcome, found.kind, found.skippedLines, found.account);
      });
}

}  // namespace
}  // namespace corvela
