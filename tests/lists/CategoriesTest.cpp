#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "lists/TypingField.h"
#include "prefs/CVPrefs.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using Names = std::vector<std::string>;

Names namesOf(const Value& list) {
  Names names;
  for (const Value& entry : list.toArray()) names.push_back(entry.toString());
  return names;
}

Value listOf(const Names& names) { return Value(Value::Array(names.begin(), names.end())); }

class CategoriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Accounts(prefs).setAccountsArray(
        Value(Value::Array{Value{{"Name", "Checking"}, {"Type", "Bank"}},
                           Value{{"Name", "Visa"}, {"Type", "CCard"}}}));
    categories.setCategoriesArray(listOf({"Auto", "Auto:Fuel", "Food", "[Checking]", "[Visa]"}));
  }
  Names stored() const { return namesOf(categories.getCategoriesArray()); }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  testing::ScriptedPlatform platform;
  Categories categories{prefs, platform};
};

TEST_F(CategoriesTest, NewCategoriesGoInSortedPlaceBeforeTheAccounts) {
  EXPECT_TRUE(categories.addCategory("Groceries"));
  EXPECT_TRUE(categories.addCategory("zoo"));
  EXPECT_TRUE(categories.addCategory("auto"));
  EXPECT_TRUE(categories.addCategory("Food"));
  EXPECT_TRUE(categories.addCategory(""));
  EXPECT_TRUE(categories.addCategory("[Visa]/Travel"));  // a transfer with a class, known account
  EXPECT_TRUE(categories.addCategory("[Checking]"));
  const Names expected{"[Visa]/Travel", "Auto", "auto",       "Auto:Fuel", "Food",
                       "Groceries",     "zoo",  "[Checking]", "[Visa]"};
  EXPECT_EQ(stored(), expected);
  EXPECT_TRUE(platform.alerts.empty());

  // Categories added since the accounts came in survive the next account update.
  categories.updateAccounts();
  EXPECT_EQ(stored(), expected);
}

TEST_F(CategoriesTest, ATransferToAnUnknownAccountIsRefusedWithTheAlert) {
  for (std::string_view name : {"[Savings]", "[Savings]/Travel", "[Checking"}) {
    platform.answerNextAlert(0);
    EXPECT_FALSE(categories.addCategory(name)) << name;
  }
  EXPECT_EQ(stored(), (Names{"Auto", "Auto:Fuel", "Food", "[Checking]", "[Visa]"}));
  ASSERT_EQ(platform.alerts.size(), 3u);
  const Alert& alert = platform.alerts[0];
  EXPECT_EQ(alert.title, "Bad Category \"[Savings]\"");
  EXPECT_NE(alert.text.find("\"[Savings]\"  is not in your list of accounts."), std::string::npos);
  EXPECT_EQ(alert.buttons, (std::vector<std::string>{"OK"}));

  platform.answerNextAlert(0);
  EXPECT_FALSE(categories.doAddCategory("[Savings]", "No account %@ here."));
  EXPECT_EQ(platform.alerts.back().text, "No account [Savings] here.");
}

TEST_F(CategoriesTest, UpdatingAccountsRebuildsTheTransferEntries) {
  categories.setCategoriesArray(
      listOf({"[Checking]/Biz", "[Gone]/Biz", "Auto", "[Old]", "[Checking]", "Leftover"}));
  Accounts(prefs).setAccountsArray(Value(Value::Array{
      Value{{"Name", "Visa"}, {"Type", "CCard"}}, Value{{"Name", "Checking"}, {"Type", "Bank"}}}));
  categories.updateAccounts();
  EXPECT_EQ(stored(), (Names{"[Checking]/Biz", "Auto", "[Visa]", "[Checking]"}));
}

TEST_F(CategoriesTest, EntriesThatAreNoAccountRecordsAreSkipped) {
  // Plain names, a record without a name and a number, as a hand-written store may hold them.
  Accounts accounts(prefs);
  accounts.setAccountsArray(
      Value(Value::Array{Value("Savings"), Value{{"Type", "Bank"}},
                         Value{{"Name", "Visa"}, {"Type", "CCard"}}, Value(7)}));
  categories.updateAccounts();
  EXPECT_EQ(stored(), (Names{"Auto", "Auto:Fuel", "Food", "[Visa]"}));
  accounts.comboBoxIncludeOnly(kBankOrCreditCardKind, "");
  EXPECT_EQ(accounts.filteredNames(), std::vector<std::string>{"Visa"});
  EXPECT_EQ(accounts.typeForAccount(""), "");
}

TEST_F(CategoriesTest, ComboBoxAnswersOverTheWholeList) {
  EXPECT_EQ(categories.indexOfCategory("Food"), 2);
  EXPECT_EQ(categories.indexOfCategory("food"), -1);
  EXPECT_EQ(categories.indexOfCategory(""), -2);
  EXPECT_EQ(categories.numberOfItemsInComboBox(), 5);
  EXPECT_EQ(categories.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(categories.comboBoxObjectValueForItemAtIndex(3), "[Checking]");
  EXPECT_EQ(categories.comboBoxIndexOfItemWithStringValue("Auto:Fuel"), 1);
  EXPECT_EQ(categories.comboBoxIndexOfItemWithStringValue("auto"), kComboBoxNotFound);
  EXPECT_EQ(categories.comboBoxCompletedString("au"), "Auto");

  // A new category keeps the case it was typed in.
  testing::TypingField field(
      [this](const TextEdit& edit) { return categories.isPartialStringValid(edit); });
  categories.comboBoxEntered();
  field.type("f");
  EXPECT_EQ(field.shown(), "F[ood]");
  field.type("un");
  EXPECT_EQ(field.shown(), "fun[]");

  // Accepting a completion with the arrow keys and typing on keeps the completed text.
  field.text.clear();
  field.selection = {};
  field.type("a");
  field.moveToEnd();
  field.type(" loan");
  EXPECT_EQ(field.shown(), "Auto loan[]");
}

TEST(DescriptionsTest, AddingKeepsTheListSortedAndExact) {
  testing::ScratchStore store;
  Descriptions descriptions(store.prefs);
  EXPECT_FALSE(descriptions.exists());
  descriptions.addDescription("");
  EXPECT_FALSE(descriptions.exists());

  for (std::string_view text : {"Cherry", "apple", "banana", "Apple", "apple", "zebra"})
    descriptions.addDescription(text);
  EXPECT_EQ(namesOf(descriptions.getDescriptionsArray()),
            (Names{"apple", "Apple", "banana", "Cherry", "zebra"}));

  descriptions.createEmpty();
  EXPECT_TRUE(descriptions.exists());
  EXPECT_EQ(descriptions.numberOfItemsInComboBox(), 0);
}

}  // namespace
}  // namespace corvela
