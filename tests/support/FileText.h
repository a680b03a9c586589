#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace corvela::testing {

// The whole content of a file, byte for byte; empty when it cannot be read.
inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Compares `actual` with the golden file tests/data/NAME. With CORVELA_UPDATE_GOLDEN set, writes
// the file instead, to be read over before it is committed.
inline void expectDataFile(const std::string& name, const std::string& actual) {
  const std::filesystem::path path = std::filesystem::path(CORVELA_TEST_DATA) / name;
  if (std::getenv("CORVELA_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(path)) << "no golden file " << path;
  EXPECT_EQ(actual, readText(path)) << path;
}

}  // namespace corvela::testing
