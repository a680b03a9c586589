// A whole session of teaching: an OFX download whose payees no instruction knows yet, the
// person teaching as the run goes, and what ends up in the output and in the store.
#include <gtest/gtest.h>

#include <string>

#include "banking/BankingHarness.h"
#include "banking/CategoryWarning.h"
#include "readers/OFXReader.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

constexpr const char* kDownload = R"(OFXHEADER:100
DATA:OFXSGML
VERSION:102

<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>USD
<BANKACCTFROM><BANKID>123<ACCTID>9876<ACCTTYPE>CHECKING</BANKACCTFROM>
<BANKTRANLIST>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240301<TRNAMT>-4.50<FITID>1<NAME>COFFEE BAR 12</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240302<TRNAMT>-82.40<FITID>2<NAME>GROCER 77</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240303<TRNAMT>-6.00<FITID>3<NAME>COFFEE BAR 19<MEMO>LATTE</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240304<TRNAMT>-30.00<FITID>4<NAME>GROCER 78</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240305<TRNAMT>-4.50<FITID>5<NAME>COFFEE BAR 33</STMTTRN>
</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
)";

constexpr const char* kCoffee = "D03/01/2024\nPCoffee\nM\nT-4.50\nLDining:Coffee\n^\n";
constexpr const char* kGrocer77 =
    "D03/02/2024\nPGROCER 77\nM\nT-82.40\nSGroceries\nE\n$-70.00\nSHousehold\nE\n$-12.40\n^\n";
constexpr const char* kCoffee19 =
    "D03/03/2024\nPCOFFEE BAR 19\nMLATTE\nT-6.00\nLDining:Snacks\n^\n";
constexpr const char* kGrocer78 =
    "D03/04/2024\nPGROCER 78\nM\nT-30.00\nSGroceries\nE\n$-25.00\nSHousehold\nE\n$-5.00\n^\n";
constexpr const char* kCoffee33 = "D03/05/2024\nPCoffee\nM\nT-4.50\nLDining:Coffee\n^\n";

TEST(TeachingSession, TeachingConfirmingAndGoingBackEndInTheExpectedOutputAndStore) {
  using Dialog = BankingCreditCardQIF::Dialog;
  BankingHarness h;
  h.options.add(option::confirmAllTransactions);
  OFXReader reader(h.store.prefs, h.options);
  OFXReadResult read =
      reader.fromOFX(kDownload, CalendarDay::distantPast(), CalendarDay::distantFuture());
  ASSERT_EQ(read.count(), 5u);
  h.processor.setTransactions(read.qif, read.mustConfirm);
  BankingCreditCardQIF& p = h.processor;
  h.start();

  // COFFEE BAR 12: an instruction with an amount instruction for -4.50.
  ASSERT_EQ(p.openDialog(), Dialog::newInstruction);
  EXPECT_TRUE(h.teach().backButtonShown);
  EXPECT_FALSE(h.teach().backButtonEnabled);
  p.controlTextDidChange(DialogField::descriptionMatch, "COFFEE BAR");
  p.controlTextDidChange(DialogField::category, "Dining");
  p.tabViewDidSelectTabViewItem(InstructionTab::amount);
  p.amountSwitch(true);
  EXPECT_FALSE(h.teach().okEnabled) << "an amount instruction needs a description";
  p.controlTextDidChange(DialogField::amountDescription, "Coffee");
  p.controlTextDidChange(DialogField::amountCategory, "Dining:Coffee");
  EXPECT_TRUE(h.teach().okEnabled);
  p.saveNewInstruction();
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  EXPECT_EQ(h.confirm().confirmedDescription, "Coffee");
  EXPECT_FALSE(p.validateMenuItem(kAddNewInstructionForThisAmount));
  p.confirmOK();

  // GROCER 77: an instruction with two splits; the Household split gets -12.40.
  ASSERT_EQ(p.openDialog(), Dialog::newInstruction);
  EXPECT_TRUE(h.teach().backButtonEnabled);
  p.controlTextDidChange(DialogField::descriptionMatch, "GROCER");
  p.controlTextDidChange(DialogField::category, "Groceries");
  p.instructionAddRemoveSplits();
  EXPECT_TRUE(h.teach().categoryConfirm) << "adding splits asks for confirmation";
  ASSERT_EQ(p.numberOfRowsInTableView(SplitTable::instruction), 2u);
  p.tableViewShouldEditTableColumn(SplitTable::instruction, "category", 1);
  p.controlTextDidChange(DialogField::splitCategoryCell, "Household");
  EXPECT_EQ(h.teach().categoryWarning, std::string(kNewCategoryWarning));
  p.tableViewSetObjectValue(SplitTable::instruction, "category", 1, "Household");
  p.saveNewInstruction();
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  EXPECT_EQ(h.confirm().splits.rows,
            (std::vector<SplitRow>{{"Groceries", "", "-82.40"}, {"Household", "", ""}}));
  p.tableViewSetObjectValue(SplitTable::confirm, "amount", 1, "-12.40");
  EXPECT_EQ(h.confirm().splits.rows[0].amount, "-70.00");
  p.confirmOK();

  // COFFEE BAR 19: confirmed with another category, for this time only.
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  EXPECT_EQ(h.confirm().confirmedCategory, "Dining");
  p.controlTextDidChange(DialogField::confirmedCategory, "Dining:Snacks");
  EXPECT_EQ(h.confirm().categoryWarning, std::string(kNewCategoryWarning));
  p.confirmOK();

  // GROCER 78, then back to COFFEE BAR 19, which is decided afresh.
  ASSERT_EQ(p.currentTransactionIndex(), 3u);
  EXPECT_EQ(h.output, std::string(kCoffee) + kGrocer77 + kCoffee19);
  p.back();
  EXPECT_EQ(h.output, std::string(kCoffee) + kGrocer77);
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  EXPECT_EQ(h.confirm().confirmedCategory, "Dining");
  p.controlTextDidChange(DialogField::confirmedCategory, "Dining:Snacks");
  EXPECT_EQ(h.confirm().categoryWarning, std::nullopt) << "known since the first OK";
  p.confirmOK();
  p.tableViewSetObjectValue(SplitTable::confirm, "amount", 1, "-5.00");
  p.confirmOK();

  // COFFEE BAR 33: the amount instruction applies.
  ASSERT_EQ(p.openDialog(), Dialog::confirm);
  p.confirmOK();

  EXPECT_EQ(h.end.calls, 1);
  EXPECT_EQ(h.end.count, 5);
  EXPECT_EQ(h.output, std::string(kCoffee) + kGrocer77 + kCoffee19 + kGrocer78 + kCoffee33);
  // What the session taught: the instructions, categories and descriptions stored.
  expectDataFile("banking/teaching-session-store.json",
                 toJSON(Value{{"Instructions", h.store.prefs.objectForKey("Instructions")},
                              {"Categories", h.categories.getCategoriesArray()},
                              {"Descriptions", h.descriptions.getDescriptionsArray()}}));
  EXPECT_TRUE(h.platform.alerts.empty());
}

}  // namespace
}  // namespace corvela::testing
