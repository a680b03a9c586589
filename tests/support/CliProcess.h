#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvela::testing {

// The real corvela-cli, run as a separate process the way a person or a script runs it, so
// that exit statuses, signals, standard streams and file descriptors are the program's own.
struct CliProcess {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

struct CliSetup {
  // Where standard output goes: a file to write ("/dev/full"), or, when empty, a capture file.
  std::string stdoutPath;
  // Standard output is a pipe whose reading end is already closed.
  bool closedPipe = false;
  // Environment variables set (or, with a nullopt, unset) for the run.
  std::map<std::string, std::optional<std::string>> env;
  // RLIMIT_AS in bytes, 0 for none.
  rlim_t addressSpace = 0;
};

class CliChild {
 public:
  CliChild(const std::vector<std::string>& args, const CliSetup& setup = {}) {
    char pattern[] = "/tmp/corvela-cli-run-XXXXXX";
    if (mkdtemp(pattern)) folder_ = pattern;
    int pipeEnds[2] = {-1, -1};
    if (setup.closedPipe && ::pipe(pipeEnds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      int out = setup.closedPipe ? pipeEnds[1]
                                 : ::open(setup.stdoutPath.empty() ? (folder_ + "/out").c_str()
                                                                   : setup.stdoutPath.c_str(),
                                          O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int err = ::open((folder_ + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int in = ::open("/dev/null", O_RDONLY);
      if (setup.closedPipe) ::close(pipeEnds[0]);
      ::dup2(in, 0);
      ::dup2(out, 1);
      ::dup2(err, 2);
      for (const auto& [name, value] : setup.env) {
        if (value)
          ::setenv(name.c_str(), value->c_str(), 1);
        else
          ::unsetenv(name.c_str());
      }
      if (setup.addressSpace) {
        rlimit limit{setup.addressSpace, setup.addressSpace};
        ::setrlimit(RLIMIT_AS, &limit);
      }
      std::vector<char*> argv;
      std::string program = CORVELA_CLI;
      argv.push_back(program.data());
      std::vector<std::string> copies = args;
      for (std::string& a : copies) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    if (setup.closedPipe) {
      ::close(pipeEnds[0]);
      ::close(pipeEnds[1]);
    }
  }
  CliChild(const CliChild&) = delete;
  CliChild& operator=(const CliChild&) = delete;
  ~CliChild() {
    if (pid_ > 0 && !finished_) wait();
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  CliProcess wait() {
    CliProcess result;
    int raw = 0;
    if (pid_ > 0 && ::waitpid(pid_, &raw, 0) == pid_)
      result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    finished_ = true;
    result.out = slurp(folder_ + "/out");
    result.err = slurp(folder_ + "/err");
    return result;
  }

 private:
  static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string folder_;
  pid_t pid_ = -1;
  bool finished_ = false;
};

inline CliProcess runCliProcess(const std::vector<std::string>& args, const CliSetup& setup = {}) {
  return CliChild(args, setup).wait();
}

}  // namespace corvela::testing
