#include "cli/Cli.h"

#include <ostream>

namespace corvela::cli {

int run(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream&) {
  if (!args.empty() && args[0] == "--version") out << "corvela-cli " CORVELA_VERSION "\n";
  return kSuccess;
}

}  // namespace corvela::cli
