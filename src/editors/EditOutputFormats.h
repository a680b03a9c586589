#pragma once

#include <functional>
#include <optional>
#include <string>

#include "editors/EditorHost.h"
#include "editors/TableEditor.h"

namespace corvela {

class OutputFormats;

// Opens the output format definition dialog for the stored format at `index` (-1: a new one
// named `name`) and returns when it is closed; whatever it defined is in the store by then.
using DefineOutputFormat = std::function<void(int index, const std::string& name)>;

// The output format list editor: the stored delimited formats (without the built-in "QIF"
// entry) as a table of names. Add opens the definition dialog for a new format named "new";
// Return on a row opens it for that format; Duplicate copies the selected format as
// "NAME copy" ("NAME copy 2", ...); a deletion or a rename is stored at once, and the list is
// stored again (with "QIF" appended) when the window closes. Renames to an empty name or to
// the name of another format (without regard to case, "QIF" included) are refused. Borrows
// everything it is given.
class EditOutputFormats : public TableEditor {
 public:
  static constexpr std::string_view kDuplicate = "duplicateSelectedTableEntry";

  EditOutputFormats(OutputFormats& outputFormats, EditorHost& host, DefineOutputFormat define)
      : outputFormats_(outputFormats), host_(host), define_(std::move(define)) {}

  // Menu "Output Formats...".
  void beginEditing(TableEditorView& view);
  TableEditorForm form() const override;
  void perform(const std::string& action) override;
  void duplicateSelectedTableEntry();
  // Whether a row other than `except` is named `name`, without regard to case.
  bool outputFormatExistsWithName(std::string_view name, int except = -1) const;

  void tableArrayChanged(TableArray&) override { store(); }
  void tableArraySelectionDidChange(TableArray&) override {}
  bool tableArrayAddEntry(TableArray&) override;
  bool tableArrayEditEntryAtIndex(TableArray&, int index) override;
  std::optional<std::string> tableArrayEditError(TableArray&, int row, int column,
                                                 const Value& value) override;

 private:
  void store();

  OutputFormats& outputFormats_;
  EditorHost& host_;
  DefineOutputFormat define_;
  std::string message_;
};

}  // namespace corvela
