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

// Loads the archive with plistlib, follows the UIDs and prints the result as JSON in the form
// fromJSON reads (dates as {"$date": ...}, data as {"$data": base64}).
const char kDecodeScript[] = R"PY(
import base64, datetime, json, plistlib, sys
top = plistlib.loads(open(sys.argv[1], 'rb').read(), fmt=plistlib.FMT_BINARY)
objects = top['$objects']

def decode(uid):
    if uid.data == 0:
        return None
    o = objects[uid.data]
    if isinstance(o, dict):
        name = objects[o['$class'].data]['$classname']
        if name in ('NSMutableDictionary', 'NSDictionary'):
            return {decode(k): decode(v) for k, v in zip(o['NS.keys'], o['NS.objects'])}
        if name in ('NSMutableArray', 'NSArray'):
            return [decode(v) for v in o['NS.objects']]
        if name == 'NSDate':
            when = datetime.datetime(2001, 1, 1) + datetime.timedelta(seconds=o['NS.time'])
            return {'$date': when.strftime('%Y-%m-%dT%H:%M:%SZ')}
        if name in ('NSMutableString', 'NSString'):
            return o['NS.string'] if 'NS.string' in o else o['NS.bytes'].decode('utf-8')
        if name == 'NSNull':
            return None
        raise Exception('class ' + name)
    if isinstance(o, bytes):
        return {'$data': base64.b64encode(o).decode()}
    return o

print(json.dumps({'archiver': top['$archiver'], 'version': top['$version'],
                  'first': objects[0], 'root': decode(top['$top']['root'])}, ensure_ascii=False))
)PY";

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
  std::string out = runPython(folder, kDecodeScript, path, &exitCode);
  ASSERT_EQ(exitCode, 0) << out;
  Result<Value> seen = fromJSON(out);
  ASSERT_TRUE(seen.ok()) << seen.message() << "\n" << out;
  Value expected{
      {"archiver", "NSKeyedArchiver"}, {"version", 100000}, {"first", "$null"}, {"root", store}};
  EXPECT_EQ(seen.value(), expected) << out;
}

}  // namespace
}  // namespace corvela
