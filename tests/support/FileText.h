#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace corvela::testing {

// The bytes of the file at `path`, or "" when it cannot be read.
inline std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace corvela::testing
