#include <gtest/gtest.h>

#include <string>

#include "prefs/XmlPlist.h"

namespace corvela {
namespace {

std::string wrap(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n" +
         body + "\n</plist>\n";
}

struct ValidCase {
  const char* name;
  std::string body;
  Value expected;
};

class XmlPlistValidTest : public testing::TestWithParam<ValidCase> {};

TEST_P(XmlPlistValidTest, ReadsTheValue) {
  Result<Value> read = XmlPlist::parse(wrap(GetParam().body));
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Snippets, XmlPlistValidTest,
    testing::Values(
        ValidCase{"String", "<string>Checking</string>", Value("Checking")},
        ValidCase{"StringKeepsBlanks", "<string>  a  b </string>", Value("  a  b ")},
        ValidCase{"EmptyString", "<string/>", Value("")},
        ValidCase{"EmptyStringPair", "<string></string>", Value("")},
        ValidCase{"Entities", "<string>&amp;&lt;&gt;&quot;&apos;</string>", Value("&<>\"'")},
        ValidCase{"NumericReferences", "<string>&#65;&#x42;&#xe9;&#x20AC;&#x1F600;</string>",
                  Value("AB\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80")},
        ValidCase{"CdataAndComment", "<string>a<![CDATA[<b>&amp;]]><!-- x -->c</string>",
                  Value("a<b>&amp;c")},
        ValidCase{"LineEndsNormalised", "<string>a\r\nb\rc\nd</string>", Value("a\nb\nc\nd")},
        ValidCase{"Integer", "<integer> -42 </integer>", Value(-42)},
        ValidCase{"IntegerHex", "<integer>0x1F</integer>", Value(31)},
        ValidCase{
            "IntegerLimits",
            "<array><integer>9223372036854775807</integer>"
            "<integer>-9223372036854775808</integer></array>",
            Value(Value::Array{Value(9223372036854775807LL), Value(-9223372036854775807LL - 1)})},
        ValidCase{"Real", "<real>2.5e3</real>", Value(2500.0)},
        ValidCase{"RealWithPlus", "<real>+0.25</real>", Value(0.25)},
        ValidCase{"Booleans", "<array><true/><false/><true></true></array>",
                  Value(Value::Array{true, false, true})},
        ValidCase{"DateEpoch", "<date>2001-01-01T00:00:00Z</date>", Value::date(0)},
        ValidCase{"DateLater", "<date>2001-01-02T01:00:01Z</date>", Value::date(86400 + 3601)},
        ValidCase{"DateBeforeEpoch", "<date>2000-12-31T00:00:00Z</date>", Value::date(-86400)},
        ValidCase{"Data", "<data>\n  AAEC\n  /w==\n</data>", Value(Value::Bytes{0, 1, 2, 255})},
        ValidCase{"EmptyData", "<data></data>", Value(Value::Bytes{})},
        ValidCase{"EmptyContainers", "<array><array/><dict/><dict></dict></array>",
                  Value(Value::Array{Value::array(), Value::dictionary(), Value::dictionary()})},
        ValidCase{"NestedDict",
                  "<dict>\n  <!-- why -->\n  <key>a&amp;b</key>\n  <array>\n"
                  "    <dict><key>format</key><string>%d/%d/%d%n</string>"
                  "<key>month</key><integer>1</integer></dict>\n  </array>\n"
                  "  <key>flag</key><true/>\n</dict>",
                  Value{{"a&b", Value(Value::Array{Value{{"format", "%d/%d/%d%n"}, {"month", 1}}})},
                        {"flag", true}}}),
    [](const testing::TestParamInfo<ValidCase>& info) { return info.param.name; });

TEST(XmlPlistTest, AcceptsAByteOrderMarkAndABareRoot) {
  Result<Value> read = XmlPlist::parse(
      "\xEF\xBB\xBF<?xml version=\"1.0\"?><dict><key>k</key>"
      "<integer>1</integer></dict><!-- end -->\n");
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), (Value{{"k", 1}}));
}

TEST(XmlPlistTest, SkipsADoctypeWithAnInternalSubset) {
  Result<Value> read = XmlPlist::parse(
      "<!DOCTYPE plist [ <!ELEMENT plist ANY> <!ENTITY x \"a>b\"> ]>"
      "<plist><string>ok</string></plist>");
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), Value("ok"));
}

struct BadCase {
  const char* name;
  std::string text;
  std::string message;  // the whole message
};

class XmlPlistBadTest : public testing::TestWithParam<BadCase> {};

TEST_P(XmlPlistBadTest, ReportsTheLineAndTheFault) {
  Result<Value> read = XmlPlist::parse(GetParam().text);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.message(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Snippets, XmlPlistBadTest,
    testing::Values(
        BadCase{"Empty", "", "Property list, line 1: the text holds no property list"},
        BadCase{"EmptyPlist", "<plist>\n</plist>",
                "Property list, line 2: the property list is empty"},
        BadCase{"ValueWithoutKey",
                "<plist><dict>\n<key>a</key><string>x</string>\n"
                "<string>y</string></dict></plist>",
                "Property list, line 3: <dict> has a <string> where a <key> was expected"},
        BadCase{"KeyWithoutValue", "<dict><key>a</key>\n</dict>",
                "Property list, line 2: the key \"a\" has no value"},
        BadCase{"TwoKeysInARow", "<dict><key>a</key><key>b</key><string/></dict>",
                "Property list, line 1: the key \"a\" has no value"},
        BadCase{"DuplicateKey", "<dict><key>a</key><true/>\n<key>a</key><false/></dict>",
                "Property list, line 2: the key \"a\" appears twice in one <dict>"},
        BadCase{"Mismatched", "<array><string>x</array>",
                "Property list, line 1: </array> closes <string>"},
        BadCase{"Unclosed", "<plist>\n<array>\n<string>x</string>",
                "Property list, line 3: the text ends where an element was expected"},
        BadCase{"UnclosedString", "<plist>\n<string>abc",
                "Property list, line 2: <string> is not closed"},
        BadCase{"UnclosedTag", "<plist><string",
                "Property list, line 1: the tag <string> is not closed"},
        BadCase{"UnclosedComment", "<plist><!-- x",
                "Property list, line 1: a comment is not closed"},
        BadCase{"UnknownEntity", "<string>&nbsp;</string>",
                "Property list, line 1: unknown entity &nbsp;"},
        BadCase{"BareAmpersand", "<string>a & b</string>",
                "Property list, line 1: \"&\" must begin an entity such as &amp;"},
        BadCase{"NulReference", "<string>&#0;</string>",
                "Property list, line 1: bad character reference &#0;"},
        BadCase{"SurrogateReference", "<string>&#xD800;</string>",
                "Property list, line 1: bad character reference &#xD800;"},
        BadCase{"HugeReference", "<string>&#x110000;</string>",
                "Property list, line 1: bad character reference &#x110000;"},
        BadCase{"BadInteger", "<integer>12x</integer>",
                "Property list, line 1: not an integer: \"12x\""},
        BadCase{"IntegerOverflow", "<integer>9223372036854775808</integer>",
                "Property list, line 1: not an integer: \"9223372036854775808\""},
        BadCase{"EmptyInteger", "<integer/>", "Property list, line 1: not an integer: \"\""},
        BadCase{"BadReal", "<real>1,5</real>", "Property list, line 1: not a real number: \"1,5\""},
        BadCase{"BadDate", "<date>2024-13-01T00:00:00Z</date>",
                "Property list, line 1: not a date like 2024-01-31T12:00:00Z: "
                "\"2024-13-01T00:00:00Z\""},
        BadCase{"BadData", "<data>AA*A</data>",
                "Property list, line 1: <data> is not valid base64"},
        BadCase{"TruncatedData", "<data>AAAAA</data>",
                "Property list, line 1: <data> is not valid base64"},
        BadCase{"TrueWithText", "<true>yes</true>", "Property list, line 1: <true> must be empty"},
        BadCase{"ElementInString", "<string>a<b/></string>",
                "Property list, line 1: <string> may hold only text, not <b>"},
        BadCase{"Unknown", "<plist><set/></plist>", "Property list, line 1: unknown element <set>"},
        BadCase{"KeyOutsideDict", "<array><key>a</key></array>",
                "Property list, line 1: <key> outside a <dict>"},
        BadCase{"TextInArray", "<array>\nabc</array>",
                "Property list, line 2: text outside any element"},
        BadCase{"TwoRoots", "<plist><true/><false/></plist>",
                "Property list, line 1: <plist> may hold only one value"},
        BadCase{"TrailingText", "<plist><true/></plist>x",
                "Property list, line 1: more text after the end of the property list"},
        BadCase{"UnquotedAttribute", "<plist version=1.0><true/></plist>",
                "Property list, line 1: an attribute value of <plist> is not quoted"},
        BadCase{"LongTextIsShortened", "<integer>" + std::string(60, '7') + "x</integer>",
                "Property list, line 1: not an integer: \"" + std::string(40, '7') + "...\""},
        BadCase{"CarriageReturnLines", "<plist>\r<array>\r\n<foo/></array></plist>",
                "Property list, line 3: unknown element <foo>"}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(XmlPlistTest, RefusesNestingBeyondTheLimit) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<array>";
  Result<Value> read = XmlPlist::parse(deep);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.message(), "Property list, line 1: containers are nested more than 200 deep");

  std::string atLimit;
  for (int i = 0; i < XmlPlist::kMaxDepth; ++i) atLimit += "<array>";
  for (int i = 0; i < XmlPlist::kMaxDepth; ++i) atLimit += "</array>";
  EXPECT_TRUE(XmlPlist::parse(atLimit).ok());
}

// Every cut-off or damaged copy of a good document either reads or fails with a located message;
// the sanitizers catch any read past the text.
TEST(XmlPlistTest, TruncatedAndDamagedTextFailsCleanly) {
  const std::string good = wrap(
      "<dict><key>a</key><array><string>x&amp;y</string><integer>3</integer><data>AQI=</data>"
      "<date>2024-01-31T12:00:00Z</date><real>1.5</real><true/></array></dict>");
  ASSERT_TRUE(XmlPlist::parse(good).ok());
  for (std::size_t cut = 0; cut + 1 < good.size(); ++cut) {
    std::string_view prefix(good.data(), cut);
    if (prefix.find("</plist>") != std::string_view::npos) break;
    Result<Value> read = XmlPlist::parse(prefix);
    EXPECT_FALSE(read.ok()) << "prefix of " << cut;
    EXPECT_TRUE(read.message().starts_with("Property list, line ")) << read.message();
  }
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (char c : {'<', '>', '&', '/', '\0', '"'}) {
      std::string damaged = good;
      damaged[i] = c;
      Result<Value> read = XmlPlist::parse(damaged);
      if (!read.ok()) {
        EXPECT_TRUE(read.message().starts_with("Property list, line ")) << read.message();
      }
    }
  }
}

}  // namespace
}  // namespace corvela
