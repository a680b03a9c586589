#pragma once

#include <cstddef>
#include <cstdint>

namespace corvela {

// Counts and lengths in packed bytes: seven bits a byte, low bits first, the high bit set on
// every byte but the last. Below 128 a count takes one byte, as almost all do.
inline constexpr std::size_t kMostCountBytes = 10;  // a 64-bit count

// Writes `n` at `at`; answers where the bytes after it go.
inline char* putCount(char* at, std::uint64_t n) {
  while (n >= 0x80) {
    *at++ = static_cast<char>(n | 0x80);
    n >>= 7;
  }
  *at++ = static_cast<char>(n);
  return at;
}

// How many bytes putCount writes for `n`.
inline std::size_t countSize(std::uint64_t n) {
  std::size_t size = 1;
  for (; n >= 0x80; n >>= 7) ++size;
  return size;
}

// Reads the count that putCount wrote at `at`, moving `at` past it.
inline std::uint64_t takeCount(const char*& at) {
  std::uint64_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*at++);
    n |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return n;
  }
}

}  // namespace corvela
