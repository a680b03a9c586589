#pragma once

#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Command.h"

namespace corvela::cli {

// `corvela-cli prefs show|import`: look inside the preference store, or fill it from JSON.
int runPrefs(const std::vector<std::string>& args, Io& io);

}  // namespace corvela::cli
