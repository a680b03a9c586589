#include <gtest/gtest.h>

#include <functional>

#include "editors/OutputFormatDefinitionDialog.h"
#include "formats/OutputFormatsFixture.h"
#include "prefs/OptionNames.h"
#include "support/ScriptedDefinitionView.h"

namespace corvela::testing {
namespace {

using Script = std::function<bool(OutputFormatDefinitionDialog&)>;

// The stored formats "Bank", "bank2" and "Checking" beside the built-in entry, and the dialog.
class DefinitionDialogTest : public OutputFormatsTest {
 protected:
  DefinitionDialogTest() {
    for (const char* name : {"Checking", "Bank", "bank2"}) formats.addFormat(newOutputFormat(name));
  }
  int edit(int index, const char* name, Script script, bool forceType = false,
           int kind = kBankKind) {
    view.script = std::move(script);
    return dialog.editFormatAtIndex(index, name, forceType, kind);
  }
  // A record's layout: its type and amount choice, then its columns in order, "-" marking
  // those not written.
  static std::string layout(const Value& record) {
    std::string text = str(record, "Type") + "/" + str(record, "Amount") + ":";
    for (std::size_t i = 0; i < record["Order"].size(); ++i)
      text += std::string(" ") + (record["Present"][i].toBool() ? "" : "-") +
              record["Order"][i].toString();
    return text;
  }
  std::string joinedNames() {
    std::string text;
    for (const std::string& name : names()) text += name + " ";
    return text;
  }

  ScriptedDefinitionView view;
  OutputFormatDefinitionDialog dialog{formats, options, view};
};

// What the list holds after each way of ending the dialog, and what the dialog answers.
TEST_F(DefinitionDialogTest, OKStoresInNameOrderAndEverythingElseStoresNothing) {
  // Renames (unless `rename` is null), then presses OK or Cancel.
  auto press = [](const char* rename, bool ok) -> Script {
    return [=](OutputFormatDefinitionDialog& d) {
      if (rename) d.controlTextDidChange(rename);
      return ok;
    };
  };
  struct Case {
    int index;
    const char* name;
    Script script;
    int answer;
    const char* stored;
    const char* title;
  };
  const char* unchanged = "Bank bank2 Checking QIF ";
  const Case cases[] = {
      {-1, "bank", press(nullptr, false), -1, unchanged, "Create Output Format"},
      {-1, "bank", press(nullptr, true), 2, "Bank bank2 bank3 Checking QIF ",
       "Create Output Format"},
      {-1, "Zulu", press(nullptr, true), 3, "Bank bank2 Checking QIF Zulu ",
       "Create Output Format"},
      {-1, "New", press("qif", true), -1, unchanged, "Create Output Format"},
      {2, "", press("BANK2", true), 2, unchanged, "Edit Output Format: Checking"},
      {2, "", press("", true), 2, unchanged, "Edit Output Format: Checking"},
      {2, "", press("CHECKING", true), 2, "Bank bank2 CHECKING QIF ",
       "Edit Output Format: Checking"},
      {2, "", press("Alpha", true), 0, "Alpha Bank bank2 QIF ", "Edit Output Format: Checking"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.index));
    Value before = store.prefs.objectForKey("OutputFormats");
    EXPECT_EQ(edit(c.index, c.name, c.script), c.answer);
    EXPECT_EQ(joinedNames(), c.stored);
    EXPECT_EQ(dialog.form().windowTitle, c.title);
    store.prefs.setObject("OutputFormats", before);
  }
  // The built-in entry and an index past the end open nothing.
  for (int index : {3, 9}) EXPECT_EQ(edit(index, "", press(nullptr, true)), index);
  EXPECT_EQ(view.runs, static_cast<int>(std::size(cases)));
}

// The columns OK stores after the person's changes to the table and the choices.
TEST_F(DefinitionDialogTest, TheColumnTableFollowsTheChoicesAndTheDrags) {
  struct Case {
    Script change;
    const char* layout;
  };
  const Case cases[] = {
      {[](auto&) { return true; },
       "Bank/Amount: Date Number Description Category Amount Memo -blank1 -blank2 -blank3 "
       "-Account -Splits"},
      {[](auto& d) {  // a dragged blank column is written; a dragged other keeps its flag
         d.tableViewColumnDidMove(7, 1);
         d.tableViewSetObjectValue(3, false);
         d.tableViewColumnDidMove(3, 0);
         return true;
       },
       "Bank/Amount: -Description Date blank2 Number Category Amount Memo -blank1 -blank3 "
       "-Account -Splits"},
      {[](auto& d) {  // switching the type drops every earlier change
         d.tableViewColumnDidMove(6, 0);
         d.selectType(2);
         return true;
       },
       "Investment/Amount: Date Type Security Shares Price Fees Description Amount Memo -Account "
       "-blank1 -blank2 -blank3"},
      {[](auto& d) {
         d.selectAmount(1);
         d.selectType(1);
         return true;
       },
       "Credit Card/Credit and Debit: Date Number Description Category Credit Debit Memo "
       "-Account -Splits -blank1 -blank2 -blank3"},
  };
  for (const Case& c : cases) {
    edit(-1, "Layout", c.change);
    Value stored = *formats.formatForName("Layout");
    EXPECT_EQ(layout(stored), c.layout);
    // Opened again and accepted unchanged, the format stays exactly as it was stored.
    std::vector<std::string> list = names();
    int index = static_cast<int>(std::find(list.begin(), list.end(), "Layout") - list.begin());
    edit(index, "", [](auto&) { return true; });
    EXPECT_EQ(*formats.formatForName("Layout"), stored);
    formats.deleteFormatAtIndex(index);
  }
}

}  // namespace
}  // namespace corvela::testing
