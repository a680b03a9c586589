#include "cli/PrefsCommand.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <vector>

#include "prefs/AtomicFile.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela::cli {

namespace {

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

// Keeps the store file as it is now beside it as "<path>.bak", with its permissions.
Status keepBackup(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::OK();  // no store yet: nothing to keep
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return Status::Error("\"" + path + "\" could not be read to keep a copy of it.");
  return writeFileAtomically(path + ".bak", bytes, FileOps::system(),
                             AtomicWriteOptions{.newFileMode = 0600});
}

// Puts the keys of a JSON file into the store: merged into what it holds, or with `replace`
// instead of it. The store is opened as the program opens it (an unreadable one is moved
// aside first, one that cannot be read at all is left alone) and written under its lock.
int import(const std::string& jsonPath, const std::string& path, bool replace, Io& io) {
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
  CVPrefs store = CVPrefs::initWithPath(path);
  if (!store.openError().empty()) {
    io.err << "corvela-cli: the preference store cannot be used: " << store.openError()
           << " Nothing was imported.\n";
    return kFailure;
  }
  if (!store.movedAsidePath().empty()) {
    io.err << "corvela-cli: the preference store could not be read (" << store.readError()
           << "); it was moved to \"" << store.movedAsidePath() << "\".\n";
  }
  bool backedUp = false;
  if (store.movedAsidePath().empty()) {
    if (Status kept = keepBackup(path); !kept.ok()) {
      io.err << "corvela-cli: " << kept.message() << " Nothing was imported.\n";
      return kFailure;
    }
    backedUp = std::filesystem::exists(path + ".bak");
  }
  const Value::Dictionary& imported = values.value().toDictionary();
  if (replace) {
    std::vector<std::string> old;
    for (const auto& [key, value] : store.prefs().toDictionary())
      if (!imported.contains(key)) old.push_back(key);
    for (const std::string& key : old) store.removeObjectForKey(key);
  }
  for (const auto& [key, value] : imported) store.setObject(key, value);
  if (!store.synchronizeNow()) {
    io.err << "corvela-cli: " << store.writeError() << "\n";
    return kFailure;
  }
  io.out << (replace ? "Replaced the store with " : "Merged ") << imported.size() << " keys "
         << (replace ? "in " : "into ") << path;
  if (backedUp) io.out << "; the store as it was is kept as " << path << ".bak";
  io.out << "\n";
  return kSuccess;
}

}  // namespace

PrefsCommand::PrefsCommand(CLI::App& parent, HelpFormatter& help) : path_(CVPrefs::defaultPath()) {
  prefs_ = addSubcommand(
      parent, help, "prefs",
      "print what the preference store holds (--json: as JSON), or put the\n"
      "keys of a JSON file into it (--replace: instead of what it holds);\n"
      "the store as it was is kept as FILE.bak",
      {"prefs show [--json] [--prefs FILE]", "prefs import JSONFILE [--replace] [--prefs FILE]"});
  prefs_->require_subcommand(1);
  prefs_->add_option("--prefs", path_, "the preference store to use")->type_name("FILE");
  show_ = addSubcommand(*prefs_, help, "show", "print what the preference store holds",
                        {"prefs show [--json] [--prefs FILE]"});
  show_->add_flag("--json", json_, "print it as JSON");
  import_ = addSubcommand(*prefs_, help, "import", "put the keys of a JSON file into the store",
                          {"prefs import JSONFILE [--replace] [--prefs FILE]"});
  import_->add_option("JSONFILE", jsonPath_, "the JSON file whose keys go into the store")
      ->required();
  import_->add_flag("--replace", replace_, "replace what the store holds instead of merging");
  // `--prefs` may follow the action as well as precede it.
  show_->fallthrough();
  import_->fallthrough();
}

int PrefsCommand::run(Io& io) {
  if (show_->count() > 0) return show(path_, json_, io);
  return import(jsonPath_, path_, replace_, io);
}

}  // namespace corvela::cli
