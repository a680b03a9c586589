#include "cli/Cli.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConvertCommand.h"
#include "cli/FormatsCommand.h"
#include "cli/PrefsCommand.h"

namespace corvela::cli {

namespace {

constexpr const char* kDescription =
    "Corvela turns downloaded bank, credit-card and brokerage statements into QIF for your\n"
    "finance software, applying the rules you taught it.\n";

constexpr const char* kFooter =
    "The preference store is $CORVELA_PREFS when set, else\n"
    "$XDG_CONFIG_HOME/corvela/org.corvela.Corvela.prefs (~/.config when unset).\n"
    "Exit status: 0 done, 1 the input or a file cannot be processed, 2 a usage error,\n"
    "3 nothing was output.";

// The command line's parser with every subcommand in it.
struct Parser {
  CLI::App app{kDescription, "corvela-cli"};
  std::shared_ptr<HelpFormatter> help = std::make_shared<HelpFormatter>();
  std::vector<std::unique_ptr<Command>> commands;

  Parser() {
    app.formatter(help);
    help->setUsage(&app, {"COMMAND [OPTIONS]"});
    app.set_version_flag("--version", "Corvela " CORVELA_VERSION, "show the version");
    app.set_help_flag("-h,--help", "show this help");
    app.footer(kFooter);
    app.require_subcommand(1);
    commands.push_back(std::make_unique<ConvertCommand>(app, *help));
    commands.push_back(std::make_unique<PrefsCommand>(app, *help));
    commands.push_back(std::make_unique<FormatsCommand>(app, *help));
  }

  // The subcommand deepest in the tree that the command line named, or the parser itself.
  const CLI::App& named() const {
    const CLI::App* deepest = &app;
    for (bool deeper = true; deeper;) {
      deeper = false;
      for (const CLI::App* sub : deepest->get_subcommands({})) {
        if (sub->count() == 0) continue;
        deepest = sub;
        deeper = true;
        break;
      }
    }
    return *deepest;
  }

  // A usage error: what is wrong, then the usage of the command it concerns.
  int usageError(const CLI::App& where, const std::string& why, Io& io) const {
    std::string path;
    for (const CLI::App* at = &where; at->get_parent(); at = at->get_parent())
      path = at->get_name() + (path.empty() ? "" : " " + path);
    io.err << "corvela-cli: " << (path.empty() ? "" : path + ": ") << why;
    if (!why.ends_with('.')) io.err << '.';
    io.err << "\n" << help->usage(where.get_parent() ? &where : &app);
    return kUsage;
  }
};

int runParsed(Parser& parser, Io& io) {
  for (const std::unique_ptr<Command>& command : parser.commands) {
    if (command->app().count() == 0) continue;
    if (std::string problem = command->usageProblem(); !problem.empty())
      return parser.usageError(parser.named(), problem, io);
    // Whatever escapes a command ends it with one line, never an abort: files are written
    // atomically, so nothing is half-written when this happens.
    try {
      return command->run(io);
    } catch (const std::bad_alloc&) {
      io.err << "corvela-cli: out of memory; nothing more was written.\n";
    } catch (const std::filesystem::filesystem_error& e) {
      io.err << "corvela-cli: " << e.code().message() << " (" << e.path1().string()
             << "); nothing more was written.\n";
    } catch (const std::exception& e) {
      io.err << "corvela-cli: " << e.what() << "; nothing more was written.\n";
    }
    return kFailure;
  }
  return parser.usageError(parser.app, "no command was named", io);
}

}  // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err, std::vector<std::shared_ptr<void>>* leftForExit) {
  Io io{in, out, err, leftForExit};
  Parser parser;
  if (args.empty()) {
    err << parser.app.help();
    return kUsage;
  }
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  if (reversed.back() == "help") reversed.back() = "--help";
  const std::string& first = reversed.back();
  const auto subcommands = parser.app.get_subcommands({});
  if (!first.starts_with('-') &&
      std::none_of(subcommands.begin(), subcommands.end(),
                   [&](const CLI::App* sub) { return sub->check_name(first); })) {
    err << "corvela-cli: unknown command '" << first << "' (see corvela-cli --help)\n";
    return kUsage;
  }
  try {
    parser.app.parse(reversed);  // CLI11 takes the arguments last first
  } catch (const CLI::CallForHelp&) {
    out << parser.named().help();
    return kSuccess;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << "\n";
    return kSuccess;
  } catch (const CLI::ParseError& e) {
    return parser.usageError(parser.named(), e.what(), io);
  }
  return runParsed(parser, io);
}

}  // namespace corvela::cli
