#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <tuple>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"

namespace corvela {
namespace {

using testing::Bytes;

template <class... T>
Value::Array values(T&&... items) {
  return {Value(std::forward<T>(items))...};
}

Value roundTrip(const Value& v) {
  Result<Bytes> bytes = writeKeyedArchive(v);
  EXPECT_TRUE(bytes.ok()) << bytes.message();
  if (!bytes.ok()) return Value("<not written>");
  Result<Value> read = readKeyedArchive(bytes.value());
  EXPECT_TRUE(read.ok()) << read.message();
  return read.ok() ? read.value() : Value("<not read>");
}

// A store shaped like a real one: every value type, nested, and shared strings.
Value sampleStore() {
  Value instruction = {{"descriptionMatch", "AMAZON MKTPLACE"},
                       {"amount", -12.5},
                       {"splits", Value(Value::Array{Value{{"category", "Books"}, {"memo", ""}}})}};
  return Value{
      {"Accounts", Value(Value::Array{"Checking", "Visa Card", "Épargne €"})},
      {"Instructions", Value(Value::Array{instruction, instruction})},
      {"amountsPrecision", 2},
      {"SUEnableAutomaticChecks", false},
      {"CheckForUpdates", true},
      {"ControlSettings", Value{{"lastDate", Value::date(757382400.25)},
                                {"blob", Value(Value::Bytes{0, 1, 2, 255})},
                                {"empty", Value::dictionary()},
                                {"none", Value::array()}}},
      {"LastRootDirectory", "/home/anna/Downloads"},
  };
}

TEST(KeyedArchiveTest, EveryValueTypeSurvivesAWriteAndARead) {
  // Strings (UTF-8 or not, with a zero byte, like the null marker), integers at the byte
  // boundaries and ends, reals, booleans, dates before and after 2001, data, empty and nested
  // containers, nulls in a list and in a dictionary, odd keys, equal values of different types.
  const Value::Array cases = values(
      "", "Checking", "h\xc3\xa9llo \xf0\x9f\x98\x80 \xe2\x82\xac \xe4\xb8\xad", "$null",
      std::string("a\0b", 3), std::string("caf\xe9 \xff\xfe"), std::string("\xed\xa0\x80"), 0, -1,
      256, 4294967296LL, std::numeric_limits<std::int64_t>::max(),
      std::numeric_limits<std::int64_t>::min(), 0.1, -1.5e300, 5e-324, 0.5, true, false,
      Value::date(0), Value::date(-978307200.0), Value::date(1e10 + 0.125), Value(Value::Bytes{}),
      Value(Value::Bytes{0, 0x80, 0xFF, 'x'}), Value::array(), Value::dictionary(), Value(),
      Value(Value::Array{1, Value(), "x"}), Value{{"gone", Value()}, {"kept", 1}},
      Value{{"", 1}, {"$null", 2}, {"$class", 3}, {"cl\xc3\xa9", 4}, {std::string("k\0", 2), 5}},
      Value(Value::Array{1, 1.0, true, "1"}), sampleStore());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Value back = roundTrip(cases[i]);
    EXPECT_EQ(back, cases[i]) << i << ": " << toJSON(back);
    EXPECT_EQ(back.type(), cases[i].type()) << i;
  }
  Value odd = roundTrip(Value(Value::Array{std::nan(""), -0.0}));
  EXPECT_TRUE(std::isnan(odd[0].toDouble()));
  EXPECT_TRUE(std::signbit(odd[1].toDouble()));
}

// The layout (class chains, shared strings, $null first) is held by the kept store below,
// written again byte for byte, and by another reader in KeyedArchivePythonTest. Files kept in
// the tree: cocoa-classes.prefs, laid out as Cocoa lays out mutable and immutable strings
// (NS.string, NS.bytes), dates (NS.time, real or whole, and plain), data, a subclass of a
// dictionary and one object referenced twice; cocoa-layout.prefs, laid out by another writer
// (cocoa-layout.py, with plistlib); and corvela-store.prefs, written by Corvela, which must keep
// loading and be written again byte for byte.
TEST(KeyedArchiveTest, ReadsTheSampleFiles) {
  for (const char* name : {"cocoa-classes", "cocoa-layout"}) {
    Result<Value> read =
        readKeyedArchiveFile(CORVELA_TEST_DATA "/archive/" + std::string(name) + ".prefs");
    ASSERT_TRUE(read.ok()) << read.message();
    testing::expectDataFile("archive/" + std::string(name) + ".json", toJSON(read.value()));
    // JSON keeps whole seconds: the half seconds of the dates are checked here.
    EXPECT_EQ(read.value()["when"], Value::date(757382400.5)) << name;
    if (read.value().contains("plainDate")) {
      EXPECT_EQ(read.value()["plainDate"], Value::date(100.5)) << name;
    }
  }

  const std::string path = CORVELA_TEST_DATA "/archive/corvela-store.prefs";
  Result<Value> store = readKeyedArchiveFile(path);
  ASSERT_TRUE(store.ok()) << store.message();
  EXPECT_EQ(store.value()["Instructions"][1]["splits"][0]["category"], Value("Books"));
  EXPECT_EQ(store.value()["ControlSettings"]["holes"], Value(Value::Array{1, Value(), 3}));
  EXPECT_EQ(store.value()["withZero"], Value(std::string("a\0b", 3)));
  Result<Bytes> again = writeKeyedArchive(store.value());
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again.value(), testing::readBytes(path));
}

Value nestedArrays(int depth) {
  Value v = Value::array();
  for (int i = 1; i < depth; ++i) v = Value(Value::Array{v});
  return v;
}

TEST(KeyedArchiveTest, NestingUpToTheLimitIsKeptAndDeeperIsRefusedBothWays) {
  EXPECT_EQ(roundTrip(nestedArrays(256)), nestedArrays(256));

  // Writing one level more is refused: AFileThatCannotBeReadOrWrittenSaysWhy. Written with a
  // higher limit, it is refused when read.
  Result<Bytes> written = writeKeyedArchive(nestedArrays(257), {.maxDepth = 1000});
  ASSERT_TRUE(written.ok());
  Result<Value> read = readKeyedArchive(written.value());
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.message(), "the archive is nested more than 256 levels deep");
}

TEST(KeyedArchiveTest, AFileThatCannotBeReadOrWrittenSaysWhy) {
  testing::TempDir folder;
  testing::writeBytes(folder.path("store"), writeKeyedArchive(sampleStore()).value());
  testing::writeBytes(folder.path("text"), testing::toBytes("Accounts = ();"));
  ASSERT_EQ(::mkfifo(folder.path("pipe").c_str(), 0600), 0);
  const std::tuple<std::string, std::size_t, const char*> cases[] = {
      {folder.path("missing"), 1000, "No such file or directory"},
      {folder.root().string(), 1000, "it is a folder"},
      {folder.path("pipe"), 1000, "it is not a regular file"},
      {folder.path("store"), 10, " bytes long, more than the 10 an archive may have"},
      {folder.path("text"), 1000, "not a binary property list"}};
  for (const auto& [path, maxBytes, reason] : cases) {
    Result<Value> read = readKeyedArchiveFile(path, {.maxBytes = maxBytes});
    ASSERT_FALSE(read.ok()) << path;
    EXPECT_TRUE(read.message().starts_with("\"" + path + "\" cannot be read: ")) << read.message();
    EXPECT_NE(read.message().find(reason), std::string::npos) << read.message();
  }
  Status written = writeKeyedArchiveFile(folder.path("deep"), nestedArrays(257));
  EXPECT_EQ(written.message(), "Could not write \"" + folder.path("deep") +
                                   "\": the value is nested more than 256 levels deep.");
  // Nor is an archive written that is too long to be read back.
  written = writeKeyedArchiveFile(folder.path("long"), sampleStore(), FileOps::system(),
                                  {.maxBytes = 100});
  EXPECT_TRUE(written.message().ends_with(" bytes long, more than the 100 an archive may have."))
      << written.message();
  EXPECT_FALSE(std::filesystem::exists(folder.path("long")));
}

// The archive of a run grows with its transactions, past the counts a store may have: read with
// the counts grown to its size, whatever Corvela writes reads back, even the shapes with the
// most references for their bytes (shared texts, Booleans and numbers); an archive made to
// unfold is still refused.
TEST(KeyedArchiveTest, AnArchiveOfARunIsReadWhateverItsCounts) {
  Value record = {{"amount", "-5.00"},        {"cleared", ""}, {"memo", ""},
                  {"splits", Value::array()}, {"done", true},  {"outputLength", 0}};
  Value::Array records(300, record);
  Value::Array texts(2000, Value(""));
  Value::Array flags(2000, Value(false));
  const Value shapes[] = {Value{{"qif", Value(records)}, {"fileAsString", "!Type:Bank\n"}},
                          Value(texts), Value(flags), Value(Value::Array(50, Value(texts))),
                          sampleStore()};
  const ArchiveLimits grown{.maxPlistNodes = 1, .maxValues = 1, .countsGrowWithSize = true};
  for (const Value& shape : shapes) {
    Result<Bytes> bytes = writeKeyedArchive(shape);
    ASSERT_TRUE(bytes.ok());
    Result<Value> read = readKeyedArchive(bytes.value(), grown);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read.value(), shape);
    EXPECT_FALSE(readKeyedArchive(bytes.value(), {.maxValues = 1}).ok());
  }
  Result<Value> unfolded = readKeyedArchive(
      testing::readBytes(CORVELA_TEST_DATA "/archive/damaged/exponential-sharing.prefs"),
      {.maxValues = 10000, .countsGrowWithSize = true});
  ASSERT_FALSE(unfolded.ok());
  EXPECT_TRUE(unfolded.message().starts_with("the archive holds more than ")) << unfolded.message();
}

// Interchange with another implementation of the format: Python's plistlib reads binary
// property lists with their UIDs, so it stands in for "any other reader". (The other direction,
// a file from another writer, is tests/data/archive/cocoa-layout.prefs.)
TEST(KeyedArchivePythonTest, AnotherReaderLoadsWhatCorvelaWrites) {
  if (!testing::havePython()) GTEST_SKIP() << "python3 with plistlib is not installed";
  testing::TempDir folder;
  // The sample store, with what it lacks: a four-byte character, the ends of the integer range,
  // dates before 2001, a zero byte, a null in a list and an empty key.
  Value store = sampleStore();
  store.mutableDictionary()["Accounts"].append("\xF0\x9F\x98\x80");
  store.set("big", std::numeric_limits<std::int64_t>::max());
  store.set("negative", -40000);
  store.set("blob", Value(Value::Bytes{0, 1, 0xFF}));  // data whose base64 needs no padding
  store.set("ratio", 0.1);
  store.set("before2001", Value::date(-5));
  // The JSON the script prints keeps whole seconds only.
  store.mutableDictionary()["ControlSettings"].set("lastDate", Value::date(757382400));
  store.set("withZero", std::string("a\0b", 3));
  store.set("holes", Value(Value::Array{1, Value(), 3}));
  store.set("", "");
  std::string path = folder.path("store.prefs");
  ASSERT_TRUE(writeKeyedArchiveFile(path, store).ok());

  int exitCode = -1;
  std::string out = testing::runPython("decode-archive.py", path, &exitCode);
  ASSERT_EQ(exitCode, 0) << out;
  Result<Value> seen = fromJSON(out);
  ASSERT_TRUE(seen.ok()) << seen.message() << "\n" << out;
  Value expected{
      {"archiver", "NSKeyedArchiver"}, {"version", 100000}, {"first", "$null"}, {"root", store}};
  EXPECT_EQ(seen.value(), expected) << out;
}

// The direct reading of an archive against libplist's where the binary property list changes
// its widths: counts that need a byte, two or four after the marker, references of one or two
// bytes, offsets of one to three, and plain strings with a byte that is not plain ASCII at
// every place of the eight-byte steps they are checked in (readBothWays, in
// ArchiveTestSupport.h).
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
    Result<Value> read = testing::readBothWays(bytes.value());
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
      Result<Value> read = testing::readBothWays(damaged);
      if (read.ok() && read.value()["key"].toString() != letters) ++differs;
    }
  }
  // Some of them read at all, or the comparison above proved nothing.
  EXPECT_GT(differs, 0);
}

// Hostile and damaged input for the keyed-archive reader: each must give a clear message, never
// a crash, a hang or a read outside the buffer (the suite runs under AddressSanitizer).
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
