#include <gtest/gtest.h>

#include "app/ControllerFixture.h"

namespace corvela::testing {
namespace {

const std::string kBankRegister = std::string(CORVELA_TEST_DATA) + "/app/bank.qif";

// A new name typed in the main window's output-format field opens the definition dialog; the
// format it stores becomes the chosen one and the run writes the columns as arranged there.
TEST_F(ControllerTest, AFormatDefinedFromTheMainWindowWritesItsColumnsInTheOrderChosen) {
  struct Case {
    const char* typed;
    std::function<bool(OutputFormatDefinitionDialog&)> dialog;
    const char* chosen;  // the field's text after the dialog
    const char* output;  // the file the run writes; null: the run cannot start
  };
  const Case cases[] = {
      {"Reordered", nullptr, "Reordered", nullptr},
      {"Reordered",
       [](OutputFormatDefinitionDialog& d) {
         d.selectType(2);                      // locked to the input's kind: ignored
         d.tableViewColumnDidMove(4, 0);       // Amount first
         d.tableViewColumnDidMove(6, 2);       // a blank field after the date
         d.tableViewSetObjectValue(6, false);  // no memo
         d.controlTextDidChange("Amounts First");
         return true;
       },
       "Amounts First",
       "-12.50,03/01/2024,,,Grocer,Food\n-5.00,02/10/2024,,,Coffee,\n"
       "\"1,000.00\",03/05/2024,,101,Salary,\n"},
      {"Tabbed",
       [](OutputFormatDefinitionDialog& d) {
         d.selectSeparator(1);
         d.selectAmount(1);
         d.tableViewColumnDidMove(1, 6);  // the number last
         return true;
       },
       "Tabbed",
       "03/01/2024\tGrocer\tFood\t\t-12.50\t\t\n02/10/2024\tCoffee\t\t\t-5.00\t\t\n"
       "03/05/2024\tSalary\t\t1,000.00\t\tMarch\t101\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    controller().actuallyProcessFile(kBankRegister);
    controller().controlTextDidChange(MainControl::outputFormatText, c.typed);
    definitionView.script = c.dialog;
    controller().defineOutputFormat(true);
    EXPECT_EQ(form().outputFormatText.text, c.chosen);
    EXPECT_EQ(form().processTheTransactionsButton.enabled, c.output != nullptr);
    if (c.output) {
      std::string out = dir + "/" + c.chosen + ".out";
      platform.answerNextSavePanel(out);
      controller().processTheTransactions();
      EXPECT_EQ(readFile(out), c.output);
    }
    controller().doneWithFile();
  }
}

}  // namespace
}  // namespace corvela::testing
