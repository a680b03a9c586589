// The direct reading of an archive against libplist's where the binary property list changes
// its widths: counts that need a byte, two or four after the marker, references of one or two
// bytes, offsets of one to three, and plain strings with a byte that is not plain ASCII at
// every place of the eight-byte steps they are checked in.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "prefs/KeyedArchive.h"

namespace corvela {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Both readings of `bytes`, which must agree; returns the direct one.
Result<Value> readBothWays(const Bytes& bytes) {
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

TEST(KeyedArchiveWidthsTest, EverySizeAcrossAWidthReadsBackWhole) {
  // 14..16 cross the count held in the marker, 255/256 a one-byte count and the one-byte
  // references, 65535/65536 a two-byte count; the largest make offsets three bytes wide.
  for (std::size_t n : {0, 1, 14, 15, 16, 255, 256, 257, 65535, 65536}) {
    SCOPED_TRACE(n);
    Value::Array numbers;
    for (std::size_t i = 0; i < std::min<std::size_t>(n, 300); ++i)
      numbers.push_back(Value(static_cast<long long>(i)));
    Value store{{"text", std::string(n, 'x')},
                {"data", Value(Value::Bytes(n, 0xA5))},
                {"numbers", Value(numbers)},
                {"after", "the last entry"}};
    Result<Bytes> bytes = writeKeyedArchive(store);
    ASSERT_TRUE(bytes.ok()) << bytes.message();
    Result<Value> read = readBothWays(bytes.value());
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read.value(), store);
  }
}

// A plain string of 17 letters, with one byte changed at each place in turn to one that plain
// text cannot hold; libplist reads those in its own way, and the direct reading must notice.
TEST(KeyedArchiveWidthsTest, APlainStringWithAnyByteOutsideAsciiReadsAsLibplistReadsIt) {
  const std::string letters = "abcdefghijklmnopq";
  Result<Bytes> written = writeKeyedArchive(Value{{"key", letters}});
  ASSERT_TRUE(written.ok());
  const Bytes& valid = written.value();
  auto found = std::search(valid.begin(), valid.end(), letters.begin(), letters.end());
  ASSERT_NE(found, valid.end());
  const std::size_t start = static_cast<std::size_t>(found - valid.begin());
  int differs = 0;
  for (std::size_t place = 0; place < letters.size(); ++place) {
    for (std::uint8_t byte : {0x00, 0x80, 0xC3, 0xFF}) {
      SCOPED_TRACE(std::to_string(place) + " " + std::to_string(byte));
      Bytes damaged = valid;
      damaged[start + place] = byte;
      Result<Value> read = readBothWays(damaged);
      if (read.ok() && read.value()["key"].toString() != letters) ++differs;
    }
  }
  // Some of them read at all, or the comparison above proved nothing.
  EXPECT_GT(differs, 0);
}

}  // namespace
}  // namespace corvela
