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

// What an OFX-looking text is taken for: "ofx" whether it is a download at all (with or without
// its header), "kind" the statement kind its message sets say, "account" the account it names.
TEST(ClassificationTest, OFXTexts) {
  testing::expectCaseFile("app/ofx-texts.txt",
                          [](const std::string& text, const std::string& words) -> std::string {
                            if (words == "ofx") return isOFX(text) ? "OFX" : "not OFX";
                            if (words == "kind") {
                              std::optional<int> kind = ofxStatementKind(text);
                              return kind ? std::string(kindLabel(*kind)) : "none";
                            }
                            std::optional<std::string> account = ofxAccount(text);
                            return account ? testing::quoted(*account) : "none";
                          });
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
