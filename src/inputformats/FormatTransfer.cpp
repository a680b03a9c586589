#include "inputformats/FormatTransfer.h"

#include <optional>

#include "formats/InputFormatKeys.h"
#include "inputformats/FormatRename.h"
#include "inputformats/Formats.h"
#include "platform/MessageFormat.h"
#include "platform/Platform.h"
#include "prefs/CVPrefs.h"

namespace corvela {
namespace {

// The folder the main window's panels last opened; the store key belongs to the controller's
// settings, which this layer cannot name.
constexpr std::string_view kLastRootDirectory = "LastRootDirectory";

void tell(Platform& platform, std::string title, std::string text) {
  platform.runAlert(Alert{std::move(title), std::move(text), {"OK"}});
}

}  // namespace

void FormatTransfer::exportFormat(std::string_view name) {
  SavePanel panel;
  panel.directory = store_.objectForKey(kLastRootDirectory).toString();
  panel.requiredFileType = std::string(kExportedFormatExtension);
  panel.suggestedName = std::string(name) + "." + std::string(kExportedFormatExtension);
  std::optional<std::string> path = platform_.runSavePanel(panel);
  if (!path) return;
  Status written = formats_.exportFormat(name, *path);
  if (!written.ok()) {
    tell(platform_, "Input Format Not Exported", written.message());
    return;
  }
  tell(platform_, "Input Format Exported",
       formatMessage("Input format \"%@\" saved in file \"%@'.", {name, *path}));
}

void FormatTransfer::import() {
  OpenPanel panel;
  panel.directory = store_.objectForKey(kLastRootDirectory).toString();
  panel.fileTypes = {std::string(kExportedFormatExtension)};
  std::optional<OpenPanelChoice> choice = platform_.runOpenPanel(panel);
  if (choice) importFile(choice->path);
}

void FormatTransfer::importFile(const std::string& path) {
  Result<Value> read = Formats::readExportedFormat(path);
  if (!read.ok()) {
    tell(platform_, "Input Format Not Imported", read.message());
    return;
  }
  Value record = std::move(read).value();
  FormatRename presenter(formats_, str(record, inputFormatKey::Name));
  if (!rename_.runRenameWindow(presenter) || !presenter.form().okEnabled) return;
  record.set(inputFormatKey::Name, presenter.form().name);
  formats_.addFormat(record);
  tell(platform_, "Input Format Imported",
       formatMessage("Input format \"%@\" imported from file \"%@'.",
                     {presenter.form().name, path}));
}

}  // namespace corvela
