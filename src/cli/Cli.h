#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace corvela::cli {

// Exit statuses of corvela-cli: 0 done, 1 the input or a file cannot be processed (with the
// reason), 2 a usage error (a bad option or option value), 3 nothing was output (every
// transaction out of range or unreadable; no output file was written).
enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2, kNothingOutput = 3 };

// Runs corvela-cli with the arguments after the program name. Output goes to the given streams,
// so tests can read what a person would see. `leftForExit`, when given, receives what the
// command built and did not free (Io::leftForExit): the caller ends the process without
// destroying it, after flushing the streams.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err, std::vector<std::shared_ptr<void>>* leftForExit = nullptr);

}  // namespace corvela::cli
