#pragma once

#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Command.h"

namespace corvela::cli {

// corvela-cli formats: lists the stored input formats, exports one to a .cvef file, imports one
// from such a file (under its own name or --name NAME, replacing a stored format of that name).
int runFormats(const std::vector<std::string>& args, Io& io);

}  // namespace corvela::cli
