#include "platform/CrashReports.h"

#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace corvela {
namespace {

// A signal handler can reach no object, so what it writes is prepared here once, before the
// handlers are installed, and never changed afterwards.
struct CrashSetup {
  char folder[1024];
  char header[256];
};
CrashSetup crashSetup;

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

void put(int fd, const char* text) {
  std::size_t length = std::strlen(text);
  while (length > 0) {
    ssize_t written = ::write(fd, text, length);
    if (written <= 0) return;
    text += written;
    length -= static_cast<std::size_t>(written);
  }
}

// Appends the decimal digits of `value` at `out`; returns the end.
char* appendNumber(char* out, unsigned long value) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

const char* signalName(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV (segmentation fault)";
    case SIGBUS:
      return "SIGBUS (bus error)";
    case SIGILL:
      return "SIGILL (illegal instruction)";
    case SIGFPE:
      return "SIGFPE (arithmetic error)";
    case SIGABRT:
      return "SIGABRT (abort)";
  }
  return "a signal";
}

void makeFolders(const char* folder) {
  char path[sizeof crashSetup.folder];
  std::size_t length = std::strlen(folder);
  std::memcpy(path, folder, length + 1);
  for (std::size_t i = 1; i <= length; ++i) {
    if (path[i] != '/' && path[i] != '\0') continue;
    char kept = path[i];
    path[i] = '\0';
    ::mkdir(path, 0700);
    path[i] = kept;
  }
}

void writeCrashReport(int signal) {
  makeFolders(crashSetup.folder);
  char path[sizeof crashSetup.folder + 64];
  char* end = path;
  for (const char* part : {static_cast<const char*>(crashSetup.folder), "/Corvela-"}) {
    std::size_t length = std::strlen(part);
    std::memcpy(end, part, length);
    end += length;
  }
  end = appendNumber(end, static_cast<unsigned long>(::time(nullptr)));
  *end++ = '-';
  end = appendNumber(end, static_cast<unsigned long>(::getpid()));
  std::memcpy(end, ".crash", 7);

  int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return;
  put(fd, crashSetup.header);
  put(fd, "Signal: ");
  put(fd, signalName(signal));
  put(fd, "\n\nThread 0 Crashed::\n");
  void* frames[64];
  int count = ::backtrace(frames, 64);
  ::backtrace_symbols_fd(frames, count, fd);
  ::close(fd);
}

void onCrash(int signal) {
  writeCrashReport(signal);
  // Dies of the signal as it would have without the report.
  std::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

std::string crashReportFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state) + "/corvela/crashes";
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::string(home) + "/.local/state/corvela/crashes";
}

void installCrashReporter(std::string_view folder, std::string_view version) {
  if (folder.empty() || folder.size() >= sizeof crashSetup.folder) return;
  std::memcpy(crashSetup.folder, folder.data(), folder.size());
  crashSetup.folder[folder.size()] = '\0';
  std::string header = "Process: Corvela [" + std::to_string(::getpid()) +
                       "]\nVersion: " + std::string(version.substr(0, 64)) + "\n";
  std::memcpy(crashSetup.header, header.c_str(), header.size() + 1);
  // The first backtrace loads the unwinder, which a signal handler must not have to do.
  void* frame[1];
  ::backtrace(frame, 1);
  struct sigaction action {};
  action.sa_handler = onCrash;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace corvela
