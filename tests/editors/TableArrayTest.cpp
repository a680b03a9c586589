// The table every editor edits its array through: the array and the owner's news after each
// sequence of actions.

#include <gtest/gtest.h>

#include <functional>

#include "editors/TableArray.h"

namespace corvela {
namespace {

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
    Value::Array expected;
    int changes;
  } cases[] = {
      {"typed new entry", type("c"), {"a", "b", "c"}, 1},
      {"refused new entry goes", type("bad"), {"a", "b"}, 0},
      {"empty new entry goes", type(""), {"a", "b"}, 0},
      {"abandoned new entry goes",
       [](TableArray& t) { t.addEntry(), t.cancelNewEntry(); },
       {"a", "b"},
       0},
      {"second add drops the untyped first",
       [&](TableArray& t) { t.addEntry(), type("d")(t); },
       {"a", "b", "d"},
       1},
      {"in-place edit is no add",
       [](TableArray& t) { t.setValueAt(0, 0, "bad"); },
       {"bad", "b"},
       1},
      {"delete selected",
       [](TableArray& t) {
         t.setSelectedRows({1, 0, 1}), t.deleteSelectedRows();
       },
       {},
       1},
      {"delete the untyped new row",
       [](TableArray& t) { t.addEntry(), t.deleteSelectedRows(); },
       {"a", "b"},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    TableArray table(Value(Value::Array{"a", "b"}), recorder, {{}});
    c.act(table);
    EXPECT_EQ(table.array(), Value(c.expected));
    EXPECT_EQ(recorder.changes, c.changes);
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

}  // namespace
}  // namespace corvela
