#pragma once

#include <string>

#include "cli/Cli.h"
#include "cli/Command.h"

namespace corvela::cli {

// `corvela-cli prefs show|import`: look inside the preference store, or fill it from JSON.
class PrefsCommand : public Command {
 public:
  PrefsCommand(CLI::App& parent, HelpFormatter& help);
  const CLI::App& app() const override { return *prefs_; }
  int run(Io& io) override;

 private:
  CLI::App* prefs_;
  CLI::App* show_;
  CLI::App* import_;
  std::string path_;
  std::string jsonPath_;
  bool json_ = false;
  bool replace_ = false;
};

}  // namespace corvela::cli
