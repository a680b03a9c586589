// The table every list and format editor edits its array through: what the array holds and
// what the owner hears after each sequence of actions.

#include <gtest/gtest.h>

#include <functional>

#include "editors/TableArray.h"

namespace corvela {
namespace {

struct Recorder : TableArrayDelegate {
  void tableArrayChanged(TableArray&) override { ++changes; }
  void tableArraySelectionDidChange(TableArray&) override { ++selections; }
  std::optional<std::string> tableArrayAddEntryError(TableArray&,
                                                     const std::string& entry) override {
    if (entry == "bad") return std::string("refused");
    return std::nullopt;
  }
  int changes = 0;
  int selections = 0;
};

struct Case {
  const char* name;
  std::function<void(TableArray&)> actions;
  Value::Array expected;
  int changes;
};

TEST(TableArray, StringsAfterEachSequenceOfActions) {
  const Case cases[] = {
      {"typed new entry is added",
       [](TableArray& t) { t.setValueAt(t.addEntry(), 0, "c"); },
       {"a", "b", "c"},
       1},
      {"refused new entry goes again",
       [](TableArray& t) { EXPECT_EQ(t.setValueAt(t.addEntry(), 0, "bad"), "refused"); },
       {"a", "b"},
       0},
      {"empty new entry goes again",
       [](TableArray& t) { t.setValueAt(t.addEntry(), 0, ""); },
       {"a", "b"},
       0},
      {"abandoned new entry goes again",
       [](TableArray& t) {
         t.addEntry();
         t.cancelNewEntry();
       },
       {"a", "b"},
       0},
      {"second add drops the untyped first",
       [](TableArray& t) {
         t.addEntry();
         t.setValueAt(t.addEntry(), 0, "d");
       },
       {"a", "b", "d"},
       1},
      {"in-place edit of an existing entry is never an add check",
       [](TableArray& t) { t.setValueAt(0, 0, "bad"); },
       {"bad", "b"},
       1},
      {"delete selected rows",
       [](TableArray& t) {
         t.setSelectedRows({1, 0, 1});
         t.deleteSelectedRows();
       },
       {},
       1},
      {"delete with nothing selected",
       [](TableArray& t) { t.deleteSelectedRows(); },
       {"a", "b"},
       0},
      {"deleting the untyped new row is no change",
       [](TableArray& t) {
         t.addEntry();
         t.deleteSelectedRows();
       },
       {"a", "b"},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    TableArray table(Value(Value::Array{"a", "b"}), recorder, {{}});
    c.actions(table);
    EXPECT_EQ(table.array(), Value(c.expected));
    EXPECT_EQ(recorder.changes, c.changes);
    EXPECT_EQ(table.pendingNewRow(), -1);
  }
}

TEST(TableArray, RecordColumnsReadAndWriteTheirKinds) {
  Recorder recorder;
  TableArray table(Value(Value::Array{Value{{"Name", "X"}}}), recorder,
                   {{"Name"},
                    {"On", "", ColumnKind::CheckBox},
                    {"Kind", "", ColumnKind::Choice, {"one", "two"}}});
  EXPECT_EQ(table.valueAt(0, 1), Value(false));  // absent reads unchecked
  table.setValueAt(0, 1, Value(true));
  table.setValueAt(0, 2, Value(1));
  EXPECT_EQ(table.textAt(0, 2), "two");
  EXPECT_EQ(table.array()[0], (Value{{"Name", "X"}, {"On", true}, {"Kind", 1}}));
  int row = table.addEntry();
  EXPECT_EQ(table.array()[static_cast<std::size_t>(row)], (Value{{"Name", ""}, {"Kind", 0}}));
  EXPECT_EQ(table.selectedRow(), row);
  EXPECT_EQ(recorder.changes, 2);
}

}  // namespace
}  // namespace corvela
