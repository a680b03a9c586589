#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace corvela::cli {

// Exit statuses of corvela-cli.
enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

// Runs corvela-cli with the arguments after the program name. Output goes to the given streams,
// so tests can read what a person would see.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace corvela::cli
