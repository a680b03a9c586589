#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvela::cli {

// What the process leaves to the operating system when it ends: see Io::leftForExit.
using LeftForExit = std::vector<std::shared_ptr<void>>;

// The streams a command reads and writes, injected so tests can read what a person would see.
struct Io {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // Set by the program's main, which ends the process without taking apart what a command put
  // here; unset (tests, a command run in a longer-lived process), the command frees everything
  // itself. A command hands over only once its output and every file it wrote are written and
  // closed: freeing a large store takes about as long as reading it, and nobody waits for it.
  LeftForExit* leftForExit = nullptr;
};

// One subcommand of corvela-cli. Its constructor adds the subcommand and its options to the
// command line's parser; once the arguments are parsed into it, usageProblem() and run() follow.
class Command {
 public:
  virtual ~Command() = default;
  // The subcommand in the parser; it was named on the command line when its count() is not 0.
  virtual const CLI::App& app() const = 0;
  // What the parser cannot tell about the parsed arguments (options that go together,
  // arguments left over), or "" when nothing is wrong.
  virtual std::string usageProblem() const { return ""; }
  // Does the work; answers the exit status.
  virtual int run(Io& io) = 0;
};

// Help as corvela-cli writes it: the parser's generated help, headed by the usage lines that
// the README documents for each command rather than the parser's one-line summary of them.
class HelpFormatter : public CLI::Formatter {
 public:
  // `forms`: each way of calling the command, without "corvela-cli "; a form may run over
  // several lines, separated by line breaks.
  void setUsage(const CLI::App* app, std::vector<std::string> forms) {
    usage_[app] = std::move(forms);
  }
  // "usage: corvela-cli ..." for an app with documented usage lines; CLI11's own otherwise.
  std::string make_usage(const CLI::App* app, std::string name) const override;
  // Lists a subcommand by its usage lines and its summary.
  std::string make_subcommand(const CLI::App* sub) const override;
  std::string usage(const CLI::App* app) const;

 private:
  std::map<const CLI::App*, std::vector<std::string>> usage_;
};

// Adds the subcommand `name` to `parent` with its summary and its usage forms.
CLI::App* addSubcommand(CLI::App& parent, HelpFormatter& help, const std::string& name,
                        const std::string& summary, std::vector<std::string> forms);

}  // namespace corvela::cli
