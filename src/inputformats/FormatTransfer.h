#pragma once

#include <string>
#include <string_view>

namespace corvela {

class CVPrefs;
class Formats;
class FormatRenameView;
class Platform;

inline constexpr std::string_view kExportedFormatExtension = "cvef";

// Sharing input formats through files (".cvef", a keyed archive whose root is the record): the
// File menu's Export Input Format submenu and Import Input Format..., and .cvef files opened in
// the program. Everything is borrowed and must outlive the object.
class FormatTransfer {
 public:
  FormatTransfer(Formats& formats, CVPrefs& store, Platform& platform, FormatRenameView& rename)
      : formats_(formats), store_(store), platform_(platform), rename_(rename) {}

  // Export Input Format > `name`: a save panel in LastRootDirectory proposing "<name>.cvef";
  // on OK the format is written and "Input Format Exported" says where. A write that fails is
  // reported with the reason; nothing else changes.
  void exportFormat(std::string_view name);
  // Import Input Format...: an open panel in LastRootDirectory for .cvef files; the chosen file
  // goes to importFile.
  void import();
  // Reads the exported format at `path` and lets the person name it in the rename window; on OK
  // it is stored under that name (replacing a format of the same name) and "Input Format
  // Imported" says so; on cancel nothing changes. A file that holds no input format is reported
  // with the reason, and the window is not shown.
  void importFile(const std::string& path);

 private:
  Formats& formats_;
  CVPrefs& store_;
  Platform& platform_;
  FormatRenameView& rename_;
};

}  // namespace corvela
