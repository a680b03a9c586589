// The QIF list exports of the corpus: converted by the command line (which answers every
// question with its default button), their lists land in the store as the files hold them, and
// a register after the lists converts exactly as the same register cut out of the file would.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "lists/ImportQuickenExport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/OptionNames.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::runCli;

const fs::path kCorpus = CORVELA_CORPUS;

std::vector<std::string> linesOf(const char* file) {
  Result<DecodedText> text = readTextFile((kCorpus / file).string());
  return text.ok() ? findLines(text.value().text).strings() : std::vector<std::string>{};
}

// Every list export of the corpus (MANIFEST.md kinds "QIF list export" and "QIF list export +
// registers"), with the "N" lines of its lists counted by hand: the account list from its last
// "!Option:AutoSwitch" to the "!Account" line after "!Clear:AutoSwitch".
struct ListFile {
  const char* file;
  std::size_t accounts, categories, securities;
};
const ListFile kFiles[] = {
    {"Nerdbank.Qif/QifReaderTestsInput.qif", 2, 0, 0},
    {"gnucash/abc-all.qif", 6, 75, 0},
    {"gnucash/divx.qif", 1, 0, 0},  // never cleared: the account list runs to the end
    {"gnucash/every.qif", 16, 66, 0},
    {"gnucash/mixed-price-ymd-transaction-mdy.qif", 0, 0, 1},
    {"gnucash/price.qif", 0, 0, 0},  // an account's transactions come first
    {"gnucash/quicktest.qif", 14, 66, 0},
    {"moneyguru/autoswitch.qif", 50, 0, 0},
    {"moneyguru/transfer_splits.qif", 3, 0, 0},
    {"qifparse/file.qif", 0, 2, 0},
    {"quiffen/example-security-list.qif", 0, 0, 3},
    {"quiffen/test.qif", 0, 2, 0},
    {"quiffen/test_FMQifTest2023-10-18.qif", 1, 118, 0},
    {"quiffen/test_oth_a.qif", 0, 2, 0},
    {"quiffen/test_unknown_account_type.qif", 1, 0, 0},
};

TEST(ListImportCorpusTest, ListsLandInTheStoreAsTheFilesHoldThem) {
  for (const ListFile& f : kFiles) {
    SCOPED_TRACE(f.file);
    testing::TempDir dir;
    testing::CliRun run = runCli({"convert", (kCorpus / f.file).string(), "--prefs",
                                  dir.path("s.prefs"), "-o", dir.path("out.qif")});
    Result<Value> store = readKeyedArchiveFile(dir.path("s.prefs"));
    ASSERT_TRUE(store.ok()) << run.err;
    const Value& root = store.value();
    std::vector<std::string> lines = linesOf(f.file);
    auto inFile = [&](const std::string& line) {
      return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_EQ(root[prefKey::Accounts].size(), f.accounts);
    EXPECT_EQ(root[prefKey::Securities].size(), f.securities);
    for (std::string_view key : {prefKey::Accounts, prefKey::Securities})
      for (const Value& entry : root[key].toArray()) EXPECT_TRUE(inFile("N" + str(entry, "Name")));
    // A run that converts adds its own categories; the accounts come last, one each.
    std::size_t categories = 0, transfers = 0;
    for (const Value& category : root[prefKey::Categories].toArray()) {
      const std::string& name = category.toString();
      if (!name.starts_with("[")) ++categories;
      if (name.starts_with("[") && name.ends_with("]")) ++transfers;
    }
    EXPECT_GE(categories, f.categories);
    EXPECT_EQ(transfers, f.accounts);
  }
}

// Cut in two at the line where the import stopped, a file gives the same lists and output.
TEST(ListImportCorpusTest, TheRegisterAfterTheListsConvertsAsIfItStoodAlone) {
  testing::TempDir dir;
  int registers = 0;
  for (const ListFile& f : kFiles) {
    SCOPED_TRACE(f.file);
    std::vector<std::string> lines = linesOf(f.file);
    testing::ScratchStore scratch;
    struct : testing::ScriptedPlatform {
      int runAlert(const Alert&) override { return 0; }
    } yes;
    std::size_t index = 0;
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    if (ImportQuickenExport(scratch.prefs, yes).process(text, &index, "") <= 0) continue;
    // A register followed by more lists would have them imported when it stands alone.
    auto startsAList = [](const std::string& line) {
      return line == "!Type:Cat" || line == "!Type:Security" || line == "!Option:AutoSwitch";
    };
    if (index == lines.size() || std::any_of(lines.begin() + index, lines.end(), startsAList))
      continue;
    std::string parts[2];
    for (std::size_t i = 0; i < lines.size(); ++i) parts[i >= index] += lines[i] + "\n";
    fs::remove(dir.path("whole.prefs"));
    fs::remove(dir.path("cut.prefs"));
    testing::CliRun all = runCli({"convert", (kCorpus / f.file).string(), "--prefs",
                                  dir.path("whole.prefs"), "-o", dir.path("all.qif")});
    runCli({"convert", dir.write("lists.qif", parts[0]), "--prefs", dir.path("cut.prefs"), "-o",
            dir.path("none.qif")});
    testing::CliRun alone = runCli({"convert", dir.write("register.qif", parts[1]), "--prefs",
                                    dir.path("cut.prefs"), "-o", dir.path("alone.qif")});
    // (The categories grow with the run's own categories.)
    for (std::string_view key : {prefKey::Accounts, prefKey::Securities})
      EXPECT_EQ(readKeyedArchiveFile(dir.path("cut.prefs")).value()[key],
                readKeyedArchiveFile(dir.path("whole.prefs")).value()[key]);
    EXPECT_EQ(alone.status, all.status) << all.err << alone.err;
    EXPECT_EQ(testing::readText(dir.path("alone.qif")), testing::readText(dir.path("all.qif")));
    registers += all.status == 0;
    fs::remove(dir.path("all.qif"));
    fs::remove(dir.path("alone.qif"));
  }
  EXPECT_GE(registers, 2);
}

}  // namespace
}  // namespace corvela
