// The table editors: the table every editor edits its array through, and the input format,
// output format and list editors: what the store holds after a person worked in each window and
// closed it.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <stdexcept>

#include "editors/EditFormats.h"
#include "editors/EditOutputFormats.h"
#include "editors/EditorHost.h"
#include "editors/ListEditors.h"
#include "editors/TableArray.h"
#include "editors/TableEditor.h"
#include "formats/OutputFormats.h"
#include "inputformats/Formats.h"
#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "lists/Securities.h"
#include "prefs/Bundle.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela::testing {
namespace {

// Editor windows as scripted: each window that opens takes the next step, which works the
// editor and answers OK (true) or not. The forms seen are kept.
class ScriptedEditorView : public TableEditorView {
 public:
  using Step = std::function<bool(TableEditor&)>;
  explicit ScriptedEditorView(std::deque<Step> steps = {}) : steps_(std::move(steps)) {}
  void then(Step step) { steps_.push_back(std::move(step)); }
  bool runModal(TableEditor& editor) override {
    if (steps_.empty()) throw std::logic_error("an unexpected editor window opened");
    Step step = std::move(steps_.front());
    steps_.pop_front();
    forms.push_back(editor.form());
    return step(editor);
  }
  std::vector<TableEditorForm> forms;

 private:
  std::deque<Step> steps_;
};

struct RecordingHost : EditorHost {
  void disableMenuItems() override { enabled = false; }
  void enableMenuItems() override { enabled = true; }
  bool enabled = true;
};

// A store, a platform and a host for an editor.
class EditorTest : public ::testing::Test {
 protected:
  ScratchStore scratch;
  CVPrefs& prefs = scratch.prefs;
  ScriptedPlatform platform;
  RecordingHost host;
};

// The names of the records of `array`, each followed by a blank; `flag`, when given, marks
// those records where it is on with "*".
std::string names(const Value& array, const char* flag = nullptr) {
  std::string text;
  for (const Value& record : array.toArray())
    text += str(record, "Name") + (flag && record[flag].toBool() ? "* " : " ");
  return text;
}

struct Recorder : TableArrayDelegate {
  void tableArrayChanged(TableArray&) override { ++changes; }
  std::optional<std::string> tableArrayAddEntryError(TableArray&, const std::string& e) override {
    return e == "bad" ? std::optional<std::string>("refused") : std::nullopt;
  }
  int changes = 0;
};

TEST(TableArray, StringsAfterEachSequenceOfActions) {
  using Act = std::function<void(TableArray&)>;
  auto type = [](const char* text) {
    return [text](TableArray& t) { t.setValueAt(t.addEntry(), 0, Value(text)); };
  };
  const struct {
    const char* name;
    Act act;
    const char* after;  // the strings, then the number of changes the owner heard of
  } cases[] = {
      {"typed new entry", type("c"), "a b c / 1"},
      {"refused new entry goes", type("bad"), "a b / 0"},
      {"empty new entry goes", type(""), "a b / 0"},
      {"abandoned new entry goes", [](TableArray& t) { t.addEntry(), t.cancelNewEntry(); },
       "a b / 0"},
      {"second add drops the untyped first", [&](TableArray& t) { t.addEntry(), type("d")(t); },
       "a b d / 1"},
      {"in-place edit is no add", [](TableArray& t) { t.setValueAt(0, 0, "bad"); }, "bad b / 1"},
      {"delete selected",
       [](TableArray& t) {
         t.setSelectedRows({1, 0, 1}), t.deleteSelectedRows();
       },
       "/ 1"},
      {"delete the untyped new row", [](TableArray& t) { t.addEntry(), t.deleteSelectedRows(); },
       "a b / 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    TableArray table(Value(Value::Array{"a", "b"}), recorder, {{}});
    c.act(table);
    std::string after;
    for (const Value& text : table.array().toArray()) after += text.toString() + " ";
    EXPECT_EQ(after + "/ " + std::to_string(recorder.changes), c.after);
    EXPECT_EQ(table.pendingNewRow(), -1);
  }
}

TEST(TableArray, RecordColumnsReadAndWriteTheirKinds) {
  Recorder recorder;
  TableArray table(
      Value(Value::Array{Value{{"Name", "X"}}}), recorder,
      {{"Name"}, {"On", "", ColumnKind::CheckBox}, {"K", "", ColumnKind::Choice, {"1", "2"}}});
  EXPECT_EQ(table.valueAt(0, 1), Value(false));  // absent reads unchecked
  table.setValueAt(0, 1, Value(true));
  table.setValueAt(0, 2, Value(1));
  EXPECT_EQ(table.textAt(0, 2), "2");
  EXPECT_EQ(table.array()[0], (Value{{"Name", "X"}, {"On", true}, {"K", 1}}));
  EXPECT_EQ(table.array()[static_cast<std::size_t>(table.addEntry())],
            (Value{{"Name", ""}, {"K", 0}}));
}

class EditFormatsTest : public EditorTest {
 protected:
  void SetUp() override {
    prefs.setObject("Formats", fromJSON(R"([
        {"Name": "Bank", "Match": "Date,Amount", "dontWarn": true},
        {"Name": "Broker", "TypeMappings": [{"formatType": "BUY", "quickenType": 66},
                                            {"formatType": "FEE", "quickenType": 100}],
         "SecurityMappings": [{"formatName": "ACM", "quickenName": "Acme"}]}])")
                                   .value());
  }
  // Runs the editor over the scripted steps (the first is the editor window).
  void run(std::deque<ScriptedEditorView::Step> steps) {
    ScriptedEditorView view(std::move(steps));
    editor.beginEditing(view);
    forms = view.forms;
    EXPECT_TRUE(host.enabled);
  }

  Formats formats{prefs};
  EditFormats editor{formats, Bundle::builtIn(), platform, host};
  std::vector<TableEditorForm> forms;
};

TEST_F(EditFormatsTest, OkStoresTheTableAndCancelNothing) {
  struct Case {
    const char* name;
    std::function<void(TableEditor&)> work;
    bool ok;
    const char* stored;  // the names, "*" marking those that do not warn
  };
  const Case cases[] = {
      {"warn boxes map back to dontWarn",
       [](TableEditor& e) {
         EXPECT_EQ(e.table().valueAt(0, 2), Value(false));
         EXPECT_EQ(e.table().valueAt(1, 2), Value(true));
         e.table().setValueAt(0, 2, Value(true));
         e.table().setValueAt(1, 2, Value(false));
       },
       true, "Bank Broker* "},
      {"duplicates sort into place",
       [](TableEditor& e) {
         e.table().selectRow(0);
         e.perform("duplicateSelectedTableEntry");
         e.table().selectRow(0);
         e.perform("duplicateSelectedTableEntry");
       },
       true, "Bank* Bank copy* Bank copy 2* Broker "},
      {"rename moves the format to its place",
       [](TableEditor& e) { EXPECT_EQ(e.table().setValueAt(0, 0, Value("Card")), std::nullopt); },
       true, "Broker Card* "},
      {"rename onto another name in any case is refused",
       [](TableEditor& e) {
         EXPECT_TRUE(e.table().setValueAt(0, 0, Value("BROKER")).has_value());
         EXPECT_NE(e.form().message, "");
       },
       true, "Bank* Broker "},
      {"cancel after a rename and a deletion",
       [](TableEditor& e) {
         e.table().setValueAt(0, 0, Value("Card"));
         e.table().selectRow(1);
         e.table().deleteSelectedRows();
       },
       false, "Bank* Broker "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    run({[&](TableEditor& e) {
      EXPECT_FALSE(host.enabled);
      c.work(e);
      return c.ok;
    }});
    EXPECT_EQ(names(formats.getExtractFormatsArray(), "dontWarn"), c.stored);
  }
}

TEST_F(EditFormatsTest, ButtonsFollowTheSelectionAndNoFormatOpensNoWindow) {
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

  // With no format stored there is nothing to open: the person is told so and no window opens.
  prefs.setObject("Formats", Value::array());
  run({});
  EXPECT_EQ(forms.size(), 0u);
  EXPECT_EQ(platform.lastStatus().title, "Nothing To Edit");
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
         const TableArray& t = e.table();
         EXPECT_EQ(
             t.textAt(0, 1) + "|" + t.textAt(0, 3) + "|" + t.textAt(1, 1) + "|" + t.textAt(1, 3),
             "Buy|YES|Always Skip|");
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

class EditOutputFormatsTest : public EditorTest {
 protected:
  void SetUp() override {
    outputFormats.setOutputFormatsArray(
        Value(Value::Array{newOutputFormat("Budget"), newOutputFormat("Checking")}));
  }
  std::string storedNames() const { return names(prefs.objectForKey("OutputFormats")); }

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
  ScriptedEditorView view({[&](TableEditor& e) {
    EXPECT_FALSE(host.enabled);
    e.table().selectRow(1);
    e.perform("duplicateSelectedTableEntry");
    e.table().selectRow(1);
    e.perform("duplicateSelectedTableEntry");
    EXPECT_EQ(storedNames(), "Budget Checking Checking copy Checking copy 2 QIF ");
    EXPECT_EQ(e.table().addEntry(), -1);
    EXPECT_EQ(storedNames(), "Budget Checking Checking copy Checking copy 2 new QIF ");
    EXPECT_EQ(e.table().numberOfRows(), 5);
    e.table().setSelectedRows({1, 2, 3});
    EXPECT_FALSE(e.form().buttons[0].enabled);
    e.table().deleteSelectedRows();
    EXPECT_EQ(storedNames(), "Budget new QIF ");
    EXPECT_TRUE(e.table().setValueAt(0, 0, Value("qif")).has_value());
    EXPECT_TRUE(e.table().setValueAt(0, 0, Value("NEW")).has_value());
    EXPECT_EQ(e.table().setValueAt(0, 0, Value("Zoo")), std::nullopt);
    EXPECT_EQ(storedNames(), "new Zoo QIF ");
    // Editing stores the table first, so the dialog's index is the stored one.
    EXPECT_TRUE(e.table().editEntryAtIndex(1));
    EXPECT_EQ(e.table().selectedRow(), 0);
    return false;
  }});
  editor.beginEditing(view);
  EXPECT_TRUE(host.enabled);
  EXPECT_EQ(dialogs, (std::vector<std::pair<int, std::string>>{{-1, "new"}, {1, "Zoo"}}));
  EXPECT_EQ(storedNames(), "Audit new QIF ");
}

// Types a new entry into the first column, as Add and typing do.
std::optional<std::string> add(TableEditor& editor, const std::string& text) {
  return editor.table().setValueAt(editor.table().addEntry(), 0, Value(text));
}

Value account(const char* name, const char* type) { return Value{{"Name", name}, {"Type", type}}; }

class ListEditorsTest : public EditorTest {
 protected:
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
}  // namespace corvela::testing
