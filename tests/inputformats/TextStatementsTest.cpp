// Real CSV statements of banks in several countries, each read with a stored input format through
// the command line, as a person's script would: the QIF is pinned byte for byte, and every run is
// checked against two others: one that names the format instead of finding it by its Match text,
// and one limited to the first transaction's day, which must keep exactly that day's records.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::readText;

const fs::path kCorpus = CORVELA_CORPUS;
const fs::path kData = fs::path(CORVELA_TEST_DATA) / "text";

// The records of a QIF text that begin with a "D" line equal to `dateLine`.
std::vector<std::string> recordsDated(const std::string& qif, const std::string& dateLine) {
  std::vector<std::string> found;
  std::size_t start = qif.find('\n') + 1;  // past the type header
  while (start < qif.size()) {
    std::size_t end = qif.find("^\n", start);
    if (end == std::string::npos) break;
    std::string record = qif.substr(start, end + 2 - start);
    if (record.starts_with(dateLine + "\n")) found.push_back(record);
    start = end + 2;
  }
  return found;
}

struct Statement {
  const char* folder;  // under tests/data/text: store.json (the format) and expected.qif
  const char* input;   // under the corpus
  const char* format;  // the stored format's name
};

void PrintTo(const Statement& s, std::ostream* os) { *os << s.folder; }

class TextStatementsTest : public ::testing::TestWithParam<Statement> {
 protected:
  std::string convert(std::vector<std::string> extra) {
    fs::remove(store);
    fs::remove(output);
    EXPECT_EQ(
        testing::runCli({"prefs", "import", (kData / GetParam().folder / "store.json").string(),
                         "--prefs", store})
            .status,
        0);
    std::vector<std::string> args = {
        "convert", (kCorpus / GetParam().input).string(), "--prefs", store, "-o", output};
    args.insert(args.end(), extra.begin(), extra.end());
    testing::CliRun run = testing::runCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return readText(output);
  }

  testing::TempDir dir;
  std::string store = dir.path("store.prefs");
  std::string output = dir.path("out.qif");
};

TEST_P(TextStatementsTest, ConvertsToThePinnedQIF) {
  const std::string expected = readText(kData / GetParam().folder / "expected.qif");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(convert({}), expected);
  EXPECT_EQ(convert({"--format", GetParam().format}), expected);

  // "D01/02/2016" is the first record's date line; the range takes that day alone.
  std::string firstDate = expected.substr(expected.find("\nD") + 2, 10);
  std::string oneDay = convert({"--from", firstDate, "--to", firstDate});
  std::vector<std::string> kept = recordsDated(oneDay, "D" + firstDate);
  EXPECT_EQ(kept, recordsDated(expected, "D" + firstDate));
  EXPECT_EQ(static_cast<std::size_t>(std::count(oneDay.begin(), oneDay.end(), '^')), kept.size());
}

const Statement kStatements[] = {
    // US card: ISO dates, separate debit and credit columns.
    {"capitalone", "csv2ofx/capitalone.csv", "Capital One Card"},
    // US: a header beginning with "Date", CR line ends, quoted "1,000.00", a debit/credit column.
    {"mint", "csv2ofx/mint.csv", "Mint"},
    // Austria: DD.MM.YYYY, decimal comma, semicolons, Windows-1252.
    {"oberbank", "ofxstatement-austrian/oberbank.csv", "Oberbank"},
    // Netherlands: a preamble line, quoted DD-MM-YYYY, a D/C indicator column, decimal comma.
    {"knab", "ofxstatement-dutch/Knab_transactieoverzicht_ok.csv", "Knab"},
    // UTF-16 without a byte-order mark, day before month.
    {"utf16", "moneyguru/utf16_encoded.csv", "UTF-16 export"},
    // France: Windows-1252 (accents, the euro sign, a dash), year-first dates in quotes.
    {"french-cp1252", "hledger/sample.fr.cp1252.csv", "Banque"},
    // Germany: a dozen preamble lines holding dates of their own, decimal comma.
    {"ing-de", "ofxstatement-de-ing/test_with_saldo_1.csv", "ING Girokonto"},
    // Lithuania: quoted fields with inner quotes, a D/K indicator column.
    {"swedbank", "ofxstatement-lithuanian/swedbank.csv", "Swedbank"},
    // Germany: the date in the second column, twenty-two columns.
    {"gls", "csv2ofx/gls.csv", "GLS Bank"},
};

INSTANTIATE_TEST_SUITE_P(Corpus, TextStatementsTest, ::testing::ValuesIn(kStatements),
                         [](const auto& info) {
                           std::string name = info.param.folder;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace corvela
