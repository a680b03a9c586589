// A run that learns nothing leaves the store file alone: a big store costs its reading only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/CliProcess.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

// The file's inode and modification time: a rewrite (temporary file, then rename) changes both.
std::string identity(const std::string& path) {
  struct stat s {};
  if (::stat(path.c_str(), &s) != 0) return "missing";
  return std::to_string(s.st_ino) + "@" + std::to_string(s.st_mtim.tv_sec) + "." +
         std::to_string(s.st_mtim.tv_nsec);
}

TEST(RepeatedRunTest, TheRunAfterTheFirstWritesNoStore) {
  const std::vector<std::string> cases[] = {
      {"-o", "-"},
      {"-o", "OUT"},
      {"-o", "OUT", "--from", "01/01/1990", "--to", "01/31/1990"},  // nothing in range
  };
  testing::TempDir dir;
  const std::string input = (kExamples / "checking-2024-03.ofx").string();
  const std::string store = dir.path("store.prefs"), out = dir.path("out.qif");
  for (const std::vector<std::string>& options : cases) {
    SCOPED_TRACE(options.back());
    fs::remove(store);
    ASSERT_EQ(
        testing::runCliProcess(
            {"prefs", "import", (kExamples / "example-store.json").string(), "--prefs", store})
            .status,
        0);
    std::vector<std::string> args = {"convert", input, "--prefs", store};
    for (const std::string& option : options) args.push_back(option == "OUT" ? out : option);
    testing::runCliProcess(args);
    const std::string first = identity(store);
    for (int run = 0; run < 2; ++run) {
      testing::CliProcess again = testing::runCliProcess(args);
      EXPECT_NE(again.status, 1) << again.err;
      EXPECT_EQ(identity(store), first) << "run " << run + 2 << " wrote the store";
    }
  }
}

}  // namespace
}  // namespace corvela
