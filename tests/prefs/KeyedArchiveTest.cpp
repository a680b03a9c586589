#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
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

}  // namespace
}  // namespace corvela
