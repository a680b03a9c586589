#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/ValueText.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = CORVELA_CORPUS;
const fs::path kGolden = fs::path(CORVELA_TEST_DATA) / "investment";

using testing::readText;

// The amount each transaction aggregate of a download states (TOTAL, or TRNAMT for a bank
// line), without sign; NAN when it states none. Found with a plain pattern, independently of
// the program's own reading.
std::vector<double> aggregateAmounts(const std::string& download) {
  static const std::regex kOpening(
      "<(BUYSTOCK|BUYMF|BUYOTHER|BUYDEBT|BUYOPT|SELLSTOCK|SELLMF|SELLOTHER|SELLDEBT|SELLOPT|"
      "REINVEST|INCOME|TRANSFER|INVEXPENSE|MARGININTEREST|RETOFCAP|SPLIT|JRNLFUND|JRNLSEC|"
      "CLOSUREOPT|INVBANKTRAN)>");
  static const std::regex kAmount("<(TOTAL|TRNAMT)>\\s*([-+0-9.]+)");
  std::vector<std::size_t> starts;
  for (std::sregex_iterator it(download.begin(), download.end(), kOpening), end; it != end; ++it)
    starts.push_back(static_cast<std::size_t>(it->position()));
  std::vector<double> amounts;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    std::size_t stop = i + 1 < starts.size() ? starts[i + 1] : download.size();
    std::string text = download.substr(starts[i], stop - starts[i]);
    std::smatch match;
    amounts.push_back(std::regex_search(text, match, kAmount) ? std::fabs(std::stod(match[2]))
                                                              : NAN);
  }
  return amounts;
}

// The amount (T line) of each record of a QIF investment output, NAN for a record without one.
std::vector<double> recordAmounts(const std::string& qif) {
  std::vector<double> amounts;
  double amount = NAN;
  bool inRecord = false;
  std::istringstream in(qif);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '!') continue;
    inRecord = line != "^";
    if (!inRecord) {
      amounts.push_back(amount);
      amount = NAN;
    } else if (line[0] == 'T') {
      std::erase(line, ',');
      std::erase(line, '-');
      amount = std::stod("0" + line.substr(1));  // "0" for an empty or a ".5" amount
    }
  }
  EXPECT_FALSE(inRecord) << "the output ends inside a record";
  return amounts;
}

// What a conversion of `input` with a store imported from `storeJSON` wrote, and the run;
// `name` tells its files in `dir` apart from those of other conversions.
struct Converted {
  testing::CliRun run;
  std::string qif;
};
Converted convert(const testing::TempDir& dir, const std::string& name,
                  const std::string& storeJSON, const std::string& input) {
  const std::string store = dir.path(name + ".prefs");
  const testing::CliRun imported =
      testing::runCli({"prefs", "import", dir.write(name + ".json", storeJSON), "--prefs", store});
  EXPECT_EQ(imported.status, 0) << imported.err;
  testing::CliRun run =
      testing::runCli({"convert", input, "-o", dir.path(name + ".qif"), "--prefs", store});
  EXPECT_EQ(run.status, 0) << run.err;
  return {run, readText(dir.path(name + ".qif"))};
}

// Every investment download of the corpus converts unattended, with a store that knows no
// types or securities, into one record per transaction aggregate whose amount is the
// aggregate's own.
TEST(InvestmentCorpusTest, EveryDownloadGivesOneRecordPerAggregateWithItsAmount) {
  const char* files[] = {
      "beancount_reds_importers/etrade_09092023.QFX",
      "ofxparser/ofxdata-investments-xml.ofx",
      "beangulp/example.qfx",
      "ofxparse/tiaacref.ofx",
      "ofxparse/fidelity.ofx",
      "ofxparse/fidelity-brokerage.ofx",
      "libofx/ofx-2.1.1-sect-13.12.ofx",
      "ledger-autosync/cusip.ofx",
      "ledger-autosync/fidelity_fee.ofx",
      "ofxgo/inv_v202.ofx",
      "ofxtools/invstmtrs.ofx",
      "beancount-import/investment_buy_sell_income.ofx",
      "beancount-import/fidelity-ira.ofx",
  };
  std::size_t aggregatesSeen = 0;
  for (const char* file : files) {
    SCOPED_TRACE(file);
    testing::TempDir dir;
    // A download without the header line is given one, so that it is taken for OFX whatever
    // the classification of headerless downloads does.
    std::string input = (kCorpus / file).string();
    std::string download = readText(input);
    if (download.find("OFXHEADER") == std::string::npos)
      input = dir.write(fs::path(file).filename().string(), "OFXHEADER:100\n" + download);
    const auto [run, qif] =
        convert(dir, "store", R"({"Preferences": ["quicken2003", "converted2.2"],
                                     "CheckForUpdates": false, "Categories": ["Fees"]})",
                input);
    EXPECT_EQ(run.err.find("Left out"), std::string::npos) << run.err;
    EXPECT_EQ(qif.find("&amp;"), std::string::npos) << "an entity written as read";

    std::vector<double> expected = aggregateAmounts(readText(kCorpus / file));
    std::vector<double> written = recordAmounts(qif);
    aggregatesSeen += expected.size();
    ASSERT_EQ(written.size(), expected.size()) << qif << run.err;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (std::isnan(written[i])) continue;  // a record without an amount (shares moved)
      EXPECT_NEAR(written[i], expected[i], 0.0051) << "record " << i << "\n" << qif;
    }

    testing::expectDataFile("investment/" + fs::path(file).stem().string() + ".expected.qif", qif);
  }
  EXPECT_EQ(aggregatesSeen, 165u);
}

// The lines of a run's report that name a transaction left out.
std::string leftOutLines(const std::string& report) {
  std::istringstream in(report);
  std::string lines;
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("Left out")) lines += line + "\n";
  return lines;
}

// Lines that cannot be written are left out and named with the reason, in the report compared
// with tests/data/investment/left-out/NAME.left-out.txt; the others are written
// (NAME.expected.qif).
TEST(InvestmentCorpusTest, LinesThatCannotBeWrittenAreLeftOutAndNamed) {
  const fs::path data = kGolden / "left-out";
  const struct {
    const char* name;
    std::string store;
    std::string input;
  } cases[] = {
      // A text statement's type word without a mapping is never guessed, and a line the type
      // cannot be written from is not made up.
      {"broker", readText(data / "store.json"), (data / "broker.csv").string()},
      // Without the option for QIF of 2003 or later, a download's cash lines (its three
      // INVBANKTRAN lines) cannot be written, and the report names the option rather than
      // blaming a missing mapping.
      {"fidelity", R"({"Preferences": ["converted2.2"], "CheckForUpdates": false})",
       (kCorpus / "ofxparse/fidelity.ofx").string()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const auto [run, qif] = convert(dir, "store", c.store, c.input);
    const std::string golden = "investment/left-out/" + std::string(c.name);
    testing::expectDataFile(golden + ".left-out.txt", leftOutLines(run.err));
    testing::expectDataFile(golden + ".expected.qif", qif);
  }
}

// A download's "S&amp;P" is the security "S&P", and a mapping kept from when such names were
// read with their entities still gives the person's name for it.
TEST(InvestmentCorpusTest, NamesAreReadWithoutEntitiesAndOldMappingsStillApply) {
  testing::TempDir dir;
  const std::string input = (kCorpus / "ofxparse/fidelity.ofx").string();
  const std::string written = "SPDR S&amp;P 500 ETF TRUST UNIT SER 1 S&amp;P";
  Value format = Bundle::builtIn().table("CVOFXFormat");
  format.set("SecurityMappings",
             Value(Value::Array{Value{{"formatName", written}, {"quickenName", "S&P 500 Index"}}}));
  for (bool mapped : {false, true}) {
    SCOPED_TRACE(mapped);
    Value store{{"Preferences", Value::Array{"converted2.2", "quicken2003"}},
                {"CheckForUpdates", false}};
    if (mapped) store.set("OFXFormat", format);
    const auto [run, qif] = convert(dir, mapped ? "mapped" : "new", toJSON(store), input);
    EXPECT_EQ(qif.find("&amp;"), std::string::npos) << qif;
    const std::string security = mapped ? "S&P 500 Index" : "SPDR S&P 500 ETF TRUST UNIT SER 1 S&P";
    EXPECT_NE(qif.find("\nY" + security + "\n"), std::string::npos) << qif;
    // Asked for (and defined on the command line) only when no mapping gives it.
    EXPECT_EQ(run.err.find("Security \"SPDR S&P") != std::string::npos, !mapped) << run.err;
  }
}

// A store kept from a version whose OFX format knew two types only gets the full list, and the
// run that brings it already reads with it: the download converts as with a new store.
TEST(InvestmentCorpusTest, AnOldOFXFormatIsBroughtUpToDateBeforeItIsUsed) {
  testing::TempDir dir;
  Value old = Bundle::builtIn().table("CVOFXFormat");
  Value::Array twoTypes(old["Types"].toArray().begin(), old["Types"].toArray().begin() + 2);
  old.set("Types", Value(twoTypes));
  const std::string input = (kCorpus / "ofxparse/fidelity.ofx").string();
  std::string outputs[2];
  for (int kept = 0; kept < 2; ++kept) {
    Value store{{"Preferences", Value::Array{"converted2.2", "quicken2003"}},
                {"CheckForUpdates", false}};
    if (kept) store.set("OFXFormat", old);
    outputs[kept] = convert(dir, "store" + std::to_string(kept), toJSON(store), input).qif;
  }
  EXPECT_EQ(outputs[1], outputs[0]);
  testing::CliRun shown =
      testing::runCli({"prefs", "show", "--json", "--prefs", dir.path("store1.prefs")});
  Result<Value> after = fromJSON(shown.out);
  ASSERT_TRUE(after.ok()) << shown.out;
  EXPECT_EQ(after.value()["OFXFormat"]["Types"], Bundle::builtIn().table("CVOFXFormat")["Types"]);
}

}  // namespace
}  // namespace corvela
