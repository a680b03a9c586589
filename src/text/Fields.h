#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/ScanState.h"

namespace corvela {

// Where one field of a transaction text ends and the next begins (both byte offsets).
struct FieldBreak {
  // Where the field's own text ends: at its separator, or the end of the text.
  std::size_t end = 0;
  // Where the next field begins, or the end of the text when none follows.
  std::size_t next = 0;

  bool operator==(const FieldBreak&) const = default;
};

// Values of an input format's Fields key: the rule by which a transaction is cut into fields.
namespace fieldRule {
inline constexpr std::string_view INITIAL_BLANKS = "INITIAL_BLANKS";
inline constexpr std::string_view COLUMNS = "COLUMNS";
inline constexpr std::string_view COUNT = "COUNT";
inline constexpr std::string_view TABS_ONLY = "TABS_ONLY";
inline constexpr std::string_view MULTIPLE_BLANKS = "MULTIPLE_BLANKS";
inline constexpr std::string_view CSV = "CSV";
inline constexpr std::string_view SSV = "SSV";
inline constexpr std::string_view OFX = "OFX";

// Whether a rule is a separated-values rule (any value ending in "SV").
inline bool isSeparatedValues(std::string_view rule) { return rule.ends_with("SV"); }
}  // namespace fieldRule

// Cuts the field that starts at `start` by the fieldRule `rule`:
//  - OFX: the rest of the text is one field.
//  - MULTIPLE_BLANKS: two blanks or more end a field; with state.multipleBlankCount of 2 or more
//    the next field begins at most that many bytes after the first blank.
//  - CSV, SSV (any rule ending in "SV"): "," (";" for SSV) ends a field; a field may be quoted
//    (blanks before the opening quote allowed), a doubled quote stands for one, an unterminated
//    quote runs to the end. A closing quote followed only by one blank, carriage return or line
//    feed at the very end ends the field before that character.
//  - COLUMNS: a tab, carriage return or line feed ends a field, blanks after it are skipped; a
//    second separator right after gives an empty field.
//  - COUNT: like COLUMNS, but everything up to the next visible character is skipped.
//  - TABS_ONLY: only a tab ends a field; line breaks stay inside it.
//  - anything else (INITIAL_BLANKS): a tab, carriage return or line feed ends a field, unless it
//    is followed by exactly state.initialBlanks blanks, which continue the field; another count
//    is stored in state.initialBlanks.
// Bytes of 0x80 and more are visible characters, so nonUScharacters needs no special case.
// When start < text.size(), the answer's `next` is greater than `start`.
FieldBreak findField(std::string_view text, std::size_t start, std::string_view rule,
                     ScanState& state);

// With `after`: the position of the first non-white-space character after the first occurrence
// of `key`. Without: the position of the first character of the word in front of the key (white
// space between them allowed). None when the key is empty or absent, or when nothing but white
// space stands in front of it.
std::optional<std::size_t> matchField(std::string_view text, std::string_view key, bool after);

// The earlier of two positions; one that is none is ignored (none when both are).
std::optional<std::size_t> nonNullMin(std::optional<std::size_t> a, std::optional<std::size_t> b);

}  // namespace corvela
