#include "cli/PrefsCommand.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela::cli {

namespace {

int usage(Io& io) {
  io.err << "usage: corvela-cli prefs show [--json] [--prefs FILE]\n"
            "       corvela-cli prefs import JSONFILE [--prefs FILE]\n";
  return kUsage;
}

// Shows the store as it is on disk. Unlike the program's start-up, looking never moves an
// unreadable file aside: this command only reads.
int show(const std::string& path, bool json, Io& io) {
  Result<Value> store = readKeyedArchiveFile(path);
  if (!store.ok()) {
    io.err << "corvela-cli: " << store.message() << "\n";
    return kFailure;
  }
  io.out << (json ? toJSON(store.value()) : describe(store.value()));
  return kSuccess;
}

int import(const std::string& jsonPath, const std::string& path, Io& io) {
  std::ifstream file(jsonPath, std::ios::binary);
  if (!file) {
    io.err << "corvela-cli: cannot open " << jsonPath << "\n";
    return kFailure;
  }
  std::stringstream text;
  text << file.rdbuf();
  Result<Value> values = fromJSON(text.str());
  if (!values.ok()) {
    io.err << "corvela-cli: " << jsonPath << ": " << values.message() << "\n";
    return kFailure;
  }
  if (!values.value().isDictionary()) {
    io.err << "corvela-cli: " << jsonPath << ": the top level must be an object of store keys\n";
    return kFailure;
  }
  CVPrefs store(path);
  for (const auto& [key, value] : values.value().toDictionary()) store.setObject(key, value);
  if (!store.synchronize()) {
    io.err << "corvela-cli: cannot write the preference store " << path << "\n";
    return kFailure;
  }
  io.out << "Wrote " << values.value().size() << " keys to " << path << "\n";
  return kSuccess;
}

}  // namespace

int runPrefs(const std::vector<std::string>& arguments, Io& io) {
  std::vector<std::string> args = arguments;
  std::string path = CVPrefs::defaultPath();
  bool missing = false;
  takeOption(args, "--prefs", &path, &missing);
  bool json = takeFlag(args, "--json");
  if (missing || args.empty()) return usage(io);
  if (args[0] == "show" && args.size() == 1) return show(path, json, io);
  if (args[0] == "import" && args.size() == 2 && !json) return import(args[1], path, io);
  return usage(io);
}

}  // namespace corvela::cli
