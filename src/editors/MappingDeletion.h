#pragma once

#include <string>
#include <vector>

#include "editors/TableEditor.h"

namespace corvela {

// A window over a list of mappings from which the person may only delete rows: the input
// format editor's "delete types" and "delete securities" windows.
class MappingDeletion : public TableEditor {
 public:
  MappingDeletion(std::string title, std::vector<TableColumn> columns)
      : title_(std::move(title)), columns_(std::move(columns)) {}
  // Runs the window over `mappings`; the list left when it closed with OK, else none.
  std::optional<Value> run(TableEditorView& view, Value mappings);
  TableEditorForm form() const override { return TableEditorForm(title_, false); }

 private:
  std::string title_;
  std::vector<TableColumn> columns_;
};

}  // namespace corvela
