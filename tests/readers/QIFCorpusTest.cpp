// Real QIF registers written by other programs, read the way an opened file is: decoded (UTF-8,
// else Windows-1252), cut into lines whatever their line ends, and started after the register's
// "!Type" header line.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

const std::string kCorpus = CORVELA_CORPUS;

struct Register {
  std::vector<std::string> lines;  // after the header
  int skippedLines = 0;            // header lines taken off the front
};

// The lines of the register that starts at the first "!Type:" line (list sections and account
// blocks before it are not transactions).
Register registerOf(const std::string& relativePath) {
  Result<DecodedText> file = readTextFile(kCorpus + "/" + relativePath);
  EXPECT_TRUE(file.ok()) << file.message();
  if (!file.ok()) return {};
  std::vector<std::string> lines = findLines(file.value().text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with("!Type:Bank") || lines[i].starts_with("!Type:CCard")) {
      return {std::vector<std::string>(lines.begin() + static_cast<long>(i) + 1, lines.end()),
              static_cast<int>(i + 1)};
    }
  }
  ADD_FAILURE() << relativePath << " has no bank or credit-card register";
  return {};
}

class QIFCorpusTest : public ::testing::Test {
 protected:
  QIFCorpusTest() : options(store.prefs), reader(store.prefs, options, Bundle::builtIn()) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }

  QIFReadResult read(const Register& qif) {
    return reader.fromQIFLines(qif.lines, CalendarDay::distantPast(), CalendarDay::distantFuture(),
                               CalendarDay{2024, 6, 15});
  }

  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

// Expected counts were taken from the files with grep, not from this reader:
//   tr '\r' '\n' < FILE | grep -c '^\^'     (records closed by "^")
//   tr '\r' '\n' < FILE | grep -c '^D'      (dated records)
// and, where a file holds more than its register, by counting inside the register only.
struct CorpusCase {
  const char* file;
  std::size_t records;
  const char* firstDate;
  const char* lastDate;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const CorpusCase& c, std::ostream* os) { *os << c.file; }

class QIFCorpusCountTest : public QIFCorpusTest,
                           public ::testing::WithParamInterface<CorpusCase> {};

TEST_P(QIFCorpusCountTest, EveryRecordOfTheRegisterIsRead) {
  Register qif = registerOf(GetParam().file);
  QIFReadResult result = read(qif);
  ASSERT_TRUE(result.ok()) << GetParam().file << ": corrupted QIF on line "
                           << result.failedLine + qif.skippedLines;
  ASSERT_EQ(result.qif.size(), GetParam().records);
  EXPECT_EQ(str(result.qif[0], transactionKey::date), GetParam().firstDate);
  EXPECT_EQ(str(result.qif[result.qif.size() - 1], transactionKey::date), GetParam().lastDate);
  for (const Value& record : result.qif.toArray()) {
    EXPECT_TRUE(has(record, transactionKey::amount)) << GetParam().file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, QIFCorpusCountTest,
    ::testing::Values(
        // 347 "^" lines, 347 "D" lines; MS Money 95 bank register with two-digit years.
        CorpusCase{"gnucash/ms-money.qif", 347, "12/03/1995", "12/12/1997"},
        // 33 "^" lines, of which 4 close the "!Type:Tag" list before the register: 29 records,
        // matching its 29 "D" lines. UTF-8 with a byte-order mark; the last "^" has no line end.
        CorpusCase{"Nerdbank.Qif/sample.qif", 29, "01/01/2008", "12/10/2008"},
        // 6 "^" and 6 "D" lines; a credit-card register.
        CorpusCase{"jgnash/bank1.qif", 6, "02/22/2011", "03/15/2011"},
        // 9 "^" and 9 "D" lines; CBB export, not in date order.
        CorpusCase{"gnucash/cbb-export.qif", 9, "10/11/1997", "09/29/1997"},
        // 143 "^" and 143 "D" lines; Windows-1252 text with CR LF line ends and splits.
        CorpusCase{"gnucash/Money95bank_fr.qif", 143, "01/01/1995", "12/31/1995"}),
    [](const ::testing::TestParamInfo<CorpusCase>& info) {
      std::string name = info.param.file;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST_F(QIFCorpusTest, SplitsOfARealRegisterAreKept) {
  // Counted with awk over the file: 27 records hold "S" lines, with 63 "$" lines among them.
  QIFReadResult result = read(registerOf("gnucash/Money95bank_fr.qif"));
  ASSERT_TRUE(result.ok());
  std::size_t withSplits = 0, splits = 0;
  for (const Value& record : result.qif.toArray()) {
    if (!has(record, transactionKey::splits)) continue;
    ++withSplits;
    splits += record[transactionKey::splits].size();
    EXPECT_FALSE(has(record, transactionKey::category));
  }
  EXPECT_EQ(withSplits, 27u);
  EXPECT_EQ(splits, 63u);
  // The third record: "Loisirs:Livres-Journaux" split three ways; the accent of "Câble" in the
  // second record's category came through the Windows-1252 decoding.
  EXPECT_EQ(str(result.qif[1], transactionKey::category), "Loisirs:Canal Plus-C\u00e2ble");
  ASSERT_EQ(result.qif[2][transactionKey::splits].size(), 3u);
  EXPECT_EQ(str(result.qif[2][transactionKey::splits][1], splitKey::memo), "Disquettes");
}

TEST_F(QIFCorpusTest, CarriageReturnLinesWithDayFirstDates) {
  // One register record (one "D" line after "!Type:Bank"), dated 27/02/2007, lines ended by CR.
  Register qif = registerOf("moneyguru/chr13_line_sep.qif");
  // Month 27 is no month, so the option need not be on for the register to be read day first.
  QIFReadResult unasked = read(qif);
  EXPECT_TRUE(unasked.readDayFirst);

  options.add(option::europeanDates);
  QIFReadResult dayFirst = read(qif);
  ASSERT_TRUE(dayFirst.ok());
  EXPECT_FALSE(dayFirst.readDayFirst);
  EXPECT_EQ(unasked.qif, dayFirst.qif);
  ASSERT_EQ(dayFirst.qif.size(), 1u);
  EXPECT_EQ(str(dayFirst.qif[0], transactionKey::date), "02/27/2007");
  EXPECT_EQ(str(dayFirst.qif[0], transactionKey::amount), "17,036.59");
  EXPECT_EQ(str(dayFirst.qif[0], transactionKey::category), "[IF Cash ISA {G}]");
}

TEST_F(QIFCorpusTest, DatesWithTextGluedOnAreReportedAsCorrupted) {
  // The first record's date line reads "D03/25/099Share Withdrawal": the line after the header,
  // line 2 of the file.
  Register qif = registerOf("gnucash/web.qif");
  QIFReadResult result = read(qif);
  EXPECT_EQ(result.failedLine, 1);
  EXPECT_EQ(result.failedLine + qif.skippedLines, 2);
  EXPECT_EQ(result.qif.size(), 0u);
}

}  // namespace
}  // namespace corvela
