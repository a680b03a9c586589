#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/CrashReports.h"
#include "support/TempDir.h"

namespace corvela::testing {
namespace {

namespace fs = std::filesystem;

// Sets or (with none) unsets an environment variable.
void setEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

TEST(CrashReports, FolderFollowsStateHomeThenHome) {
  struct Case {
    std::optional<std::string> state, home;
    std::string folder;
  };
  const Case cases[] = {
      {"/state", "/home/a", "/state/corvela/crashes"},
      {"relative", "/home/a", "/home/a/.local/state/corvela/crashes"},
      {std::nullopt, "/home/a", "/home/a/.local/state/corvela/crashes"},
      {std::nullopt, "", ""},
      {"", std::nullopt, ""},
  };
  auto get = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const std::optional<std::string> state = get("XDG_STATE_HOME"), home = get("HOME");
  for (const Case& c : cases) {
    setEnv("XDG_STATE_HOME", c.state);
    setEnv("HOME", c.home);
    EXPECT_EQ(crashReportFolder(), c.folder) << c.state.value_or("-") << c.home.value_or("-");
  }
  setEnv("XDG_STATE_HOME", state);
  setEnv("HOME", home);
}

// The handler is called directly with its signal blocked, so the test process survives what
// would otherwise kill it: the report is written, the default action restored and the signal
// left pending, which is how the program goes on to die of it.
TEST(CrashReports, HandlerWritesTheReportAndLeavesTheSignalToKill) {
  const struct {
    int signal;
    const char* name;
  } cases[] = {{SIGSEGV, "SIGSEGV (segmentation fault)"},
               {SIGBUS, "SIGBUS (bus error)"},
               {SIGILL, "SIGILL (illegal instruction)"},
               {SIGFPE, "SIGFPE (arithmetic error)"},
               {SIGABRT, "SIGABRT (abort)"}};
  sigset_t blocked, oldMask;
  sigemptyset(&blocked);
  struct sigaction oldActions[std::size(cases)];
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    sigaddset(&blocked, cases[i].signal);
    sigaction(cases[i].signal, nullptr, &oldActions[i]);
  }
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blocked, &oldMask), 0);

  TempDir temp;
  const std::string pid = std::to_string(getpid());
  // Neither an empty folder nor one too long for the handler's buffer installs anything.
  for (const std::string& folder : {std::string(), std::string(2000, 'x')}) {
    std::signal(SIGABRT, SIG_DFL);
    installCrashReporter(folder, "1");
    struct sigaction now {};
    sigaction(SIGABRT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << folder.size();
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Parents that do not exist yet are made.
    const fs::path folder = temp.root() / std::to_string(c.signal) / "state" / "crashes";
    installCrashReporter(folder.string(), "2.4.1");
    struct sigaction installed {};
    sigaction(c.signal, nullptr, &installed);
    ASSERT_NE(installed.sa_handler, SIG_DFL);
    installed.sa_handler(c.signal);

    const std::vector<std::string> names = temp.entries(folder.string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with("Corvela-") && names[0].ends_with("-" + pid + ".crash"))
        << names[0];
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    const std::string head = "Process: Corvela [" + pid + "]\nVersion: 2.4.1\nSignal: " + c.name +
                             "\n\nThread 0 Crashed::\n";
    std::ifstream in(folder / names[0], std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_GT(text.size(), head.size()) << "no backtrace";

    struct sigaction after {};
    sigaction(c.signal, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, c.signal);
    const timespec now{};
    EXPECT_EQ(sigtimedwait(&one, nullptr, &now), c.signal);
  }

  for (std::size_t i = 0; i < std::size(cases); ++i)
    sigaction(cases[i].signal, &oldActions[i], nullptr);
  pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
}

// A real crash in a child process: it dies of its signal, leaving one report behind.
TEST(CrashReports, ProcessStillDiesOfTheSignal) {
  TempDir temp;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    installCrashReporter(temp.path("crashes"), "1");
    raise(SIGSEGV);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGSEGV);
  EXPECT_EQ(temp.entries("crashes").size(), 1u);
}

}  // namespace
}  // namespace corvela::testing
