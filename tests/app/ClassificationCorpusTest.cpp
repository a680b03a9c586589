// Every statement of the corpus is classified as the kind it is: OFX and QFX downloads are OFX,
// also those that leave the header out, whatever comes before their body; CSV exports (many of
// which begin with "Date" and end in a line break) are text, QIF bank and card registers stay
// registers.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/Classification.h"
#include "prefs/Bundle.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

const std::string kCorpus = CORVELA_CORPUS;

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
    QIFClassification found = classifyQIF(findLines(read.value().text), 0, false, tables);
    // A register may still be refused for holding several accounts, but never read as text.
    EXPECT_EQ(found.outcome == Outcome::text, isCSV) << file;
  }
  EXPECT_EQ(csv, 30);
  EXPECT_EQ(registers, 16);
  EXPECT_EQ(downloads, 55);
}

}  // namespace
}  // namespace corvela
