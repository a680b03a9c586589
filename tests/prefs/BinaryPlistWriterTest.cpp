// The direct writer is held to libplist's: the same tree must give the same bytes, so stores
// written before and after it compare equal byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <random>
#include <string>
#include <unordered_map>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/BinaryPlistWriter.h"
#include "prefs/StringTable.h"

namespace corvela {
namespace {

// Builds one tree twice: as libplist nodes and through the writer.
class Twins {
 public:
  Twins() : tree_(plist_new_array()) { writer_.beginArray(); }

  Twins& string(const std::string& text) {
    const std::string& s = kept_.emplace_back(text);
    writer_.string(s);
    return add(plist_new_string(s.c_str()));
  }
  Twins& integer(std::int64_t i) {
    writer_.integer(i);
    return add(plist_new_uint(static_cast<std::uint64_t>(i)));
  }
  Twins& real(double d) {
    writer_.real(d);
    return add(plist_new_real(d));
  }
  Twins& boolean(bool b) {
    writer_.boolean(b);
    return add(plist_new_bool(b));
  }
  Twins& uid(std::uint64_t u) {
    writer_.uid(u);
    return add(plist_new_uid(u));
  }
  Twins& data(const std::string& bytes) {
    const std::string& s = kept_.emplace_back(bytes);
    writer_.data({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
    return add(plist_new_data(s.data(), s.size()));
  }
  // A dictionary whose keys are also written as strings elsewhere, each holding an integer.
  Twins& dictionary(std::initializer_list<const char*> keys) {
    writer_.beginDictionary();
    plist_t dict = plist_new_dict();
    std::int64_t n = 0;
    for (const char* key : keys) {
      writer_.key(key);
      writer_.integer(++n);
      plist_dict_set_item(dict, key, plist_new_uint(static_cast<std::uint64_t>(n)));
    }
    writer_.end();
    return add(dict);
  }
  testing::Bytes written() {
    writer_.end();
    return writer_.finish();
  }
  testing::Bytes expected() const { return testing::plistToBin(tree_.get()); }

 private:
  Twins& add(plist_t node) {
    plist_array_append_item(tree_.get(), node);
    return *this;
  }
  std::deque<std::string> kept_;  // the writer keeps views until finish()
  BinaryPlistWriter writer_;
  PlistPtr tree_;
};

// Every kind of value and every sharing rule: equal strings, numbers, Booleans and UIDs once,
// a key apart from a string of the same text, data never shared, reals a float holds exactly.
TEST(BinaryPlistWriterTest, WritesWhatLibplistWrites) {
  Twins twins;
  for (const char* s : {"", "a", "$class", "caf\xC3\xA9", "\xF0\x9F\x98\x80 x", "\xE2\x82\xAC",
                        "fifteen chars!!", "a text longer than fifteen characters", "a", "$class"})
    twins.string(s);
  for (std::int64_t i : {0, 1, 255, 256, 65535, 65536, 16777216, -1, 1}) twins.integer(i);
  twins.integer(4294967296).integer(INT64_MIN);
  for (double d : {0.0, -0.0, 1.5, 0.1, 1e300, -3.4e38, 1e-45, HUGE_VAL, double(NAN), 1.5})
    twins.real(d);
  for (std::uint64_t u : {0u, 1u, 255u, 256u, 65535u, 65536u, 16777216u, 1u}) twins.uid(u);
  twins.boolean(true).boolean(false).boolean(true).data("").data("dd").data("dd");
  twins.dictionary({"a", "k", "$class"}).dictionary({}).dictionary({"k"});
  EXPECT_EQ(twins.written(), twins.expected());

  // Past 65,535 objects references take three bytes, and past 16 MiB offsets take four.
  Twins large;
  large.string(std::string(std::size_t{1} << 24, 'x'));
  for (std::int64_t i = 0; i < 70000; ++i) large.integer(i * 1000);
  EXPECT_EQ(large.written(), large.expected());
}

// The writer shares equal strings through a StringTable, which numbers texts as an unordered_map
// does: through many growths, with texts that share long beginnings, differ in one byte, hold zero
// bytes, or are empty.
TEST(StringTableTest, NumbersTextsAsAMapDoes) {
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 20000; ++i) {
    std::string text(rng() % 3 == 0 ? "Payee 00000" : "");
    for (int n = static_cast<int>(rng() % 4); n > 0; --n)
      text += static_cast<char>("ab\0\xFF"[rng() % 4]);
    if (rng() % 2) text += std::to_string(rng() % 5000);
    texts.push_back(text);
  }
  StringTable table;
  std::unordered_map<std::string_view, std::uint64_t> reference;
  std::uint64_t next = 0;
  for (const std::string& text : texts) {
    auto [number, inserted] = table.insert(text, next);
    auto [it, expectedInserted] = reference.try_emplace(text, next);
    ASSERT_EQ(inserted, expectedInserted) << "text of " << text.size() << " bytes";
    ASSERT_EQ(number, it->second);
    if (inserted) ++next;
  }
  EXPECT_EQ(next, reference.size());
}

}  // namespace
}  // namespace corvela
