// Finishing a run later and continuing it, every way a run ends, and the command line's answers
// to the dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "banking/ContinuationKeys.h"
#include "banking/NonInteractiveAnswers.h"
#include "banking/RunTally.h"
#include "readers/TransactionKeys.h"

namespace corvela::testing {
namespace {

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

Value json(std::string_view text) { return fromJSON(text).value(); }

// A run over the four transactions above with every transaction confirmed.
class RunNavigationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.loadStore(kInstructions).ok());
    h.options.add(option::confirmAllTransactions);
    h.readQIF(kFour);
  }

  BankingHarness h;
};

// Finish Later saves the run as it stands, and the run continued from what it saved picks up
// where it was left.
TEST_F(RunNavigationTest, FinishLaterSavesTheRunAndTheContinuationPicksItUp) {
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

// Runs without confirmation.

TEST(RunEnds, AnUnreadableTransactionIsSkippedOrEndsTheRun) {
  for (int answer : {ErrorWarning::goOn, ErrorWarning::cancel}) {
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(kInstructions).ok());
    h.processor.setTransactions(
        RecordList(json(R"([{"date": "01/01/2024", "description": "A", "amount": "-1.00"},
                            {"errorMessage": "No amount.", "errorText": "<STMTTRN>..."},
                            {"date": "01/03/2024", "description": "C", "amount": "-3.00"}])")),
        false);
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
    Value record = json(R"({"date": "01/01/2024", "description": "SHOP", "amount": "-3.00",
        "splits": [{"category": "Mine", "memo": "m", "amount": "-3.00"}]})");
    if (edited) record.set("userSplits", true);
    h.processor.setTransactions(RecordList(Value(Value::Array{record})), false);
    h.run();
    EXPECT_EQ(h.output, edited ? "D01/01/2024\nPSHOP\nM\nT-3.00\nSMine\nEm\n$-3.00\n^\n"
                               : "D01/01/2024\nPSHOP\nM\nT-3.00\nSTheirs\nE\n$-3.00\n^\n");
  }
}

// A damaged continuation still ends the run once, and writes nothing it cannot vouch for.
TEST(RunEnds, ADamagedContinuationStillEndsOnce) {
  struct Case {
    const char* name;
    const char* continuation;
    int count;
    std::string output;
    std::string warned;  // the messages of the input warnings shown
  };
  const Case cases[] = {
      {"not a list", R"({"qif": "text", "numberOfTransactionsAppended": 3})", 3, "", ""},
      {"past the end",
       R"({"qif": [], "currentTransactionIndex": 5, "numberOfTransactionsAppended": -2})", 0, "",
       ""},
      // No bytes from a stale mark.
      {"mark past the buffer", R"({"fileAsString": "!Type:Bank\n", "qif": [{"date": "01/01/2024",
      "description": "A", "amount": "-1.00", "outputLength": 999}]})",
       1, std::string("!Type:Bank\n") + kOutA, ""},
      // A record that is not a transaction is offered to skip.
      {"not a transaction",
       R"({"qif": ["junk", {"date": "01/01/2024", "description": "A", "amount": "-1.00"}]})", 1,
       kOutA, std::string(BankingCreditCardQIF::kDamagedRecordMessage)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BankingHarness h;
    ASSERT_TRUE(h.loadStore(kInstructions).ok());
    h.platform.answerNextInputErrorWarning(ErrorWarning::goOn);
    h.processor.continueWith(json(c.continuation), h.output, h.settings, h.end.callback());
    EXPECT_EQ(h.end.calls, 1);
    EXPECT_EQ(h.end.count, c.count);
    EXPECT_EQ(h.output, c.output);
    std::string warned;
    for (const InputErrorWarning& warning : h.platform.inputErrorWarnings)
      warned += warning.message;
    EXPECT_EQ(warned, c.warned);
  }
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

// What the run tally says became of each transaction is in the closing line of every dialog
// script's transcript (tests/data/dialogs/tally-*).

// The command line's answers to the dialogs of a run.
TEST(NonInteractiveAnswers, ConfirmsAsProposedAndOutputsTheUnmatchedAsRead) {
  BankingHarness h(R"({"Instructions": [
      {"descriptionMatch": "SHOP", "newDescription": "Shop", "category": "Shopping",
       "categoryConfirm": "Y"},
      {"descriptionMatch": "MOVE", "category": "[Savings]", "categoryConfirm": "Y"}]})",
                   {},
                   "D1/2/24\nPSHOP 1\nT-1.00\n^\n"
                   "D1/3/24\nPUNKNOWN\nMnote\nT-2.00\nN5\nLMisc\n^\n"
                   "D1/4/24\nPMOVE\nT-3.00\n^\n"
                   "D1/5/24\nPSHOP 2\nT-4.00\n^\n");
  // OK refuses the transfer to an account the list does not know; the transaction is then
  // output as read rather than holding the run up.
  h.platform.answerNextAlert(0);
  NonInteractiveTally tally = answerWithoutDialogs(h.processor);
  EXPECT_EQ(tally.confirmedAsProposed, 2);
  EXPECT_EQ(tally.outputAsRead, 2);
  EXPECT_EQ(h.platform.alerts.size(), 1u);
  EXPECT_EQ(h.end.calls, 1);
  EXPECT_EQ(h.end.count, 4);
  EXPECT_EQ(h.output,
            "D01/02/2024\nPShop\nM\nT-1.00\nLShopping\n^\n"
            "D01/03/2024\nPUNKNOWN\nMnote\nT-2.00\nN5\nLMisc\n^\n"
            "D01/04/2024\nPMOVE\nM\nT-3.00\n^\n"
            "D01/05/2024\nPShop\nM\nT-4.00\nLShopping\n^\n");
  EXPECT_EQ(h.instructions.numberOfInstructions(), 2u) << "nothing is taught";
}

// (A whole session of teaching is the script tests/data/dialogs/teaching-session.)

// The matches of a long run are packed: every text comes back as it was given, whatever its
// length (lengths are written in one byte up to 127) and however often it repeats.
TEST(InstructionMatchesTest, GivesBackEveryMatchAsItWasAdded) {
  const std::vector<InstructionMatch> kinds = {
      {"SHOP", "01/02/2024", "-1.00", "SHOP 1"},
      {"", "", "", ""},
      {"CAFÉ", "01/02/2024", "", std::string(127, 'd')},
      {"SHOP", "1/3/24", std::string(128, '9'), std::string(16384, 'e')},
      {std::string(300, 'm'), "01/02/2024", "-2.00", std::string(200000, 'f')},
  };
  InstructionMatches matches;
  std::vector<InstructionMatch> given;
  // Enough to fill several blocks, pieces of a block of their own among them.
  for (int i = 0; i < 4000; ++i) {
    InstructionMatch match = kinds[static_cast<std::size_t>(i) % kinds.size()];
    match.description += std::to_string(i);
    matches.push_back(match);
    given.push_back(std::move(match));
  }
  ASSERT_EQ(matches.size(), given.size());
  for (std::size_t i = 0; i < given.size(); ++i) {
    ASSERT_EQ(matches[i], given[i]) << "match " << i;
    ASSERT_EQ(matches.match(i), given[i].match) << "match " << i;
  }
  InstructionMatches moved = std::move(matches);
  moved.add("NEW", "01/02/2024", "-3.00", "NEW SHOP");
  EXPECT_EQ(moved[given.size()], (InstructionMatch{"NEW", "01/02/2024", "-3.00", "NEW SHOP"}));
  EXPECT_EQ(moved[1], given[1]);
  moved.clear();
  moved.add("SHOP", "02/02/2024", "-4.00", "SHOP 2");
  EXPECT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0], (InstructionMatch{"SHOP", "02/02/2024", "-4.00", "SHOP 2"}));
}

}  // namespace
}  // namespace corvela::testing
