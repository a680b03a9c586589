// The instruction editor: its list after a run, its edit dialog opened from the list or from the
// confirmation dialog, and what each edit leaves in the store.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editors/InstructionEditorHarness.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"
#include "text/CaseInsensitive.h"

namespace corvela::testing {
namespace {

using Field = InstructionEditField;
using Switch = InstructionEditSwitch;
using Tab = InstructionEditTab;

// The store of tests/data/editors/NAME.json.
std::string store(const std::string& name) {
  return readText(std::string(CORVELA_TEST_DATA) + "/editors/" + name + ".json");
}

// Each case edits one stored instruction as a person would. What the store holds afterwards (the
// match strings in order, with the whole record where it changed), how the dialog ended, the
// warning under the match field and the number of alerts are compared with
// tests/data/editors/NAME.txt, NAME naming the store too.
struct EditCase {
  const char* name;
  const char* match;
  std::function<void(EditInstructions&)> actions;
  std::optional<std::string> mustMatch = std::nullopt;
  bool contains = false;  // matchDescriptionWithContains
};

// Plays `cases` over the store NAME; with `save`, each case ends with Save, and what the dialog
// said it would save must be what it saved.
void expectEdits(const std::string& name, const std::vector<EditCase>& cases, bool save) {
  const std::string storeJSON = store(name);
  const Value original = fromJSON(storeJSON).value()["Instructions"];
  std::string log;
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    InstructionEditorHarness h;
    ASSERT_TRUE(h.loadStore(storeJSON).ok());
    if (c.contains) h.setOptions({option::matchDescriptionWithContains});
    h.edit(c.match, c.mustMatch);
    h.platform.answerNextAlert(0);  // the refusal of a category, where a case meets one
    c.actions(h.editor);
    if (save) {
      const Value preview = h.editor.changedInstruction();
      h.editor.save();
      if (!h.editor.editing()) {
        EXPECT_EQ(toJSON(h.instructions.instructionFor(c.match).value_or(Value())),
                  toJSON(preview));
      }
    }
    log += "== " + std::string(c.name) + "\n";
    for (const Value& record : h.store.prefs.objectForKey("Instructions").toArray()) {
      bool kept = false;
      for (const Value& old : original.toArray()) kept = kept || old == record;
      log += matchString(record) + (kept ? "\n" : " " + toJSON(record) + "\n");
    }
    for (auto [cancelled, position] : h.ended)
      log += (cancelled ? "cancelled at " : "saved at ") + std::to_string(position) + "\n";
    if (h.ended.empty())
      log += h.editor.editing() ? "still editing\n" : "neither ended nor editing\n";
    if (auto warning = h.editor.editForm().matchWarning)
      log += "warning: " + std::string(*warning) + "\n";
    log += "alerts " + std::to_string(h.platform.alerts.size()) + "\n";
  }
  expectDataFile("editors/" + name + ".txt", log);
}

TEST(EditInstructionsTest, WhatEachEditLeavesInTheStore) {
  expectEdits(
      "edit-instructions",
      {
          {"shortening keeps matching; growing past the description is refused", "AMAZON MKTP",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::match, "AMAZON MKTP X");
             e.controlTextDidChange(Field::match, "AMAZON MK");
             e.save();
           },
           "AMAZON MKTP US"},
          {"a letter the original lacks cannot be saved when it must keep matching", "AMAZON MKTP",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::match, "MKTPX");
             e.save();
           },
           "AMAZON MKTP US", true},
          {"renaming onto another match string replaces that instruction", "AMAZON MKTP",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::match, "amazon");
             e.save();
           }},
          {"delete", "CORNER GROC", [](EditInstructions& e) { e.deleteInstruction(); }},
          {"cancel stores nothing", "AMAZON",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::category, "Books");
             e.cancel();
           }},
          {"a transfer to an unknown account is refused before anything is stored", "AMAZON",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::match, "AMAZON.COM");
             e.controlTextDidChange(Field::category, "[Nowhere]");
             e.save();
           }},
          {"edits of one amount survive choosing another; splits balance on the amount",
           "CORNER GROC",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::amountDescription, "Big party");
             e.controlTextDidChange(Field::amount, "-45.00");
             e.selectTab(Tab::amount);
             e.addRemoveSplits();
             e.tableSetCell(Tab::amount, "amount", 1, "-5");
             e.tableSetCell(Tab::amount, "category", 1, "Dining");
             e.save();
           }},
          {"deleting every amount instruction removes the key; splits and switches are kept",
           "CORNER GROC",
           [](EditInstructions& e) {
             e.deleteAmount();
             e.deleteAmount();
             e.addRemoveSplits();
             e.tableSetCell(Tab::regular, "category", 1, "Dining");
             e.setSwitch(InstructionEditSwitch::extractNumber, true);
             e.setSwitch(InstructionEditSwitch::useMemo, true);
             e.controlTextDidChange(Field::newMemo, "weekly");
             e.save();
           }},
          {"a category instruction keeps its match string", "Fuel",
           [](EditInstructions& e) {
             e.controlTextDidChange(Field::match, "Gas");
             e.controlTextDidChange(Field::category, "Car");
             e.save();
           }},
      },
      false);
}

// Sessions on the amount and split parts of the dialog, each ending with Save.
TEST(InstructionEditSessionTest, AmountAndSplitEditsReachTheStore) {
  expectEdits(
      "instruction-edit-sessions",
      {
          {"amount memo, splits added and one more, balanced on the amount at the store's "
           "precision",
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
      },
      true);
}

// The list after a run: each instruction counts the transactions it matched, and the ones it
// lists are exactly those, in run order; typing narrows the list, Delete takes the selected
// instruction out of the store at once.
TEST(InstructionListTest, MatchesOfTheLastRunFilterAndDelete) {
  InstructionEditorHarness h;
  // With nothing stored yet no list opens, and the status says why.
  h.editor.beginEditing();
  EXPECT_FALSE(h.editor.listOpen());
  EXPECT_EQ(h.platform.lastStatus().title, EditInstructions::kNoInstructionsTitle);
  ASSERT_TRUE(h.loadStore(store("instruction-list")).ok());
  const std::string qif =
      readText(std::string(CORVELA_TEST_DATA) + "/editors/instruction-list.qif");
  h.readQIF(qif);
  h.run({press::ok(), press::skip()});  // COFFEE asks to confirm; the unknown shop is skipped

  h.editor.beginEditing();
  ASSERT_TRUE(h.editor.listOpen());
  int counted = 0;
  for (std::size_t row = 0; row < h.editor.listForm().rows.size(); ++row) {
    h.editor.listSelectionChanged(row);
    const InstructionListForm& form = h.editor.listForm();
    EXPECT_EQ(form.rows[row].matches, static_cast<int>(form.matchedTransactions.size()));
    for (const InstructionMatch& match : form.matchedTransactions)
      EXPECT_TRUE(beginsWithIgnoringCase(match.description, form.rows[row].match));
    counted += form.rows[row].matches;
  }
  EXPECT_EQ(counted, 4);
  h.editor.listSelectionChanged(2);
  EXPECT_EQ(h.editor.listForm().matchedTransactions,
            (std::vector<InstructionMatch>{{"GROCER", "03/01/2024", "-12.50", "Grocer Lane"},
                                           {"GROCER", "03/03/2024", "-7.00", "GROCER TOWN"}}));

  h.editor.listFilterChanged("e");
  ASSERT_EQ(h.editor.listForm().rows.size(), 2u);  // COFFEE, GROCER
  h.editor.listSelectionChanged(1);
  h.editor.deleteSelectedInstruction();
  EXPECT_EQ(h.instructions.numberOfInstructions(), 2u);
  EXPECT_FALSE(h.instructions.instructionFor("GROCER"));
  ASSERT_EQ(h.editor.listForm().rows.size(), 1u);
  EXPECT_EQ(h.editor.listForm().selectedRow, 0u);

  // Editing from the list: the saved instruction is selected where it now stands, and keeps
  // the last run's matches while its match string differs only in case.
  h.editor.listFilterChanged("");
  for (const auto& [match, matches] : {std::pair{"Coffee", 1}, std::pair{"CAFE", 0}}) {
    h.editor.editEntryAtIndex(1);
    h.editor.controlTextDidChange(InstructionEditField::match, match);
    h.editor.save();
    EXPECT_EQ(h.editor.listForm().rows[*h.editor.listForm().selectedRow].match, match);
    EXPECT_EQ(h.editor.listForm().rows[*h.editor.listForm().selectedRow].matches, matches);
  }
}

// From the confirmation dialog: Cancel shows the transaction again as it was; saving handles
// it again under the edited instruction; a run that went on meanwhile is left alone.
TEST(InstructionListTest, EditingFromTheConfirmationDialog) {
  InstructionEditorHarness h;
  ASSERT_TRUE(h.loadStore(store("instruction-list")).ok());
  h.readQIF("!Type:Bank\nD03/02/2024\nT-5.00\nPCoffee Hut\n^\n");
  h.start();
  ASSERT_EQ(h.confirm().confirmedCategory, "Dining");
  ASSERT_EQ(h.confirm().instructionPopUpMenuItems.back().title, kEditThisInstruction);
  const std::size_t shown = h.confirmView.shown.size();

  h.processor.confirmEditInstruction();
  ASSERT_TRUE(h.editor.editing());
  EXPECT_EQ(h.editor.editForm().matchRestriction, "Coffee Hut");
  h.editor.controlTextDidChange(InstructionEditField::category, "Food");
  h.editor.cancel();
  EXPECT_EQ(h.confirmView.shown.size(), shown + 1);
  EXPECT_EQ(h.confirm().confirmedCategory, "Dining");
  EXPECT_EQ(str(*h.instructions.instructionFor("COFFEE"), "category"), "Dining");

  h.processor.confirmEditInstruction();
  h.editor.controlTextDidChange(InstructionEditField::category, "Food");
  h.editor.save();
  ASSERT_EQ(h.processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);
  EXPECT_EQ(h.confirm().confirmedCategory, "Food");
  h.processor.confirmOK();
  EXPECT_NE(h.output.find("LFood"), std::string::npos) << h.output;
}

}  // namespace
}  // namespace corvela::testing
