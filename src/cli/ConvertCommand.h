#pragma once

#include <optional>
#include <string>

#include "cli/Cli.h"
#include "cli/Command.h"

namespace corvela::cli {

// What `convert` was told on the command line.
struct ConvertOptions {
  std::string input;
  std::string output = "-";
  std::string prefs;
  std::optional<std::string> inputFormat, outputFormat, account, from, to, date, number;
  bool lastMonth = false;
};

// `corvela-cli convert INPUT [options]`: the desktop program's run without its windows. The
// input is opened and classified by the same controller, the settings are entered as a person
// would enter them in the main window, and the output file is written the same way (atomically).
// Transactions that would be confirmed are output as proposed; those that match no instruction
// are output as read.
class ConvertCommand : public Command {
 public:
  ConvertCommand(CLI::App& parent, HelpFormatter& help);
  const CLI::App& app() const override { return *convert_; }
  std::string usageProblem() const override;
  int run(Io& io) override;

 private:
  HelpFormatter& help_;
  CLI::App* convert_;
  ConvertOptions options_;
};

}  // namespace corvela::cli
