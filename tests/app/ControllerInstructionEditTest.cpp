#include <gtest/gtest.h>

#include <string>

#include "app/BankingRun.h"
#include "app/ControllerFixture.h"
#include "banking/BankingCreditCardQIF.h"
#include "editors/EditInstructions.h"
#include "editors/InstructionEditorHarness.h"
#include "instructions/Instructions.h"
#include "lists/Descriptions.h"
#include "prefs/CancelConfirm.h"
#include "support/ScriptedBankViews.h"

namespace corvela::testing {
namespace {

// The controller driving the real processor, with the instruction editor beside it.
class ControllerInstructionEditTest : public ControllerTest {
 protected:
  ControllerInstructionEditTest()
      : instructions(store.prefs, options),
        descriptions(store.prefs),
        cancelConfirm(options, platform),
        processor(store.prefs, options, instructions, categories, descriptions, qifReader,
                  outputFormats, cancelConfirm, errorWarning, platform, confirmView,
                  newInstructionView),
        port(processor),
        editor(store.prefs, options, instructions, categories, descriptions, qifReader, platform,
               processor.instructionMatches(), windows, windows) {
    bankPort = &port;
    store.prefs.setObject(
        "Instructions",
        Value::Array{Value{{"descriptionMatch", "COFFEE"}, {"category", "Dining"}},
                     Value{{"descriptionMatch", "GROCER"}, {"category", "Food"}},
                     Value{{"descriptionMatch", "SALARY"}, {"category", "Income"}}});
  }

  // Converts the bank register into `name` and answers what was written.
  std::string convert(const std::string& name) {
    controller().actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/bank.qif");
    const std::string out = dir + "/" + name;
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
    controller().doneWithFile();
    return readFile(out);
  }

  Instructions instructions;
  Descriptions descriptions;
  CancelConfirm cancelConfirm;
  ScriptedConfirmView confirmView;
  ScriptedNewInstructionView newInstructionView;
  BankingCreditCardQIF processor;
  BankingRun port;
  ScriptedInstructionWindows windows;
  EditInstructions editor;
};

TEST_F(ControllerInstructionEditTest, TheNextConversionUsesTheEditedInstruction) {
  const std::string first = convert("first.qif");
  ASSERT_EQ(first, dataFile("bank-instructions-expected.qif"));

  editor.beginEditing();
  editor.listFilterChanged("cof");
  ASSERT_EQ(editor.listForm().rows.size(), 1u);
  EXPECT_EQ(editor.listForm().rows[0].matches, 1);
  editor.editEntryAtIndex(0);
  editor.controlTextDidChange(InstructionEditField::category, "Cafes");
  editor.setSwitch(InstructionEditSwitch::useDescription, true);
  editor.controlTextDidChange(InstructionEditField::newDescription, "Coffee Shop");
  editor.save();
  editor.closeList();

  std::string expected = first;
  const std::string before = "PCoffee\nM\nT-5.00\nLDining\n";
  ASSERT_NE(expected.find(before), std::string::npos);
  expected.replace(expected.find(before), before.size(), "PCoffee Shop\nM\nT-5.00\nLCafes\n");
  EXPECT_EQ(convert("second.qif"), expected);
}

}  // namespace
}  // namespace corvela::testing
