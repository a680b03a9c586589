#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "banking/ConfirmView.h"
#include "banking/InstructionEditing.h"
#include "investment/InvestmentQIF.h"
#include "prefs/Bundle.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"
#include "support/BrokerFormat.h"
#include "support/CaseFile.h"
#include "support/Corpus.h"
#include "support/FakeMainView.h"
#include "support/ScratchStore.h"
#include "support/ScriptedBankViews.h"
#include "support/ScriptedInvestmentWindow.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using State = InvestmentQIF::State;

const CalendarDay kPast = CalendarDay::distantPast();
const CalendarDay kFuture = CalendarDay::distantFuture();

using testing::brokerFormat;
using testing::brokerFormatBuying;

// The whole program with scripted windows, its investment processor at hand.
struct Program {
  testing::ScratchStore scratch;
  testing::ScriptedPlatform platform;
  testing::FakeMainView mainView;
  testing::ScriptedConfirmView confirmView;
  testing::ScriptedNewInstructionView newInstructionView;
  testing::ScriptedInvestmentWindow window;
  Application app{scratch.prefs, Bundle::builtIn(),
                  FrontEnd{.platform = platform,
                           .mainView = mainView,
                           .confirmView = confirmView,
                           .newInstructionView = newInstructionView,
                           .investmentView = &window}};
  std::string output;
  testing::EndRecorder end;

  InvestmentQIF& processor() { return app.investment; }
  Value storedFormat() { return app.formats.formatForName("Broker").value_or(Value()); }
  // Reads `text` with the stored format and starts the run.
  void run(const std::string& text) {
    ASSERT_TRUE(processor().fromFormattedText(text, storedFormat(), kPast, kFuture));
    processor().processInstructionsAndAppendToString(output, RunSettings{}, end.callback());
  }
  // The store knows the broker's purchases and the security "Acme Corp", and every transaction
  // of a text statement is confirmed.
  void knowAcmePurchases() {
    app.formats.addFormat(brokerFormatBuying());
    scratch.prefs.setObject("Securities",
                            Value(Value::Array{Value{{"Name", "Acme Corp"}, {"Symbol", ""}}}));
    app.options.add("textConfirmAllTransactions");
  }
};

// Finishing later on the third of ten transactions and resuming from the saved file gives the
// output of a run that was never interrupted; a format gone since is restored on Yes only.
TEST(InvestmentSessionTest, ContinuationResumesWhereItStopped) {
  std::string text = "Date,Action,Security,Amount,Shares,Price\n";
  for (int day = 1; day <= 10; ++day)
    text += "02/" + std::string(day < 10 ? "0" : "") + std::to_string(day) +
            "/2024,Bought,Acme Corp," + std::to_string(100 * day) + ".00," + std::to_string(day) +
            ",\n";

  Program whole;
  whole.knowAcmePurchases();
  whole.run(text);
  while (whole.processor().state() == State::confirm) whole.processor().ok();
  ASSERT_EQ(whole.end.count, 10);

  struct Case {
    bool formatKept;
    int answer;  // to "Continuation Format Not Found" (0 Yes, 1 No), when asked
    int expectedCount;
  };
  for (const Case& c : {Case{true, -1, 10}, Case{false, 0, 10}, Case{false, 1, 0}}) {
    SCOPED_TRACE(c.formatKept);
    Program cut;
    cut.knowAcmePurchases();
    cut.run(text);
    cut.processor().ok();
    cut.processor().ok();
    ASSERT_EQ(cut.processor().currentIndex(), 2);
    cut.platform.answerNextCancelConfirm(1);  // finish later
    cut.processor().cancel();
    ASSERT_TRUE(cut.end.continuation.has_value());
    EXPECT_EQ(cut.end.count, 0);
    // Through the file format, as a continuation file would hold it.
    auto bytes = writeKeyedArchive(*cut.end.continuation);
    ASSERT_TRUE(bytes.ok());
    auto saved = readKeyedArchive(bytes.value());
    ASSERT_TRUE(saved.ok());

    Program resumed;
    resumed.knowAcmePurchases();
    if (!c.formatKept) {
      resumed.app.formats.deleteFormatAtIndex(0);
      resumed.platform.answerNextAlert(c.answer);
    }
    std::string output;
    testing::EndRecorder end;
    resumed.processor().continueWith(saved.value(), output, RunSettings{}, end.callback());
    int confirmed = 0;
    while (resumed.processor().state() == State::confirm) {
      ++confirmed;
      resumed.processor().ok();
    }
    EXPECT_EQ(end.calls, 1);
    EXPECT_EQ(end.count, c.expectedCount);
    if (c.expectedCount == 0) continue;
    EXPECT_EQ(confirmed, 8);  // the third again, then the rest
    EXPECT_EQ(output, whole.output);
    EXPECT_TRUE(resumed.app.formats.formatForName("Broker").has_value());
  }
}

// The answer of a person who takes every proposal, as the command line gives it: OK to a
// confirmation, a proposed type or a security; a transaction that asks anything else is skipped.
void takeTheProposal(InvestmentQIF& processor) {
  const State asked = processor.state();
  if (asked == State::confirm || asked == State::defineSecurity ||
      (asked == State::defineType && processor.typeForm().proposedChoice > 0))
    processor.ok();
  else
    processor.skipTransaction();
}

// Answers until the transaction at `index` or a later one waits in the confirmation, or the run
// ends; the transactions that waited in it on the way, in order.
std::vector<long> answerUntil(InvestmentQIF& processor, long index) {
  std::vector<long> confirmed;
  while (processor.state() != State::none &&
         (processor.state() != State::confirm || processor.currentIndex() < index)) {
    if (processor.state() == State::confirm) confirmed.push_back(processor.currentIndex());
    takeTheProposal(processor);
  }
  return confirmed;
}

// Every brokerage download of the corpus, each transaction confirmed: going back a transaction,
// finishing later in the middle and continuing from the archived file writes what a run answered
// straight through writes, and a run after it writes the same again.
TEST(InvestmentSessionTest, GoingBackAndFinishingLaterChangeNothingWrittenInAnyDownload) {
  const Value ofxFormat = Bundle::builtIn().table("CVOFXFormat");
  int downloads = 0;
  for (const std::string& statement : testing::corpusStatements()) {
    const std::string text = testing::readText(testing::kCorpus / statement);
    if (text.find("<INVTRANLIST>") == std::string::npos) continue;
    SCOPED_TRACE(statement);
    Program program;
    program.app.options.add("confirmAllTransactions");
    program.app.options.add("quicken2003");
    auto run = [&](std::string& output, testing::EndRecorder& end) {
      ASSERT_TRUE(program.processor().fromFormattedText(text, ofxFormat, kPast, kFuture));
      program.processor().processInstructionsAndAppendToString(output, RunSettings{},
                                                               end.callback());
    };
    std::string whole;
    testing::EndRecorder wholeEnd;
    run(whole, wholeEnd);
    const std::vector<long> confirmed = answerUntil(program.processor(), LONG_MAX);
    ASSERT_EQ(program.processor().state(), State::none);
    if (confirmed.size() < 2) continue;  // too short to go back in

    std::string cut;
    testing::EndRecorder cutEnd;
    run(cut, cutEnd);
    answerUntil(program.processor(), confirmed[confirmed.size() / 2]);
    ASSERT_EQ(program.processor().state(), State::confirm);
    program.processor().back();
    takeTheProposal(program.processor());
    answerUntil(program.processor(), 0);
    ASSERT_EQ(program.processor().state(), State::confirm);
    ++downloads;
    program.platform.answerNextCancelConfirm(1);  // finish later
    program.processor().cancel();
    ASSERT_TRUE(cutEnd.continuation.has_value());
    Result<Value> saved = readKeyedArchive(writeKeyedArchive(*cutEnd.continuation).value());
    ASSERT_TRUE(saved.ok());
    std::string resumed;
    testing::EndRecorder resumedEnd;
    program.processor().continueWith(saved.value(), resumed, RunSettings{}, resumedEnd.callback());
    answerUntil(program.processor(), LONG_MAX);
    EXPECT_EQ(resumedEnd.count, wholeEnd.count);
    EXPECT_EQ(resumed, whole);

    std::string again;
    testing::EndRecorder againEnd;
    run(again, againEnd);
    answerUntil(program.processor(), LONG_MAX);
    EXPECT_EQ(again, whole);
  }
  EXPECT_GE(downloads, 10);
}

// The instruction editor as a script: each opening ends at once, cancelled or saving the
// category given.
struct ScriptedEditor : InstructionEditing {
  Instructions* instructions = nullptr;
  std::string saveCategory;  // "" cancels
  void beginEditingInstruction(const Value& instruction, std::optional<std::string>,
                               DidEnd didEnd) override {
    if (saveCategory.empty()) return didEnd(true, 0);
    Value edited = instruction;
    edited.set("category", Value(saveCategory));
    didEnd(false, instructions->setInstruction(edited));
  }
};

// Runs one scripted session over `line` (after the header) and returns the output. `script`
// holds the steps, separated by ", " (see tests/data/investment/scripted-sessions.txt).
std::string runScript(const std::string& line, const std::string& script) {
  Program program;
  const Value store =
      fromJSON(testing::readText(std::string(CORVELA_TEST_DATA) + "/investment/session-store.json"))
          .value();
  // The broker's layout with a description and a symbol column, and three types known.
  Value format = brokerFormat();
  for (const auto& [key, value] : store["BrokerFormat"].toDictionary()) format.set(key, value);
  program.app.formats.addFormat(format);
  for (const char* key : {"Securities", "OutputFormats"})
    program.scratch.prefs.setObject(key, store[key]);
  for (const Value& instruction : store["Instructions"].toArray())
    program.app.instructions.setInstruction(instruction);
  for (const char* name : {"textConfirmAllTransactions", "quicken2003"})
    program.app.options.add(name);
  ScriptedEditor editor;
  editor.instructions = &program.app.instructions;
  InvestmentQIF& p = program.processor();
  p.setInstructionEditor(&editor);
  EditSheetForm sheet;
  const auto split = [&](const std::string& a, const char* key) {
    p.splitChanged(std::stoul(a), key, a.substr(2));
  };
  const std::string statement =
      "Date,Action,Security,Amount,Shares,Price,Description\n" + line + "\n";
  RunSettings settings;
  using Action = std::function<void(const std::string& arg)>;
  const std::map<std::string, Action> actions = {
      {"ok", [&](auto&) { p.ok(); }},
      {"type", [&](auto& a) { p.quickenTypeChosen(std::stoi(a) + 3); }},
      {"security", [&](auto& a) { p.quickenSecurityChanged(a); }},
      {"assumeDollar", [&](auto& a) { p.assumeDollar(a == "1"); }},
      {"assumeSecurity", [&](auto& a) { p.assumeSecurity(true), p.assumedSecurityChanged(a); }},
      {"alwaysSkip", [&](auto&) { p.alwaysSkipTransactionType(); }},
      {"dontAlwaysSkip", [&](auto&) { p.dontAlwaysSkip(); }},
      {"useType", [&](auto&) { p.useType(); }},
      {"adjustShares", [&](auto& a) { p.adjustShares(a == "1"); }},
      {"redefineType", [&](auto&) { p.redefineType(); }},
      {"redefineSecurity", [&](auto&) { p.redefineSecurity(); }},
      {"stepDate", [&](auto& a) { p.stepDate(std::stoi(a)); }},
      {"category", [&](auto& a) { p.categoryChanged(a); }},
      {"memo", [&](auto& a) { p.memoChanged(a); }},
      {"description", [&](auto& a) { p.descriptionChanged(a); }},
      {"number", [&](auto& a) { p.numberChanged(a); }},
      {"typeWord", [&](auto& a) { p.typeWordChanged(a); }},
      {"skipWord", [&](auto& a) { p.alwaysSkipWordChanged(a); }},
      {"skip", [&](auto&) { p.skipTransaction(); }},
      {"back", [&](auto&) { p.back(); }},
      {"edit", [&](auto&) { p.editInputButton(), sheet = program.window.edit; }},
      {"editAmount", [&](auto& a) { sheet.amount = a; }},
      {"editMemo", [&](auto& a) { sheet.memo = a; }},
      {"editRevert", [&](auto&) { p.editRevert(), sheet = program.window.edit; }},
      {"editOK", [&](auto&) { p.editOK(sheet); }},
      {"editCancel", [&](auto&) { p.editCancel(); }},
      {"splits", [&](auto&) { p.addRemoveSplits(); }},
      {"addSplit", [&](auto&) { p.addSplit(); }},
      {"select", [&](auto& a) { p.splitSelectionChanged({std::stoul(a)}); }},
      {"deleteSplit", [&](auto&) { p.deleteSelectedSplit(); }},
      {"splitAmount", [&](auto& a) { split(a, "amount"); }},
      {"splitCategory", [&](auto& a) { split(a, "category"); }},
      {"addForAmount", [&](auto&) { p.addInstructionForAmountButton(); }},
      {"bankCancel", [&](auto&) { program.app.bank.cancel(); }},
      {"editInstruction", [&](auto& a) { editor.saveCategory = a, p.editInstructionButton(); }},
      {"state", [&](auto& a) { EXPECT_EQ(static_cast<int>(p.state()), std::stoi(a)); }},
      // The confirmation's numbers: amount, price, shares, fees ("" when hidden), shares
      // adjusted, then the date and whether Back is offered.
      {"form",
       [&](auto& a) {
         const InvestmentTransactionForm& f = p.transactionForm();
         EXPECT_EQ(f.amount + " " + f.price + " " + f.shares + " " + (f.feesVisible ? f.fees : "") +
                       " " + (f.adjustShares ? "1" : "0") + " " + f.date +
                       (f.backVisible && f.backEnabled ? " back" : ""),
                   a);
         EXPECT_EQ(f.title, InvestmentQIF::kConfirmTitle);
       }},
      // The same statement read again over the store the run taught: no question but the
      // confirmations, and the same output.
      {"again",
       [&](auto&) {
         const std::string first = program.output;
         program.output.clear();
         program.window.shown.clear();
         program.end.calls = 0;
         ASSERT_TRUE(p.fromFormattedText(statement, program.storedFormat(), kPast, kFuture));
         p.processInstructionsAndAppendToString(program.output, settings, program.end.callback());
         while (p.state() == State::confirm) p.ok();
         EXPECT_EQ(program.output, first);
         for (const std::string& window : program.window.shown) EXPECT_EQ(window, "transaction");
       }},
      {"shows",
       [&](auto& a) {
         EXPECT_EQ(p.state() == State::defineSecurity ? p.securityForm().security
                                                      : p.transactionForm().security,
                   a);
       }},
  };
  std::vector<std::string> steps;
  for (std::size_t at = 0; at < script.size();) {
    const std::size_t end = std::min(script.find(", ", at), script.size());
    const std::string step = script.substr(at, end - at);
    at = end + 2;
    if (step.starts_with("format:")) {
      settings.outputFormatText = step.substr(7);
    } else if (step.starts_with("option:")) {
      program.app.options.add(step.substr(7));
    } else if (step == "noTypeMappings") {  // the broker's format as first stored, knowing no type
      format.erase("TypeMappings");
      program.app.formats.addFormat(format);
    } else {
      steps.push_back(step);
    }
  }
  if (!p.fromFormattedText(statement, program.storedFormat(), kPast, kFuture)) {
    ADD_FAILURE() << "unreadable";
    return "";
  }
  p.processInstructionsAndAppendToString(program.output, settings, program.end.callback());
  for (const std::string& step : steps) {
    SCOPED_TRACE(step);
    const std::size_t colon = step.find(':');
    const std::string name = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
    if (name[0] == '?') {
      const std::size_t equals = name.find('=');
      EXPECT_EQ(p.validateMenuItem(name.substr(1, equals - 1)), name.substr(equals + 1) == "1");
    } else if (auto action = actions.find(name); action != actions.end()) {
      action->second(arg);
    } else {
      ADD_FAILURE() << "unknown step";
    }
  }
  EXPECT_EQ(program.end.calls, 1) << "still waiting in " << static_cast<int>(p.state());
  return program.output;
}

// Every action of the confirmation, as a person would script it, and what ends up written.
TEST(InvestmentSessionTest, ScriptedActionsWriteWhatThePersonConfirmed) {
  testing::expectCaseFile("investment/scripted-sessions.txt",
                          [](const std::string& line, const std::string& script) {
                            SCOPED_TRACE(line + " / " + script);
                            return testing::quoted(runScript(line, script));
                          });
}

// A download (OFX) is confirmed transaction by transaction under the option for downloads, a
// text statement under the option for text.
TEST(InvestmentSessionTest, EachKindOfInputFollowsItsOwnConfirmOption) {
  const std::string ofx = testing::readText(std::string(CORVELA_CORPUS) + "/ofxparse/tiaacref.ofx");
  struct Row {
    bool download;
    const char* option;
    int confirmations;
  };
  const Row rows[] = {{true, "confirmAllTransactions", 1},
                      {true, "textConfirmAllTransactions", 0},
                      {false, "confirmAllTransactions", 0},
                      {false, "textConfirmAllTransactions", 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.download ? "OFX " : "text ") + row.option);
    Program program;
    program.app.formats.addFormat(brokerFormatBuying());
    program.app.options.add(row.option);
    InvestmentQIF& p = program.processor();
    ASSERT_TRUE(p.fromFormattedText(
        row.download ? ofx
                     : "Date,Action,Security,Amount,Shares\n01/03/"
                       "2024,Bought,Acme,50,10\n",
        row.download ? Bundle::builtIn().table("CVOFXFormat") : program.storedFormat(), kPast,
        kFuture));
    p.processInstructionsAndAppendToString(program.output, RunSettings{}, program.end.callback());
    int confirmations = 0;
    for (int step = 0; step < 5 && p.state() != State::none; ++step) {
      confirmations += p.state() == State::confirm;
      p.ok();  // the proposed type or security, or the transaction
    }
    EXPECT_EQ(confirmations, row.confirmations);
    EXPECT_EQ(program.end.count, 1) << program.output;
  }
}

}  // namespace
}  // namespace corvela
