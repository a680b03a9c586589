// The list editors: what the store holds after a person worked in each window and closed it.

#include <gtest/gtest.h>

#include "editors/ListEditors.h"
#include "editors/ScriptedEditorView.h"
#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "lists/Securities.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using testing::RecordingHost;
using testing::ScriptedEditorView;

// Types a new entry into the first column, as Add and typing do.
std::optional<std::string> add(TableEditor& editor, const std::string& text) {
  return editor.table().setValueAt(editor.table().addEntry(), 0, Value(text));
}

Value account(const char* name, const char* type) { return Value{{"Name", name}, {"Type", type}}; }

class ListEditorsTest : public ::testing::Test {
 protected:
  testing::ScratchStore scratch;
  CVPrefs& prefs = scratch.prefs;
  testing::ScriptedPlatform platform;
  RecordingHost host;
  Accounts accounts{prefs};
  Categories categories{prefs, platform};
};

TEST_F(ListEditorsTest, AccountTypesChangeOnlyWhereTheChoiceChanged) {
  struct Case {
    const char* name;
    std::function<void(TableEditor&)> work;
    bool ok;
    Value::Array stored;
  };
  const Value::Array before = {account("Savings", "Mutual"), account("Visa", "CCard")};
  const Case cases[] = {
      {"untouched keeps type texts", [](TableEditor&) {}, true, before},
      {"choice changed to Other",
       [](TableEditor& e) { e.table().setValueAt(0, 1, Value(3)); },
       true,
       {account("Savings", "Oth A"), account("Visa", "CCard")}},
      {"choice changed and back",
       [](TableEditor& e) {
         e.table().setValueAt(0, 1, Value(0));
         e.table().setValueAt(0, 1, Value(2));
       },
       true, before},
      {"new account takes its choice",
       [](TableEditor& e) {
         add(e, "Brokerage");
         e.table().setValueAt(2, 1, Value(2));
       },
       true,
       {account("Savings", "Mutual"), account("Visa", "CCard"), account("Brokerage", "Port")}},
      {"cancel stores nothing",
       [](TableEditor& e) {
         e.table().selectRow(0);
         e.table().deleteSelectedRows();
       },
       false, before},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    accounts.setAccountsArray(Value(before));
    categories.setCategoriesArray(Value(Value::Array{"Food"}));
    EditAccounts editor(accounts, categories, host);
    ScriptedEditorView view({[&](TableEditor& e) {
      EXPECT_FALSE(host.enabled);
      c.work(e);
      return c.ok;
    }});
    editor.beginEditing(view);
    EXPECT_TRUE(host.enabled);
    EXPECT_EQ(accounts.getAccountsArray(), Value(c.stored));
    // The transfer entries follow the accounts stored.
    Value::Array expected = {"Food"};
    if (c.ok)
      for (const Value& a : c.stored) expected.push_back("[" + str(a, "Name") + "]");
    EXPECT_EQ(categories.getCategoriesArray(), Value(expected));
  }
}

TEST_F(ListEditorsTest, ListsAreStoredWhateverClosedTheWindow) {
  categories.setCategoriesArray(Value(Value::Array{"Auto", "Food", "[Checking]"}));
  EditCategories editCategories(categories, host);
  ScriptedEditorView view;
  view.then([](TableEditor& e) {
    EXPECT_EQ(add(e, "[Savings]"), std::string(EditCategories::kBracketError));
    EXPECT_EQ(e.form().message, EditCategories::kBracketError);
    EXPECT_EQ(add(e, "bills"), std::nullopt);
    EXPECT_EQ(e.form().message, "");
    return false;
  });
  editCategories.beginEditing(view);
  // A new category placed after the transfer entries would be lost when they are rebuilt.
  EXPECT_EQ(categories.getCategoriesArray(),
            Value(Value::Array{"Auto", "bills", "Food", "[Checking]"}));
  categories.updateAccounts();
  EXPECT_EQ(categories.getCategoriesArray()[1], Value("bills"));

  Descriptions descriptions(prefs);
  descriptions.setDescriptionsArray(Value(Value::Array{"Acme", "Zeta"}));
  EditDescriptions editDescriptions(descriptions, host);
  view.then([](TableEditor& e) { return add(e, "Mart") == std::nullopt; });
  editDescriptions.beginEditing(view);
  descriptions.addDescription("Mart");
  EXPECT_EQ(descriptions.getDescriptionsArray(), Value(Value::Array{"Acme", "Mart", "Zeta"}));

  // Securities keep the order the person left.
  Securities securities(prefs);
  EditSecurities editSecurities(securities, host);
  view.then([](TableEditor& e) {
    add(e, "Zinc");
    e.table().setValueAt(0, 1, Value("ZNC"));
    return add(e, "Acme") != std::nullopt;
  });
  editSecurities.beginEditing(view);
  EXPECT_EQ(securities.getSecuritiesArray(),
            Value(Value::Array{Value{{"Name", "Zinc"}, {"Symbol", "ZNC"}},
                               Value{{"Name", "Acme"}, {"Symbol", ""}}}));
}

}  // namespace
}  // namespace corvela
