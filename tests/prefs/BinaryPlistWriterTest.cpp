// The direct writer is held to libplist's: the same tree must give the same bytes, so stores
// written before and after it compare equal byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <random>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/BinaryPlistWriter.h"

namespace corvela {
namespace {

using testing::Bytes;

// Builds one random tree twice: as libplist nodes and through the writer.
class TwinBuilder {
 public:
  explicit TwinBuilder(std::uint32_t seed) : rng_(seed) {}

  plist_t value(BinaryPlistWriter& w, int depth) {
    switch (pick(depth < 4 ? 9 : 7)) {
      case 0: {
        const std::string& s = keep(kTexts[pick(std::size(kTexts))]);
        w.string(s);
        return plist_new_string(s.c_str());
      }
      case 1: {
        std::int64_t i = kIntegers[pick(std::size(kIntegers))];
        w.integer(i);
        return plist_new_uint(static_cast<std::uint64_t>(i));
      }
      case 2: {
        double d = kReals[pick(std::size(kReals))];
        w.real(d);
        return plist_new_real(d);
      }
      case 3: {
        bool b = pick(2) == 1;
        w.boolean(b);
        return plist_new_bool(b);
      }
      case 4: {
        // Each different: libplist shares equal data only by the chance of their addresses.
        const std::string& s = keep(std::string(pick(20), 'd') + std::to_string(kept_.size()));
        w.data({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
        return plist_new_data(s.data(), s.size());
      }
      case 5:
      case 6: {
        std::uint64_t u = kUids[pick(std::size(kUids))];
        w.uid(u);
        return plist_new_uid(u);
      }
      case 7: {
        w.beginArray();
        plist_t array = plist_new_array();
        for (std::size_t n = pick(18); n > 0; --n)
          plist_array_append_item(array, value(w, depth + 1));
        w.end();
        return array;
      }
      default: {
        w.beginDictionary();
        plist_t dict = plist_new_dict();
        // Keys of one dictionary differ; across dictionaries they repeat, and match strings.
        std::size_t first = pick(std::size(kTexts));
        for (std::size_t n = pick(std::size(kTexts)), i = 0; i < n; ++i) {
          const std::string& key = keep(kTexts[(first + i) % std::size(kTexts)]);
          w.key(key);
          plist_dict_set_item(dict, key.c_str(), value(w, depth + 1));
        }
        w.end();
        return dict;
      }
    }
  }

 private:
  static constexpr const char* kTexts[] = {"",
                                           "a",
                                           "NSObject",
                                           "$class",
                                           "caf\xC3\xA9",
                                           "\xF0\x9F\x98\x80 x",
                                           "fifteen chars!!",
                                           "\xE2\x82\xAC",
                                           "k",
                                           "a text longer than fifteen characters"};
  static constexpr std::int64_t kIntegers[] = {
      0, 1, 255, 256, 65535, 65536, 16777215, 16777216, -1, 4294967295, 4294967296, INT64_MIN};
  static constexpr double kReals[] = {0.0,     -0.0,  1.5,      0.1, 1e300,
                                      -3.4e38, 1e-45, HUGE_VAL, NAN, 100000.0};
  static constexpr std::uint64_t kUids[] = {0, 1, 255, 256, 65535, 65536, 16777216};

  std::size_t pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }
  const std::string& keep(std::string s) { return kept_.emplace_back(std::move(s)); }

  std::mt19937 rng_;
  std::deque<std::string> kept_;  // the writer keeps views until finish()
};

TEST(BinaryPlistWriterTest, WritesWhatLibplistWritesForRandomTrees) {
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    TwinBuilder twins(seed);
    BinaryPlistWriter writer;
    PlistPtr tree(twins.value(writer, 0));
    ASSERT_EQ(writer.finish(), testing::plistToBin(tree.get())) << "seed " << seed;
  }
}

// Past 65,535 objects references take three bytes, and past 16 MiB offsets take four.
TEST(BinaryPlistWriterTest, WritesWhatLibplistWritesForLargeTrees) {
  const std::string big(std::size_t{1} << 24, 'x');
  BinaryPlistWriter writer;
  PlistPtr tree(plist_new_array());
  writer.beginArray();
  writer.string(big);
  plist_array_append_item(tree.get(), plist_new_string(big.c_str()));
  for (std::int64_t i = 0; i < 70000; ++i) {
    writer.integer(i * 1000);
    plist_array_append_item(tree.get(), plist_new_uint(static_cast<std::uint64_t>(i * 1000)));
  }
  writer.end();
  EXPECT_EQ(writer.finish(), testing::plistToBin(tree.get()));
}

}  // namespace
}  // namespace corvela
