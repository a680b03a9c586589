// Moving through a run with the dialogs' buttons, and every way a run ends.
#include <gtest/gtest.h>

#include <string>

#include "banking/BankingHarness.h"
#include "banking/CategoryWarning.h"
#include "banking/ContinuationKeys.h"
#include "readers/TransactionKeys.h"

namespace corvela::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

constexpr const char* kInstructions = R"({"Instructions": [
  {"descriptionMatch": "A", "category": "Ca"},
  {"descriptionMatch": "B", "category": "Cb"},
  {"descriptionMatch": "C", "category": "Cc"},
  {"descriptionMatch": "D", "category": "Cd"}
]})";
constexpr const char* kFour =
    "D1/1/24\nPA\nT-1.00\n^\nD1/2/24\nPB\nT-2.00\n^\nD1/3/24\nPC\nT-3.00\n^\nD1/4/"
    "24\nPD\nT-4.00\n^\n";
constexpr const char* kOutA = "D01/01/2024\nPA\nM\nT-1.00\nLCa\n^\n";
constexpr const char* kOutB = "D01/02/2024\nPB\nM\nT-2.00\nLCb\n^\n";
constexpr const char* kOutC = "D01/03/2024\nPC\nM\nT-3.00\nLCc\n^\n";
constexpr const char* kOutD = "D01/04/2024\nPD\nM\nT-4.00\nLCd\n^\n";

// A run over the four transactions above with every transaction confirmed.
class RunNavigationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.loadStore(kInstructions).ok());
    h.options.add(option::confirmAllTransactions);
    h.readQIF(kFour);
  }
  void start() {
    h.processor.processInstructionsAndAppendToString(h.output, h.settings, h.end.callback());
  }

  BankingHarness h;
};

TEST_F(RunNavigationTest, FinishLaterSavesTheRunAsItStands) {
  h.settings.outputFormatText = "QIF";
  h.settings.sameDateSwitch = true;
  h.settings.outputDateString = "01/31/2024";
  h.settings.outputNumberString = "77";
  h.settings.account = "Checking";
  h.output = "!Type:Bank\n";
  h.platform.answerNextCancelConfirm(CancelConfirm::finishLater);
  h.run({press::ok(), press::ok(), press::cancel()});

  EXPECT_EQ(h.end.count, 0);
  ASSERT_TRUE(h.end.continuation);
  Value c = *h.end.continuation;
  const Value& qif = c[continuationKey::qif];
  ASSERT_EQ(qif.size(), 4u);
  EXPECT_EQ(qif[0][transactionKey::outputLength], Value(11));
  EXPECT_FALSE(has(qif[3], transactionKey::outputLength)) << "D was never reached";
  EXPECT_EQ(str(c, continuationKey::fileAsString), std::string("!Type:Bank\n") + kOutA + kOutB);
  c.erase(continuationKey::qif);
  c.erase(continuationKey::fileAsString);
  EXPECT_EQ(toJSON(c), toJSON(fromJSON(R"({"currentTransactionIndex": 2,
      "numberOfTransactionsAppended": 2, "outputFormatText": "QIF", "sameDateSwitch": true,
      "sameNumberSwitch": false, "outputDateString": "01/31/2024", "outputNumberString": "77",
      "account": "Checking"})")
                                  .value()));
}

TEST_F(RunNavigationTest, AContinuedRunPicksUpWhereItWasLeft) {
  h.output = "!Type:Bank\n";
  h.platform.answerNextCancelConfirm(CancelConfirm::finishLater);
  h.run({press::ok(), press::ok(), press::cancel()});
  ASSERT_TRUE(h.end.continuation);
  std::string output;
  EndRecorder end;
  h.processor.continueWith(*h.end.continuation, output, h.settings, end.callback());
  EXPECT_EQ(h.processor.currentTransactionIndex(), 2u);
  EXPECT_EQ(h.confirmView.shown.back().confirmedDescription, "C");
  EXPECT_EQ(output, std::string("!Type:Bank\n") + kOutA + kOutB);
  answerDialogs(h.processor, {press::back(), press::ok(), press::ok(), press::ok()});
  EXPECT_EQ(output, std::string("!Type:Bank\n") + kOutA + kOutB + kOutC + kOutD);
  EXPECT_EQ(end.calls, 1);
  EXPECT_EQ(end.count, 4);
}

TEST_F(RunNavigationTest, CancelInANewInstructionOpenedFromConfirmationGoesBackToIt) {
  start();
  h.processor.confirmAddInstruction();
  ASSERT_EQ(h.processor.openDialog(), Dialog::newInstruction);
  ASSERT_EQ(h.newInstructionView.shown.size(), 1u);
  EXPECT_EQ(h.teach().prompt, std::string(BankingCreditCardQIF::kAddInstructionPrompt));
  EXPECT_EQ(h.teach().cancelToolTip, kCancelReturnsToConfirmToolTip);

  h.processor.cancel();
  EXPECT_EQ(h.platform.cancelConfirms, 0);
  EXPECT_EQ(h.processor.openDialog(), Dialog::confirm);
  ASSERT_EQ(h.confirmView.shown.size(), 2u);
  EXPECT_EQ(h.confirmView.shown[1], h.confirmView.shown[0]) << "shown again as it was";
  EXPECT_EQ(h.newInstructionView.editsEnded, 1);

  // Cancel again, now in the confirmation dialog itself, asks.
  h.platform.answerNextCancelConfirm(CancelConfirm::stop);
  h.processor.cancel();
  EXPECT_EQ(h.platform.cancelConfirms, 1);
  EXPECT_EQ(h.end.calls, 1);
}

// OK and Cancel end the editing first; once the run has ended, every button does nothing.
TEST_F(RunNavigationTest, OKAndCancelEndEditingFirstAndActionsAfterTheEndDoNothing) {
  h.platform.answerNextCancelConfirm(CancelConfirm::stop);
  h.run({press::ok(), press::cancel()});
  EXPECT_EQ(h.confirmView.editsEnded, 2);
  h.processor.skipRemaining();
  h.processor.cancel();
  h.processor.skipTransaction();
  h.processor.back();
  h.processor.confirmOK();
  EXPECT_EQ(h.end.calls, 1);
  EXPECT_EQ(h.platform.cancelConfirms, 1);
}

TEST_F(RunNavigationTest, TheTypedDescriptionCountsOnlyWithItsOption) {
  for (bool updateOn : {false, true}) {
    BankingHarness run;
    ASSERT_TRUE(run.loadStore(kInstructions).ok());
    run.options.add(option::confirmAllTransactions);
    if (updateOn) run.options.add(option::updateCategoryWhenDescriptionChanged);
    run.readQIF(kFour);
    run.processor.processInstructionsAndAppendToString(run.output, run.settings,
                                                       run.end.callback());
    run.processor.controlTextDidChange(DialogField::confirmedDescription, "Bolt");
    run.processor.confirmDescriptionTextChanged();
    EXPECT_EQ(run.confirmView.shown.back().confirmedCategory, updateOn ? "Cb" : "Ca");
    EXPECT_EQ(run.confirmView.shown.back().descriptionText, updateOn ? "Bolt" : "A");
    run.processor.confirmOK();
    EXPECT_EQ(run.output, updateOn ? "D01/01/2024\nPBolt\nM\nT-1.00\nLCb\n^\n"
                                   : "D01/01/2024\nPBolt\nM\nT-1.00\nLCa\n^\n");
    EXPECT_EQ(run.confirmView.shown.back().confirmedDescription, "B")
        << "the next transaction starts afresh";
    EXPECT_EQ(run.confirmView.shown.back().confirmedCategory, "Cb");
  }
}

// Runs without confirmation.

TEST(RunEnds, ACategoryInstructionIsAskedForWithoutAPrompt) {
  BankingHarness h;
  h.options.add(option::baseCategoriesOnCategories);
  h.readQIF("D1/1/24\nPCOFFEE 12\nT-4.00\nLFood\n^\n");
  h.run({press::skip()});
  ASSERT_EQ(h.newInstructionView.shown.size(), 1u);
  const NewInstructionForm& form = h.newInstructionView.shown[0];
  EXPECT_TRUE(form.categoryForm);
  EXPECT_EQ(form.matchCategoryText, "Food");
  EXPECT_EQ(form.focus, (FieldFocus{DialogField::category, true}));
  EXPECT_EQ(h.output, "");
  EXPECT_EQ(h.end.count, 0);
}

TEST(RunEnds, AnUnreadableTransactionIsSkippedOrEndsTheRun) {
  for (int answer : {ErrorWarning::goOn, ErrorWarning::cancel}) {
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(kInstructions).ok());
    Value records = Value::array();
    records.append(Value{{"date", "01/01/2024"}, {"description", "A"}, {"amount", "-1.00"}});
    records.append(Value{{"errorMessage", "No amount."}, {"errorText", "<STMTTRN>..."}});
    records.append(Value{{"date", "01/03/2024"}, {"description", "C"}, {"amount", "-3.00"}});
    h.processor.setTransactions(records, false);
    h.platform.answerNextInputErrorWarning(answer);
    h.run();
    ASSERT_EQ(h.platform.inputErrorWarnings.size(), 1u);
    const InputErrorWarning& warning = h.platform.inputErrorWarnings[0];
    EXPECT_EQ(warning.message, "No amount.");
    EXPECT_EQ(warning.text, "<STMTTRN>...");
    EXPECT_FALSE(warning.showDontWarnSwitch);
    bool goOn = answer == ErrorWarning::goOn;
    EXPECT_EQ(h.output, goOn ? std::string(kOutA) + kOutC : std::string(kOutA));
    EXPECT_EQ(h.end.count, goOn ? 2 : 1);
  }
}

TEST(RunEnds, TheListIsReleasedBeforeTheCallback) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(kInstructions).ok());
  h.readQIF(kFour);
  int calls = 0;
  h.processor.processInstructionsAndAppendToString(
      h.output, h.settings, [&](int count, std::optional<Value> continuation) {
        ++calls;
        EXPECT_EQ(count, 4);
        EXPECT_FALSE(continuation);
        EXPECT_FALSE(h.processor.running());
        EXPECT_EQ(h.processor.qif().size(), 0u);
        EXPECT_EQ(h.processor.maxTransactionIndex(), 0u);
      });
  EXPECT_EQ(calls, 1);
}

TEST(RunEnds, SplitsEditedByThePersonWinOverTheInstructions) {
  for (bool edited : {false, true}) {
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(R"({"Instructions": [{"descriptionMatch": "SHOP", "category": "C",
        "splits": [{"category": "Theirs", "memo": "", "amount": ""}]}]})")
                    .ok());
    Value record = Value{{"date", "01/01/2024"}, {"description", "SHOP"}, {"amount", "-3.00"}};
    record.set(
        "splits",
        Value(Value::Array{Value{{"category", "Mine"}, {"memo", "m"}, {"amount", "-3.00"}}}));
    if (edited) record.set("userSplits", true);
    h.processor.setTransactions(Value(Value::Array{record}), false);
    h.run();
    EXPECT_EQ(h.output, edited ? "D01/01/2024\nPSHOP\nM\nT-3.00\nSMine\nEm\n$-3.00\n^\n"
                               : "D01/01/2024\nPSHOP\nM\nT-3.00\nSTheirs\nE\n$-3.00\n^\n");
  }
}

TEST(RunEnds, ADamagedContinuationStillEndsOnce) {
  struct Case {
    const char* name;
    Value continuation;
    int count;
  };
  Value notAList = Value{{"qif", "text"}, {"numberOfTransactionsAppended", 3}};
  Value pastTheEnd = Value{{"qif", Value::array()},
                           {"currentTransactionIndex", 5},
                           {"numberOfTransactionsAppended", -2}};
  Value badMark = Value{{"fileAsString", "!Type:Bank\n"}};
  Value marked = Value{
      {"date", "01/01/2024"}, {"description", "A"}, {"amount", "-1.00"}, {"outputLength", 999}};
  badMark.set("qif", Value(Value::Array{marked}));
  const Case cases[] = {{"not a list", notAList, 3},
                        {"past the end", pastTheEnd, 0},
                        {"mark past the buffer", badMark, 1}};
  for (const Case& c : cases) {
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(kInstructions).ok());
    EndRecorder end;
    h.processor.continueWith(c.continuation, h.output, h.settings, end.callback());
    EXPECT_EQ(end.calls, 1) << c.name;
    EXPECT_EQ(end.count, c.count) << c.name;
  }
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(kInstructions).ok());
  h.processor.continueWith(badMark, h.output, h.settings, h.end.callback());
  EXPECT_EQ(h.output, std::string("!Type:Bank\n") + kOutA) << "no bytes from a stale mark";
}

TEST(RunEnds, AContinuationRecordThatIsNotATransactionIsOfferedToSkip) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(kInstructions).ok());
  Value continuation =
      Value{{"qif", Value(Value::Array{Value("junk"), Value{{"date", "01/01/2024"},
                                                            {"description", "A"},
                                                            {"amount", "-1.00"}}})}};
  h.platform.answerNextInputErrorWarning(ErrorWarning::goOn);
  h.processor.continueWith(continuation, h.output, h.settings, h.end.callback());
  ASSERT_EQ(h.platform.inputErrorWarnings.size(), 1u);
  EXPECT_EQ(h.platform.inputErrorWarnings[0].message,
            std::string(BankingCreditCardQIF::kDamagedRecordMessage));
  EXPECT_EQ(h.output, kOutA);
  EXPECT_EQ(h.end.count, 1);
}

TEST(RunEnds, StartingARunWhileOneWaitsEndsTheFirstAsStopped) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(kInstructions).ok());
  h.options.add(option::confirmAllTransactions);
  h.readQIF(kFour);
  EndRecorder first;
  h.processor.processInstructionsAndAppendToString(h.output, h.settings, first.callback());
  h.processor.confirmOK();
  h.readQIF("D1/2/24\nPB\nT-2.00\n^\n");
  std::string second;
  h.processor.processInstructionsAndAppendToString(second, h.settings, h.end.callback());
  EXPECT_EQ(first.calls, 1);
  EXPECT_EQ(first.count, 0);
  answerDialogs(h.processor, {press::ok()});
  EXPECT_EQ(second, kOutB);
  EXPECT_EQ(h.end.count, 1);
}

}  // namespace
}  // namespace corvela::testing
