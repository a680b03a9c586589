#pragma once

#include <string>

#include "prefs/ValueText.h"
#include "readers/OFXReader.h"

namespace corvela::testing {

// A record on one line, "key=value" in key order, so that a table row can state a whole record;
// lists in brackets, their items apart by "; ". An error record shows its kind ("error=noDate")
// instead of the message and the block's text.
inline std::string summary(const Value& record) {
  if (record.isArray()) {
    std::string out = "[";
    for (const Value& item : record.toArray()) out += (out.size() > 1 ? "; " : "") + summary(item);
    return out + "]";
  }
  if (!record.isDictionary()) return record.isString() ? record.toString() : toJSON(record);
  std::string out;
  for (const auto& [key, value] : record.toDictionary()) {
    if (key == "errorText") continue;
    std::string text = summary(value);
    if (key == "errorMessage") {
      text = text == kOFXNoDateMessage      ? "error=noDate"
             : text == kOFXNoAmountMessage  ? "error=noAmount"
             : text == kOFXNoTypeMessage    ? "error=noType"
             : text == kOFXBadAmountMessage ? "error=badAmount"
                                            : "error=" + text;
    } else {
      text = key + "=" + text;
    }
    out += (out.empty() ? "" : " ") + text;
  }
  return out;
}

}  // namespace corvela::testing
