#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "prefs/SortedDictionary.h"
#include "prefs/Value.h"
#include "prefs/ValueText.h"
#include "support/CaseFile.h"

namespace corvela {
namespace {

TEST(ValueTest, CopyOfAListSharesStorageUntilWritten) {
  Value store = Value::dictionary();
  store.set("Accounts", Value(Value::Array{"Checking", "Visa"}));

  Value list = store["Accounts"];
  EXPECT_TRUE(list.sharesStorageWith(store["Accounts"]));

  list.append("Savings");
  EXPECT_FALSE(list.sharesStorageWith(store["Accounts"]));
  EXPECT_EQ(store["Accounts"].size(), 2u);
  EXPECT_EQ(list.size(), 3u);

  // Changing a nested record of a copy leaves the original alone.
  Value instruction = {{"descriptionMatch", "AMAZON"},
                       {"splits", Value(Value::Array{Value{{"category", "Books"}}})}};
  Value records(Value::Array{instruction});
  Value copy = records;
  Value::Array& items = copy.mutableArray();
  items[0].set("category", "Shopping");
  items[0].mutableDictionary()["splits"].mutableArray()[0].set("amount", "1.00");

  EXPECT_FALSE(records[0].contains("category"));
  EXPECT_FALSE(records[0]["splits"][0].contains("amount"));
  EXPECT_EQ(str(copy[0], "category"), "Shopping");
  EXPECT_EQ(str(copy[0]["splits"][0], "amount"), "1.00");
}

TEST(ValueTest, WrongTypeAndMissingAccessGiveEmptyAnswersAndTypesStayApart) {
  Value text("x");
  EXPECT_TRUE(text["key"].isNull() && text[3].isNull());
  EXPECT_EQ(text.toInt(), 0);
  EXPECT_EQ(Value(3).toString(), "");
  EXPECT_TRUE(Value(7).toBool());
  EXPECT_FALSE(Value().toBool());
  EXPECT_EQ(Value(2.9).toInt(), 2);
  EXPECT_NE(Value(1), Value(1.0));
  EXPECT_NE(Value(true), Value(1));
  EXPECT_NE(Value(Value::Array{}), Value(Value::Dictionary{}));
}

// The dictionary storage against std::map, the container whose answers and order it keeps: the
// archive and JSON writers walk it, and records are read and written through it everywhere.

using Reference = std::map<std::string, int, std::less<>>;

std::vector<std::pair<std::string, int>> entries(const SortedDictionary<int>& d) {
  return {d.begin(), d.end()};
}
std::vector<std::pair<std::string, int>> entries(const Reference& m) {
  return {m.begin(), m.end()};
}

// Random operations over keys that share prefixes, include "" and bytes of 0x80 and more (which
// sort after ASCII, as std::string orders them), with every answer compared with the map's.
TEST(SortedDictionaryTest, AnswersAsAMapDoes) {
  const std::vector<std::string> keys = {
      "",     "a",           "ab",   "abc",    "b",
      "B",    "é",           "\x7f", "amount", "amountAlreadyConverted",
      "date", "description", "memo", "zz"};
  std::mt19937 random(17);
  for (int round = 0; round < 50; ++round) {
    SortedDictionary<int> d;
    Reference m;
    for (int step = 0; step < 200; ++step) {
      const std::string& key = keys[random() % keys.size()];
      const int value = static_cast<int>(random() % 1000);
      switch (random() % 7) {
        case 0:
          EXPECT_EQ(d.insert_or_assign(key, value).second, m.insert_or_assign(key, value).second);
          break;
        case 1:
          EXPECT_EQ(d.try_emplace(key, value).second, m.try_emplace(key, value).second);
          break;
        case 2:
          EXPECT_EQ(d.erase(key), m.erase(key));
          break;
        case 3:
          // The readers of sorted files add at the end; an out-of-order key must still land
          // in its place.
          d.insert_or_assign(d.end(), key, value);
          m.insert_or_assign(m.end(), key, value);
          break;
        case 4:
          d.emplace_hint(d.end(), key, value);
          m.emplace_hint(m.end(), key, value);
          break;
        case 5:
          d[key] += value;
          m[key] += value;
          break;
        default: {
          auto found = d.find(key);
          auto expected = m.find(key);
          ASSERT_EQ(found == d.end(), expected == m.end()) << key;
          if (found != d.end()) {
            EXPECT_EQ(found->second, expected->second);
          }
          auto bound = d.lower_bound(key);
          auto expectedBound = m.lower_bound(key);
          ASSERT_EQ(bound == d.end(), expectedBound == m.end());
          if (bound != d.end()) {
            EXPECT_EQ(bound->first, expectedBound->first);
          }
        }
      }
      ASSERT_EQ(entries(d), entries(m)) << "round " << round << " step " << step;
    }
  }
}

// Built from a list, the first of two equal keys wins, as in a map; equality is by content.
TEST(SortedDictionaryTest, ListsAndEquality) {
  const Value record{{"memo", "first"}, {"amount", "1.00"}, {"memo", "second"}};
  EXPECT_EQ(record.size(), 2u);
  EXPECT_EQ(str(record, "memo"), "first");
  Value same = Value::dictionary(8);
  same.set("memo", "first");
  same.set("amount", "1.00");
  EXPECT_EQ(record, same);
  same.set("amount", "2.00");
  EXPECT_NE(record, same);
}

// The value as text: JSON read and written, and the short description of a value.
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
