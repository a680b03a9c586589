#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "prefs/KeyedArchive.h"
#include "support/CaseFile.h"
#include "support/CliProcess.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/TempDir.h"
#include "text/CalendarDay.h"

namespace corvela {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::runCli;

// The command lines of tests/data/cli/commands.txt, run in order in one folder: each answers
// its exit status and everything it printed, which the README's usage and status table promise.
// The folder holds what a mistyped command or a hostile folder offers: links, a pipe, a socket,
// a read-only file, a folder and a damaged store.
TEST(CliTest, CommandLinesAnswerWithTheirStatusAndMessages) {
  testing::TempDir dir;
  const std::string data = CORVELA_TEST_DATA, examples = data + "/../../examples";
  // Longest first, so that a place inside another is named by the longer one.
  const std::pair<std::string, std::string> places[] = {
      {examples, "<examples>"},
      {CORVELA_CORPUS, "<corpus>"},
      {data, "<data>"},
      {dir.root().string(), "<dir>"},
      // Dates given as examples are today's.
      {CalendarDay::today().format("%m/%d/%Y"), "<today>"},
  };
  const std::string input = dir.path("march.ofx");
  fs::copy_file(examples + "/checking-2024-03.ofx", input);
  fs::create_directory(dir.path("sub"));
  fs::create_directory(dir.path("folder.prefs"));
  fs::create_symlink(input, dir.path("link-to-input"));
  fs::create_hard_link(input, dir.path("hard-link"));
  fs::create_symlink(dir.path("nowhere.qif"), dir.path("dangling"));
  for (const char* fifo : {"fifo", "fifo.prefs"}) ::mkfifo(dir.path(fifo).c_str(), 0600);
  dir.write("readonly.qif", "keep me");
  fs::permissions(dir.path("readonly.qif"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  dir.path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  dir.write("broken.prefs", "this is not a preference store");
  dir.write("damaged.prefs", "not a store");
  dir.write("garbage.prefs", "garbage");
  dir.write("rubbish.prefs", "garbage");
  dir.write("earlier.qif", "an earlier run");
  ASSERT_TRUE(writeKeyedArchiveFile(dir.path("unnamed.cvef"), Value{{"FormatType", "Bank"}}).ok());
  ASSERT_TRUE(writeKeyedArchiveFile(dir.path("later.crvc"), Value::dictionary()).ok());
  const std::string continuation = readText(dir.path("later.crvc"));

  auto named = [&](std::string text) {
    for (const auto& [path, place] : places)
      for (std::size_t at; (at = text.find(path)) != std::string::npos;)
        text.replace(at, path.size(), place);
    // A store moved aside is named after the time it was found damaged.
    return std::regex_replace(text, std::regex(R"(\.unreadable-[0-9-]+)"), ".unreadable-<time>");
  };
  testing::expectCaseFile(
      "cli/commands.txt", [&](const std::string& text, const std::string& words) {
        // Arguments are parted by spaces; one in single quotes may hold spaces or be empty.
        std::vector<std::string> args;
        for (std::size_t at = 0; at < text.size(); ++at) {
          const bool quoted = text[at] == '\'';
          const std::size_t end = quoted ? text.find('\'', at + 1) : text.find(' ', at);
          std::string arg = text.substr(at + quoted, end - at - quoted);
          for (const auto& [path, place] : places)
            if (arg.find(place) != std::string::npos)
              arg.replace(arg.find(place), place.size(), path);
          args.push_back(arg);
          at = quoted ? end + 1 : std::min(end, text.size());
        }
        // "alone": the real program in a process of its own, where a file it must not open
        // (a pipe) cannot hang the test, maybe with its standard output going to /dev/full or
        // to a pipe nobody reads.
        testing::CliRun run{};
        if (words.starts_with("alone")) {
          testing::CliSetup setup;
          if (words.ends_with("/dev/full")) setup.stdoutPath = "/dev/full";
          setup.closedPipe = words.ends_with("closed pipe");
          testing::CliProcess process = testing::runCliProcess(args, setup);
          run = {process.status, process.out, process.err};
        } else {
          run = runCli(args);
        }
        return std::to_string(run.status) + " " + testing::quoted(named(run.err)) +
               (run.out.empty() ? "" : " out " + testing::quoted(named(run.out)));
      });
  ::close(sock);

  // What the refused runs were told to write is not there, and what they would replace stayed.
  EXPECT_FALSE(fs::exists(dir.path("none.prefs")));
  EXPECT_FALSE(fs::exists(dir.path("none.qif")));
  EXPECT_FALSE(fs::exists(dir.path("missing")));
  EXPECT_EQ(readText(dir.path("broken.prefs")), "this is not a preference store");
  EXPECT_EQ(readText(dir.path("earlier.qif")), "an earlier run");
  EXPECT_EQ(readText(dir.path("readonly.qif")), "keep me");
  EXPECT_EQ(readText(input), readText(examples + "/checking-2024-03.ofx"));
  EXPECT_EQ(readText(dir.path("later.crvc")), continuation);
  EXPECT_TRUE(fs::is_fifo(dir.path("fifo")) && fs::is_fifo(dir.path("fifo.prefs")));
  EXPECT_TRUE(fs::is_directory(dir.path("folder.prefs")));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  // A store the refused runs were given, and one that only exported a format, are as imported.
  for (auto [json, store] : {std::pair{examples + "/example-store.json", "safe.prefs"},
                             {data + "/text/knab/store.json", "learnt.prefs"}}) {
    ASSERT_EQ(runCli({"prefs", "import", json, "--prefs", dir.path("fresh.prefs")}).status, 0);
    EXPECT_EQ(readText(dir.path(store)), readText(dir.path("fresh.prefs"))) << store;
    fs::remove(dir.path("fresh.prefs"));
  }
  // Each list export replaced the list in its store; the categories took the transfer entries of
  // the store's three accounts.
  for (auto [store, key, entries] : {std::tuple{"categories.prefs", "Categories", 5u},
                                     {"accounts.prefs", "Accounts", 1u},
                                     {"securities.prefs", "Securities", 1u}})
    EXPECT_EQ(readKeyedArchiveFile(dir.path(store)).value()[key].size(), entries) << key;
  // The backup of the last import is the merged store byte for byte; the damaged store was moved
  // aside once.
  for (std::string json : {examples + "/example-store.json", data + "/cli/rent.json"})
    ASSERT_EQ(runCli({"prefs", "import", json, "--prefs", dir.path("fresh.prefs")}).status, 0);
  EXPECT_EQ(readText(dir.path("merged.prefs.bak")), readText(dir.path("fresh.prefs")));
  int unreadable = 0;
  for (const auto& entry : fs::directory_iterator(dir.root()))
    unreadable += entry.path().filename().string().starts_with("rubbish.prefs.unreadable-");
  EXPECT_EQ(unreadable, 1);
  // The format imported under another name converts as it did where it was learnt.
  EXPECT_EQ(readText(dir.path("knab.qif")), readText(data + "/text/knab/expected.qif"));
}

}  // namespace
}  // namespace corvela
