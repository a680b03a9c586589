// The files a conversion touches, attacked the way a mistyped command or a hostile folder would:
// the real corvela-cli in a temporary folder, with links, devices, pipes and read-only files.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

#include "cli/Cli.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
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

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

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

// Every refused output path: exit 1, a message naming the reason, and no file changed (the
// store neither: the run never starts).
TEST_F(SafeFilesTest, RefusedOutputPathsChangeNothing) {
  const std::string statement = readText(input);
  const std::string rules = readText(store);
  fs::create_directory(dir.path("sub"));
  fs::create_symlink(input, dir.path("link-to-input"));
  fs::create_hard_link(input, dir.path("hard-link"));
  fs::create_symlink(dir.path("nowhere.qif"), dir.path("dangling"));
  ::mkfifo(dir.path("fifo").c_str(), 0600);
  writeFile(dir.path("readonly.qif"), "keep me");
  fs::permissions(dir.path("readonly.qif"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string socketPath = dir.path("socket");
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  struct Case {
    std::string output;
    std::string reason;
  };
  const Case cases[] = {
      {input, "it is the input"},
      {dir.path("link-to-input"), "it is the input"},
      {dir.path("sub/../march.ofx"), "it is the input"},
      {dir.path("hard-link"), "it is the input"},
      {store, "it is the preference store"},
      {dir.path("dangling"), "which does not exist"},
      {dir.path("fifo"), "it is a named pipe"},
      {socketPath, "it is a socket"},
      {dir.path("sub"), "it is a folder"},
      {dir.path("readonly.qif"), "it is read-only"},
      {dir.path("missing/out.qif"), "does not exist"},
  };
  for (const Case& c : cases) {
    CliProcess run = convert({"-o", c.output});
    EXPECT_EQ(run.status, 1) << c.output << "\n" << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.output << "\n" << run.err;
    EXPECT_EQ(run.err.find("transactions output"), std::string::npos) << run.err;
    EXPECT_EQ(readText(input), statement) << c.output;
    EXPECT_EQ(readText(store), rules) << c.output;
  }
  EXPECT_EQ(readText(dir.path("readonly.qif")), "keep me");
  EXPECT_FALSE(fs::exists(dir.path("missing")));
  EXPECT_TRUE(fs::is_fifo(dir.path("fifo")));
  ::close(sock);

  // Resuming a continuation file into itself.
  std::string continuation = dir.path("later.crvc");
  ASSERT_TRUE(writeKeyedArchiveFile(continuation, Value::dictionary()).ok());
  const std::string saved = readText(continuation);
  CliProcess run = runCliProcess(
      {"convert", continuation, "-o", dir.path("sub/../later.crvc"), "--prefs", store});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("the continuation file being resumed"), std::string::npos) << run.err;
  EXPECT_EQ(readText(continuation), saved);
}

// A link is followed only when its owner is the person running Corvela or the owner of the
// folder it lies in, as the kernel does in sticky folders.
TEST_F(SafeFilesTest, ALinkPlantedBySomeoneElseIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link another owner";
  fs::create_directory(dir.path("shared"));
  ASSERT_EQ(::chown(dir.path("shared").c_str(), 4242, 4242), 0);
  std::string victim = dir.path("victim.txt");
  writeFile(victim, "precious");
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
// character device is written through, never replaced by a regular file; the streams of the
// process are its own.
TEST_F(SafeFilesTest, DevicesAreWrittenThroughAndLeftoversCleared) {
  std::string file = dir.path("out.qif");
  writeFile(dir.path(".out.qif.tmp-0123abcd"), "half a QIF");
  writeFile(dir.path(".other.qif.tmp-0123abcd"), "not ours");
  ASSERT_EQ(convert({"-o", file}).status, 0);
  EXPECT_FALSE(fs::exists(dir.path(".out.qif.tmp-0123abcd")));
  EXPECT_TRUE(fs::exists(dir.path(".other.qif.tmp-0123abcd")));
  const std::string expected = readText(file);

  CliProcess toNull = convert({"-o", "/dev/null"});
  EXPECT_EQ(toNull.status, 0) << toNull.err;
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  for (const char* stream : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
    CliProcess toStdout = convert({"-o", stream});
    EXPECT_EQ(toStdout.status, 0) << stream << ": " << toStdout.err;
    EXPECT_EQ(toStdout.out, expected) << stream;
  }

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

// Every failed write of the output is a failure with its reason, never "N transactions output".
TEST_F(SafeFilesTest, AFailingOutputIsAFailure) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    CliSetup setup;
    const char* reason;
  };
  CliSetup full, closed;
  full.stdoutPath = "/dev/full";
  closed.closedPipe = true;
  const Case cases[] = {
      {"-o /dev/full", {"-o", "/dev/full"}, {}, "No space left on device"},
      {"standard output /dev/full", {}, full, "No space left on device"},
      {"closed pipe", {}, closed, "Broken pipe"},
  };
  for (const Case& c : cases) {
    CliProcess run = convert(c.args, c.setup);
    EXPECT_EQ(run.status, 1) << c.name << "\n" << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.name << "\n" << run.err;
    EXPECT_EQ(run.err.find("transactions output"), std::string::npos) << c.name << run.err;
  }
}

// Bad values of options exit 2 with the reason; nothing output exits 3 and writes nothing.
TEST_F(SafeFilesTest, ExitStatuses) {
  std::string output = dir.path("out.qif");
  writeFile(output, "an earlier run");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {{"--help"}, 0, ""},
      {{"--date", "someday"}, 2, "--date \"someday\" is no date"},
      {{"--from", "13/45/2024", "--to", "03/31/2024"}, 2, "--from \"13/45/2024\" is no date"},
      {{"--from", "03/31/2024", "--to", "03/01/2024"}, 2, "ends before it begins"},
      {{"--from", "03/01/2024"}, 2, "--from and --to go together"},
      {{"--bogus"}, 2, "unknown option --bogus"},
      {{"--from", "01/01/2020", "--to", "01/31/2020", "-o", output}, 3, "was not written"},
  };
  for (const Case& c : cases) {
    CliProcess run = convert(c.args);
    EXPECT_EQ(run.status, c.status) << ::testing::PrintToString(c.args) << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_EQ(readText(output), "an earlier run");
  EXPECT_NE(runCliProcess({"convert", "--help"}).out.find("usage: corvela-cli convert"),
            std::string::npos);

  // A stored output date pattern that writes no date.
  std::string json = dir.path("pattern.json");
  writeFile(json, R"({"OutputDateFormat": "%"})");
  ASSERT_EQ(runCliProcess({"prefs", "import", json, "--prefs", store}).status, 0);
  CliProcess run = convert({"-o", output});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_NE(run.err.find("\"%\" (OutputDateFormat) writes no date"), std::string::npos) << run.err;
}

// What escapes the run (no memory, a temporary folder that is not there) ends it with one line
// and status 1, never an abort.
TEST_F(SafeFilesTest, ResourceFailuresEndWithOneLine) {
  CliSetup noFolder;
  noFolder.env["TMPDIR"] = dir.path("no-such-folder");
  CliProcess noTmp = convert({}, noFolder);
  EXPECT_EQ(noTmp.status, 1) << noTmp.err;
  EXPECT_NE(noTmp.err.find("TMPDIR"), std::string::npos) << noTmp.err;

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
  std::string huge = dir.path("huge.qif");
  {
    std::ofstream file(huge, std::ios::binary);
    file << "!Type:Bank\n";
  }
  fs::resize_file(huge, std::uintmax_t{256} << 20);
  CliSetup limited;
  limited.addressSpace = rlim_t{192} << 20;
  CliProcess run = runCliProcess({"convert", huge, "--prefs", store}, limited);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("out of memory"), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
#endif
}

// A store that is no file stops the run and stays; damaged bytes are moved aside, and said so.
TEST_F(SafeFilesTest, TheStoreIsNeverLostSilently) {
  std::string output = dir.path("out.qif");
  fs::create_directory(dir.path("folder.prefs"));
  ::mkfifo(dir.path("fifo.prefs").c_str(), 0600);
  for (const char* name : {"folder.prefs", "fifo.prefs"}) {
    CliProcess run = runCliProcess({"convert", input, "-o", output, "--prefs", dir.path(name)});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("cannot be read"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(output));
  }
  EXPECT_TRUE(fs::is_directory(dir.path("folder.prefs")));
  EXPECT_TRUE(fs::is_fifo(dir.path("fifo.prefs")));

  writeFile(store, "garbage");
  CliProcess run = convert({"-o", output});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("not a binary property list"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("it was moved to"), std::string::npos) << run.err;
}

TEST_F(SafeFilesTest, ImportMergesUnlessToldToReplaceAndKeepsABackup) {
  const std::string before = readText(store);
  std::string json = dir.path("some.json");
  writeFile(json, R"({"Categories": ["Rent"], "amountsPrecision": 3})");
  CliProcess merged = runCliProcess({"prefs", "import", json, "--prefs", store});
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(readText(store + ".bak"), before);
  CliProcess shown = runCliProcess({"prefs", "show", "--json", "--prefs", store});
  EXPECT_NE(shown.out.find("\"Instructions\""), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("\"Rent\""), std::string::npos);
  EXPECT_EQ(CVPrefs::initWithPath(store).objectForKey("Categories"),
            Value(Value::Array{"Rent"}));  // a key is replaced whole

  const std::string mergedBytes = readText(store);
  CliProcess replaced = runCliProcess({"prefs", "import", json, "--replace", "--prefs", store});
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(readText(store + ".bak"), mergedBytes);
  shown = runCliProcess({"prefs", "show", "--json", "--prefs", store});
  EXPECT_EQ(shown.out.find("\"Instructions\""), std::string::npos) << shown.out;

  // Into a damaged store: moved aside first, as start-up does.
  writeFile(store, "garbage");
  CliProcess intoDamaged = runCliProcess({"prefs", "import", json, "--prefs", store});
  EXPECT_EQ(intoDamaged.status, 0) << intoDamaged.err;
  EXPECT_NE(intoDamaged.err.find("it was moved to"), std::string::npos) << intoDamaged.err;
  int unreadable = 0;
  for (const auto& entry : fs::directory_iterator(dir.path("")))
    unreadable += entry.path().filename().string().starts_with("store.prefs.unreadable-");
  EXPECT_EQ(unreadable, 1);
}

// Amounts that are no amounts are never copied into the output.
TEST_F(SafeFilesTest, OFXAmountsThatAreNoAmountsAreSkipped) {
  const char* bad[] = {"NaN", "inf", "0x10", "1,2,3.4.5", "", "1e-308"};
  std::string text = readText(input);
  std::string block = "<STMTTRN>\n<TRNTYPE>DEBIT\n<DTPOSTED>20240320\n<TRNAMT>";
  std::string crafted;
  for (const char* amount : bad)
    crafted += block + amount + "\n<NAME>BAD " + amount + "\n</STMTTRN>\n";
  text.insert(text.find("</BANKTRANLIST>"), crafted);
  writeFile(input, text);
  CliProcess run = convert({});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("6 could not be read and were skipped"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("BAD"), std::string::npos) << run.out;
  for (const char* amount : {"NaN", "inf", "0x10", "1e-308"})
    EXPECT_EQ(run.out.find(amount), std::string::npos) << amount;
}

}  // namespace
}  // namespace corvela
