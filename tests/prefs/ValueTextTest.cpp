#include <gtest/gtest.h>

#include "prefs/ValueText.h"

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
    const char* message;
  };
  const Case cases[] = {
      {"", "line 1, column 1: a value was expected"},
      {"[1,\n 2", "line 2, column 3: ',' or ']' was expected"},
      {"{\"a\" 1}", "line 1, column 6: ':' was expected"},
      {"{1: 2}", "line 1, column 2: a key in double quotes was expected"},
      {"\"abc", "line 1, column 5: the string is not closed"},
      {"\"\\q\"", "line 1, column 3: unknown escape in a string"},
      {"[1] x", "line 1, column 5: unexpected text after the value"},
      {"99999999999999999999", "line 1, column 1: the number is too large"},
      {"{\"$date\": \"yesterday\"}",
       "line 1, column 23: a $date must look like 2024-01-31T12:00:00Z"},
      {"{\"$date\": \"2024-01-01T-1:00:00Z\"}",
       "line 1, column 34: a $date must look like 2024-01-31T12:00:00Z"},
  };
  for (const Case& c : cases) {
    Result<Value> r = fromJSON(c.text);
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.message(), c.message) << c.text;
  }
}

TEST(ValueTextTest, DeepNestingIsRefusedNotACrash) {
  std::string deep(100000, '[');
  Result<Value> r = fromJSON(deep);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.message().find("nested too deeply"), std::string::npos);
}

TEST(ValueTextTest, DescribeQuotesOnlyWhatNeedsIt) {
  Value v{{"Accounts", Value(Value::Array{"Checking", "Visa Card"})},
          {"when", Value::date(0)},
          {"empty", Value::Array{}}};
  EXPECT_EQ(describe(v),
            "{\n"
            "    Accounts = (\n"
            "        Checking,\n"
            "        \"Visa Card\"\n"
            "    );\n"
            "    empty = ();\n"
            "    when = 2001-01-01T00:00:00Z;\n"
            "}\n");
}

}  // namespace
}  // namespace corvela
