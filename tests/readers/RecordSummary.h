#pragma once

#include <cstdio>
#include <string>
#include <utility>

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

// The days of "from YYYY-MM-DD to YYYY-MM-DD" in a case's words, else the widest range.
inline std::pair<CalendarDay, CalendarDay> rangeIn(const std::string& words) {
  int y1, m1, d1, y2, m2, d2;
  const std::size_t at = words.find("from ");
  if (at != std::string::npos && std::sscanf(words.c_str() + at, "from %d-%d-%d to %d-%d-%d", &y1,
                                             &m1, &d1, &y2, &m2, &d2) == 6)
    return {{y1, m1, d1}, {y2, m2, d2}};
  return {CalendarDay::distantPast(), CalendarDay::distantFuture()};
}

}  // namespace corvela::testing
