#pragma once

namespace corvela::charclass {

// Byte classes of the text scanners. They are fixed (those of the C locale for ASCII), so a
// scan gives the same answer whatever locale the program runs in. A byte of 0x80 or more is
// part of a UTF-8 character, and every such character counts as visible: a field never ends
// and a skip never stops inside one.

inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// A blank: the space character.
inline bool isBlank(unsigned char c) { return c == ' '; }

// White space of the C library: blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool isLineBreak(unsigned char c) { return c == '\r' || c == '\n'; }

// A printable character other than a blank, or any byte of a UTF-8 character.
inline bool isVisible(unsigned char c) { return (c > ' ' && c < 0x7F) || c >= 0x80; }

}  // namespace corvela::charclass
