// The output format list editor: the store after each action, and its calls of the definition
// dialog.

#include <gtest/gtest.h>

#include "editors/EditOutputFormats.h"
#include "editors/ScriptedEditorView.h"
#include "formats/OutputFormats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/Preferences.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using testing::ScriptedEditorView;

class EditOutputFormatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    outputFormats.setOutputFormatsArray(
        Value(Value::Array{newOutputFormat("Budget"), newOutputFormat("Checking")}));
  }
  std::vector<std::string> storedNames() const {
    std::vector<std::string> names;
    for (const Value& format : prefs.objectForKey("OutputFormats").toArray())
      names.push_back(str(format, "Name"));
    return names;
  }

  testing::ScratchStore scratch;
  CVPrefs& prefs = scratch.prefs;
  testing::ScriptedPlatform platform;
  testing::RecordingHost host;
  Preferences options{prefs};
  Categories categories{prefs, platform};
  OutputFormats outputFormats{prefs, options, categories, Bundle::builtIn()};
  // The definition dialog: records its calls and defines what the person would.
  std::vector<std::pair<int, std::string>> dialogs;
  EditOutputFormats editor{
      outputFormats, host, [this](int index, const std::string& name) {
        dialogs.emplace_back(index, name);
        Value format = newOutputFormat(index < 0 ? outputFormats.uniqueNameForName(name) : "Audit");
        if (index >= 0) outputFormats.deleteFormatAtIndex(index);
        outputFormats.addFormat(format);
      }};
};

TEST_F(EditOutputFormatsTest, EachActionReachesTheStoreAtOnce) {
  using Names = std::vector<std::string>;
  ScriptedEditorView view({[&](TableEditor& e) {
    EXPECT_FALSE(host.enabled);
    e.table().selectRow(1);
    e.perform("duplicateSelectedTableEntry");
    e.table().selectRow(1);
    e.perform("duplicateSelectedTableEntry");
    EXPECT_EQ(storedNames(),
              (Names{"Budget", "Checking", "Checking copy", "Checking copy 2", "QIF"}));
    EXPECT_EQ(e.table().addEntry(), -1);
    EXPECT_EQ(storedNames(),
              (Names{"Budget", "Checking", "Checking copy", "Checking copy 2", "new", "QIF"}));
    EXPECT_EQ(e.table().numberOfRows(), 5);
    e.table().setSelectedRows({1, 2, 3});
    EXPECT_FALSE(e.form().buttons[0].enabled);
    e.table().deleteSelectedRows();
    EXPECT_EQ(storedNames(), (Names{"Budget", "new", "QIF"}));
    EXPECT_TRUE(e.table().setValueAt(0, 0, Value("qif")).has_value());
    EXPECT_TRUE(e.table().setValueAt(0, 0, Value("NEW")).has_value());
    EXPECT_EQ(e.table().setValueAt(0, 0, Value("Zoo")), std::nullopt);
    EXPECT_EQ(storedNames(), (Names{"new", "Zoo", "QIF"}));
    // Editing stores the table first, so the dialog's index is the stored one.
    EXPECT_TRUE(e.table().editEntryAtIndex(1));
    EXPECT_EQ(e.table().selectedRow(), 0);
    return false;
  }});
  editor.beginEditing(view);
  EXPECT_TRUE(host.enabled);
  EXPECT_EQ(dialogs, (std::vector<std::pair<int, std::string>>{{-1, "new"}, {1, "Zoo"}}));
  EXPECT_EQ(storedNames(), (Names{"Audit", "new", "QIF"}));
}

}  // namespace
}  // namespace corvela
