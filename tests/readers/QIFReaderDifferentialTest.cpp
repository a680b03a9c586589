#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "support/Corpus.h"
#include "support/ScratchStore.h"
#include "text/Amounts.h"
#include "text/Dates.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

constexpr CalendarDay kToday{2024, 6, 15};

// The register walk as it was before records were made at their "^": a dictionary per record,
// one key set per line. Month-first dates only; answers the records, or none for a bad date.
std::optional<Value> readAsBefore(std::span<const std::string_view> lines, CalendarDay from,
                                  CalendarDay to) {
  const DateTables tables = Bundle::builtIn().dateTables();
  Value qif = Value::array();
  Value record = Value::dictionary();
  std::optional<Value> splits;
  std::string splitCategory;
  std::optional<std::string> splitMemo;
  bool skip = false;
  auto restart = [&] {
    record = Value::dictionary();
    splits.reset();
    skip = false;
  };
  for (std::string_view line : lines) {
    if (line.empty() || line[0] == ' ') continue;
    const std::string_view rest = line.substr(1);
    if (line[0] == 'D') {
      std::optional<CalendarDay> date = parseQIFDate(rest, tables, false, kToday);
      if (!date || !date->isValid()) return std::nullopt;
      if (skip) continue;
      if (*date < from || *date > to) {
        restart();
        skip = true;
      } else {
        record.set(transactionKey::date, date->format("%m/%d/%Y"));
      }
      continue;
    }
    if (skip) {
      if (line[0] == '^') restart();
      continue;
    }
    switch (line[0]) {
      case 'N':
        record.set(transactionKey::number, rest);
        break;
      case 'M':
        record.set(transactionKey::memo, rest);
        break;
      case 'L':
        record.set(transactionKey::category, rest);
        break;
      case 'C':
        record.set(transactionKey::cleared, rest);
        break;
      case 'P':
        record.set(transactionKey::description, rest);
        break;
      case 'T':
        record.set(transactionKey::amount, convertEuropeanAmount(rest));
        break;
      case 'S':
        splitCategory = std::string(rest);
        splitMemo.reset();
        if (!splits) splits = Value::array();
        break;
      case 'E':
        splitMemo = std::string(rest);
        break;
      case '$':
        if (splits)
          splits->append(Value{{std::string(splitKey::category), splitCategory},
                               {std::string(splitKey::memo), splitMemo.value_or("")},
                               {std::string(splitKey::amount), convertEuropeanAmount(rest)}});
        break;
      case '^':
        if (record.contains(transactionKey::date)) {
          if (splits) {
            record.set(transactionKey::splits, std::move(*splits));
            record.erase(transactionKey::category);
          }
          qif.append(std::move(record));
        }
        restart();
        break;
      default:
        break;
    }
  }
  return qif;
}

class QIFReaderDifferentialTest : public ::testing::Test {
 protected:
  QIFReaderDifferentialTest()
      : options(store.prefs), reader(store.prefs, options, Bundle::builtIn()) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }
  // Compares the reader with the walk above, over every record and with a range; a register
  // the reader reads day first (or cannot read) is compared on whether it was read at all.
  void compare(std::string_view text, const std::string& name) {
    const TextLines lines = findLines(text);
    for (auto [from, to] : {std::pair{CalendarDay::distantPast(), CalendarDay::distantFuture()},
                            std::pair{CalendarDay{2023, 3, 1}, CalendarDay{2024, 2, 29}}}) {
      QIFReadResult read = reader.fromQIFText(text, 0, from, to, kToday);
      // Read a window at a time, the register gives the same records.
      for (std::size_t window : {1, 2, 7}) {
        QIFReadResult outcome;
        std::unique_ptr<RecordWindows> windows = reader.windows(text, 0, from, to, kToday, outcome);
        RecordList records;
        for (std::size_t before = 0; windows->next(records, window); before = records.size())
          ASSERT_LE(records.size() - before, window) << name;
        EXPECT_EQ(records.toValue(), read.qif.toValue()) << name << ", " << window << " at a time";
      }
      std::optional<Value> before = readAsBefore(lines, from, to);
      if (read.readDayFirst || !read.ok()) {
        EXPECT_FALSE(before.has_value()) << name;
        continue;
      }
      ASSERT_TRUE(before.has_value()) << name;
      EXPECT_EQ(read.qif.toValue(), *before) << name;
    }
  }

  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

TEST_F(QIFReaderDifferentialTest, EveryCorpusRegisterReadsAsBefore) {
  int files = 0;
  for (const std::string& statement : testing::corpusStatements()) {
    if (testing::lowerExtension(statement) != ".qif") continue;
    Result<DecodedText> read = readTextFile((testing::kCorpus / statement).string());
    ASSERT_TRUE(read.ok()) << read.message();
    compare(read.value().text, statement);
    ++files;
  }
  EXPECT_GT(files, 20);
}

// Registers made of every kind of line in any order: fields before their date, repeated
// fields, splits without amounts, records without a date or without a "^".
TEST_F(QIFReaderDifferentialTest, ShuffledLinesReadAsBefore) {
  const char* kinds[] = {"D1/5/24", "D3/9/23",   "D12/31/22",  "N101",    "MPaid to a long name",
                         "LFood",   "C*",        "PShop",      "T-12,50", "T1,234.00",
                         "SFood",   "SCar:Fuel", "Elunch",     "$-2.50",  "$10,5",
                         "^",       "^",         "!Type:Bank", "U5.00",   ""};
  std::mt19937 random(17);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (std::size_t n = random() % 30; n > 0; --n)
      text += std::string(kinds[random() % 20]) + "\n";
    compare(text, text);
  }
}

}  // namespace
}  // namespace corvela
