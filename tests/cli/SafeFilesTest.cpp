// The files a conversion touches, attacked the way a mistyped command or a hostile folder would:
// the real corvela-cli in a temporary folder, with links, devices, pipes and read-only files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <new>
#include <sstream>

#include "cli/Cli.h"
#include "prefs/CVPrefs.h"
#include "support/CliProcess.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::CliProcess;
using testing::CliSetup;
using testing::readText;
using testing::runCliProcess;

const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

class SafeFilesTest : public ::testing::Test {
 protected:
  SafeFilesTest() {
    fs::copy_file(kExamples / "checking-2024-03.ofx", input);
    CliProcess imported = runCliProcess(
        {"prefs", "import", (kExamples / "example-store.json").string(), "--prefs", store});
    EXPECT_EQ(imported.status, 0) << imported.err;
    fs::remove(store + ".bak");
  }
  CliProcess convert(std::vector<std::string> args, const CliSetup& setup = {}) {
    args.insert(args.begin(), {"convert", input});
    args.insert(args.end(), {"--prefs", store});
    return runCliProcess(args, setup);
  }

  testing::TempDir dir;
  std::string input = dir.path("march.ofx");
  std::string store = dir.path("store.prefs");
};

// A link is followed only when its owner is the person running Corvela or the owner of the
// folder it lies in, as the kernel does in sticky folders.
TEST_F(SafeFilesTest, ALinkPlantedBySomeoneElseIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link another owner";
  fs::create_directory(dir.path("shared"));
  ASSERT_EQ(::chown(dir.path("shared").c_str(), 4242, 4242), 0);
  std::string victim = dir.write("victim.txt", "precious");
  std::string planted = dir.path("shared/out.qif");
  fs::create_symlink(victim, planted);
  ASSERT_EQ(::lchown(planted.c_str(), 4343, 4343), 0);
  CliProcess run = convert({"-o", planted});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("symbolic link owned by someone else"), std::string::npos) << run.err;
  EXPECT_EQ(readText(victim), "precious");

  // The folder's owner may link: that is the owner's own folder.
  ASSERT_EQ(::lchown(planted.c_str(), 4242, 4242), 0);
  run = convert({"-o", planted});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(readText(victim).starts_with("!Type:Bank"));
  EXPECT_TRUE(fs::is_symlink(planted));
}

// What an interrupted write left behind goes with the next write (only its own leftovers); a
// character device is written through, never replaced by a regular file. (The streams of the
// process and failing outputs are lines of tests/data/cli/commands.txt.)
TEST_F(SafeFilesTest, DevicesAreWrittenThroughAndLeftoversCleared) {
  dir.write(".out.qif.tmp-0123abcd", "half a QIF");
  dir.write(".other.qif.tmp-0123abcd", "not ours");
  ASSERT_EQ(convert({"-o", dir.path("out.qif")}).status, 0);
  EXPECT_FALSE(fs::exists(dir.path(".out.qif.tmp-0123abcd")));
  EXPECT_TRUE(fs::exists(dir.path(".other.qif.tmp-0123abcd")));

  if (::geteuid() != 0) {
    std::cout << "[  SKIPPED ] the device node case needs root for mknod\n";
    return;
  }
  std::string node = dir.path("null-device");
  ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  CliProcess toNode = convert({"-o", node});
  EXPECT_EQ(toNode.status, 0) << toNode.err;
  EXPECT_TRUE(fs::is_character_file(node));
}

// What escapes the run (no memory) ends it with one line and status 1, never an abort. Standard
// output takes the output as it is: no temporary file is made for it, so a missing folder for
// temporary files is no failure.
TEST_F(SafeFilesTest, ResourceFailuresEndWithOneLine) {
  CliSetup noFolder;
  noFolder.env["TMPDIR"] = dir.path("no-such-folder");
  CliProcess noTmp = convert({}, noFolder);
  EXPECT_EQ(noTmp.status, 0) << noTmp.err;
  EXPECT_TRUE(noTmp.out.starts_with("!Type:")) << noTmp.out;

  // Memory runs out in the middle of the run (here: while the output is handed over).
  struct Exhausted : std::streambuf {
    int overflow(int) override { throw std::bad_alloc(); }
    std::streamsize xsputn(const char*, std::streamsize) override { throw std::bad_alloc(); }
  } exhausted;
  std::ostream failing(&exhausted);
  failing.exceptions(std::ios::badbit);
  std::istringstream in;
  std::ostringstream err;
  int status = cli::run({"convert", input, "--prefs", store}, in, failing, err);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.str(), "corvela-cli: out of memory; nothing more was written.\n");

#if !defined(__SANITIZE_ADDRESS__)
  // The real thing: an input larger than the memory the run may have. (The address sanitizer
  // reserves more address space than any limit allows, and ends on failed allocations itself.)
  std::string huge = dir.write("huge.qif", "!Type:Bank\n");
  fs::resize_file(huge, std::uintmax_t{256} << 20);
  CliSetup limited;
  limited.addressSpace = rlim_t{192} << 20;
  CliProcess run = runCliProcess({"convert", huge, "--prefs", store}, limited);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("out of memory"), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
#endif
}

// Several runs on one store at once, each learning something of its own: the lock and the
// merge keep every one of them.
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
