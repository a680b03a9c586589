// Checks that hold for every OFX and QIF statement of the corpus that converts, each run through
// the command line's conversion on a store made from the bundled example: a range keeps exactly
// the in-range records of the full run, a run after another run of a different kind writes what
// it writes on a fresh store, European notation gives the same output, and every number, memo
// and description written comes from its own transaction or from an instruction.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "formats/OutputFormats.h"
#include "prefs/Bundle.h"
#include "prefs/KeyedArchive.h"
#include "support/Corpus.h"
#include "support/FileText.h"
#include "support/TempDir.h"
#include "text/DateTables.h"
#include "text/Dates.h"
#include "text/Entities.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::corpusStatements;
using testing::corpusTestName;
using testing::isOFXFile;
using testing::kCorpus;

const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

// One written QIF record: its lines, "^" left out.
using Record = std::vector<std::string>;

std::vector<Record> recordsOf(const std::string& qif) {
  std::vector<Record> records;
  Record current;
  std::istringstream in(qif);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("!")) continue;
    if (line == "^") {
      records.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(line);
    }
  }
  return records;
}

// The text of the record's first line of `kind` ("D", "N", ...), or none.
std::optional<std::string> field(const Record& record, char kind) {
  for (const std::string& line : record)
    if (!line.empty() && line[0] == kind) return line.substr(1);
  return std::nullopt;
}

// A written date (MM/DD/YYYY) as a number that sorts like the days.
int dayNumber(const std::string& date) {
  return std::stoi(date.substr(6)) * 10000 + std::stoi(date.substr(0, 2)) * 100 +
         std::stoi(date.substr(3, 2));
}

// The statement in European notation: decimal commas (thousands points) in "T", "$" and <TRNAMT>
// amounts, and day before month in "D" lines. Amounts whose reading would be ambiguous (three
// decimals, or no decimals) and dates written year first or with month names stay as they are.
std::string european(const std::string& text, bool ofx) {
  static const std::regex decimal(R"([0-9][.][0-9]{1,2}(?![0-9]))");
  auto amount = [](std::string value) {
    if (!std::regex_search(value, decimal)) return value;
    for (char& c : value) c = c == '.' ? ',' : c == ',' ? '.' : c;
    return value;
  };
  std::vector<std::string> lines = findLines(text).strings();
  static const std::regex trnamt(R"((<TRNAMT>\s*)([^<\r\n]+))");
  static const std::regex monthFirst(R"(^D(\s*)([0-9]{1,2})([/.'-])(\s*)([0-9]{1,2})([^0-9].*)$)");
  std::string out;
  for (std::string line : lines) {
    std::smatch m;
    if (ofx) {
      if (std::regex_search(line, m, trnamt))
        line = m.prefix().str() + m[1].str() + amount(m[2].str()) + m.suffix().str();
    } else if (line.starts_with("T") || line.starts_with("$")) {
      line = line.substr(0, 1) + amount(line.substr(1));
    } else if (std::regex_match(line, m, monthFirst)) {
      line = "D" + m[1].str() + m[5].str() + m[3].str() + m[4].str() + m[2].str() + m[6].str();
    }
    out += line + "\n";
  }
  return out;
}

struct Conversion {
  int status = -1;
  std::string qif;  // the output file, empty when none was written
  std::string err;
};

class CorpusChecksTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"prefs", "import", (kExamples / "example-store.json").string(), "--prefs",
                        dir.path("example.prefs")},
                       in, out, err),
              0)
        << err.str();
    input = kCorpus / GetParam();
    ofx = isOFXFile(input);
  }

  // A store made from the bundled example, as a person starts; `change` edits its contents.
  std::string freshStore(const std::string& name,
                         const std::function<void(Value&)>& change = nullptr) {
    std::string path = dir.path(name);
    fs::copy_file(dir.path("example.prefs"), path, fs::copy_options::overwrite_existing);
    if (change) editStore(path, change);
    return path;
  }
  static void editStore(const std::string& path, const std::function<void(Value&)>& change) {
    Value root = readKeyedArchiveFile(path).value();
    change(root);
    ASSERT_TRUE(writeKeyedArchiveFile(path, root).ok());
  }

  Conversion convert(const std::string& statement, const std::string& store,
                     std::vector<std::string> extra = {}) {
    std::string output = dir.path("out-" + std::to_string(++runs));
    std::vector<std::string> args = {"convert", statement, "--prefs", store, "-o", output};
    args.insert(args.end(), extra.begin(), extra.end());
    std::istringstream in;
    std::ostringstream out, err;
    Conversion run;
    run.status = cli::run(args, in, out, err);
    run.err = err.str();
    if (fs::exists(output)) run.qif = testing::readText(output);
    return run;
  }

  // The full conversion on a fresh store.
  Conversion full() { return convert(input.string(), freshStore("full.prefs")); }

  testing::TempDir dir;
  fs::path input;
  bool ofx = false;
  int runs = 0;
};

#define CONVERTED_OR_SKIP(run)                                                    \
  if ((run).status != 0 || (run).qif.empty()) GTEST_SKIP() << "does not convert"; \
  static_assert(true)

TEST_P(CorpusChecksTest, ARangeKeepsExactlyTheRecordsOfTheFullRunInIt) {
  Conversion all = full();
  CONVERTED_OR_SKIP(all);
  std::vector<Record> records = recordsOf(all.qif);
  std::set<int> days;
  std::map<int, std::string> written;
  for (const Record& record : records) {
    std::string date = field(record, 'D').value_or("");
    days.insert(dayNumber(date));
    written[dayNumber(date)] = date;
  }
  std::vector<int> sorted(days.begin(), days.end());
  int from = sorted[sorted.size() / 3], to = sorted[sorted.size() * 2 / 3];
  Conversion ranged = convert(input.string(), freshStore("range.prefs"),
                              {"--from", written[from], "--to", written[to]});
  ASSERT_EQ(ranged.status, 0) << ranged.err;
  std::vector<Record> expected;
  for (const Record& record : records) {
    int day = dayNumber(field(record, 'D').value_or(""));
    if (day >= from && day <= to) expected.push_back(record);
  }
  EXPECT_EQ(recordsOf(ranged.qif), expected) << written[from] << " to " << written[to];
}

TEST_P(CorpusChecksTest, ARunAfterARunOfAnotherKindWritesWhatItWritesOnAFreshStore) {
  Conversion fresh = convert(input.string(), freshStore("fresh.prefs"), {"--output-format", "QIF"});
  CONVERTED_OR_SKIP(fresh);
  std::string store = freshStore("used.prefs", [](Value& root) {
    Value formats = Value::array();
    formats.append(newOutputFormat("Sheet"));
    formats.append(Value{{"Name", "QIF"}});
    root.set("OutputFormats", formats);
  });
  if (ofx) {
    // A register run whose person chose to swap description and memo and reverse the signs.
    ASSERT_EQ(convert((kCorpus / "jgnash/bank1.qif").string(), store).status, 0);
    editStore(store, [](Value& root) {
      Value settings = root["ControlSettings"];
      settings.set("inputQIFType", 3);
      root.set("ControlSettings", settings);
    });
  } else {
    // A delimited run of a download.
    Conversion sheet =
        convert((kExamples / "checking-2024-03.ofx").string(), store, {"--output-format", "Sheet"});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    ASSERT_TRUE(sheet.qif.starts_with("03/")) << sheet.qif;
  }
  Conversion after = convert(input.string(), store, {"--output-format", "QIF"});
  ASSERT_EQ(after.status, 0) << after.err;
  EXPECT_EQ(after.qif, fresh.qif);
}

TEST_P(CorpusChecksTest, EuropeanNotationGivesTheSameOutput) {
  Conversion all = full();
  CONVERTED_OR_SKIP(all);
  // A register that had to be read day first is already written the European way round.
  if (all.err.find("read day before month") != std::string::npos) GTEST_SKIP() << "day first";
  // Rewritten byte for byte, so that the statement's own encoding stays as its header says.
  std::string rewritten =
      dir.write("european" + input.extension().string(), european(testing::readText(input), ofx));
  std::string store = freshStore("european.prefs", [](Value& root) {
    Value options = root["Preferences"];
    options.append(Value("europeanDates"));
    root.set("Preferences", options);
  });
  Conversion converted = convert(rewritten, store);
  ASSERT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(converted.qif, all.qif);
}

// The texts of one transaction of the input, with its date as written in the output.
struct InputRecord {
  std::string date;
  std::set<std::string> texts;
};

std::string trimmed(std::string_view text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return "";
  std::size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(start, end - start + 1));
}

std::vector<InputRecord> inputRecords(const std::string& text, bool ofx, bool dayFirst) {
  std::vector<InputRecord> records;
  if (ofx) {
    // A value may stand on a line of its own after its tag.
    static const std::regex tag(R"(<([A-Z0-9.]+)>\s*([^<\r\n]*))");
    std::size_t at = text.find("<STMTTRN>");
    while (at != std::string::npos) {
      std::size_t next = text.find("<STMTTRN>", at + 1);
      std::string block =
          text.substr(at, next == std::string::npos ? std::string::npos : next - at);
      at = next;
      InputRecord record;
      bool hasAmount = false;
      for (std::sregex_iterator m(block.begin(), block.end(), tag), end; m != end; ++m) {
        std::string value = decodeEntities((*m)[2].str());
        std::string name = (*m)[1].str();
        record.texts.insert(value);
        record.texts.insert(trimmed(value));
        if (name == "TRNAMT") hasAmount = true;
        if (name == "DTPOSTED" && trimmed(value).size() >= 8) {
          std::string digits = trimmed(value);
          record.date = digits.substr(4, 2) + "/" + digits.substr(6, 2) + "/" + digits.substr(0, 4);
        }
      }
      if (hasAmount && !record.date.empty()) records.push_back(std::move(record));
    }
    return records;
  }
  const DateTables tables = Bundle::builtIn().dateTables();
  InputRecord record;
  for (const std::string& line : findLines(text).strings()) {
    if (line.starts_with("^")) {  // some exporters end records with "^^"
      if (!record.date.empty()) records.push_back(record);
      record = InputRecord();
    } else if (line.starts_with("D")) {
      std::optional<CalendarDay> day =
          parseQIFDate(std::string_view(line).substr(1), tables, dayFirst, CalendarDay::today());
      if (day && day->isValid()) record.date = day->format("%m/%d/%Y");
    } else if (!line.empty()) {
      record.texts.insert(line.substr(1));
      record.texts.insert(trimmed(line.substr(1)));
    }
  }
  return records;
}

void collectStrings(const Value& value, std::set<std::string>& into) {
  if (value.isString()) into.insert(value.toString());
  if (value.isArray()) {
    for (const Value& item : value.toArray()) collectStrings(item, into);
  }
  if (value.isDictionary()) {
    for (const auto& [key, item] : value.toDictionary()) collectStrings(item, into);
  }
}

TEST_P(CorpusChecksTest, NumbersMemosAndDescriptionsComeFromTheirOwnTransaction) {
  Conversion all = full();
  CONVERTED_OR_SKIP(all);
  // An investment record's N is its action; the investment corpus test checks those records.
  if (all.qif.starts_with("!Type:Invst")) GTEST_SKIP() << "investment records";
  std::set<std::string> fromInstructions = {"", "NO DESCRIPTION"};
  collectStrings(readKeyedArchiveFile(dir.path("example.prefs")).value()["Instructions"],
                 fromInstructions);
  Result<DecodedText> text = readTextFile(input.string());
  ASSERT_TRUE(text.ok());
  bool dayFirst = all.err.find("read day before month") != std::string::npos;
  std::vector<InputRecord> sources = inputRecords(text.value().text, ofx, dayFirst);

  // The same for the full run and for a range, where a record left out must take its fields.
  std::vector<Record> records = recordsOf(all.qif);
  std::string from = field(records[records.size() / 2], 'D').value_or("");
  Conversion ranged = convert(input.string(), freshStore("provenance.prefs"),
                              {"--from", from, "--to", "12/31/2099"});
  for (const Conversion* run : {&all, &ranged}) {
    std::size_t next = 0;
    for (const Record& record : recordsOf(run->qif)) {
      std::string date = field(record, 'D').value_or("");
      while (next < sources.size() && sources[next].date != date) ++next;
      ASSERT_LT(next, sources.size()) << "no transaction of " << date << " left in the input";
      const InputRecord& own = sources[next++];
      for (char kind : {'N', 'P', 'M'}) {
        std::optional<std::string> written = field(record, kind);
        if (!written) continue;
        EXPECT_TRUE(own.texts.contains(*written) || fromInstructions.contains(*written))
            << kind << *written << " written on the record of " << date;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusChecksTest, ::testing::ValuesIn(corpusStatements()),
                         corpusTestName);

}  // namespace
}  // namespace corvela
