// Several corvela-cli runs on one store at once, each learning something of its own: the lock
// and the merge keep every one of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "prefs/CVPrefs.h"
#include "support/CliProcess.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;

TEST(ParallelStoreTest, EveryRunKeepsWhatItLearnt) {
  testing::TempDir dir;
  const std::string store = dir.path("store.prefs");
  const std::string json = dir.write("seed.json", R"({"Categories": ["Dining"]})");
  ASSERT_EQ(testing::runCliProcess({"prefs", "import", json, "--prefs", store}).status, 0);

  constexpr int kRuns = 8;
  std::vector<std::unique_ptr<testing::CliChild>> runs;
  for (int i = 0; i < kRuns; ++i) {
    std::string name = "Learnt" + std::to_string(i);
    std::string input =
        dir.write(name + ".qif", "!Type:Bank\nD03/0" + std::to_string(i + 1) +
                                     "/2024\nT-1.00\nPSHOP " + name + "\nL" + name + "\n^\n");
    runs.push_back(std::make_unique<testing::CliChild>(std::vector<std::string>{
        "convert", input, "-o", dir.path(name + ".out.qif"), "--prefs", store}));
  }
  for (auto& run : runs) {
    testing::CliProcess done = run->wait();
    EXPECT_EQ(done.status, 0) << done.err;
  }

  CVPrefs after = CVPrefs::initWithPath(store);
  ASSERT_TRUE(after.openError().empty()) << after.openError();
  // Every run's category is there beside the one imported, in order.
  std::string categories, expected = "Dining";
  for (const Value& c : after.objectForKey("Categories").toArray())
    categories += (categories.empty() ? "" : " ") + c.toString();
  for (int i = 0; i < kRuns; ++i) expected += " Learnt" + std::to_string(i);
  EXPECT_EQ(categories, expected);
}

}  // namespace
}  // namespace corvela
