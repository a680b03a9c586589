#include "cli/FormatsCommand.h"

#include <ostream>

#include "app/OutputFile.h"
#include "formats/InputFormatKeys.h"
#include "inputformats/Formats.h"
#include "prefs/CVPrefs.h"
#include "text/CaseInsensitive.h"

namespace corvela::cli {

namespace {

int usage(Io& io) {
  io.err << "usage: corvela-cli formats list [--prefs FILE]\n"
            "       corvela-cli formats export NAME FILE [--prefs FILE]\n"
            "       corvela-cli formats import FILE [--name NAME] [--prefs FILE]\n";
  return kUsage;
}

// The store as the program opens it; none, with the reason told, when it cannot be used.
std::optional<CVPrefs> openStore(const std::string& path, Io& io) {
  CVPrefs store = CVPrefs::initWithPath(path);
  if (!store.openError().empty()) {
    io.err << "corvela-cli: the preference store cannot be used: " << store.openError() << "\n";
    return std::nullopt;
  }
  if (!store.movedAsidePath().empty())
    io.err << "corvela-cli: the preference store could not be read (" << store.readError()
           << "); it was moved to \"" << store.movedAsidePath() << "\" and a new one started.\n";
  return store;
}

int list(CVPrefs& store, Io& io) {
  for (const std::string& name : Formats(store).names()) io.out << name << "\n";
  return kSuccess;
}

int exportFormat(CVPrefs& store, const std::string& name, const std::string& file, Io& io) {
  Formats formats(store);
  if (!formats.formatForName(name)) {
    io.err << "corvela-cli: there is no input format named \"" << name
           << "\" (corvela-cli formats list shows them).\n";
    return kFailure;
  }
  const ProtectedFile stored[] = {{store.prefsPath(), "the preference store"}};
  Status written = checkOutputPath(file, stored);
  if (written.ok()) written = formats.exportFormat(name, file);
  if (!written.ok()) {
    io.err << "corvela-cli: " << written.message() << "\n";
    return kFailure;
  }
  io.out << "Input format \"" << str(*formats.formatForName(name), inputFormatKey::Name)
         << "\" saved in file \"" << file << "\".\n";
  return kSuccess;
}

int importFormat(CVPrefs& store, const std::string& file, const std::optional<std::string>& name,
                 Io& io) {
  Result<Value> read = Formats::readExportedFormat(file);
  if (!read.ok()) {
    io.err << "corvela-cli: " << read.message() << " Nothing was imported.\n";
    return kFailure;
  }
  Value record = std::move(read).value();
  if (name) record.set(inputFormatKey::Name, *name);
  const std::string& newName = str(record, inputFormatKey::Name);
  if (newName.empty()) {
    io.err << "corvela-cli: the input format in \"" << file
           << "\" has no name; give it one with --name NAME. Nothing was imported.\n";
    return kFailure;
  }
  Formats formats(store);
  std::optional<Value> replaced = formats.formatForName(newName);
  formats.addFormat(record);
  if (!store.synchronizeNow()) {
    io.err << "corvela-cli: " << store.writeError() << " Nothing was imported.\n";
    return kFailure;
  }
  io.out << "Input format \"" << newName << "\" imported from file \"" << file << "\"";
  if (replaced)
    io.out << "; it replaced the format \"" << str(*replaced, inputFormatKey::Name) << "\"";
  io.out << ".\n";
  return kSuccess;
}

}  // namespace

int runFormats(const std::vector<std::string>& arguments, Io& io) {
  std::vector<std::string> args = arguments;
  std::string path = CVPrefs::defaultPath();
  std::string nameText;
  bool missing = false;
  takeOption(args, "--prefs", &path, &missing);
  bool named = takeOption(args, "--name", &nameText, &missing);
  if (missing || args.empty()) return usage(io);
  const std::string& verb = args[0];
  const bool known = (verb == "list" && args.size() == 1 && !named) ||
                     (verb == "export" && args.size() == 3 && !named) ||
                     (verb == "import" && args.size() == 2);
  if (!known) return usage(io);
  std::optional<CVPrefs> store = openStore(path, io);
  if (!store) return kFailure;
  if (verb == "list") return list(*store, io);
  if (verb == "export") return exportFormat(*store, args[1], args[2], io);
  std::optional<std::string> name;
  if (named) name = nameText;
  return importFormat(*store, args[1], name, io);
}

}  // namespace corvela::cli
