#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "prefs/Value.h"
#include "readers/TransactionKeys.h"

namespace corvela {

// Small readings of records and texts shared by the processor's source files.

// The string under `key`, or none when the record has no such key.
inline std::optional<std::string> optionalString(const Value& record, std::string_view key) {
  const Value* value = record.find(key);
  if (!value) return std::nullopt;
  return value->toString();
}

// Whether the record has a non-empty string under `key`.
inline bool hasText(const Value& record, std::string_view key) { return !str(record, key).empty(); }

// Whether the record has a non-empty split list.
inline bool hasSplits(const Value& record) {
  const Value& splits = record[transactionKey::splits];
  return splits.isArray() && splits.size() > 0;
}

// `pattern` with each "%@" replaced by the next of `arguments` (by nothing when they run out).
inline std::string fillIn(std::string_view pattern,
                          std::initializer_list<std::string_view> arguments) {
  std::string text;
  auto next = arguments.begin();
  for (std::size_t at = 0; at < pattern.size();) {
    if (pattern.compare(at, 2, "%@") == 0) {
      if (next != arguments.end()) text += *next++;
      at += 2;
    } else {
      text += pattern[at++];
    }
  }
  return text;
}

}  // namespace corvela
