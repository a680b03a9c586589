#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/Bundle.h"
#include "prefs/ValueText.h"

namespace corvela {

extern const std::string_view kBundlePlist;

namespace {

// Conversions a scan pattern makes (the %n that reports the length does not count).
int conversionsIn(const std::string& pattern) {
  int count = 0;
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    std::size_t j = i + 1;
    if (pattern[j] == '%') {
      i = j;
      continue;
    }
    while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) ++j;
    if (j < pattern.size() && pattern[j] != 'n') ++count;
    i = j;
  }
  return count;
}

bool endsWithLengthReport(const std::string& pattern) {
  return pattern.size() >= 2 && pattern.ends_with("%n") &&
         (pattern.size() == 2 || pattern[pattern.size() - 3] != '%');
}

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
  testing::TempFolder folder;
  std::string plist = folder.file("bundle.plist");
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

TEST(BundleTest, EveryDatePatternMakesItsConversionsThenReportsTheLength) {
  struct Table {
    const char* key;
    const char* field;  // nullptr: the entries are the patterns
    int conversions;
  };
  for (const Table& t :
       {Table{"CVShortDateFormats", nullptr, 3}, Table{"CVAfterLongMonth", nullptr, 2},
        Table{"CVLongDateFormats", "format", 2}, Table{"CVLongDateNoYearFormats", "format", 1}}) {
    const Value& table = bundle().table(t.key);
    ASSERT_GT(table.size(), 0u) << t.key;
    for (const Value& entry : table.toArray()) {
      const std::string& pattern = t.field ? str(entry, t.field) : entry.toString();
      EXPECT_EQ(conversionsIn(pattern), t.conversions) << t.key << ": " << pattern;
      EXPECT_TRUE(endsWithLengthReport(pattern)) << t.key << ": " << pattern;
      // Only %d (optionally width-limited) and the final %n: anything else would need other
      // argument types in the readers' sscanf calls.
      for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        std::size_t j = i + 1;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) ++j;
        ASSERT_LT(j, pattern.size()) << pattern;
        EXPECT_TRUE(pattern[j] == 'd' || (pattern[j] == 'n' && j + 1 == pattern.size()))
            << t.key << ": " << pattern;
        i = j;
      }
    }
  }
}

}  // namespace
}  // namespace corvela
