#pragma once

#include <optional>
#include <string>

#include "cli/Cli.h"
#include "cli/Command.h"

namespace corvela::cli {

// `corvela-cli formats list|export|import`: lists the stored input formats, exports one to a
// .cvef file, imports one from such a file (under its own name or --name NAME, replacing a
// stored format of that name).
class FormatsCommand : public Command {
 public:
  FormatsCommand(CLI::App& parent, HelpFormatter& help);
  const CLI::App& app() const override { return *formats_; }
  int run(Io& io) override;

 private:
  CLI::App* formats_;
  CLI::App* list_;
  CLI::App* export_;
  CLI::App* import_;
  std::string path_;
  std::string name_;
  std::string file_;
  std::optional<std::string> newName_;
};

}  // namespace corvela::cli
