#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela {
namespace {

using testing::ArchiveBuilder;
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
// written again byte for byte, and by another reader in KeyedArchivePythonTest.
TEST(KeyedArchiveTest, ReadsAnArchiveLaidOutByCocoa) {
  ArchiveBuilder b;
  std::uint64_t mutableDict = b.classEntry({"NSMutableDictionary", "NSDictionary", "NSObject"});
  std::uint64_t dict = b.classEntry({"NSDictionary", "NSObject"});
  std::uint64_t mutableArray = b.classEntry({"NSMutableArray", "NSArray", "NSObject"});
  std::uint64_t array = b.classEntry({"NSArray", "NSObject"});
  std::uint64_t mutableString = b.classEntry({"NSMutableString", "NSString", "NSObject"});
  std::uint64_t string = b.classEntry({"NSString", "NSObject"});
  std::uint64_t date = b.classEntry({"NSDate", "NSObject"});
  std::uint64_t mutableData = b.classEntry({"NSMutableData", "NSData", "NSObject"});
  std::uint64_t subclass = b.classEntry({"CVPrivateDictionary", "NSDictionary", "NSObject"});

  std::uint64_t checking = b.object(mutableString, {{"NS.string", plist_new_string("Checking")}});
  std::uint64_t visa = b.object(string, {{"NS.bytes", plist_new_data("Visa \xe2\x82\xac", 8)}});
  std::uint64_t accounts = b.array(mutableArray, {checking, visa, b.string("Savings")});
  std::uint64_t when = b.object(date, {{"NS.time", plist_new_real(757382400.5)}});
  std::uint64_t whole = b.object(date, {{"NS.time", plist_new_uint(86400)}});
  std::uint64_t blob = b.object(mutableData, {{"NS.data", plist_new_data("\x01\x02", 2)}});
  std::uint64_t plainDate = b.add(plist_new_date(100, 500000));
  std::uint64_t inner = b.dictionary(dict, {b.string("category")}, {b.string("Food")});
  std::uint64_t odd = b.dictionary(subclass, {b.string("k")}, {b.integer(-7)});
  std::uint64_t frozen = b.array(array, {b.add(plist_new_bool(1)), b.add(plist_new_real(2.5))});
  std::uint64_t twice = b.array(array, {inner, inner});  // one object referenced twice
  std::uint64_t root =
      b.dictionary(mutableDict,
                   {b.string("Accounts"), b.string("amountsPrecision"), b.string("CheckForUpdates"),
                    b.string("when"), b.string("whole"), b.string("blob"), b.string("plainDate"),
                    b.string("inner"), b.string("odd"), b.string("frozen"), b.string("twice")},
                   {accounts, b.integer(3), b.add(plist_new_bool(0)), when, whole, blob, plainDate,
                    inner, odd, frozen, twice});

  Result<Value> read = readKeyedArchive(b.bytes(static_cast<std::int64_t>(root)));
  ASSERT_TRUE(read.ok()) << read.message();
  Value expected{
      {"Accounts", Value(Value::Array{"Checking", "Visa \xe2\x82\xac", "Savings"})},
      {"amountsPrecision", 3},
      {"CheckForUpdates", false},
      {"when", Value::date(757382400.5)},
      {"whole", Value::date(86400)},
      {"blob", Value(Value::Bytes{1, 2})},
      {"plainDate", Value::date(100.5)},
      {"inner", Value{{"category", "Food"}}},
      {"odd", Value{{"k", -7}}},
      {"frozen", Value(Value::Array{true, 2.5})},
      {"twice", Value(Value::Array{Value{{"category", "Food"}}, Value{{"category", "Food"}}})}};
  EXPECT_EQ(read.value(), expected) << toJSON(read.value());
}

// Files kept in the tree: one laid out by another writer (cocoa-layout.py, with plistlib),
// one written by Corvela, which must keep loading and be written again byte for byte.
TEST(KeyedArchiveTest, ReadsTheSampleFiles) {
  Result<Value> cocoa = readKeyedArchiveFile(CORVELA_TEST_DATA "/archive/cocoa-layout.prefs");
  ASSERT_TRUE(cocoa.ok()) << cocoa.message();
  Value::Array accounts{"Checking", "Caf\xc3\xa9 \xe2\x82\xac"};
  for (int i = 0; i < 300; ++i) accounts.push_back("n" + std::to_string(i));
  Value expected{{"Accounts", Value(accounts)},
                 {"amountsPrecision", 3},
                 {"big", 1LL << 40},
                 {"flag", true},
                 {"ratio", 1.5},
                 {"when", Value::date(757382400.5)},
                 {"blob", Value(Value::Bytes{0, 1})},
                 {"ControlSettings", Value{{"x", -1}}}};
  EXPECT_EQ(cocoa.value(), expected) << toJSON(cocoa.value());

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

  Result<Bytes> tooDeep = writeKeyedArchive(nestedArrays(257));
  ASSERT_FALSE(tooDeep.ok());
  EXPECT_EQ(tooDeep.message(), "the value is nested more than 256 levels deep");

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
  Status written = writeKeyedArchiveFile(folder.path("deep"), nestedArrays(300));
  EXPECT_EQ(written.message(), "Could not write \"" + folder.path("deep") +
                                   "\": the value is nested more than 256 levels deep.");
}

}  // namespace
}  // namespace corvela
