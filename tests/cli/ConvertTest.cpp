#include <gtest/gtest.h>
#include <pthread.h>

#include <filesystem>
#include <fstream>

#include "cli/Cli.h"
#include "editors/EditInstructions.h"
#include "editors/InstructionEditorHarness.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "support/CliRun.h"
#include "support/Corpus.h"
#include "support/FileText.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;

const fs::path kData = CORVELA_TEST_DATA;
const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

using testing::CliRun;
using testing::kCorpus;
using testing::readText;
using testing::runCli;

// Edits the instruction `match` of the store at `path` with the editor's presenter, as the
// desktop program would, and writes the store.
void editStore(const std::string& path, const std::string& match,
               const std::function<void(EditInstructions&)>& edits) {
  CVPrefs store = CVPrefs::initWithPath(path);
  testing::ScriptedPlatform platform;
  Preferences options(store);
  Categories categories(store, platform);
  Descriptions descriptions(store);
  Instructions instructions(store, options);
  QIFReader reader(store, options, Bundle::builtIn());
  InstructionMatches noRun;
  testing::ScriptedInstructionWindows windows;
  EditInstructions editor(store, options, instructions, categories, descriptions, reader, platform,
                          noRun, windows, windows);
  editor.beginEditingInstruction(*instructions.instructionFor(match), std::nullopt, {});
  edits(editor);
  ASSERT_FALSE(editor.editing());
  ASSERT_TRUE(store.synchronize()) << store.writeError();
}

// A folder with a store made from the bundled example, as a person would start.
class ConvertTest : public ::testing::Test {
 protected:
  ConvertTest() { resetStore(); }
  void resetStore() {
    fs::remove(store);
    CliRun imported =
        runCli({"prefs", "import", (kExamples / "example-store.json").string(), "--prefs", store});
    EXPECT_EQ(imported.status, 0) << imported.err;
  }
  CliRun convert(std::vector<std::string> args) {
    args.insert(args.begin(), "convert");
    args.insert(args.end(), {"--prefs", store});
    return runCli(args);
  }

  testing::TempDir dir;
  std::string store = dir.path("store.prefs");
};

TEST_F(ConvertTest, PinnedOutputs) {
  struct Case {
    fs::path input;
    const char* expected;
    const char* summary;  // the last line on standard error
    const char* outputFormat = nullptr;
  };
  const fs::path checking = kExamples / "checking-2024-03.ofx";
  const char* checkingSummary =
      "1 confirmed automatically, 1 matched no instruction and were output as read.\n";
  const Case cases[] = {
      // Instructions, an amount instruction, a confirmed one and an unmatched cheque.
      {checking, "checking-2024-03.expected.qif", checkingSummary},
      // The QIF entry in any letter case is QIF.
      {checking, "checking-2024-03.expected.qif", checkingSummary, "qif"},
      {checking, "checking-2024-03.expected.qif", checkingSummary, "Qif"},
      {checking, "checking-2024-03.expected.qif", checkingSummary, "QIF"},
      {kCorpus / "gnucash/cibc_visa.qfx", "cibc_visa.expected.qif",
       "0 confirmed automatically, 15 matched no instruction and were output as read.\n"},
      // A card download that leaves the OFX header out.
      {kCorpus / "beancount-import/amex.ofx", "amex.expected.qif",
       "0 confirmed automatically, 3 matched no instruction and were output as read.\n"},
      {kCorpus / "jgnash/bank1.qif", "bank1.expected.qif",
       "0 confirmed automatically, 6 matched no instruction and were output as read.\n"},
  };
  for (const Case& c : cases) {
    resetStore();
    std::string output = dir.path("out.qif");
    std::vector<std::string> args = {c.input.string(), "-o", output};
    if (c.outputFormat) args.insert(args.end(), {"--output-format", c.outputFormat});
    CliRun run = convert(args);
    ASSERT_EQ(run.status, 0) << c.input << "\n" << run.err;
    EXPECT_EQ(readText(output), readText(kData / "cli" / c.expected)) << c.input;
    EXPECT_TRUE(run.err.ends_with(c.summary)) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

// A store of an older version has no "accountsInCategories": start-up then rebuilds the
// transfer categories from the accounts. A run to standard output leaves no trace in the store:
// the output file and folder remembered are those of the run to a file before it.
TEST_F(ConvertTest, AnOlderStoreGetsItsTransfersAndStandardOutputLeavesNoTrace) {
  std::string json = readText(kExamples / "example-store.json");
  const std::string option = ", \"accountsInCategories\"";
  ASSERT_NE(json.find(option), std::string::npos);
  json.erase(json.find(option), option.size());
  fs::remove(store);
  ASSERT_EQ(runCli({"prefs", "import", dir.write("older.json", json), "--prefs", store}).status, 0);

  CliRun toFile = convert({(kExamples / "checking-2024-03.ofx").string(), "-o", dir.path("a.qif")});
  ASSERT_EQ(toFile.status, 0) << toFile.err;
  CliRun run = convert({(kExamples / "checking-2024-03.ofx").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, readText(dir.path("a.qif")));
  EXPECT_NE(run.err.find("Finished Processing Transactions: 6 transactions output.\n"),
            std::string::npos)
      << run.err;

  Result<Value> saved = readKeyedArchiveFile(store);
  ASSERT_TRUE(saved.ok()) << saved.message();
  EXPECT_EQ(str(saved.value()["ControlSettings"], "outputFilePath"), dir.path("a.qif"));
  EXPECT_EQ(str(saved.value(), "LastRootDirectory"), fs::path(dir.path("a.qif")).parent_path());
  std::vector<std::string> transfers;
  for (const Value& category : saved.value()["Categories"].toArray())
    if (category.toString().starts_with("[")) transfers.push_back(category.toString());
  EXPECT_EQ(transfers, (std::vector<std::string>{"[Checking]", "[Savings]", "[Visa]"}));
}

// A conversion after an edit differs from the one before exactly where the edited
// instruction (and its amount instruction) applied.
TEST_F(ConvertTest, TheNextConversionUsesTheEditedInstruction) {
  const std::string input = (kExamples / "checking-2024-03.ofx").string();
  const CliRun before = convert({input});
  ASSERT_EQ(before.status, 0) << before.err;

  editStore(store, "CORNER GROC", [](EditInstructions& editor) {
    editor.controlTextDidChange(InstructionEditField::amountCategory, "Household");
    editor.controlTextDidChange(InstructionEditField::category, "Dining");
    editor.save();
  });
  const CliRun after = convert({input});
  ASSERT_EQ(after.status, 0) << after.err;

  std::string expected = before.out;
  for (auto [from, to] : {std::pair{"T-64.27\nLGroceries\n", "T-64.27\nLDining\n"},
                          std::pair{"(party)\nMPOS PURCHASE\nT-120.00\nLDining\n",
                                    "(party)\nMPOS PURCHASE\nT-120.00\nLHousehold\n"}}) {
    const std::size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, std::string_view(from).size(), to);
  }
  EXPECT_EQ(after.out, expected);
}

// Every statement of the corpus either converts or is refused with the
// program's own message.
TEST_F(ConvertTest, EveryCorpusStatementConvertsOrIsRefusedWithAMessage) {
  int converted = 0, refused = 0;
  for (const std::string& statement : testing::corpusStatements()) {
    resetStore();
    std::string output = dir.path("corpus-out");
    fs::remove(output);
    CliRun run = convert({(kCorpus / statement).string(), "-o", output});
    if (run.status == 0) {
      ++converted;
      EXPECT_NE(run.err.find("Finished Processing Transactions"), std::string::npos) << run.err;
    } else {
      ++refused;
      EXPECT_TRUE(run.status == cli::kFailure || run.status == cli::kNothingOutput) << statement;
      if (run.status == cli::kNothingOutput) {
        EXPECT_NE(run.err.find("no transactions output"), std::string::npos) << run.err;
      }
      EXPECT_FALSE(run.err.empty()) << statement;
      EXPECT_EQ(run.err.find("the run did not finish"), std::string::npos) << statement;
      EXPECT_FALSE(fs::exists(output)) << statement;
    }
  }
  // At the time of writing: 51 convert, the investment statements and list
  // exports are refused.
  EXPECT_GE(converted, 45);
  EXPECT_GT(refused, 0);
}

// An investment statement whose transactions ask nothing is handled one transaction after the
// other, not each inside the handling of the one before: a long one needs no more stack than a
// short one. The run is made on a thread with a small stack, which a chain of calls as deep as
// the statement overflows within a few thousand transactions.
TEST_F(ConvertTest, ALongInvestmentStatementIsHandledWithinASmallStack) {
  constexpr int kDividends = 4000;
  std::string ofx =
      "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\n\n<OFX><INVSTMTMSGSRSV1><INVSTMTTRNRS>"
      "<TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><INVSTMTRS><DTASOF>20240131<CURDEF>USD"
      "<INVACCTFROM><BROKERID>example.com<ACCTID>123</INVACCTFROM>"
      "<INVTRANLIST><DTSTART>20240101<DTEND>20240131\n";
  for (int i = 0; i < kDividends; ++i) {
    ofx += "<INCOME><INVTRAN><FITID>" + std::to_string(i) +
           "<DTTRADE>20240115<MEMO>DIVIDEND RECEIVED</INVTRAN><SECID><UNIQUEID>78462F103"
           "<UNIQUEIDTYPE>CUSIP</SECID><INCOMETYPE>DIV<TOTAL>5.53<SUBACCTSEC>CASH"
           "<SUBACCTFUND>CASH</INCOME>\n";
  }
  ofx +=
      "</INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1><SECLISTMSGSRSV1><SECLIST>"
      "<STOCKINFO><SECINFO><SECID><UNIQUEID>78462F103<UNIQUEIDTYPE>CUSIP</SECID>"
      "<SECNAME>SPDR 500 ETF<TICKER>SPY</SECINFO></STOCKINFO></SECLIST></SECLISTMSGSRSV1></OFX>\n";
  const std::string statement = dir.path("dividends.ofx");
  std::ofstream(statement, std::ios::binary) << ofx;

  struct Job {
    std::vector<std::string> args;
    CliRun run;
  } job{{"convert", statement, "-o", "-", "--prefs", store}, {}};
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, std::size_t{512} << 10), 0);
  pthread_t thread;
  auto body = [](void* argument) -> void* {
    auto* job = static_cast<Job*>(argument);
    job->run = runCli(job->args);
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, body, &job), 0);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
  pthread_attr_destroy(&attributes);

  ASSERT_EQ(job.run.status, 0) << job.run.err;
  EXPECT_NE(job.run.err.find("Finished Processing Transactions: 4000 transactions output."),
            std::string::npos)
      << job.run.err;
  std::size_t records = 0;
  for (std::size_t at = job.run.out.find("\n^"); at != std::string::npos;
       at = job.run.out.find("\n^", at + 1))
    ++records;
  EXPECT_EQ(records, static_cast<std::size_t>(kDividends));
}

}  // namespace
}  // namespace corvela
