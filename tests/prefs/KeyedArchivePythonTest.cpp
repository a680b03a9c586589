// Interchange with another implementation of the format: Python's plistlib reads binary
// property lists with their UIDs, so it stands in for "any other reader". (The other direction,
// a file from another writer, is tests/data/archive/cocoa-layout.prefs.)

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela {
namespace {

using testing::havePython;
using testing::runPython;
using testing::TempDir;

TEST(KeyedArchivePythonTest, AnotherReaderLoadsWhatCorvelaWrites) {
  if (!havePython()) GTEST_SKIP() << "python3 with plistlib is not installed";
  TempDir folder;
  Value store{
      {"Accounts", Value(Value::Array{"Checking", "Visa Card", "Épargne € 😀"})},
      {"Instructions",
       Value(Value::Array{Value{{"descriptionMatch", "AMAZON"},
                                {"splits", Value(Value::Array{Value{{"category", "Books"}}})}}})},
      {"amountsPrecision", 2},
      {"big", std::numeric_limits<std::int64_t>::max()},
      {"negative", -40000},
      {"ratio", 0.1},
      {"CheckForUpdates", true},
      {"SUEnableAutomaticChecks", false},
      {"ControlSettings", Value{{"from", Value::date(757382400)}, {"to", Value::date(-5)}}},
      {"blob", Value(Value::Bytes{0, 1, 0xFF})},
      {"withZero", std::string("a\0b", 3)},
      {"holes", Value(Value::Array{1, Value(), 3})},
      {"empty", Value::dictionary()},
      {"", ""},
  };
  std::string path = folder.path("store.prefs");
  ASSERT_TRUE(writeKeyedArchiveFile(path, store).ok());

  int exitCode = -1;
  std::string out = runPython("decode-archive.py", path, &exitCode);
  ASSERT_EQ(exitCode, 0) << out;
  Result<Value> seen = fromJSON(out);
  ASSERT_TRUE(seen.ok()) << seen.message() << "\n" << out;
  Value expected{
      {"archiver", "NSKeyedArchiver"}, {"version", 100000}, {"first", "$null"}, {"root", store}};
  EXPECT_EQ(seen.value(), expected) << out;
}

}  // namespace
}  // namespace corvela
