#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela {
namespace {

using testing::ArchiveBuilder;
using testing::Bytes;

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
  struct Case {
    const char* name;
    Value value;
  };
  const Case cases[] = {
      {"empty string", ""},
      {"ascii", "Checking"},
      {"utf8", "h\xc3\xa9llo \xf0\x9f\x98\x80 \xe2\x82\xac \xe4\xb8\xad"},
      {"string that reads like the null marker", "$null"},
      {"zero byte inside", std::string("a\0b", 3)},
      {"not utf8", std::string("caf\xe9 \xff\xfe")},
      {"surrogate encoded in utf8", std::string("\xed\xa0\x80")},
      {"zero", 0},
      {"negative", -1},
      {"byte boundary", 256},
      {"above 32 bits", 4294967296LL},
      {"int64 max", std::numeric_limits<std::int64_t>::max()},
      {"int64 min", std::numeric_limits<std::int64_t>::min()},
      {"real", 0.1},
      {"huge real", -1.5e300},
      {"tiny real", 5e-324},
      {"float-exact real", 0.5},
      {"true", true},
      {"false", false},
      {"epoch date", Value::date(0)},
      {"date before 2001", Value::date(-978307200.0)},
      {"date far ahead", Value::date(1e10 + 0.125)},
      {"empty data", Value(Value::Bytes{})},
      {"data", Value(Value::Bytes{0, 0x80, 0xFF, 'x'})},
      {"empty array", Value::array()},
      {"empty dictionary", Value::dictionary()},
      {"null root", Value()},
      {"null element keeps its place", Value(Value::Array{1, Value(), "x"})},
      {"null value keeps its key", Value{{"gone", Value()}, {"kept", 1}}},
      {"odd keys",
       Value{{"", 1}, {"$null", 2}, {"$class", 3}, {"cl\xc3\xa9", 4}, {std::string("k\0", 2), 5}}},
      {"types stay apart", Value(Value::Array{1, 1.0, true, "1"})},
      {"sample store", sampleStore()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Value back = roundTrip(c.value);
    EXPECT_EQ(back, c.value) << toJSON(back);
    EXPECT_EQ(back.type(), c.value.type());
  }
}

TEST(KeyedArchiveTest, NotANumberStaysNotANumber) {
  Value back = roundTrip(Value(Value::Array{std::nan(""), -0.0}));
  EXPECT_TRUE(std::isnan(back[0].toDouble()));
  EXPECT_TRUE(std::signbit(back[1].toDouble()));
}

TEST(KeyedArchiveTest, WritesTheLayoutOfTheCocoaArchiver) {
  Result<Bytes> bytes = writeKeyedArchive(
      Value{{"Accounts", Value(Value::Array{"Checking", "Checking"})}, {"when", Value::date(5)}});
  ASSERT_TRUE(bytes.ok());
  plist_t parsed = nullptr;
  plist_from_bin(reinterpret_cast<const char*>(bytes.value().data()),
                 static_cast<std::uint32_t>(bytes.value().size()), &parsed);
  PlistPtr top(parsed);
  ASSERT_TRUE(top);

  auto text = [](plist_t n) {
    uint64_t len = 0;
    const char* p =
        n && plist_get_node_type(n) == PLIST_STRING ? plist_get_string_ptr(n, &len) : "";
    return std::string(p, len);
  };
  auto uid = [](plist_t n) {
    uint64_t u = 999;
    if (n && plist_get_node_type(n) == PLIST_UID) plist_get_uid_val(n, &u);
    return u;
  };
  EXPECT_EQ(text(plist_dict_get_item(parsed, "$archiver")), "NSKeyedArchiver");
  uint64_t version = 0;
  plist_get_uint_val(plist_dict_get_item(parsed, "$version"), &version);
  EXPECT_EQ(version, 100000u);
  plist_t objects = plist_dict_get_item(parsed, "$objects");
  EXPECT_EQ(text(plist_array_get_item(objects, 0)), "$null");

  plist_t root = plist_array_get_item(
      objects, uid(plist_dict_get_item(plist_dict_get_item(parsed, "$top"), "root")));
  ASSERT_EQ(plist_get_node_type(root), PLIST_DICT);
  plist_t rootClass = plist_array_get_item(objects, uid(plist_dict_get_item(root, "$class")));
  EXPECT_EQ(text(plist_dict_get_item(rootClass, "$classname")), "NSMutableDictionary");
  plist_t chain = plist_dict_get_item(rootClass, "$classes");
  ASSERT_EQ(plist_array_get_size(chain), 3u);
  EXPECT_EQ(text(plist_array_get_item(chain, 1)), "NSDictionary");
  EXPECT_EQ(text(plist_array_get_item(chain, 2)), "NSObject");
  ASSERT_EQ(plist_array_get_size(plist_dict_get_item(root, "NS.keys")), 2u);

  // Keys are plain strings; the date is an NSDate with NS.time.
  plist_t keys = plist_dict_get_item(root, "NS.keys");
  plist_t values = plist_dict_get_item(root, "NS.objects");
  EXPECT_EQ(text(plist_array_get_item(objects, uid(plist_array_get_item(keys, 0)))), "Accounts");
  plist_t date = plist_array_get_item(objects, uid(plist_array_get_item(values, 1)));
  double seconds = 0;
  plist_get_real_val(plist_dict_get_item(date, "NS.time"), &seconds);
  EXPECT_EQ(seconds, 5.0);
  plist_t dateClass = plist_array_get_item(objects, uid(plist_dict_get_item(date, "$class")));
  EXPECT_EQ(text(plist_dict_get_item(dateClass, "$classname")), "NSDate");

  // Equal strings are one object.
  plist_t accounts = plist_array_get_item(objects, uid(plist_array_get_item(values, 0)));
  plist_t items = plist_dict_get_item(accounts, "NS.objects");
  EXPECT_EQ(uid(plist_array_get_item(items, 0)), uid(plist_array_get_item(items, 1)));
}

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
  std::uint64_t root =
      b.dictionary(mutableDict,
                   {b.string("Accounts"), b.string("amountsPrecision"), b.string("CheckForUpdates"),
                    b.string("when"), b.string("whole"), b.string("blob"), b.string("plainDate"),
                    b.string("inner"), b.string("odd"), b.string("frozen")},
                   {accounts, b.integer(3), b.add(plist_new_bool(0)), when, whole, blob, plainDate,
                    inner, odd, frozen});

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
  };
  EXPECT_EQ(read.value(), expected) << toJSON(read.value());
}

TEST(KeyedArchiveTest, ReadsTheSameObjectReferencedTwice) {
  ArchiveBuilder b;
  std::uint64_t arrayClass = b.classEntry({"NSArray", "NSObject"});
  std::uint64_t shared = b.array(arrayClass, {b.string("x")});
  std::uint64_t root = b.array(arrayClass, {shared, shared});
  Result<Value> read = readKeyedArchive(b.bytes(static_cast<std::int64_t>(root)));
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), Value(Value::Array{Value(Value::Array{"x"}), Value(Value::Array{"x"})}));
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

}  // namespace
}  // namespace corvela
