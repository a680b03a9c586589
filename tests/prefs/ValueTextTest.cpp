#include <gtest/gtest.h>

#include <cmath>

#include "prefs/ValueText.h"
#include "support/CaseFile.h"

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

// Each case of tests/data/prefs/json.txt: a text read as JSON, and the value described or the
// error. The reason for broken JSON is the parser's own and is left out; the place is ours.
TEST(ValueTextTest, JsonErrorsSayWhere) {
  testing::expectCaseFile("prefs/json.txt", [](const std::string& text, const std::string&) {
    Result<Value> read = fromJSON(text);
    if (read.ok()) return testing::quoted(describe(read.value()));
    const std::string& message = read.message();
    if (!message.starts_with("line ")) return message;
    std::size_t reason = message.find(": ") + 2;
    return message.substr(0, reason) + (message.size() > reason ? "(the parser's reason)" : "");
  });
}

TEST(ValueTextTest, DeepNestingIsRefusedNotACrash) {
  std::string deep(100000, '[');
  Result<Value> r = fromJSON(deep);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.message().find("nested too deeply"), std::string::npos);
}

// Bare words stay bare; anything else is quoted with its escapes. Reals keep a point, data is
// base64 whatever its length; how dates are read back is in prefs/json.txt.
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
  Result<Value> bytes = fromJSON(R"({"$data": "AQID/w=="})");
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes.value(), Value(Value::Bytes{1, 2, 3, 255}));
}

}  // namespace
}  // namespace corvela
