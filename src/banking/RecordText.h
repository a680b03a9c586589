#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "prefs/Value.h"
#include "readers/TransactionKeys.h"

namespace corvela {

// Small readings of records and texts shared by the processor's source files.

// Whether the record has a non-empty string under `key`.
inline bool hasText(const Value& record, std::string_view key) { return !str(record, key).empty(); }

// Whether the record has a non-empty split list.
inline bool hasSplits(const Value& record) {
  const Value& splits = record[transactionKey::splits];
  return splits.isArray() && splits.size() > 0;
}

}  // namespace corvela
