#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/Accounts.h"
#include "prefs/CVPrefs.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

Value account(std::string_view name, std::string_view type) {
  return Value{{"Name", Value(name)}, {"Type", Value(type)}};
}

class AccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    accounts.setAccountsArray(Value(Value::Array{
        account("Checking", "Bank"), account("Visa", "CCard"), account("Broker", "Port"),
        account("Fund", "Mutual"), account("House", "Oth A"), account("Chase Savings", "Bank")}));
  }

  testing::ScratchStore store;
  Accounts accounts{store.prefs};
};

TEST_F(AccountsTest, MissingListReadsAsEmptyAndTypesGoByExactName) {
  testing::ScratchStore empty;
  Accounts none(empty.prefs);
  EXPECT_FALSE(none.exists());
  EXPECT_EQ(none.getAccountsArray(), Value::array());
  EXPECT_EQ(none.typeForAccount("Checking"), "");
  EXPECT_FALSE(none.comboBoxIncludeOnly(kBankKind, "Checking"));
  EXPECT_EQ(none.numberOfItemsInComboBox(), 0);

  // A type is found by the exact name.
  EXPECT_TRUE(accounts.exists());
  EXPECT_EQ(accounts.typeForAccount("Fund"), "Mutual");
  EXPECT_EQ(accounts.typeForAccount("Visa"), "CCard");
  EXPECT_EQ(accounts.typeForAccount("visa"), "");
}

TEST_F(AccountsTest, TheFieldOffersTheAccountsOfTheInputsKind) {
  struct {
    int kind;
    std::vector<std::string> names;
  } const cases[] = {
      {kBankKind, {"Checking", "Chase Savings"}},
      {kCreditCardKind, {"Visa"}},
      {kInvestmentKind, {"Broker"}},
      {kBankOrCreditCardKind, {"Checking", "Visa", "Chase Savings"}},
      {kNoKind, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    accounts.comboBoxIncludeOnly(c.kind, "");
    EXPECT_EQ(accounts.filteredNames(), c.names);
    EXPECT_EQ(accounts.numberOfItemsInComboBox(), static_cast<long>(c.names.size()));
  }
}

TEST_F(AccountsTest, AnAccountNoLongerOfferedIsClearedFromTheField) {
  EXPECT_TRUE(accounts.comboBoxIncludeOnly(kBankKind, "Broker"));
  EXPECT_TRUE(accounts.comboBoxIncludeOnly(kCreditCardKind, "Checking"));
  // While the kind is unknown nothing is offered, but the field keeps what it shows.
  EXPECT_FALSE(accounts.comboBoxIncludeOnly(kNoKind, "Checking"));
  EXPECT_FALSE(accounts.comboBoxIncludeOnly(kBankKind, "Checking"));
  EXPECT_FALSE(accounts.comboBoxIncludeOnly(kBankKind, "A new account"));

  // The data source answers over the offered names.
  accounts.comboBoxIncludeOnly(kBankOrCreditCardKind, "");
  EXPECT_EQ(accounts.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(accounts.comboBoxObjectValueForItemAtIndex(1), "Visa");
  EXPECT_EQ(accounts.comboBoxObjectValueForItemAtIndex(3), "");
  EXPECT_EQ(accounts.comboBoxIndexOfItemWithStringValue("Chase Savings"), 2);
  EXPECT_EQ(accounts.comboBoxIndexOfItemWithStringValue("Broker"), kComboBoxNotFound);
  // The account field completes to the first name, not the shortest.
  EXPECT_EQ(accounts.comboBoxCompletedString("ch"), "Checking");
  EXPECT_EQ(accounts.comboBoxCompletedString("cha"), "Chase Savings");
  EXPECT_EQ(accounts.comboBoxCompletedString("b"), std::nullopt);
}

TEST_F(AccountsTest, OnlyOfferedNamesCanBeTypedUnlessAnyNameIsAllowed) {
  accounts.comboBoxIncludeOnly(kBankKind, "");
  const TextEdit typeC{"", {0, 0}, "c", {1, 0}, 'c'};
  const TextEdit typeX{"Checking", {1, 7}, "Cx", {2, 0}, 'x'};
  const TextEdit deleteTail{"Checking", {2, 6}, "Ch", {2, 0}, kBackwardDeleteKey};

  EXPECT_EQ(accounts.isPartialStringValid(typeC), EditDecision::replace("Checking", {1, 7}));
  EXPECT_EQ(accounts.isPartialStringValid(typeX), EditDecision::refuse());
  EXPECT_EQ(accounts.isPartialStringValid(deleteTail), EditDecision::replace("Checking", {1, 7}));

  accounts.allowAnyName(true);
  EXPECT_EQ(accounts.isPartialStringValid(typeX), EditDecision::accept());
}

}  // namespace
}  // namespace corvela
