#include "cli/FormatsCommand.h"

#include <ostream>

#include "app/OutputFile.h"
#include "formats/InputFormatKeys.h"
#include "inputformats/Formats.h"
#include "prefs/CVPrefs.h"
#include "text/CaseInsensitive.h"

namespace corvela::cli {

namespace {

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

FormatsCommand::FormatsCommand(CLI::App& parent, HelpFormatter& help)
    : path_(CVPrefs::defaultPath()) {
  formats_ =
      addSubcommand(parent, help, "formats",
                    "list the stored input formats, write one to a .cvef file to share it,\n"
                    "or store the one in a .cvef file (--name: under another name); a\n"
                    "stored format of the same name is replaced",
                    {"formats list [--prefs FILE]", "formats export NAME FILE [--prefs FILE]",
                     "formats import FILE [--name NAME] [--prefs FILE]"});
  formats_->require_subcommand(1);
  formats_->add_option("--prefs", path_, "the preference store to use")->type_name("FILE");
  list_ = addSubcommand(*formats_, help, "list", "list the stored input formats",
                        {"formats list [--prefs FILE]"});
  export_ = addSubcommand(*formats_, help, "export", "write an input format to a .cvef file",
                          {"formats export NAME FILE [--prefs FILE]"});
  export_->add_option("NAME", name_, "the input format")->required();
  export_->add_option("FILE", file_, "the file to write")->required();
  import_ = addSubcommand(*formats_, help, "import", "store the input format of a .cvef file",
                          {"formats import FILE [--name NAME] [--prefs FILE]"});
  import_->add_option("FILE", file_, "the .cvef file")->required();
  import_
      ->add_option_function<std::string>(
          "--name", [this](const std::string& name) { newName_ = name; },
          "store it under this name")
      ->type_name("NAME");
  // `--prefs` may follow the action as well as precede it.
  for (CLI::App* action : {list_, export_, import_}) action->fallthrough();
}

int FormatsCommand::run(Io& io) {
  std::optional<CVPrefs> store = openStore(path_, io);
  if (!store) return kFailure;
  if (list_->count() > 0) return list(*store, io);
  if (export_->count() > 0) return exportFormat(*store, name_, file_, io);
  return importFormat(*store, file_, newName_, io);
}

}  // namespace corvela::cli
