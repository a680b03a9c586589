#include <gtest/gtest.h>

#include <string>

#include "editors/InstructionEditorHarness.h"
#include "text/CaseInsensitive.h"

namespace corvela::testing {
namespace {

constexpr const char* kStore = R"({
  "Categories": ["Dining", "Food", "Shopping"],
  "Instructions": [
    {"descriptionMatch": "AMAZON", "category": "Shopping"},
    {"descriptionMatch": "COFFEE", "category": "Dining", "categoryConfirm": "Y"},
    {"descriptionMatch": "GROCER", "category": "Food"}]})";

constexpr const char* kRegister =
    "!Type:Bank\nD03/01/2024\nT-12.50\nPGrocer Lane\n^\nD03/02/2024\nT-5.00\nPCoffee Hut\n^\n"
    "D03/03/2024\nT-7.00\nPGROCER TOWN\n^\nD03/04/2024\nT-3.00\nPAmazon.com\n^\n"
    "D03/05/2024\nT-9.00\nPUnknown shop\n^\n";

// The list after a run: each instruction counts the transactions it matched, and the ones it
// lists are exactly those, in run order; typing narrows the list, Delete takes the selected
// instruction out of the store at once.
TEST(InstructionListTest, MatchesOfTheLastRunFilterAndDelete) {
  InstructionEditorHarness h;
  ASSERT_TRUE(h.loadStore(kStore).ok());
  h.readQIF(kRegister);
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

TEST(InstructionListTest, WithNothingStoredTheStatusSaysSo) {
  InstructionEditorHarness h;
  h.editor.beginEditing();
  EXPECT_FALSE(h.editor.listOpen());
  EXPECT_EQ(h.platform.lastStatus().title, EditInstructions::kNoInstructionsTitle);
}

// From the confirmation dialog: Cancel shows the transaction again as it was; saving handles
// it again under the edited instruction; a run that went on meanwhile is left alone.
TEST(InstructionListTest, EditingFromTheConfirmationDialog) {
  InstructionEditorHarness h;
  ASSERT_TRUE(h.loadStore(kStore).ok());
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
