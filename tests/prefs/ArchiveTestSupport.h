#pragma once

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "prefs/KeyedArchive.h"
#include "prefs/PlistPtr.h"
#include "support/TempDir.h"

namespace corvela::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline Bytes toBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes plistToBin(plist_t node) {
  char* out = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(node, &out, &length);
  Bytes bytes(out, out + length);
  plist_to_bin_free(out);
  return bytes;
}

// Assembles a binary property list from raw objects, for layouts no writer produces: references
// one byte wide, offsets two bytes wide.
inline Bytes assembleBplist(const std::vector<Bytes>& objects, std::uint64_t top = 0,
                            std::uint64_t claimedObjects = 0) {
  Bytes out = toBytes("bplist00");
  std::vector<std::size_t> offsets;
  for (const Bytes& o : objects) {
    offsets.push_back(out.size());
    out.insert(out.end(), o.begin(), o.end());
  }
  std::size_t table = out.size();
  for (std::size_t off : offsets) {
    out.push_back(static_cast<std::uint8_t>(off >> 8));
    out.push_back(static_cast<std::uint8_t>(off));
  }
  auto be64 = [&](std::uint64_t v) {
    for (int i = 7; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (i * 8)));
  };
  out.insert(out.end(), 6, 0);
  out.push_back(2);  // offset size
  out.push_back(1);  // reference size
  be64(claimedObjects ? claimedObjects : objects.size());
  be64(top);
  be64(table);
  return out;
}

// Reads `bytes` directly and through libplist: both must give the same value or the same
// message. Returns the direct reading.
inline Result<Value> readBothWays(const Bytes& bytes) {
  Result<Value> direct = readKeyedArchive(bytes);
  Result<Value> reference = readKeyedArchiveWithLibplist(bytes);
  EXPECT_EQ(direct.ok(), reference.ok()) << direct.message() << " / " << reference.message();
  if (direct.ok() && reference.ok()) {
    EXPECT_EQ(direct.value(), reference.value());
  } else if (!direct.ok() && !reference.ok()) {
    EXPECT_EQ(direct.message(), reference.message());
  }
  return direct;
}

inline bool havePython() {
  return std::system("python3 -c 'import plistlib' >/dev/null 2>&1") == 0;
}

// Runs the Python script tests/data/archive/NAME with one argument; returns its standard output,
// or "" when it could not be started.
inline std::string runPython(const std::string& name, const std::string& arg, int* exitCode) {
  std::string command = "python3 '" CORVELA_TEST_DATA "/archive/" + name + "' '" + arg + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  *exitCode = pclose(pipe);
  return out;
}

}  // namespace corvela::testing
