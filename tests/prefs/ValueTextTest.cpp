#include <gtest/gtest.h>

#include <cmath>

#include "prefs/ValueText.h"
#include "support/FileText.h"

namespace corvela {
namespace {

Value everyKind() {
  return Value{
      {"string", "Café \"quoted\"\n\ttab"},
      {"empty", ""},
      {"integer", -9007199254740993LL},
      {"real", 12.5},
      {"whole real", 3.0},
      {"bool", true},
      {"date", Value::date(757382400)},  // 2025-01-01T00:00:00Z
      {"data", Value(Value::Bytes{0, 1, 2, 0xfe, 0xff})},
      {"array", Value(Value::Array{1, "two", Value::Array{}, Value::Dictionary{}})},
      {"nested", Value{{"inner", Value(Value::Array{Value{{"k", "v"}}})}}},
  };
}

TEST(ValueTextTest, JsonRoundTripKeepsEveryTypeAndValue) {
  Value original = everyKind();
  Result<Value> back = fromJSON(toJSON(original));
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(back.value(), original) << toJSON(back.value());
  EXPECT_TRUE(back.value()["whole real"].isReal());
}

TEST(ValueTextTest, JsonErrorsSayWhere) {
  struct Case {
    const char* text;
    const char* message;  // the whole message, or how it begins when it ends in ": "
  };
  const Case cases[] = {
      {"", "line 1, column 1: "},
      {"[1,\n 2", "line 2, column 3: "},
      {"{\"a\" 1}", "line 1, column 6: "},
      {"\"\\q\"", "line 1, column 3: "},
      {"[1] x", "line 1, column 5: "},
      {"99999999999999999999", "at the top: the number is too large"},
      {"{\"Accounts\": [1, {\"$date\": \"yesterday\"}]}",
       "at Accounts[1]: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"$date\": \"2024-01-01T-1:00:00Z\"}",
       "at the top: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"x\": {\"$data\": \"no base64!\"}}", "at x: $data must be base64"},
      {"{\"$date\": \"2024-13-01\"}", "at the top: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"$date\": \"2024-01-32\"}", "at the top: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"$date\": \"2024-01-01T24:00:00Z\"}",
       "at the top: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"$date\": \"2024-01-01T00:60:00Z\"}",
       "at the top: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"$date\": \"2024-01-01T00:00:61Z\"}",
       "at the top: a $date must look like 2024-01-31T12:00:00Z"},
  };
  for (const Case& c : cases) {
    Result<Value> r = fromJSON(c.text);
    ASSERT_FALSE(r.ok()) << c.text;
    std::string_view expected = c.message;
    if (expected.ends_with(": ")) {
      // The reason for broken JSON is the parser's own; the place is ours.
      EXPECT_TRUE(r.message().starts_with(expected)) << c.text << " gave: " << r.message();
      EXPECT_GT(r.message().size(), expected.size()) << c.text;
    } else {
      EXPECT_EQ(r.message(), expected) << c.text;
    }
  }
}

TEST(ValueTextTest, DeepNestingIsRefusedNotACrash) {
  std::string deep(100000, '[');
  Result<Value> r = fromJSON(deep);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.message().find("nested too deeply"), std::string::npos);
}

// Bare words stay bare; anything else is quoted with its escapes. Reals keep a point, data is
// base64 whatever its length, dates are read back the way they are written.
TEST(ValueTextTest, DescribeQuotesOnlyWhatNeedsIt) {
  Value v{{"Accounts", Value(Value::Array{"Checking", "Visa Card", "a_b.c$/d:e"})},
          {"when", Value::date(0)},
          {"empty", Value::Array{}},
          {"none", Value::dictionary()},
          {"odd", "q\"b\\n\nr\rt\t\x01"},
          {"", Value()},
          {"n", Value(Value::Array{3.0, 0.5, HUGE_VAL, -2, true, false})},
          {"d", Value(Value::Array{Value(Value::Bytes{1}), Value(Value::Bytes{1, 2}),
                                   Value(Value::Bytes{1, 2, 3, 255})})},
          {"nested", Value{{"k", Value(Value::Array{Value::dictionary()})}}}};
  testing::expectDataFile("prefs/describe.txt", describe(v));
  for (const char* date :
       {"2024-01-31T12:00:00Z", "2024-01-31T00:00:00Z", "1969-12-31T23:59:59Z"}) {
    Result<Value> read = fromJSON(std::string("{\"$date\": \"") + date + "\"}");
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(describe(read.value()), std::string(date) + "\n");
  }
  Result<Value> bytes = fromJSON(R"({"$data": "AQID/w=="})");
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes.value(), Value(Value::Bytes{1, 2, 3, 255}));
}

}  // namespace
}  // namespace corvela
