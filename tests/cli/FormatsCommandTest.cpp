// Input formats shared through files with the command line: a format exported from one store and
// imported into another converts the statement exactly as it did where it was learnt.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Cli.h"
#include "prefs/KeyedArchive.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::readText;

const fs::path kCorpus = CORVELA_CORPUS;
const fs::path kText = fs::path(CORVELA_TEST_DATA) / "text";

using testing::CliRun;
CliRun cli(const std::vector<std::string>& args) { return testing::runCli(args); }

TEST(FormatsCommandTest, AnExportedFormatConvertsAlikeInAnotherStore) {
  testing::TempDir dir;
  const std::string learnt = dir.path("learnt.prefs");
  const std::string other = dir.path("other.prefs");
  const std::string shared = dir.path("knab.cvef");
  ASSERT_EQ(
      cli({"prefs", "import", (kText / "knab" / "store.json").string(), "--prefs", learnt}).status,
      0);
  const std::string learntBytes = readText(learnt);
  const std::string unnamed = dir.path("unnamed.cvef");
  ASSERT_TRUE(writeKeyedArchiveFile(unnamed, Value{{"FormatType", "Bank"}}).ok());
  struct Step {
    std::vector<std::string> args;
    int status;
    std::string out;
  };
  const Step steps[] = {
      {{"export", "KNAB", shared, "--prefs", learnt},
       0,
       "Input format \"Knab\" saved in file \"" + shared + "\".\n"},
      {{"export", "Knab", learnt, "--prefs", learnt}, 1, ""},  // never over the store
      {{"export", "Nobody", dir.path("x.cvef"), "--prefs", learnt}, 1, ""},
      {{"import", learnt, "--prefs", other}, 1, ""},  // a store is no format
      {{"import", shared, "--name", "zz Knab", "--prefs", other},
       0,
       "Input format \"zz Knab\" imported from file \"" + shared + "\".\n"},
      {{"import", shared, "--prefs", other},
       0,
       "Input format \"Knab\" imported from file \"" + shared + "\".\n"},
      {{"import", shared, "--name", "ZZ KNAB", "--prefs", other},
       0,
       "Input format \"ZZ KNAB\" imported from file \"" + shared +
           "\"; it replaced the format \"zz Knab\".\n"},
      {{"list", "--prefs", other}, 0, "Knab\nZZ KNAB\n"},
      {{"list", "extra", "--prefs", other}, 2, ""},
      {{"import", unnamed, "--prefs", other}, 1, ""},
      {{"list", "--prefs", dir.path("")}, 1, ""},  // a folder is no store
      {{"list", "--prefs", dir.write("broken.prefs", "not a store")}, 0, ""},  // moved aside
  };
  for (const Step& step : steps) {
    std::vector<std::string> args = step.args;
    args.insert(args.begin(), "formats");
    CliRun run = cli(args);
    EXPECT_EQ(run.status, step.status) << args[1] << " " << args[2] << "\n" << run.err;
    EXPECT_EQ(run.out, step.out) << args[1] << " " << args[2];
    EXPECT_TRUE(step.status == 0 || !run.err.empty()) << args[1];
  }
  EXPECT_EQ(readText(learnt), learntBytes);  // exporting never touches the store

  const std::string output = dir.path("out.qif");
  CliRun converted =
      cli({"convert", (kCorpus / "ofxstatement-dutch/Knab_transactieoverzicht_ok.csv").string(),
           "--format", "zz knab", "--prefs", other, "-o", output});
  ASSERT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(readText(output), readText(kText / "knab" / "expected.qif"));
}

}  // namespace
}  // namespace corvela
