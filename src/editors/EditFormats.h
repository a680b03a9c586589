#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "editors/EditorHost.h"
#include "editors/TableEditor.h"

namespace corvela {

class Bundle;
class Formats;
class Platform;

// The input format editor: the stored input formats as a table of Name, Match and Warn (the
// warning about unreadable transactions, shown as a check box), with Duplicate and, for the
// selected format, the removal of learnt type mappings and security mappings. It works on a
// copy of the list: OK stores it (dontWarn set from Warn, sorted by name again after renames),
// Cancel stores nothing. A rename to an empty name or to the name of another format (without
// regard to case) is refused, so names stay unique. Everything it is given is borrowed.
class EditFormats : public TableEditor {
 public:
  static constexpr std::string_view kDuplicate = "duplicateSelectedTableEntry";
  static constexpr std::string_view kDeleteTypes = "deleteTypes";
  static constexpr std::string_view kDeleteSecurities = "deleteSecurities";

  EditFormats(Formats& formats, const Bundle& bundle, Platform& platform, EditorHost& host)
      : formats_(formats), bundle_(bundle), platform_(platform), host_(host) {}

  // Menu "Input Formats...": with no stored format tells so in the status view; else runs the
  // window.
  void beginEditing(TableEditorView& view);
  TableEditorForm form() const override;
  void perform(const std::string& action) override;

  void duplicateSelectedTableEntry();
  void deleteTypes();
  void deleteSecurities();
  // Inserts `record` into the table before the first name that sorts after it without regard
  // to case (or at the end); answers its row. Nothing is stored.
  std::size_t addFormat(const Value& record);
  // Whether a row other than `except` is named `name`, without regard to case (a copy named
  // like another format in another letter case would replace it in the store).
  bool extractFormatExistsWithName(std::string_view name, int except = -1) const;

  void tableArraySelectionDidChange(TableArray&) override;
  std::optional<std::string> tableArrayEditError(TableArray&, int row, int column,
                                                 const Value& value) override;

 private:
  void updateButtons();

  Formats& formats_;
  const Bundle& bundle_;
  Platform& platform_;
  EditorHost& host_;
  TableEditorView* view_ = nullptr;
  bool duplicateEnabled_ = false;
  bool deleteTypesEnabled_ = false;
  bool deleteSecuritiesEnabled_ = false;
  std::string message_;
};

}  // namespace corvela
