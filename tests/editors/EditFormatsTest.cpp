// The input format editor: what the stored formats hold after each action, OK and Cancel.

#include <gtest/gtest.h>

#include "editors/EditFormats.h"
#include "editors/ScriptedEditorView.h"
#include "inputformats/Formats.h"
#include "prefs/Bundle.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using testing::ScriptedEditorView;
using Step = ScriptedEditorView::Step;

class EditFormatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefs.setObject(
        "Formats",
        Value(Value::Array{
            Value{{"Name", "Bank"}, {"Match", "Date,Amount"}, {"dontWarn", true}},
            Value{{"Name", "Broker"},
                  {"TypeMappings",
                   Value(Value::Array{Value{{"formatType", "BUY"}, {"quickenType", 66}},
                                      Value{{"formatType", "FEE"}, {"quickenType", 100}}})},
                  {"SecurityMappings",
                   Value(Value::Array{Value{{"formatName", "ACM"}, {"quickenName", "Acme"}}})}}}));
  }
  // Runs the editor over the scripted steps (the first is the editor window).
  void run(std::deque<Step> steps) {
    ScriptedEditorView view(std::move(steps));
    editor.beginEditing(view);
    forms = view.forms;
    EXPECT_TRUE(host.enabled);
  }

  testing::ScratchStore scratch;
  CVPrefs& prefs = scratch.prefs;
  testing::ScriptedPlatform platform;
  testing::RecordingHost host;
  Formats formats{prefs};
  EditFormats editor{formats, Bundle::builtIn(), platform, host};
  std::vector<TableEditorForm> forms;
};

TEST_F(EditFormatsTest, OkStoresTheTableAndCancelNothing) {
  struct Case {
    const char* name;
    std::function<void(TableEditor&)> work;
    bool ok;
    std::vector<std::string> names;
    std::vector<std::string> dontWarn;  // "1" where set
  };
  const Case cases[] = {
      {"warn boxes map back to dontWarn",
       [](TableEditor& e) {
         EXPECT_EQ(e.table().valueAt(0, 2), Value(false));
         EXPECT_EQ(e.table().valueAt(1, 2), Value(true));
         e.table().setValueAt(0, 2, Value(true));
         e.table().setValueAt(1, 2, Value(false));
       },
       true,
       {"Bank", "Broker"},
       {"", "1"}},
      {"duplicates sort into place",
       [](TableEditor& e) {
         e.table().selectRow(0);
         e.perform("duplicateSelectedTableEntry");
         e.table().selectRow(0);
         e.perform("duplicateSelectedTableEntry");
       },
       true,
       {"Bank", "Bank copy", "Bank copy 2", "Broker"},
       {"1", "1", "1", ""}},
      {"rename moves the format to its place",
       [](TableEditor& e) { EXPECT_EQ(e.table().setValueAt(0, 0, Value("Card")), std::nullopt); },
       true,
       {"Broker", "Card"},
       {"", "1"}},
      {"rename onto another name in any case is refused",
       [](TableEditor& e) {
         EXPECT_TRUE(e.table().setValueAt(0, 0, Value("BROKER")).has_value());
         EXPECT_NE(e.form().message, "");
       },
       true,
       {"Bank", "Broker"},
       {"1", ""}},
      {"cancel after a rename and a deletion",
       [](TableEditor& e) {
         e.table().setValueAt(0, 0, Value("Card"));
         e.table().selectRow(1);
         e.table().deleteSelectedRows();
       },
       false,
       {"Bank", "Broker"},
       {"1", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    run({[&](TableEditor& e) {
      EXPECT_FALSE(host.enabled);
      c.work(e);
      return c.ok;
    }});
    std::vector<std::string> names, dontWarn;
    for (const Value& format : formats.getExtractFormatsArray().toArray()) {
      names.push_back(str(format, "Name"));
      dontWarn.push_back(format["dontWarn"].toBool() ? "1" : "");
    }
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(dontWarn, c.dontWarn);
  }
}

TEST_F(EditFormatsTest, ButtonsFollowTheSelection) {
  auto enabled = [](const TableEditorForm& form) {
    std::string flags;
    for (const EditorButton& button : form.buttons) flags += button.enabled ? '1' : '0';
    return flags;
  };
  run({[&](TableEditor& e) {
    EXPECT_EQ(enabled(e.form()), "000");
    e.table().selectRow(1);
    EXPECT_EQ(enabled(e.form()), "111");
    e.table().setSelectedRows({0, 1});
    EXPECT_EQ(enabled(e.form()), "011");  // several rows: the mapping items keep their state
    e.table().selectRow(0);
    EXPECT_EQ(enabled(e.form()), "100");
    return false;
  }});
}

TEST_F(EditFormatsTest, MappingWindowsShowTypesAndStoreWhatIsLeftOnOk) {
  auto deleteFirstRow = [](bool ok) {
    return [ok](TableEditor& e) {
      e.table().selectRow(0);
      e.table().deleteSelectedRows();
      return ok;
    };
  };
  run({[](TableEditor& e) {
         e.table().selectRow(1);
         e.perform("deleteTypes");
         e.perform("deleteSecurities");
         e.perform("deleteSecurities");
         return true;
       },
       [](TableEditor& e) {
         EXPECT_EQ(e.table().textAt(0, 1), "Buy");
         EXPECT_EQ(e.table().textAt(0, 3), "YES");
         EXPECT_EQ(e.table().textAt(1, 1), "Always Skip");
         EXPECT_EQ(e.table().textAt(1, 3), "");
         e.table().selectRow(0);
         e.table().deleteSelectedRows();
         return true;
       },
       deleteFirstRow(false), deleteFirstRow(true)});
  EXPECT_EQ(forms[1].title, "Delete Types For Input Format: Broker");
  EXPECT_EQ(forms[2].title, "Delete Securities For Input Format: Broker");
  const Value broker = formats.getExtractFormatsArray()[1];
  EXPECT_EQ(broker["TypeMappings"],
            Value(Value::Array{Value{{"formatType", "FEE"}, {"quickenType", 100}}}));
  EXPECT_EQ(broker["SecurityMappings"], Value(Value::array()));
}

// With no format stored there is nothing to open: the person is told so and no window opens.
TEST_F(EditFormatsTest, NoFormatsOpensNoWindow) {
  prefs.setObject("Formats", Value::array());
  run({});
  EXPECT_TRUE(forms.empty());
  EXPECT_EQ(platform.lastStatus().title, "Nothing To Edit");
}

}  // namespace
}  // namespace corvela
