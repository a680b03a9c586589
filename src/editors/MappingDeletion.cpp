#include "editors/MappingDeletion.h"

namespace corvela {

std::optional<Value> MappingDeletion::run(TableEditorView& view, Value mappings) {
  if (!runTable(view, std::move(mappings), columns_)) return std::nullopt;
  return table().array();
}

}  // namespace corvela
