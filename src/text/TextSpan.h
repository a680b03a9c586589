#pragma once

#include <cstddef>

namespace corvela {

// A run of bytes inside a text: where it starts and how many bytes it covers.
struct TextSpan {
  std::size_t start = 0;
  std::size_t length = 0;

  std::size_t end() const { return start + length; }
  bool operator==(const TextSpan&) const = default;
};

}  // namespace corvela
