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

TEST(BundleTest, TheBuiltInTablesReadAsAnotherReaderReadsThem) {
  if (!testing::havePython()) GTEST_SKIP() << "python3 with plistlib is not installed";
  testing::TempDir folder;
  std::string plist = folder.path("bundle.plist");
  std::ofstream(plist, std::ios::binary) << kBundlePlist;
  int exitCode = -1;
  std::string json = testing::runPython("plist-to-json.py", plist, &exitCode);
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

  // Every kind of value a property list holds, in a dictionary inside a list.
  Result<Bundle> kinds = Bundle::fromXML(
      "<plist><dict><key>k</key><array><dict><key>r</key><real>1.5</real><key>d</key>"
      "<date>2001-01-01T00:01:00Z</date><key>b</key><data>AQI=</data><key>t</key><true/>"
      "<key>n</key><integer>-3</integer></dict></array></dict></plist>");
  ASSERT_TRUE(kinds.ok()) << kinds.message();
  EXPECT_EQ(kinds.value().table("k"), Value(Value::Array{Value{{"r", 1.5},
                                                               {"d", Value::date(60)},
                                                               {"b", Value(Value::Bytes{1, 2})},
                                                               {"t", true},
                                                               {"n", -3}}}));
  // A mistaken edit that nests without end is refused, in a list or in a dictionary.
  for (const char* open : {"<array>", "<dict><key>k</key>"}) {
    std::string deep = "<plist><dict><key>k</key>";
    for (int i = 0; i < 40; ++i) deep += open;
    deep += "<string>x</string>";
    for (int i = 0; i < 40; ++i) deep += open[1] == 'a' ? "</array>" : "</dict>";
    Result<Bundle> tooDeep = Bundle::fromXML(deep + "</dict></plist>");
    ASSERT_FALSE(tooDeep.ok());
    EXPECT_EQ(tooDeep.message(), "The bundle tables are nested too deeply.");
  }
}

// Every date pattern of the tables reads what it should: DatesTest.EveryFormOfTheBuiltInTables.

}  // namespace
}  // namespace corvela
