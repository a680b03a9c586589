// Splits taught in the new-instruction dialog, added, deleted and removed again, reach both the
// stored instruction and the output of the transaction that taught them.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "banking/BankingHarness.h"

namespace corvela::testing {
namespace {

using Table = SplitTable;

struct TaughtCase {
  const char* name;
  std::function<void(BankingCreditCardQIF&)> actions;
  const char* output;  // of the run, the confirmation dialog answered with OK where it opens
};

TEST(TaughtSplits, WhatTheDialogBuiltIsWhatTheRunWrites) {
  const TaughtCase cases[] = {
      {"amount splits: one added and deleted again; the first takes up the rest",
       [](BankingCreditCardQIF& p) {
         p.tabViewDidSelectTabViewItem(InstructionTab::amount);
         p.amountSwitch(true);
         p.controlTextDidChange(DialogField::amountDescription, "Market");
         p.controlTextDidChange(DialogField::amountCategory, "A");
         p.instructionAddRemoveSplits();
         p.tableViewSetObjectValue(Table::amountInstruction, "amount", 1, "-30.00");
         p.tableViewSetObjectValue(Table::amountInstruction, "category", 1, "B");
         p.amountInstructionAddSplit();
         p.tableViewSetObjectValue(Table::amountInstruction, "amount", 2, "-10.00");
         p.tableViewSelectionDidChange(Table::amountInstruction, {2});
         p.amountInstructionDeleteSelectedSplit();
       },
       "D01/02/2024\nPMarket\nM\nT-100.00\nSA\nE\n$-70.00\nSB\nE\n$-30.00\n^\n"},
      {"amount splits removed again leave the amount's category",
       [](BankingCreditCardQIF& p) {
         p.tabViewDidSelectTabViewItem(InstructionTab::amount);
         p.amountSwitch(true);
         p.controlTextDidChange(DialogField::amountDescription, "Market");
         p.instructionAddRemoveSplits();
         p.amountInstructionAddSplit();
         p.instructionAddRemoveSplits();
         p.controlTextDidChange(DialogField::amountCategory, "C");
         p.amountConfirmSwitch(false);
       },
       "D01/02/2024\nPMarket\nM\nT-100.00\nLC\n^\n"},
      {"instruction splits: a row added and deleted, then an amount given",
       [](BankingCreditCardQIF& p) {
         p.controlTextDidChange(DialogField::category, "A");
         p.instructionAddRemoveSplits();
         p.instructionAddSplit();
         p.tableViewSetObjectValue(Table::instruction, "category", 1, "B");
         p.tableViewSetObjectValue(Table::instruction, "category", 2, "X");
         p.tableViewSelectionDidChange(Table::instruction, {2});
         p.instructionDeleteSelectedSplit();
         p.tableViewSetObjectValue(Table::instruction, "amount", 1, "-25.00");
       },
       "D01/02/2024\nPSHOP\nM\nT-100.00\nSA\nE\n$-75.00\nSB\nE\n$-25.00\n^\n"},
  };
  for (const TaughtCase& c : cases) {
    SCOPED_TRACE(c.name);
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(R"({"Categories": ["A", "B", "C", "X"]})").ok());
    h.readQIF("D1/2/24\nPSHOP\nT-100.00\n^\n");
    h.start();
    BankingCreditCardQIF& p = h.processor;
    ASSERT_EQ(p.openDialog(), BankingCreditCardQIF::Dialog::newInstruction);
    p.controlTextDidChange(DialogField::descriptionMatch, "SHOP");
    c.actions(p);
    p.saveNewInstruction();
    if (p.openDialog() == BankingCreditCardQIF::Dialog::confirm) p.confirmOK();
    EXPECT_FALSE(p.running());
    EXPECT_EQ(h.output, c.output);
    // The same transaction run again under the stored instruction writes the same.
    h.output.clear();
    h.end = EndRecorder{};
    h.readQIF("D1/2/24\nPSHOP\nT-100.00\n^\n");
    h.start();
    if (p.openDialog() == BankingCreditCardQIF::Dialog::confirm) p.confirmOK();
    EXPECT_EQ(h.output, c.output);
  }
}

}  // namespace
}  // namespace corvela::testing
