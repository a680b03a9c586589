// The program ends a finished run without freeing what it built: the real corvela-cli must
// leave exactly what the same run leaves in process, where everything is freed. And a run that
// learns nothing leaves the store file alone, so that a big store costs its reading only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/CliProcess.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::runCli;

const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

// The file's inode and modification time: a rewrite (temporary file, then rename) changes both.
std::string identity(const std::string& path) {
  struct stat s {};
  if (::stat(path.c_str(), &s) != 0) return "missing";
  return std::to_string(s.st_ino) + "@" + std::to_string(s.st_mtim.tv_sec) + "." +
         std::to_string(s.st_mtim.tv_nsec);
}

TEST(QuickExitTest, TheProgramLeavesWhatTheRunInProcessLeaves) {
  const std::vector<std::string> cases[] = {
      {"-o", "-"},
      {"-o", "OUT"},
      {"-o", "OUT", "--from", "01/01/1990", "--to", "01/31/1990"},  // nothing in range
  };
  testing::TempDir dir;
  const std::string input = (kExamples / "checking-2024-03.ofx").string();
  const std::string imported = dir.path("imported.prefs"), store = dir.path("run.prefs");
  const std::string out = dir.path("out.qif"), scratch = dir.path("tmp");
  ASSERT_EQ(
      runCli({"prefs", "import", (kExamples / "example-store.json").string(), "--prefs", imported})
          .status,
      0);
  fs::create_directory(scratch);
  // Runs `args` over a fresh copy of the imported store after `before` runs of the same (the
  // first answers the start-up question and writes the store, one after it writes nothing):
  // its status, standard output, messages, output file and store, and whether it wrote the store.
  auto leftBy = [&](const std::vector<std::string>& args, int before, bool inProcess) {
    fs::copy_file(imported, store, fs::copy_options::overwrite_existing);
    for (int i = 0; i < before; ++i) runCli(args);
    fs::remove(out);
    const std::string storeBefore = identity(store);
    std::vector<std::string> left;
    if (inProcess) {
      testing::CliRun run = runCli(args);
      left = {std::to_string(run.status), run.out, run.err};
    } else {
      testing::CliSetup setup;
      setup.env["TMPDIR"] = scratch;
      testing::CliProcess run = testing::runCliProcess(args, setup);
      left = {std::to_string(run.status), run.out, run.err};
    }
    left.push_back(fs::exists(out) ? readText(out) : "");
    left.push_back(readText(store));
    left.push_back(identity(store) == storeBefore ? "store untouched" : "store written");
    return left;
  };
  for (const std::vector<std::string>& options : cases) {
    std::vector<std::string> args = {"convert", input, "--prefs", store};
    for (const std::string& option : options) args.push_back(option == "OUT" ? out : option);
    for (int before = 0; before < 2; ++before) {
      SCOPED_TRACE(options.back() + " after " + std::to_string(before) + " runs");
      std::vector<std::string> program = leftBy(args, before, false);
      EXPECT_EQ(program, leftBy(args, before, true));
      EXPECT_TRUE(fs::is_empty(scratch)) << "scratch files were left behind";
      if (options.size() == 2) {
        EXPECT_NE(program[1] + program[3], "") << "nothing was output";
      }
      if (before > 0) {
        EXPECT_EQ(program.back(), "store untouched");
      }
    }
  }
}

}  // namespace
}  // namespace corvela
