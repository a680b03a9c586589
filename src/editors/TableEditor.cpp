#include "editors/TableEditor.h"

namespace corvela {

bool TableEditor::runTable(TableEditorView& view, Value array, std::vector<TableColumn> columns) {
  table_ = std::make_unique<TableArray>(std::move(array), *this, std::move(columns));
  bool ok = view.runModal(*this);
  // A row still being typed into when the window closed was never entered.
  table_->cancelNewEntry();
  return ok;
}

}  // namespace corvela
