#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace corvela::testing {

// What one in-process corvela-cli run printed and answered.
struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Runs corvela-cli with `args` in this process, with empty standard input.
inline CliRun runCli(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out, err;
  int status = cli::run(args, in, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace corvela::testing
