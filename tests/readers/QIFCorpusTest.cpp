// Real QIF registers written by other programs, read the way an opened file is: decoded (UTF-8,
// else Windows-1252), cut into lines whatever their line ends, and started after the register's
// "!Type" header line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "support/CaseFile.h"
#include "support/ScratchStore.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace key = transactionKey;

struct Register {
  std::vector<std::string> lines;  // after the header
  int skippedLines = 0;            // header lines taken off the front
};

// The lines of the register that starts at the first "!Type:Bank" or "!Type:CCard" line (list
// sections and account blocks before it are not transactions).
Register registerOf(const std::string& file) {
  Result<DecodedText> text = readTextFile(std::string(CORVELA_CORPUS) + "/" + file);
  EXPECT_TRUE(text.ok()) << text.message();
  std::vector<std::string> lines = findLines(text.ok() ? text.value().text : "").strings();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with("!Type:Bank") || lines[i].starts_with("!Type:CCard"))
      return {std::vector<std::string>(lines.begin() + static_cast<long>(i) + 1, lines.end()),
              static_cast<int>(i + 1)};
  }
  ADD_FAILURE() << file << " has no bank or credit-card register";
  return {};
}

class QIFCorpusTest : public ::testing::Test {
 protected:
  QIFCorpusTest() : options(store.prefs), reader(store.prefs, options, Bundle::builtIn()) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }
  QIFReadResult read(const Register& qif, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    const std::vector<std::string_view> lines(qif.lines.begin(), qif.lines.end());
    return reader.fromQIFLines(lines, from, to, CalendarDay{2024, 6, 15});
  }

  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

// The registers of tests/data/readers/qif-corpus.txt are read whole. Every record has an amount.
// (Ranges and split totals are checked for every corpus file through the command line.)
TEST_F(QIFCorpusTest, EveryRecordOfTheRegisterIsRead) {
  testing::expectCaseFile(
      "readers/qif-corpus.txt", [this](const std::string& file, const std::string&) {
        Register qif = registerOf(file);
        QIFReadResult result = read(qif);
        if (!result.ok())
          return "corrupted QIF on line " + std::to_string(result.failedLine + qif.skippedLines);
        for (const Value& record : result.qif.toArray()) {
          EXPECT_TRUE(has(record, key::amount)) << file;
          EXPECT_FALSE(has(record, key::splits) && has(record, key::category)) << file;
        }
        if (result.qif.size() == 0) return std::string("no records");
        return std::to_string(result.qif.size()) + " records, " + str(result.qif[0], key::date) +
               " to " + str(result.qif[result.qif.size() - 1], key::date);
      });
}

TEST_F(QIFCorpusTest, SplitsOfARealRegisterAreKept) {
  // Counted with awk over the file: 27 records hold "S" lines, with 63 "$" lines among them.
  QIFReadResult result = read(registerOf("gnucash/Money95bank_fr.qif"));
  std::size_t withSplits = 0, splits = 0;
  for (const Value& record : result.qif.toArray()) {
    withSplits += has(record, key::splits);
    splits += record[key::splits].size();
  }
  EXPECT_EQ(withSplits, 27u);
  EXPECT_EQ(splits, 63u);
  // The accent of "Câble" came through the Windows-1252 decoding.
  EXPECT_EQ(str(result.qif[1], key::category), "Loisirs:Canal Plus-C\u00e2ble");
  EXPECT_EQ(str(result.qif[2][key::splits][1], splitKey::memo), "Disquettes");
}

TEST_F(QIFCorpusTest, CarriageReturnLinesWithDayFirstDates) {
  // One record dated 27/02/2007, lines ended by CR. Month 27 is no month, so the register is
  // read day first without the option; with it, the same records.
  Register qif = registerOf("moneyguru/chr13_line_sep.qif");
  QIFReadResult unasked = read(qif);
  EXPECT_TRUE(unasked.readDayFirst);
  options.add(option::europeanDates);
  QIFReadResult dayFirst = read(qif);
  EXPECT_FALSE(dayFirst.readDayFirst);
  EXPECT_EQ(unasked.qif, dayFirst.qif);
  ASSERT_EQ(dayFirst.qif.size(), 1u);
  EXPECT_EQ(str(dayFirst.qif[0], key::date), "02/27/2007");
  EXPECT_EQ(str(dayFirst.qif[0], key::amount), "17,036.59");
  EXPECT_EQ(str(dayFirst.qif[0], key::category), "[IF Cash ISA {G}]");
}

TEST_F(QIFCorpusTest, DatesWithTextGluedOnAreReportedAsCorrupted) {
  // The first record's date line reads "D03/25/099Share Withdrawal", line 2 of the file.
  Register qif = registerOf("gnucash/web.qif");
  QIFReadResult result = read(qif);
  EXPECT_EQ(result.failedLine + qif.skippedLines, 2);
  EXPECT_EQ(result.qif.size(), 0u);
}

}  // namespace
}  // namespace corvela
