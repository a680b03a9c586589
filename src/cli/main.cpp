#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  // A closed pipe is a failed write to report, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  // What the command built and did not free: the process ends without taking it apart.
  std::vector<std::shared_ptr<void>> leftForExit;
  int status = corvela::cli::run(args, std::cin, std::cout, std::cerr, &leftForExit);
  // The last of standard output reaches the file or pipe only now; a failure here is a failed
  // run, whatever was reported before.
  std::cout.flush();
  errno = 0;
  bool failed = !std::cout || std::fflush(stdout) != 0;
  if (!failed && std::fclose(stdout) != 0) failed = true;
  if (failed && status == corvela::cli::kSuccess) {
    std::cerr << "corvela-cli: standard output could not be written: "
              << (errno ? std::strerror(errno) : "write error") << ".\n";
    status = corvela::cli::kFailure;
  }
  if (!leftForExit.empty()) {
    // Every file the command wrote is closed and standard output too; only memory is left.
    std::cerr.flush();
    std::fflush(stderr);
    std::_Exit(status);
  }
  return status;
}
