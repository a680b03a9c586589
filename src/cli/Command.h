#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace corvela::cli {

// The streams a command reads and writes, injected so tests can read what a person would see.
struct Io {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// One subcommand of corvela-cli: its name, a line of usage, a line of purpose, and the function
// that runs it with the arguments after its name and returns the exit status.
struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(const std::vector<std::string>& args, Io& io);
};

// Every subcommand, in the order --help lists them.
std::span<const Command> commands();

// Takes the value of `--name VALUE` out of `args`, leaving the rest. Returns false and leaves
// `value` alone when the option is absent; sets `missing` when it has no value.
bool takeOption(std::vector<std::string>& args, const std::string& name, std::string* value,
                bool* missing);
// Takes a `--flag` out of `args`; returns whether it was there.
bool takeFlag(std::vector<std::string>& args, const std::string& name);

}  // namespace corvela::cli
