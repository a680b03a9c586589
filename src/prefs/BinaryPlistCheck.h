#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Status.h"

namespace corvela {

// Bounds a binary property list must respect before it is handed to libplist.
struct BinaryPlistBounds {
  // Deepest nesting of arrays and dictionaries, the top object being level 1.
  std::size_t maxDepth = 32;
  // Most nodes the parsed tree may have. An object referenced from several places counts once
  // per reference, because libplist builds a separate copy for each.
  std::size_t maxNodes = std::size_t{1} << 22;
};

// Checks the structure of a binary property list ("bplist00") without building it: the trailer,
// the offset table, the size of every object reachable from the top, that every reference names
// an existing object, that no container contains itself, that dictionary keys are strings, and
// the bounds above. It also refuses what libplist reads wrongly (integers outside 64 bits, dates
// outside its 32-bit seconds, null and set objects).
//
// libplist's own parser recurses once per nesting level, looks for cycles in time quadratic in
// the depth and copies shared objects once per reference, so a small hostile file could exhaust
// the stack, the clock or the memory; after this check none of that can happen.
//
// Returns OK, or an error whose message says what is wrong, in lower case, without a file name
// ("the binary property list is damaged or truncated: ...").
Status checkBinaryPlist(std::span<const std::uint8_t> bytes, const BinaryPlistBounds& bounds = {});

// One object of a binary property list as the check found it. The check refuses lists of 4 GB
// or more (which libplist cannot read either), so every offset and count fits 32 bits.
struct BinaryPlistObject {
  static constexpr std::uint8_t kNotReached = 0xFF;  // no valid object starts with this byte
  std::uint32_t content = 0;  // offset of the first byte after the marker and count
  std::uint32_t count = 0;    // entries of a container, bytes or characters of a string or data
  std::uint8_t marker = kNotReached;  // the object's first byte
};

// The same check, which also gives every object reachable from the top, by number (the others
// keep kNotReached), so that a reader of the accepted bytes need not parse a header again. On
// an error, `objects` holds what was reached before it.
Status checkBinaryPlist(std::span<const std::uint8_t> bytes, const BinaryPlistBounds& bounds,
                        std::vector<BinaryPlistObject>* objects);

}  // namespace corvela
