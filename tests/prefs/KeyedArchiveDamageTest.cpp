// Hostile and damaged input for the keyed-archive reader: each must give a clear message, never
// a crash, a hang or a read outside the buffer (the suite runs under AddressSanitizer).

#include <gtest/gtest.h>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela {
namespace {

using testing::assembleBplist;
using testing::Bytes;
using testing::toBytes;

Bytes validArchive() {
  Value store{{"Accounts", Value(Value::Array{"Checking", "Visa"})},
              {"ControlSettings", Value{{"date", Value::date(1000.5)}, {"n", 42}}},
              {"blob", Value(Value::Bytes{9, 8, 7})},
              {"flag", true}};
  return writeKeyedArchive(store).value();
}

// A file laid out wrongly on purpose, kept under tests/data/archive/damaged/ as NAME.prefs: an
// archive with the $null entry first and the class entries of a Cocoa archive, with one fault;
// or, named *-bplist, binary-plist arrays below the archive level, nested 40 deep or each
// holding the next twice.
Bytes damaged(const std::string& name) {
  return testing::readBytes(CORVELA_TEST_DATA "/archive/damaged/" + name + ".prefs");
}

const std::string kDamaged = "the binary property list is damaged or truncated: ";

struct DamageCase {
  Bytes bytes;
  std::string message;
  ArchiveLimits limits = {};
};

// Limits are the caller's to set: the last cases lower them.
TEST(KeyedArchiveDamageTest, EachDamageGivesItsMessage) {
  const Bytes valid = validArchive();
  const DamageCase cases[] = {
      {{}, "it is empty"},
      {toBytes("Accounts = (Checking);"), "not a binary property list"},
      {toBytes("<?xml version=\"1.0\"?><plist><dict/></plist>"), "not a binary property list"},
      {toBytes("bplist15" + std::string(40, '\0')),
       "a binary property list of a version other than 00"},
      {toBytes("bplist00"), kDamaged + "it is shorter than its header and trailer"},
      {assembleBplist({{0xA0}}), "not a keyed archive"},
      {damaged("wrong-archiver"),
       "the archive was written by \"NSArchiver\", not by NSKeyedArchiver"},
      {damaged("no-archiver"), "not a keyed archive (it has no $archiver)"},
      {damaged("no-top"), "the archive has no root object"},
      {damaged("root-out-of-range"), "the archive refers to object 99, but holds only 1 objects"},
      {damaged("element-out-of-range"),
       "the archive refers to object 4000, but holds only 3 objects"},
      {damaged("array-containing-itself"), "object 2 contains itself"},
      {damaged("indirect-cycle"), "object 3 contains itself"},
      {damaged("key-not-a-string"), "object 4 is a dictionary with a key that is not a string"},
      {damaged("keys-and-values-differ"),
       "object 5 is a dictionary with more keys than values or fewer"},
      {damaged("unknown-class"),
       "the archive holds an object of class \"NSURL\", which Corvela does not read"},
      {damaged("object-without-class"), "object 1 has no class"},
      {damaged("uid-as-object"), "object 1 is not an archived object"},
      {damaged("deep-bplist"), "the binary property list is nested more than 32 levels deep"},
      {damaged("sharing-bplist"), "the binary property list holds more than 4194304 entries"},
      {assembleBplist({{0xA1, 0x01}, {0xA1, 0x00}}), kDamaged + "object 0 contains itself"},
      {assembleBplist({{0xA1, 0x07}}),
       kDamaged + "object 0 refers to object 7, which does not exist"},
      {assembleBplist({{0xAF, 0x13, 0, 0, 0, 0x10, 0, 0, 0, 0}}),
       kDamaged + "object 0 runs past the object area"},
      {assembleBplist({{0x5F, 0x12, 0x7F, 0xFF, 0xFF, 0xFF, 'a'}}),
       kDamaged + "object 0 runs past the object area"},
      {assembleBplist({{0x08}}, 0, 1ull << 40),
       kDamaged + "the offset table lies outside the file"},
      {assembleBplist({{0x08}}, 5), kDamaged + "its trailer is not valid"},
      {assembleBplist({{0xD1, 0x01, 0x02}, {0x10, 0x05}, {0x08}}),
       kDamaged + "object 0 has a dictionary key that is not a string"},
      {assembleBplist({{0x14, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}}),
       "the binary property list holds an integer outside the 64-bit range"},
      {assembleBplist({{0x33, 0x7F, 0xF0, 0, 0, 0, 0, 0, 0}}),
       "the binary property list holds a date out of range"},
      {assembleBplist({{0xC0}}),
       "the binary property list holds an object of kind 0xC0, which Corvela does not read"},
      {assembleBplist({{0x00}}),
       "the binary property list holds an object of kind 0x00, which Corvela does not read"},
      {valid,
       "it is " + std::to_string(valid.size()) +
           " bytes long, more than the 100 an archive may have",
       {.maxBytes = 100}},
      {valid, "the archive holds more than 5 values", {.maxValues = 5}},
      // Every object the trailer claims counts, reached or not: a hostile file cannot make the
      // reader set up tables for more objects than a list may hold.
      {assembleBplist(std::vector<Bytes>(11, Bytes{0x08})),
       "the binary property list holds more than 10 entries",
       {.maxPlistNodes = 10}},
      // Each level an array holding the next level twice: 2^60 values if expanded.
      {damaged("exponential-sharing"),
       "the archive holds more than 10000 values",
       {.maxValues = 10000}},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.message);
    Result<Value> read = readKeyedArchive(c.bytes, c.limits);
    ASSERT_FALSE(read.ok()) << toJSON(read.value());
    EXPECT_EQ(read.message(), c.message);
  }
  EXPECT_TRUE(readKeyedArchive(valid, {.maxValues = 30}).ok());
}

TEST(KeyedArchiveDamageTest, EveryShortenedArchiveIsRefused) {
  Bytes valid = validArchive();
  for (std::size_t n = 0; n < valid.size(); ++n) {
    Result<Value> read = readKeyedArchive(Bytes(valid.begin(), valid.begin() + n));
    EXPECT_FALSE(read.ok()) << "prefix of " << n << " bytes was read";
    EXPECT_TRUE(read.message() == "it is empty" || read.message() == "not a binary property list" ||
                read.message().starts_with(kDamaged))
        << read.message();
  }
}

// The direct reading of the bytes is held to libplist's: on every archive with any byte
// flipped, both give the same value or the same message. A flipped byte may still give a
// readable archive (in a string, say); what is read must then survive writing and reading
// again unchanged. The archives hold UTF-16 and bytes-form strings, an NSNull, dates, data and
// numbers of every kind.
TEST(KeyedArchiveDamageTest, FlippedBytesAreRefusedOrReadConsistently) {
  Value texts{{"caf\xC3\xA9 \xF0\x9F\x98\x80", Value(Value::Array{Value(), "\xE2\x82\xAC", -7})},
              {"bytes", Value(std::string("a\0\xFF", 3))},
              {"real", 0.1}};
  int refused = 0;
  for (const Bytes& valid : {validArchive(), writeKeyedArchive(texts).value()}) {
    for (std::size_t i = 0; i < valid.size(); ++i) {
      for (std::uint8_t mask : {0x01, 0x08, 0x10, 0x80, 0xFF}) {
        Bytes damaged = valid;
        damaged[i] ^= mask;
        SCOPED_TRACE("byte " + std::to_string(i) + " mask " + std::to_string(mask));
        Result<Value> direct = testing::readBothWays(damaged);
        if (!direct.ok()) {
          ++refused;
          continue;
        }
        Result<Value> reread = readKeyedArchive(writeKeyedArchive(direct.value()).value());
        ASSERT_TRUE(reread.ok()) << reread.message();
        EXPECT_EQ(reread.value(), direct.value());
      }
    }
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace corvela
