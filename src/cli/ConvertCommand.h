#pragma once

#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Command.h"

namespace corvela::cli {

// `corvela-cli convert INPUT [options]`: the desktop program's run without its windows. The
// input is opened and classified by the same controller, the settings are entered as a person
// would enter them in the main window, and the output file is written the same way (atomically).
// Transactions that would be confirmed are output as proposed; those that match no instruction
// are output as read.
int runConvert(const std::vector<std::string>& args, Io& io);

}  // namespace corvela::cli
