#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/Bundle.h"
#include "prefs/ValueText.h"

namespace corvela {

extern const std::string_view kBundlePlist;

namespace {

const Bundle& bundle() { return Bundle::builtIn(); }

// The tables as another reader of XML property lists reads them: plistlib, printing JSON in the
// form fromJSON reads.
const char kPlistToJson[] = R"PY(
import datetime, json, plistlib, sys
def plain(v):
    if isinstance(v, dict): return {k: plain(x) for k, x in v.items()}
    if isinstance(v, list): return [plain(x) for x in v]
    if isinstance(v, datetime.datetime): return {'$date': v.strftime('%Y-%m-%dT%H:%M:%SZ')}
    if isinstance(v, bytes): return {'$data': __import__('base64').b64encode(v).decode()}
    return v
print(json.dumps(plain(plistlib.load(open(sys.argv[1], 'rb')))))
)PY";

TEST(BundleTest, TheBuiltInTablesReadAsAnotherReaderReadsThem) {
  if (!testing::havePython()) GTEST_SKIP() << "python3 with plistlib is not installed";
  testing::TempDir folder;
  std::string plist = folder.path("bundle.plist");
  std::ofstream(plist, std::ios::binary) << kBundlePlist;
  int exitCode = -1;
  std::string json = testing::runPython(folder, kPlistToJson, plist, &exitCode);
  ASSERT_EQ(exitCode, 0) << json;
  Result<Value> expected = fromJSON(json);
  ASSERT_TRUE(expected.ok()) << expected.message();
  EXPECT_EQ(bundle().tables(), expected.value());
  EXPECT_GT(bundle().tables().size(), 5u);
}

TEST(BundleTest, FromXMLWantsADictionaryAtTheRoot) {
  for (const char* xml : {"<plist><array/></plist>", "not a property list", ""}) {
    Result<Bundle> read = Bundle::fromXML(xml);
    EXPECT_FALSE(read.ok()) << xml;
  }
  Result<Bundle> good = Bundle::fromXML(
      "<plist><dict><key>CVRemoveFromAmounts</key><string>$)</string></dict></plist>");
  ASSERT_TRUE(good.ok());
  EXPECT_EQ(good.value().table("CVRemoveFromAmounts"), Value("$)"));
  EXPECT_TRUE(good.value().table("CVLongMonths").isNull());
}

// Every date pattern of the tables reads what it should: DatesTest.EveryFormOfTheBuiltInTables.

}  // namespace
}  // namespace corvela
