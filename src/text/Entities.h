#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvela {

// Appends the UTF-8 form of the Unicode code point `cp` (at most 0x10FFFF).
void appendUtf8(std::string& out, std::uint32_t cp);

// The text an XML entity name stands for: "amp", "lt", "gt", "quot", "apos", or a character
// reference "#233" / "#xE9". None when the name is no entity or names no character (0,
// surrogates, past 0x10FFFF).
std::optional<std::string> entityText(std::string_view name);

// `text` with every entity of the form &name; replaced by what it stands for. Anything else that
// begins with "&" stays as written, so a bare ampersand in a sloppy download survives, and so
// does a reference to a control character, so a value never gains a line end. One pass:
// "&amp;lt;" gives "&lt;".
std::string decodeEntities(std::string_view text);

}  // namespace corvela
