#include "cli/Command.h"

#include <algorithm>
#include <array>

#include "cli/ConvertCommand.h"
#include "cli/FormatsCommand.h"
#include "cli/PrefsCommand.h"

namespace corvela::cli {

std::span<const Command> commands() {
  static constexpr std::array kCommands = {
      Command{
          "convert",
          "convert INPUT [-o OUTPUT] [--prefs FILE] [--format NAME] [--output-format NAME]\n"
          "          [--account NAME] [--from DATE --to DATE | --last-month] [--date DATE]\n"
          "          [--number TEXT]",
          "convert a statement (OFX, QFX, QIF, or CSV and text read with a stored input\n"
          "      format: the one whose Match text it holds, or --format NAME) with your stored\n"
          "      instructions; the output goes to OUTPUT (standard output when it is - or not\n"
          "      given)",
          runConvert},
      Command{"prefs",
              "prefs show [--json] [--prefs FILE]\n"
              "  prefs import JSONFILE [--replace] [--prefs FILE]",
              "print what the preference store holds (--json: as JSON), or put the keys of a\n"
              "      JSON file into it (--replace: instead of what it holds); the store as it\n"
              "      was is kept as FILE.bak",
              runPrefs},
      Command{"formats",
              "formats list [--prefs FILE]\n"
              "  formats export NAME FILE [--prefs FILE]\n"
              "  formats import FILE [--name NAME] [--prefs FILE]",
              "list the stored input formats, write one to a .cvef file to share it, or store\n"
              "      the one in a .cvef file (--name: under another name); a stored format of the\n"
              "      same name is replaced",
              runFormats},
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
