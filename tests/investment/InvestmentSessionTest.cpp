#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "banking/ConfirmView.h"
#include "banking/InstructionEditing.h"
#include "investment/InvestmentQIF.h"
#include "prefs/Bundle.h"
#include "prefs/KeyedArchive.h"
#include "support/BrokerFormat.h"
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

// A person teaches two types, one security and one type to skip always; the same statement
// read again then converts without a single question, to the same output.
TEST(InvestmentSessionTest, WhatWasTaughtAnswersTheNextRun) {
  const std::string text =
      "Date,Action,Security,Amount,Shares,Price\n"
      "01/05/2024,Bought,Acme Corp,1000.00,10,\n"
      "01/06/2024,Dividend,Acme Corp,12.50,,\n"
      "01/07/2024,Fee Adjustment,Acme Corp,1.00,,\n"
      "01/08/2024,Bought,Acme Corp,500.00,5,\n"
      "01/09/2024,Fee Adjustment Cash,,2.00,,\n";
  Program first;
  first.app.formats.addFormat(brokerFormat());
  first.run(text);
  InvestmentQIF& p = first.processor();

  ASSERT_EQ(p.state(), State::defineType);
  EXPECT_EQ(p.typeForm().typeWord, "Bought");
  p.quickenTypeChosen(2 + 3);  // Buy
  p.ok();
  ASSERT_EQ(p.state(), State::defineSecurity);
  EXPECT_EQ(p.securityForm().quickenSecurity, "Acme Corp");  // proposed from the statement
  p.quickenSecurityChanged("ACME");
  p.ok();
  ASSERT_EQ(p.state(), State::defineType);
  EXPECT_EQ(p.typeForm().typeWord, "Dividend");
  p.quickenTypeChosen(6 + 3);  // Div
  p.ok();
  ASSERT_EQ(p.state(), State::defineType);
  EXPECT_EQ(p.typeForm().typeWord, "Fee Adjustment");
  p.alwaysSkipTransactionType();
  ASSERT_EQ(p.state(), State::alwaysSkip);
  p.ok();
  // The second purchase and the shorter skip word's longer relative go by without a question.
  ASSERT_EQ(first.end.calls, 1) << "still waiting in " << static_cast<int>(p.state());
  EXPECT_EQ(first.end.count, 3);
  EXPECT_NE(first.output.find("NBuy\n"), std::string::npos) << first.output;
  EXPECT_NE(first.output.find("YACME\n"), std::string::npos) << first.output;
  EXPECT_NE(first.output.find("NDiv\n"), std::string::npos) << first.output;

  // The second run: a new processor over the same store.
  first.window.shown.clear();
  std::string again;
  testing::EndRecorder end;
  ASSERT_TRUE(p.fromFormattedText(text, first.storedFormat(), kPast, kFuture));
  p.processInstructionsAndAppendToString(again, RunSettings{}, end.callback());
  EXPECT_EQ(end.calls, 1);
  EXPECT_EQ(end.count, 3);
  EXPECT_TRUE(first.window.shown.empty()) << first.window.shown.front();
  EXPECT_EQ(again, first.output);
}

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

// What the confirmation shows for a purchase: the price, fees or amount the others imply,
// shares cut by 100 when the fees would exceed the amount; the date stepper and Back.
TEST(InvestmentSessionTest, ConfirmationWorksOutTheNumbers) {
  struct Case {
    const char* line;  // amount, shares, price
    const char* amount;
    const char* price;
    const char* shares;
    const char* fees;  // "" when hidden
    bool adjusted;
  };
  const Case cases[] = {
      {"1000.00,10,", "1,000.00", "100.0000", "10.00", "", false},
      {"1000.00,10,99", "1,000.00", "99.0000", "10.00", "10.00", false},
      {"0,5,10", "50.00", "10.0000", "5.00", "", false},
      {"10.00,100,10", "10.00", "10.0000", "1.00", "", true},  // fees of 990 on 10
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Program program;
    program.knowAcmePurchases();
    program.run("Date,Action,Security,Amount,Shares,Price\n01/05/2024,Bought,Acme Corp," +
                std::string(c.line) + "\n01/06/2024,Bought,Acme Corp,1.00,1,\n");
    InvestmentQIF& p = program.processor();
    ASSERT_EQ(p.state(), State::confirm);
    const InvestmentTransactionForm& form = p.transactionForm();
    EXPECT_EQ(form.amount, c.amount);
    EXPECT_EQ(form.price, c.price);
    EXPECT_EQ(form.shares, c.shares);
    EXPECT_EQ(form.feesVisible ? form.fees : "", c.fees);
    EXPECT_EQ(form.adjustShares, c.adjusted);
    EXPECT_EQ(form.title, InvestmentQIF::kConfirmTitle);
    EXPECT_TRUE(form.backVisible);
    EXPECT_FALSE(form.backEnabled);  // the first transaction
    p.stepDate(1);
    EXPECT_EQ(p.transactionForm().date, "01/05/2024 (will use 01/06/2024)");
    p.ok();
    ASSERT_EQ(p.state(), State::confirm);
    EXPECT_TRUE(p.transactionForm().backEnabled);
    EXPECT_TRUE(program.output.starts_with("D01/06/2024\n")) << program.output;
    // Back takes the first transaction's output out again, and it is decided afresh.
    p.back();
    EXPECT_EQ(program.output, "");
    p.ok();
    EXPECT_TRUE(program.output.starts_with("D01/05/2024\n")) << program.output;
    p.ok();
    EXPECT_EQ(program.end.count, 2);
    EXPECT_EQ(program.output.find("^\n") + 2, program.output.find("D01/06/2024\nNBuy"))
        << program.output;
  }
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

// Runs one scripted session over `line` (after the header) and returns the output. A step is
// an action name with an optional argument after ':' (see the switch below); "?title=0|1"
// checks the instruction pop-up item `title`.
std::string runScript(const std::string& line, const std::vector<std::string>& steps,
                      const std::string& outputFormat, const std::vector<std::string>& options) {
  Program program;
  Value format = brokerFormat();
  format.set("Description", Value(6));
  format.set("Symbol", Value(7));
  format.set("TypeMappings",
             Value(Value::Array{Value{{"formatType", "Bought"}, {"quickenType", 2}},
                                Value{{"formatType", "Cash In"}, {"quickenType", 19}},
                                Value{{"formatType", "Cash Out"}, {"quickenType", 20}}}));
  program.app.formats.addFormat(format);
  program.scratch.prefs.setObject(
      "Securities", Value(Value::Array{Value{{"Name", "Acme Corp"}, {"Symbol", ""}},
                                       Value{{"Name", "Beta Fund"}, {"Symbol", "BETA"}}}));
  program.scratch.prefs.setObject(
      "OutputFormats",
      Value(Value::Array{Value{
          {"Name", "Lines"},
          {"Type", "Investment"},
          {"Separator", "Comma"},
          {"Order", Value::Array{"Date", "Type", "Security", "Shares", "Price", "Fees", "Amount",
                                 "Description", "Category", "Memo"}},
          {"Present", Value::Array{true, true, true, true, true, true, true, true, true, true}}}}));
  for (const char* name : {"textConfirmAllTransactions", "quicken2003"})
    program.app.options.add(name);
  for (const std::string& name : options) program.app.options.add(name);
  program.app.instructions.setInstruction(
      Value{{"descriptionMatch", "Wire"}, {"category", "Income"}});
  program.app.instructions.setInstruction(
      Value{{"descriptionMatch", "Gift"},
            {"category", "Income"},
            {"amounts", Value::Array{Value{{"amount", "100.00"},
                                           {"amountDescription", "Birthday"},
                                           {"amountCategory", "Gifts"}}}}});
  program.app.instructions.setInstruction(Value{
      {"descriptionMatch", "Fee"},
      {"category", "Fees"},
      {"splits", Value::Array{Value{{"category", "Fees"}, {"memo", ""}, {"amount", ""}},
                              Value{{"category", "Tax"}, {"memo", ""}, {"amount", "-5.00"}}}}});
  ScriptedEditor editor;
  editor.instructions = &program.app.instructions;
  InvestmentQIF& p = program.processor();
  p.setInstructionEditor(&editor);
  RunSettings settings;
  settings.outputFormatText = outputFormat;
  if (!p.fromFormattedText("Date,Action,Security,Amount,Shares,Price,Description\n" + line + "\n",
                           program.storedFormat(), kPast, kFuture)) {
    ADD_FAILURE() << "unreadable";
    return "";
  }
  p.processInstructionsAndAppendToString(program.output, settings, program.end.callback());
  EditSheetForm sheet;
  for (const std::string& step : steps) {
    const std::size_t colon = step.find(':');
    const std::string name = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
    if (name == "ok")
      p.ok();
    else if (name == "type")
      p.quickenTypeChosen(std::stoi(arg) + 3);
    else if (name == "security")
      p.quickenSecurityChanged(arg);
    else if (name == "assumeDollar")
      p.assumeDollar(arg == "1");
    else if (name == "assumeSecurity")
      p.assumeSecurity(true), p.assumedSecurityChanged(arg);
    else if (name == "alwaysSkip")
      p.alwaysSkipTransactionType();
    else if (name == "dontAlwaysSkip")
      p.dontAlwaysSkip();
    else if (name == "useType")
      p.useType();
    else if (name == "adjustShares")
      p.adjustShares(arg == "1");
    else if (name == "redefineType")
      p.redefineType();
    else if (name == "redefineSecurity")
      p.redefineSecurity();
    else if (name == "stepDate")
      p.stepDate(std::stoi(arg));
    else if (name == "category")
      p.categoryChanged(arg);
    else if (name == "memo")
      p.memoChanged(arg);
    else if (name == "description")
      p.descriptionChanged(arg);
    else if (name == "number")
      p.numberChanged(arg);
    else if (name == "typeWord")
      p.typeWordChanged(arg);
    else if (name == "skipWord")
      p.alwaysSkipWordChanged(arg);
    else if (name == "skip")
      p.skipTransaction();
    else if (name == "back")
      p.back();
    else if (name == "shows")
      EXPECT_EQ(p.state() == State::defineSecurity ? p.securityForm().security
                                                   : p.transactionForm().security,
                arg);
    else if (name == "state")
      EXPECT_EQ(static_cast<int>(p.state()), std::stoi(arg)) << step;
    else if (name == "edit")
      p.editInputButton(), sheet = program.window.edit;
    else if (name == "editAmount")
      sheet.amount = arg;
    else if (name == "editMemo")
      sheet.memo = arg;
    else if (name == "editRevert")
      p.editRevert(), sheet = program.window.edit;
    else if (name == "editOK")
      p.editOK(sheet);
    else if (name == "editCancel")
      p.editCancel();
    else if (name == "splits")
      p.addRemoveSplits();
    else if (name == "addSplit")
      p.addSplit();
    else if (name == "select")
      p.splitSelectionChanged({std::stoul(arg)});
    else if (name == "deleteSplit")
      p.deleteSelectedSplit();
    else if (name == "splitAmount" || name == "splitCategory") {
      const std::size_t row = std::stoul(arg);
      p.splitChanged(row, name == "splitAmount" ? "amount" : "category", arg.substr(2));
    } else if (name == "addForAmount")
      p.addInstructionForAmountButton();
    else if (name == "bankCancel")
      program.app.bank.cancel();
    else if (name == "editInstruction")
      editor.saveCategory = arg, p.editInstructionButton();
    else if (name[0] == '?') {
      const std::size_t equals = name.find('=');
      EXPECT_EQ(p.validateMenuItem(name.substr(1, equals - 1)), name.substr(equals + 1) == "1")
          << step;
    } else
      ADD_FAILURE() << "unknown step " << step;
  }
  EXPECT_EQ(program.end.calls, 1) << "still waiting in " << static_cast<int>(p.state());
  return program.output;
}

// Every action of the confirmation, as a person would script it, and what ends up written.
TEST(InvestmentSessionTest, ScriptedActionsWriteWhatThePersonConfirmed) {
  struct Row {
    const char* line;
    std::vector<std::string> steps;
    const char* output;
    const char* format = "QIF";
    std::vector<std::string> options = {};
  };
  const Row rows[] = {
      // The type definition: a price of 1 assumed, a security assumed, one type used once.
      {"01/05/2024,Sweep,Acme Corp,50.00,,",
       {"assumeDollar:1", "type:2", "ok", "ok"},
       "D01/05/2024\nNBuy\nMSweep\nYAcme Corp\nQ50.00\nI1.0000\nT50.00\n^\n"},
      {"01/05/2024,Sweep,Acme Corp,50.00,5,",
       {"assumeDollar:1", "assumeDollar:0", "alwaysSkip", "dontAlwaysSkip", "type:2", "ok", "ok"},
       "D01/05/2024\nNBuy\nMSweep\nYAcme Corp\nQ5.00\nI10.0000\nT50.00\n^\n"},
      {"01/05/2024,Interest,,12.00,,",
       {"assumeSecurity:Money Fund", "type:6", "useType", "ok"},
       "D01/05/2024\nNDiv\nMInterest\nYMoney Fund\nT12.00\n^\n"},
      {"01/05/2024,Bought,Acme Corp,100.00,10,",
       {"redefineType", "type:14", "useType", "ok"},
       "D01/05/2024\nNShrsIn\nMBought\nYAcme Corp\nQ10.00\nI10.0000\n^\n"},
      // A security named, taken back and named again.
      {"01/05/2024,Bought,Acme Holdings,100.00,10,",
       {"security:Old", "ok", "redefineSecurity", "security:AH", "ok", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYAH\nQ10.00\nI10.0000\nT100.00\n^\n"},
      // Shares in hundredths switched back off, and the date moved on twice.
      {"01/05/2024,Bought,Acme Corp,10.00,100,10",
       {"adjustShares:0", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYAcme Corp\nQ100.00\nI10.0000\nO990.00\nT10.00\n^\n"},
      {"01/05/2024,Bought,Acme Corp,100.00,10,",
       {"stepDate:1", "stepDate:1", "ok"},
       "D01/07/2024\nNBuy\nMBought\nYAcme Corp\nQ10.00\nI10.0000\nT100.00\n^\n"},
      // The edit sheet: OK takes the values, Revert and Cancel keep the statement's.
      {"01/05/2024,Bought,Acme Corp,100.00,10,",
       {"edit", "editAmount:200.00", "editMemo:Edited", "editOK", "ok"},
       "D01/05/2024\nNBuy\nMEdited\nYAcme Corp\nQ10.00\nI10.0000\nO100.00\nT200.00\n^\n"},
      {"01/05/2024,Bought,Acme Corp,100.00,10,",
       {"edit", "editAmount:200.00", "editRevert", "editOK", "edit", "editAmount:1", "editCancel",
        "ok"},
       "D01/05/2024\nNBuy\nMBought\nYAcme Corp\nQ10.00\nI10.0000\nT100.00\n^\n"},
      // Delimited lines.
      {"01/05/2024,Bought,Acme Corp,100.00,10,9.5",
       {"ok"},
       "01/05/2024,Buy,Acme Corp,10.00,9.5000,5.00,100.00,,,Bought\n",
       "Lines"},
      {"01/05/2024,Cash Out,,-25.00,,,Wire",
       {"ok"},
       "01/05/2024,Withdrawal,,,,,-25.00,Wire,Income,Wire\n",
       "Lines"},
      // Splits of a cash line: each change keeps them adding up to the amount (the first split
      // takes the difference); amounts typed stay as typed.
      {"01/05/2024,Cash In,,100.00,,,Wire",
       {"splits", "splitCategory:1:Fees", "splitAmount:1:30", "addSplit", "splitAmount:2:10",
        "select:1", "deleteSplit", "ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPWire\nMWire\nT100.00\nSIncome\nEWire\n$90.00\nS\n"
       "E\n$10\n^\n!Type:Invst\n"},
      {"01/05/2024,Cash In,,100.00,,,Wire",
       {"category:", "splits", "splitAmount:0:60", "ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPWire\nMWire\nT100.00\nS\nEWire\n$60\nS\nE\n$40.00\n"
       "^\n!Type:Invst\n"},
      {"01/05/2024,Cash In,,100.00,,,Wire",
       {"splits", "splits", "ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPWire\nMWire\nT100.00\nLIncome\n^\n!Type:Invst\n"},
      {"01/05/2024,Cash Out,,-50.00,,,Fee",
       {"ok"},
       "!InvstBnk\nNWithdrawal\nD01/05/2024\nPFee\nMFee\nT-50.00\nSFees\nE\n$-45.00\nSTax\nE\n"
       "$-5.00\n^\n!Type:Invst\n"},
      // The instruction pop-up: a new amount instruction cancelled, the editor cancelled, then
      // saving a new category, which applies at once.
      {"01/05/2024,Cash In,,100.00,,,Wire",
       {"?Add New Instruction For This Amount=1", "?Edit This Instruction...=1", "addForAmount",
        "bankCancel", "editInstruction:", "editInstruction:Salary", "ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPWire\nMWire\nT100.00\nLSalary\n^\n!Type:Invst\n"},
      // The confirmation's own fields; what belongs to another view or to no run does nothing.
      {"01/05/2024,Bought,Acme Corp,100.00,10,",
       {"memo:Monthly", "description:Acme buy", "number:7", "category:Ignored", "ok", "ok",
        "memo:x", "stepDate:1", "back", "skip", "edit", "state:0"},
       "D01/05/2024\nNBuy\nMMonthly\nYAcme Corp\nQ10.00\nI10.0000\nT100.00\n^\n"},
      {"01/05/2024,Sweep,Acme Corp,50.00,,",
       {"state:2",
        "memo:x",
        "stepDate:1",
        "adjustShares:1",
        "splits",
        "addSplit",
        "deleteSplit",
        "splitAmount:0:5",
        "security:X",
        "skipWord:S",
        "redefineType",
        "dontAlwaysSkip",
        "state:2",
        "typeWord:Swee",
        "assumeDollar:1",
        "type:2",
        "ok",
        "state:1",
        "type:5",
        "useType",
        "assumeDollar:0",
        "ok",
        "ok"},
       "D01/05/2024\nNBuy\nMSweep\nYAcme Corp\nQ50.00\nI1.0000\nT50.00\n^\n"},
      // Lines the type cannot be written from are shown with the reason and skipped.
      {"01/05/2024,Bought,,100.00,10,", {"state:5", "ok", "state:5", "skip", "state:0"}, ""},
      {"01/05/2024,Bought,Acme Corp,,10,",
       {"state:5", "edit", "editAmount:20", "editOK", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYAcme Corp\nQ10.00\nI2.0000\nT20.00\n^\n"},
      {"01/05/2024,Bought,Acme Corp,x,10,", {"state:5", "skip"}, ""},
      {"01/05/2024,Gift,Acme Corp,,,", {"state:6", "ok", "state:6", "skip"}, ""},
      // A security by name, by symbol, or both; one not known yet is defined and then shown
      // with the name the finance software knows.
      {"01/05/2024,Bought,Acme Corp,100.00,10,,Buy,ACM",
       {"shows:Acme Corp--ACM", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYAcme Corp\nQ10.00\nI10.0000\nT100.00\n^\n"},
      {"01/05/2024,Bought,,100.00,10,,Buy,BETA",
       {"shows:BETA (Beta Fund)", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYBeta Fund\nQ10.00\nI10.0000\nT100.00\n^\n"},
      {"01/05/2024,Bought,Gamma Inc,100.00,10,,Buy,GAM",
       {"shows:Gamma Inc--GAM", "security:Gamma", "ok", "shows:Gamma Inc--GAM (Gamma)", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYGamma\nQ10.00\nI10.0000\nT100.00\n^\n"},
      {"01/05/2024,Bought,,100.00,10,,Buy,GAM",
       {"shows:GAM", "security:Gamma", "ok", "shows:GAM (Gamma)", "ok"},
       "D01/05/2024\nNBuy\nMBought\nYGamma\nQ10.00\nI10.0000\nT100.00\n^\n"},
      // An amount instruction of the instruction that applies, unless the line keeps its own.
      {"01/05/2024,Cash In,,100.00,,,Gift",
       {"ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPBirthday\nMBirthday\nT100.00\nLGifts\n^\n!Type:Invst\n"},
      {"01/05/2024,Cash In,,50.00,,,Gift",
       {"ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPGift\nMGift\nT50.00\nLIncome\n^\n!Type:Invst\n"},
      {"01/05/2024,Cash In,,100.00,,,Gift",
       {"ok"},
       "!InvstBnk\nNDeposit\nD01/05/2024\nPGift\nMGift\nT100.00\nL\n^\n!Type:Invst\n",
       "QIF",
       {"dontAddCategories"}},
      // A cheque takes a number; capitals at the start of each word when the option is on.
      {"01/05/2024,Cash Out,,-25.00,,,wire out",
       {"redefineType", "type:22", "useType", "number:101", "ok"},
       "!InvstBnk\nNCheck\nD01/05/2024\nPWire Out\nMWire Out\nT-25.00\nLIncome\nN101\n^\n"
       "!Type:Invst\n",
       "QIF",
       {"initialCaps"}},
  };
  for (const Row& row : rows) {
    std::ostringstream name;
    for (const std::string& step : row.steps) name << step << ' ';
    SCOPED_TRACE(row.line + std::string(" / ") + name.str());
    EXPECT_EQ(runScript(row.line, row.steps, row.format, row.options), row.output);
  }
}

// A download (OFX) is confirmed transaction by transaction under the option for downloads, a
// text statement under the option for text.
TEST(InvestmentSessionTest, EachKindOfInputFollowsItsOwnConfirmOption) {
  std::ifstream file(std::string(CORVELA_CORPUS) + "/ofxparse/tiaacref.ofx", std::ios::binary);
  const std::string ofx{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
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
        row.download ? ofx : "Date,Action,Security,Amount,Shares\n01/03/2024,Bought,Acme,50,10\n",
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
