#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/Classification.h"
#include "prefs/Bundle.h"
#include "support/CaseFile.h"
#include "text/Lines.h"
#include "text/TextFile.h"

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
        QIFClassification found =
            classifyQIF(text, start, words.ends_with("continuing"), Bundle::builtIn().dateTables());
        return outcomeAnswer(found.outcome, found.kind, found.skippedLines, found.account);
      });
}

const std::string kCorpus = CORVELA_CORPUS;

// Every statement of the corpus is classified as the kind it is: OFX and QFX downloads are OFX,
// also those that leave the header out, whatever comes before their body; CSV exports (many of
// which begin with "Date" and end in a line break) are text, QIF bank and card registers stay
// registers.
TEST(ClassificationCorpusTest, CSVIsTextAndRegistersStayRegisters) {
  using Outcome = QIFClassification::Outcome;
  const DateTables tables = Bundle::builtIn().dateTables();
  std::ifstream manifest(kCorpus + "/MANIFEST.md");
  ASSERT_TRUE(manifest) << "the corpus is missing";
  int csv = 0;
  int registers = 0;
  int downloads = 0;
  for (std::string row; std::getline(manifest, row);) {
    // | file | kind | ...
    if (!row.starts_with("| ") || row.find('/') == std::string::npos) continue;
    std::size_t fileEnd = row.find(" | ", 2);
    std::size_t kindEnd = row.find(" | ", fileEnd + 3);
    std::string file = row.substr(2, fileEnd - 2);
    std::string kind = row.substr(fileEnd + 3, kindEnd - fileEnd - 3);
    const bool isCSV = kind == "CSV";
    const bool isDownload = kind.starts_with("OFX") || kind.starts_with("QFX");
    if (!isDownload && !isCSV && kind != "QIF bank" && kind != "QIF ccard") continue;
    Result<DecodedText> read = readTextFile(kCorpus + "/" + file);
    ASSERT_TRUE(read.ok()) << read.message();
    if (isDownload) {
      ++downloads;
      EXPECT_TRUE(isOFX(read.value().text)) << file;
      continue;
    }
    ++(isCSV ? csv : registers);
    QIFClassification found = classifyQIF(read.value().text, 0, false, tables);
    // A register may still be refused for holding several accounts, but never read as text.
    EXPECT_EQ(found.outcome == Outcome::text, isCSV) << file;
  }
  EXPECT_EQ(csv, 30);
  EXPECT_EQ(registers, 16);
  EXPECT_EQ(downloads, 55);
}

}  // namespace
}  // namespace corvela
