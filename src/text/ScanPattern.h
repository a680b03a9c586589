#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace corvela {

// The result of matching a C scanf pattern, as sscanf would report it.
struct ScanResult {
  static constexpr int kMaxValues = 8;

  // sscanf's answer: the number of conversions assigned (a %n or a suppressed %* conversion
  // does not count), or -1 when the text ran out before the first conversion.
  int conversions = 0;
  // The numbers read by the assigned conversions, in pattern order (a %s, %c or %[ conversion
  // takes a slot and leaves 0 in it). Slots past kMaxValues are counted but not kept.
  std::array<int, kMaxValues> values{};
  // Bytes consumed at the last %n the match reached; none when it reached no %n.
  std::optional<std::size_t> consumed;
};

// Matches `pattern` against the start of `text` the way the C library's sscanf matches a
// NUL-terminated copy of it in the C locale, without copying and without reading past the text
// (a zero byte ends the text, as it would end the copy). The bundle's date tables and the
// scanners use these patterns.
//
// Supported: ordinary characters, white space (matches any run of white space, even none),
// %d with an optional field width, %s, %c, %[set] and %[^set], %n, %%, and the assignment
// suppression *. A number too large for an int is stored as sscanf stores it on this platform.
// Anything else (length modifiers, other conversions) ends the match as a matching failure, so a
// bad pattern can never match by accident.
ScanResult scanPattern(std::string_view text, std::string_view pattern);

}  // namespace corvela
