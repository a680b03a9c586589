#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/DateTables.h"
#include "text/ScanState.h"
#include "text/TextSpan.h"

namespace corvela {

// The date questions of the learning wizard's first page, as plain functions over the input.

// Where the line that holds the input's earliest date begins: the earliest date written with
// "/", "-", "." or a month name, then back to the character after the line break before it
// (0 when none). None when the text holds no such date.
std::optional<std::size_t> earliestDateLineStart(std::string_view text, const DateTables& tables);

// The DateDelimiter of a text that begins with a date: "/", "-", "," (a month name) or ".",
// tried in that order; none when the text does not begin with a date.
std::optional<std::string> dateDelimiterOf(std::string_view dateText, const DateTables& tables);

// The date keys that a date selected in `text` implies, or why the selection is refused.
struct SelectedDate {
  // Empty when the selection is a date; else the text of the "Bad Date" sheet.
  std::string refusal;
  std::string delimiter;  // DateDelimiter
  std::string start;      // DateStart: the character right before the date
  std::string end;        // DateEnd: the character right after it ("" at the end of the text)
  // 1 + the bytes between the start of the date's line and the date.
  std::int64_t distanceFromNewline = 1;
};

// Reads `selection` (byte offsets into `text`) as the date that starts a transaction. Refused
// when it is empty, begins at the very start of `text` (no character would mark a date's
// start), runs past the text, has a blank at either end or a tab at its end, or is not a date
// from its first character.
SelectedDate readSelectedDate(std::string_view text, TextSpan selection, const DateTables& tables);

}  // namespace corvela
