#include "cli/Cli.h"

#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <string_view>

#include "cli/Command.h"

namespace corvela::cli {

namespace {

void printHelp(std::ostream& out) {
  out << "Usage: corvela-cli COMMAND [OPTIONS]\n"
         "\n"
         "Corvela turns downloaded bank, credit-card and brokerage statements into QIF for your\n"
         "finance software, applying the rules you taught it.\n"
         "\n"
         "Commands:\n";
  for (const Command& command : commands()) {
    out << "  " << command.usage << "\n      " << command.summary << "\n";
  }
  out << "\n"
         "Options:\n"
         "  --help       show this help\n"
         "  --version    show the version\n"
         "\n"
         "The preference store is $CORVELA_PREFS when set, else\n"
         "$XDG_CONFIG_HOME/corvela/org.corvela.Corvela.prefs (~/.config when unset).\n";
}

}  // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  if (args.empty()) {
    printHelp(err);
    return kUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    printHelp(out);
    return kSuccess;
  }
  if (first == "--version") {
    out << "Corvela " CORVELA_VERSION "\n";
    return kSuccess;
  }
  for (const Command& command : commands()) {
    if (first != command.name) continue;
    Io io{in, out, err};
    // Whatever escapes a command ends it with one line, never an abort: files are written
    // atomically, so nothing is half-written when this happens.
    try {
      return command.run(std::vector<std::string>(args.begin() + 1, args.end()), io);
    } catch (const std::bad_alloc&) {
      err << "corvela-cli: out of memory; nothing more was written.\n";
    } catch (const std::filesystem::filesystem_error& e) {
      err << "corvela-cli: " << e.code().message() << " (" << e.path1().string()
          << "); nothing more was written.\n";
    } catch (const std::exception& e) {
      err << "corvela-cli: " << e.what() << "; nothing more was written.\n";
    }
    return kFailure;
  }
  err << "corvela-cli: unknown command '" << first << "' (see corvela-cli --help)\n";
  return kUsage;
}

}  // namespace corvela::cli
