#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/Application.h"
#include "investment/InvestmentQIF.h"
#include "prefs/KeyedArchive.h"
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

// A broker's CSV layout: date, action, security, amount, shares, price.
Value brokerFormat() {
  return Value{{"Name", "Broker"},
               {"FormatType", "Investment"},
               {"Match", "Date,Action"},
               {"DateDelimiter", "/"},
               {"DateStart", "\n"},
               {"DateEnd", ","},
               {"OneTransactionPerLine", true},
               {"Fields", "CSV"},
               {"Date", 0},
               {"Type", 1},
               {"Security", 2},
               {"Amount", 3},
               {"Shares", 4},
               {"Price", 5}};
}

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
  auto prepare = [](Program& program) {
    Value format = brokerFormat();
    format.set("TypeMappings",
               Value(Value::Array{Value{{"formatType", "Bought"}, {"quickenType", 2}}}));
    program.app.formats.addFormat(format);
    program.scratch.prefs.setObject(
        "Securities", Value(Value::Array{Value{{"Name", "Acme Corp"}, {"Symbol", ""}}}));
    program.app.options.add("textConfirmAllTransactions");
  };

  Program whole;
  prepare(whole);
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
    prepare(cut);
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
    prepare(resumed);
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
    Value format = brokerFormat();
    format.set("TypeMappings",
               Value(Value::Array{Value{{"formatType", "Bought"}, {"quickenType", 2}}}));
    program.app.formats.addFormat(format);
    program.scratch.prefs.setObject(
        "Securities", Value(Value::Array{Value{{"Name", "Acme Corp"}, {"Symbol", ""}}}));
    program.app.options.add("textConfirmAllTransactions");
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

}  // namespace
}  // namespace corvela
