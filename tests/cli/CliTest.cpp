#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Cli.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

using testing::CliRun;
using testing::runCli;

TEST(CliTest, VersionAndHelp) {
  CliRun version = runCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Corvela 11.8\n");

  CliRun help = runCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("prefs show"), std::string::npos);

  EXPECT_EQ(runCli({}).status, cli::kUsage);
  EXPECT_EQ(runCli({"frobnicate"}).status, cli::kUsage);
  EXPECT_EQ(runCli({"prefs"}).status, cli::kUsage);
  EXPECT_EQ(runCli({"prefs", "show", "--prefs"}).status, cli::kUsage);
}

TEST(CliTest, ImportThenShowGivesTheValuesBack) {
  testing::TempDir dir;
  std::string json = dir.write("store.json", R"({"Accounts": ["Checking", "Visa Card"],
      "bccAmountsPrecision": 2, "ControlSettings": {"append": false}})");
  std::string store = dir.path("store.prefs");

  CliRun imported = runCli({"prefs", "import", json, "--prefs", store});
  ASSERT_EQ(imported.status, 0) << imported.err;

  CliRun shown = runCli({"prefs", "show", "--prefs", store});
  ASSERT_EQ(shown.status, 0) << shown.err;
  testing::expectDataFile("cli/show.txt", shown.out);

  CliRun json2 = runCli({"prefs", "show", "--json", "--prefs", store});
  ASSERT_EQ(json2.status, 0);
  EXPECT_NE(json2.out.find("\"Visa Card\""), std::string::npos);
  EXPECT_NE(json2.out.find("\"append\": false"), std::string::npos);
}

TEST(CliTest, UnreadableStoreOrJsonGetsOneLineNamingTheFileAndChangesNothing) {
  testing::TempDir dir;
  std::string store = dir.write("broken.prefs", "this is not a preference store");

  CliRun shown = runCli({"prefs", "show", "--prefs", store});
  EXPECT_EQ(shown.status, cli::kFailure);
  EXPECT_EQ(shown.out, "");
  EXPECT_NE(shown.err.find(store), std::string::npos) << shown.err;
  EXPECT_EQ(std::count(shown.err.begin(), shown.err.end(), '\n'), 1) << shown.err;
  EXPECT_TRUE(std::filesystem::exists(store));

  CliRun missing = runCli({"prefs", "show", "--prefs", dir.path("none.prefs")});
  EXPECT_EQ(missing.status, cli::kFailure);
  EXPECT_NE(missing.err.find("none.prefs"), std::string::npos);

  // An import that cannot be done says why in one line, and writes no store.
  struct Refusal {
    std::string json, store;
    const char* why;
  };
  const Refusal refusals[] = {
      {dir.write("bad.json", "{\n  \"Accounts\": [1, 2,\n}"), dir.path("s.prefs"),
       "bad.json: line 3, column 1"},
      {dir.path("absent.json"), dir.path("s.prefs"), "cannot open"},
      {dir.write("list.json", "[1]"), dir.path("s.prefs"),
       "the top level must be an object of store keys"},
      {dir.write("good.json", "{}"), dir.path(""), "the preference store cannot be used"},
  };
  for (const Refusal& r : refusals) {
    CliRun imported = runCli({"prefs", "import", r.json, "--prefs", r.store});
    EXPECT_EQ(imported.status, cli::kFailure) << r.why;
    EXPECT_NE(imported.err.find(r.why), std::string::npos) << imported.err;
    EXPECT_EQ(std::count(imported.err.begin(), imported.err.end(), '\n'), 1) << imported.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path("s.prefs")));
}

}  // namespace
}  // namespace corvela
