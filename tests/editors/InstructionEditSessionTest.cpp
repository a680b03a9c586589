#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editors/InstructionEditorHarness.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

using Field = InstructionEditField;
using Switch = InstructionEditSwitch;
using Tab = InstructionEditTab;

constexpr const char* kStore = R"({
  "bccAmountsPrecision": 3,
  "Categories": ["Dining", "Groceries", "Rent", "Utilities"],
  "Instructions": [
    {"descriptionMatch": "CORNER GROC", "category": "Groceries", "amounts": [
      {"amount": "-120.00", "amountDescription": "Party", "amountCategory": "Dining"},
      {"amount": "-45.00", "amountDescription": "Corner", "amountCategory": "Groceries"}]},
    {"descriptionMatch": "LANDLORD", "category": "", "newMemo": "flat", "splits": [
      {"category": "Rent", "memo": "", "amount": "-900.00"},
      {"category": "Utilities", "memo": "", "amount": "-100.00"}]}]})";

// A session on the amount and split parts of the dialog, ending with Save: the record stored, or
// nothing with the dialog still open, is compared with
// tests/data/editors/instruction-edit-sessions.txt.
struct SessionCase {
  const char* name;
  const char* match;
  std::function<void(EditInstructions&)> actions;
};

TEST(InstructionEditSessionTest, AmountAndSplitEditsReachTheStore) {
  const SessionCase cases[] = {
      {"amount memo, splits added and one more, balanced on the amount at the store's precision",
       "CORNER GROC",
       [](EditInstructions& e) {
         e.selectTab(Tab::amount);
         e.setSwitch(Switch::amountUseMemo, true);
         e.controlTextDidChange(Field::amountMemo, "cake");
         e.addRemoveSplits();
         e.addSplit(Tab::amount);
         e.tableSetCell(Tab::amount, "amount", 1, "-20");
         e.tableSetCell(Tab::amount, "category", 1, "Groceries");
         e.tableSetCell(Tab::amount, "amount", 2, "-5.5");
         e.tableSetCell(Tab::amount, "category", 2, "Dining");
       }},
      {"deleting selected splits gives their amounts back to the first; all of them never go",
       "CORNER GROC",
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::amount, "-45.00");
         e.selectTab(Tab::amount);
         e.setSwitch(Switch::amountConfirm, true);
         e.addRemoveSplits();
         e.addSplit(Tab::amount);
         e.addSplit(Tab::amount);
         e.tableSetCell(Tab::amount, "amount", 1, "-10");
         e.tableSetCell(Tab::amount, "amount", 2, "-20");
         e.tableSetCell(Tab::amount, "amount", 3, "-5");
         e.tableSelectionChanged(Tab::amount, {2, 1, 2});
         e.deleteSelectedSplit(Tab::amount);
         e.tableSelectionChanged(Tab::amount, {0, 1});
         e.deleteSelectedSplit(Tab::amount);
       }},
      {"splits removed again leave the plain category", "LANDLORD",
       [](EditInstructions& e) {
         e.addRemoveSplits();
         e.controlTextDidChange(Field::category, "Rent");
         e.setSwitch(Switch::useMemo, false);
       }},
      {"an amount category the list refuses stores nothing", "CORNER GROC",
       [](EditInstructions& e) { e.controlTextDidChange(Field::amountCategory, "[Nowhere]"); }},
      {"an empty amount description cannot be saved", "CORNER GROC",
       [](EditInstructions& e) { e.controlTextDidChange(Field::amountDescription, ""); }},
      {"a cell given the value it has, and amount switches with no amount tab, are no edit",
       "LANDLORD",
       [](EditInstructions& e) {
         e.tableSetCell(Tab::regular, "category", 0, "Rent");
         e.tableSetCell(Tab::regular, "category", 9, "Rent");
         e.tableSetCell(Tab::regular, "nonsense", 0, "x");
         e.setSwitch(Switch::amountConfirm, true);
         e.setSwitch(Switch::amountUseMemo, true);
         e.selectTab(Tab::amount);
       }},
  };
  std::string log;
  for (const SessionCase& c : cases) {
    SCOPED_TRACE(c.name);
    InstructionEditorHarness h;
    ASSERT_TRUE(h.loadStore(kStore).ok());
    const std::string before = h.storedJSON();
    h.edit(c.match);
    h.platform.answerNextAlert(0);
    c.actions(h.editor);
    const Value preview = h.editor.changedInstruction();
    h.editor.save();
    log += "== " + std::string(c.name) + "\n";
    if (h.editor.editing()) {
      log += h.storedJSON() == before ? "nothing stored, still editing\n" : "stored, yet editing\n";
      continue;
    }
    const Value stored = h.instructions.instructionFor(c.match).value_or(Value());
    log += toJSON(stored);
    // What the dialog said it would save is what it saved.
    EXPECT_EQ(toJSON(stored), toJSON(preview));
  }
  expectDataFile("editors/instruction-edit-sessions.txt", log);
}

}  // namespace
}  // namespace corvela::testing
