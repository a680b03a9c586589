#include <gtest/gtest.h>

#include "prefs/Value.h"

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

}  // namespace
}  // namespace corvela
