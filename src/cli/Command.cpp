#include "cli/Command.h"

#include <algorithm>
#include <array>

#include "cli/ConvertCommand.h"
#include "cli/PrefsCommand.h"

namespace corvela::cli {

std::span<const Command> commands() {
  static constexpr std::array kCommands = {
      Command{"convert",
              "convert INPUT [-o OUTPUT] [--prefs FILE] [--output-format NAME] [--account NAME]\n"
              "          [--from DATE --to DATE | --last-month] [--date DATE] [--number TEXT]",
              "convert a statement (OFX, QFX, QIF) with your stored instructions; the output goes\n"
              "      to OUTPUT (standard output when it is - or not given)",
              runConvert},
      Command{"prefs",
              "prefs show [--json] [--prefs FILE]\n"
              "  prefs import JSONFILE [--replace] [--prefs FILE]",
              "print what the preference store holds (--json: as JSON), or put the keys of a\n"
              "      JSON file into it (--replace: instead of what it holds); the store as it\n"
              "      was is kept as FILE.bak",
              runPrefs},
  };
  return {kCommands.data(), kCommands.size()};
}

bool takeOption(std::vector<std::string>& args, const std::string& name, std::string* value,
                bool* missing) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  if (it + 1 == args.end()) {
    *missing = true;
    args.erase(it);
    return false;
  }
  *value = *(it + 1);
  args.erase(it, it + 2);
  return true;
}

bool takeFlag(std::vector<std::string>& args, const std::string& name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

}  // namespace corvela::cli
