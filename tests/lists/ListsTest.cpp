// The lists a person keeps in the store (categories, descriptions, accounts, securities): how
// they are kept in order, what their combo boxes offer and complete, the typing rule they share,
// and the import of the lists of a QIF export.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "lists/Completion.h"
#include "lists/Descriptions.h"
#include "lists/ImportQuickenExport.h"
#include "lists/ListCompletion.h"
#include "lists/Securities.h"
#include "lists/TypingField.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "support/CaseFile.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"
#include "text/Lines.h"

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

Value security(std::string name, std::string symbol) {
  return Value{{"Name", Value(std::move(name))}, {"Symbol", Value(std::move(symbol))}};
}

class SecuritiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    securities.setSecuritiesArray(Value(
        Value::Array{security("Acme Corp", "ACME"), security("Acme Corporation Preferred", "ACMEP"),
                     security("Zeta Fund", "")}));
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const Value& entry : securities.getSecuritiesArray().toArray())
      result.push_back(str(entry, "Name"));
    return result;
  }

  testing::ScratchStore store;
  Securities securities{store.prefs};
  Value format = Value{{"Name", "Broker"}};
  int saves = 0;
  FormatSaver save = [this](const Value&) { ++saves; };
};

TEST_F(SecuritiesTest, LookupsAreExact) {
  struct Case {
    std::string symbol;
    std::optional<std::string> name;
  } cases[] = {{"ACME", "Acme Corp"},
               {"acme", std::nullopt},
               {"", std::nullopt},
               {"ACMEP", "Acme Corporation Preferred"},
               {"ACM", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbol);
    EXPECT_EQ(securities.quickenSecurityForSymbol(c.symbol), c.name);
    EXPECT_EQ(securities.lastFoundIndex() >= 0, c.name.has_value());
  }
  EXPECT_TRUE(securities.securityFound("Zeta Fund"));
  EXPECT_FALSE(securities.securityFound("zeta fund"));
  // Completion ignores case and takes the shortest name of those that begin alike.
  EXPECT_EQ(securities.comboBoxCompletedString("acme"), "Acme Corp");
  EXPECT_EQ(securities.comboBoxCompletedString("Acme Corpo"), "Acme Corporation Preferred");
  EXPECT_EQ(securities.comboBoxCompletedString("Q"), std::nullopt);
}

TEST_F(SecuritiesTest, MappingsAddOnlyTheSecuritiesThatAreNew) {
  securities.addSecurity("ACME CORP COM", "Acme Corp", format, save);
  EXPECT_EQ(names(),
            (std::vector<std::string>{"Acme Corp", "Acme Corporation Preferred", "Zeta Fund"}));
  securities.addSecurity("BETA INC", "beta inc", format, save);
  securities.addSecurity("ACME CORP COM", "Zeta Fund", format, save);  // a second mapping
  EXPECT_EQ(names(), (std::vector<std::string>{"Acme Corp", "Acme Corporation Preferred",
                                               "beta inc", "Zeta Fund"}));
  EXPECT_EQ(securities.getSecuritiesArray()[2], security("beta inc", ""));
  EXPECT_EQ(saves, 3);

  // The first mapping of a text wins; deleting removes exactly the one found.
  EXPECT_EQ(securities.quickenSecurityFromMappingFor("ACME CORP COM", format), "Acme Corp");
  securities.deleteSecurityInFormat(format, save);
  EXPECT_EQ(securities.quickenSecurityFromMappingFor("ACME CORP COM", format), "Zeta Fund");
  EXPECT_EQ(format["SecurityMappings"].size(), 2u);

  // After a failed lookup (of either kind) nothing is deleted.
  EXPECT_EQ(securities.quickenSecurityFromMappingFor("NOT MAPPED", format), std::nullopt);
  securities.deleteSecurityInFormat(format, save);
  securities.quickenSecurityFromMappingFor("BETA INC", format);
  securities.quickenSecurityForSymbol("NONE");
  securities.deleteSecurityInFormat(format, save);
  EXPECT_EQ(format["SecurityMappings"].size(), 2u);
  EXPECT_EQ(saves, 4);
}

TEST(CompletionTest, CountsCharactersNotBytes) {
  EXPECT_EQ(characterCount("Café"), 4u);
  EXPECT_EQ(leadingCharacters("Café Roma", 4), "Café");
  EXPECT_EQ(leadingCharacters("ab", 5), "ab");
  EXPECT_EQ(characterSlice("Café Roma", 3, 6), "é R");
  EXPECT_EQ(characterSlice("abc", 2, 1), "");
  EXPECT_EQ(characterSlice("abc", 7, 9), "");
}

TypedCharacters typedBuffer(std::optional<std::string_view> text) {
  TypedCharacters typed;
  if (text) {
    typed.clear();
    typed.append(*text);
  }
  return typed;
}

// The category and description rule, one edit at a time: what the field shows and what it
// remembers as typed (none: not known).
TEST(ListEditTest, ShowsTheRightTextAndRemembersWhatWasTyped) {
  using D = EditDecision;
  struct Case {
    std::optional<std::string_view> bufferBefore;
    TextEdit edit;
    EditDecision expected;
    std::optional<std::string_view> bufferAfter;
  };
  const Case cases[] = {
      // First letter completes to the shortest.
      {std::nullopt, {"", {0, 0}, "a", {1, 0}, 'a'}, D::replace("Auto", {1, 3}), "a"},
      // Replacing everything starts afresh.
      {"xyz", {"Food", {0, 4}, "q", {1, 0}, 'q'}, D::replace("q", {1, 0}), "q"},
      // Unknown text goes back to what was typed.
      {"a", {"Auto", {1, 3}, "Ax", {2, 0}, 'x'}, D::replace("ax", {2, 0}), "ax"},
      // Unknown text is accepted without a buffer.
      {std::nullopt, {"Grocer", {6, 0}, "Grocery", {7, 0}, 'y'}, D::accept(), std::nullopt},
      // A stale buffer never overwrites the field.
      {"A", {"Auto", {4, 0}, "Autox", {5, 0}, 'x'}, D::accept(), std::nullopt},
      // Colon jumps to the subcategory.
      {"Auto", {"Auto", {4, 0}, "Auto:", {5, 0}, ':'}, D::replace("Auto:Fuel", {5, 4}), "Auto:"},
      // Colon without subcategory keeps the typing.
      {"Food", {"Food", {4, 0}, "Food:", {5, 0}, ':'}, D::replace("Food:", {5, 0}), "Food:"},
      // Selection counts characters.
      {"", {"", {0, 0}, "c", {1, 0}, 'c'}, D::replace("Café Roma", {1, 8}), "c"},
      // Deleting at the caret forgets the buffer.
      {"Fooq", {"Fooq", {4, 0}, "Foo", {3, 0}, 127}, D::accept(), std::nullopt},
      // Deleting a selected tail drops a typed character.
      {"Fooqz", {"Fooqz", {3, 2}, "Foo", {3, 0}, 127}, D::accept(), "Fooq"},
      // Deleting a selected tail no shorter forgets.
      {"Au", {"Auto", {2, 2}, "Au", {2, 0}, 127}, D::accept(), std::nullopt},
      // Deleting in the middle forgets.
      {"Auto", {"Auto", {1, 1}, "Ato", {1, 0}, 127}, D::accept(), std::nullopt},
  };
  const std::vector<std::string_view> entries = {"Auto", "Auto:Fuel", "Café Roma", "Food"};
  for (const Case& c : cases) {
    ListEditResult result = completeListTyping(c.edit, typedBuffer(c.bufferBefore), entries);
    EXPECT_EQ(result.decision, c.expected) << c.edit.proposedText;
    EXPECT_EQ(result.typed, typedBuffer(c.bufferAfter)) << c.edit.proposedText;
  }
}

TEST(TypedCharactersTest, OverflowingTheBufferMakesItInvalid) {
  TypedCharacters typed = typedBuffer(std::string(TypedCharacters::kCapacity, 'x'));
  ASSERT_TRUE(typed.valid());
  TextEdit edit{"", {0, 0}, "", {0, 0}, 'y'};
  std::string previous(TypedCharacters::kCapacity, 'x');
  std::string proposed = previous + "y";
  edit.previousText = previous;
  edit.previousSelection = {previous.size(), 0};
  edit.proposedText = proposed;
  edit.proposedSelection = {proposed.size(), 0};

  ListEditResult result = completeListTyping(edit, typed, {});
  EXPECT_EQ(result.decision, EditDecision::accept());
  EXPECT_FALSE(result.typed.valid());
}

constexpr std::size_t kUntouched = 999;

// The three lists as the store holds them: "-" for an absent one, else its entries joined by
// ",", each record as Name/second.
std::string stored(const CVPrefs& prefs) {
  std::string out;
  for (auto [key, second] : {std::pair{prefKey::Accounts, "Type"},
                             {prefKey::Categories, ""},
                             {prefKey::Securities, "Symbol"}}) {
    const Value& list = prefs.objectForKey(key);
    out += out.empty() ? "" : " | ";
    if (list.isNull()) {
      out += "-";
      continue;
    }
    std::string entries;
    for (const Value& entry : list.toArray()) {
      entries += entries.empty() ? "" : ",";
      entries +=
          entry.isString() ? entry.toString() : str(entry, "Name") + "/" + str(entry, second);
    }
    out += "[" + entries + "]";
  }
  return out;
}

// The cases of tests/data/lists/quicken-export.txt.
TEST(ImportQuickenExportTest, SectionsRecordsAndWhereReadingStops) {
  testing::expectCaseFile("lists/quicken-export.txt", [](const std::string& text,
                                                         const std::string& words) {
    testing::ScratchStore store;
    testing::ScriptedPlatform platform;
    std::istringstream answers(words.starts_with("answers ") ? words.substr(8) : "");
    for (int answer; answers >> answer;) platform.answerNextAlert(answer);
    ImportQuickenExport import(store.prefs, platform);
    std::size_t index = kUntouched;
    const int result = import.process(text, &index, "File \"x.qif\"");
    EXPECT_TRUE(platform.allAnswersUsed()) << text;
    return "returns " + std::to_string(result) + ", index " +
           (index == kUntouched ? "untouched" : std::to_string(index)) + "; " + stored(store.prefs);
  });
}

TEST(ImportQuickenExportTest, QuestionsInOrderAndPricesExplainedOnce) {
  testing::ScratchStore store;
  store.prefs.setObject(prefKey::Categories, Value(Value::Array{Value("Kept")}));
  testing::ScriptedPlatform platform;
  for (int answer : {0, 0, 1, 0}) platform.answerNextAlert(answer);
  ImportQuickenExport import(store.prefs, platform);
  std::size_t index = kUntouched;
  const char* text =
      "!Type:Security\nNAcme\nSACM\n^\n!Type:Prices\n\"ACM\",1.5,\"1/2/24\"\n^\n!Type:Prices\n"
      "\"ACM\",1.6,\"1/3/24\"\n^\n!Type:Cat\nNFood\n^\n!Option:AutoSwitch\nNChecking\nTBank\n^\n";
  EXPECT_EQ(import.process(text, &index, "File \"all.qif\""), 1 | 4 | 8);
  std::vector<std::string> asked;
  for (const Alert& alert : platform.alerts) {
    EXPECT_EQ(alert.title, "QIF List Import");
    asked.push_back(alert.text.substr(0, alert.text.find("  ")) + " " +
                    std::to_string(alert.buttons.size()));
  }
  EXPECT_EQ(asked, (std::vector<std::string>{
                       "File \"all.qif\" contains a list of securities prices which cannot be "
                       "imported. 1",
                       "File \"all.qif\" contains a list of ACCOUNTS. 2",
                       "File \"all.qif\" contains a list of CATEGORIES. 2",
                       "File \"all.qif\" contains a list of SECURITIES. 2"}));
  EXPECT_EQ(platform.alerts[1].buttons, (std::vector<std::string>{"YES", "NO"}));
  EXPECT_EQ(stored(store.prefs), "[Checking/Bank] | [Kept] | [Acme/ACM]");
}
}  // namespace
}  // namespace corvela
