// The QIF list exports of the corpus: their lists land in the store as the files hold them, and
// a register after the lists converts exactly as the same register cut out of the file would.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lists/ImportQuickenExport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/OptionNames.h"
#include "support/CliRun.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = CORVELA_CORPUS;
const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

// Answers every question with its default button, as the command line does.
class DefaultAnswers : public testing::ScriptedPlatform {
 public:
  int runAlert(const Alert& alert) override {
    alerts.push_back(alert);
    return 0;
  }
};

std::string joined(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to; ++i) text += lines[i] + "\n";
  return text;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every list export of the corpus (MANIFEST.md kinds "QIF list export" and "QIF list export +
// registers"), with what its lists hold, counted by hand from the files: the "N" lines of each
// list section, the account list counted from its last "!Option:AutoSwitch".
struct ListFile {
  const char* file;
  int result;  // with every question answered YES
  std::size_t accounts, categories, securities;
};
const ListFile kFiles[] = {
    {"Nerdbank.Qif/QifReaderTestsInput.qif", 1 | 8, 2, 0, 0},
    {"gnucash/abc-all.qif", 1 | 2 | 8, 6, 75, 0},
    // No "!Clear:AutoSwitch": the account list runs to the end, and only the first record is
    // in its section.
    {"gnucash/divx.qif", 1, 1, 0, 0},
    {"gnucash/every.qif", 1 | 2 | 8, 16, 66, 0},
    {"gnucash/mixed-price-ymd-transaction-mdy.qif", 4 | 8, 0, 0, 1},
    {"gnucash/price.qif", 0, 0, 0, 0},  // accounts' transactions come first
    {"gnucash/quicktest.qif", 1 | 2 | 8, 14, 66, 0},
    {"moneyguru/autoswitch.qif", 1 | 8, 50, 0, 0},
    {"moneyguru/transfer_splits.qif", 1 | 2 | 4, 3, 0, 0},
    {"qifparse/file.qif", 2 | 8, 0, 2, 0},
    {"quiffen/example-security-list.qif", 4 | 8, 0, 0, 3},
    {"quiffen/test.qif", 2 | 8, 0, 2, 0},
    {"quiffen/test_FMQifTest2023-10-18.qif", 1 | 2, 1, 118, 0},
    {"quiffen/test_oth_a.qif", 2 | 8, 0, 2, 0},
    {"quiffen/test_unknown_account_type.qif", 1 | 8, 1, 0, 0},
};

TEST(ListImportCorpusTest, ListsLandInTheStoreAsTheFilesHoldThem) {
  for (const ListFile& f : kFiles) {
    SCOPED_TRACE(f.file);
    Result<DecodedText> text = readTextFile((kCorpus / f.file).string());
    ASSERT_TRUE(text.ok()) << text.message();
    std::vector<std::string> lines = findLines(text.value().text);
    testing::ScratchStore store;
    DefaultAnswers platform;
    ImportQuickenExport import(store.prefs, platform);
    std::size_t index = 0;
    ASSERT_EQ(import.process(lines, &index, "File"), f.result);
    const CVPrefs& prefs = store.prefs;
    EXPECT_EQ(prefs.objectForKey(prefKey::Accounts).size(), f.accounts);
    EXPECT_EQ(prefs.objectForKey(prefKey::Categories).size(), f.categories);
    EXPECT_EQ(prefs.objectForKey(prefKey::Securities).size(), f.securities);
    // Every stored name and second line stands in the file as it was read.
    auto inFile = [&](const std::string& line) {
      return std::find(lines.begin(), lines.begin() + index, line) != lines.begin() + index;
    };
    for (const Value& category : prefs.objectForKey(prefKey::Categories).toArray())
      EXPECT_TRUE(inFile("N" + category.toString())) << category.toString();
    for (auto [key, second] : {std::pair{prefKey::Accounts, 'T'}, {prefKey::Securities, 'S'}}) {
      for (const Value& entry : prefs.objectForKey(key).toArray()) {
        EXPECT_TRUE(inFile("N" + str(entry, "Name"))) << str(entry, "Name");
        std::string secondLine = second + str(entry, key == prefKey::Accounts ? "Type" : "Symbol");
        EXPECT_TRUE(inFile(secondLine)) << secondLine;
      }
    }
  }
}

// The command line imports the lists with its default answers and then converts the register
// after them; cut in two at the line where the import stopped, the same file gives the same
// lists and the same output.
TEST(ListImportCorpusTest, TheRegisterAfterTheListsConvertsAsIfItStoodAlone) {
  testing::TempDir dir;
  ASSERT_EQ(testing::runCli({"prefs", "import", (kExamples / "example-store.json").string(),
                             "--prefs", dir.path("example.prefs")})
                .status,
            0);
  int registers = 0;
  for (const ListFile& f : kFiles) {
    SCOPED_TRACE(f.file);
    Result<DecodedText> text = readTextFile((kCorpus / f.file).string());
    ASSERT_TRUE(text.ok());
    std::vector<std::string> lines = findLines(text.value().text);
    testing::ScratchStore scratch;
    DefaultAnswers platform;
    std::size_t index = 0;
    int result = ImportQuickenExport(scratch.prefs, platform).process(lines, &index, "File");
    if (result <= 0 || index >= lines.size()) continue;
    // A register followed by more lists would have them imported when it stands alone.
    auto startsAList = [](const std::string& line) {
      return line == "!Type:Cat" || line == "!Type:Security" || line == "!Option:AutoSwitch";
    };
    if (std::any_of(lines.begin() + index, lines.end(), startsAList)) continue;

    auto store = [&](const std::string& name) {
      fs::copy_file(dir.path("example.prefs"), dir.path(name),
                    fs::copy_options::overwrite_existing);
      return dir.path(name);
    };
    std::string whole = store("whole.prefs"), cut = store("cut.prefs");
    testing::CliRun all = testing::runCli(
        {"convert", (kCorpus / f.file).string(), "--prefs", whole, "-o", dir.path("all.qif")});
    std::string listsPart = dir.write("lists.qif", joined(lines, 0, index));
    std::string registerPart = dir.write("register.qif", joined(lines, index, lines.size()));
    testing::runCli({"convert", listsPart, "--prefs", cut, "-o", dir.path("none.qif")});
    // (The categories grow with the run's own categories.)
    for (std::string_view key : {prefKey::Accounts, prefKey::Securities})
      EXPECT_EQ(readKeyedArchiveFile(cut).value()[key], readKeyedArchiveFile(whole).value()[key])
          << key;
    testing::CliRun alone =
        testing::runCli({"convert", registerPart, "--prefs", cut, "-o", dir.path("alone.qif")});
    EXPECT_EQ(alone.status, all.status) << all.err << alone.err;
    EXPECT_EQ(readFile(dir.path("alone.qif")), readFile(dir.path("all.qif")));
    registers += all.status == 0;
    fs::remove(dir.path("all.qif"));
    fs::remove(dir.path("alone.qif"));
  }
  EXPECT_GE(registers, 2);
}

}  // namespace
}  // namespace corvela
