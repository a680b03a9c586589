#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "app/BankingRun.h"
#include "app/ControllerFixture.h"
#include "app/FormattedTextRun.h"
#include "banking/BankingCreditCardQIF.h"
#include "banking/FormattedTextReader.h"
#include "editors/EditInstructions.h"
#include "editors/InstructionEditorHarness.h"
#include "instructions/Instructions.h"
#include "lists/Descriptions.h"
#include "prefs/CancelConfirm.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"
#include "support/Corpus.h"
#include "support/ScriptedBankViews.h"

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

// The controller driving the real bank and credit-card processor, with the instruction editor
// beside it, wired as the program wires them.
class ControllerBankingTest : public ControllerTest {
 protected:
  ControllerBankingTest()
      : instructions(store.prefs, options),
        descriptions(store.prefs),
        cancelConfirm(options, platform),
        processor(store.prefs, options, instructions, categories, descriptions, qifReader,
                  outputFormats, cancelConfirm, errorWarning, platform, confirmView,
                  newInstructionView),
        port(processor),
        editor(store.prefs, options, instructions, categories, descriptions, qifReader, platform,
               processor.instructionMatches(), windows, windows) {
    processor.setInstructionEditor(&editor);
    bankPort = &port;
    store.prefs.setObject(
        "Instructions",
        Value::Array{Value{{"descriptionMatch", "COFFEE"}, {"category", "Dining"}},
                     Value{{"descriptionMatch", "GROCER"}, {"category", "Food"}},
                     Value{{"descriptionMatch", "SALARY"}, {"category", "Income"}}});
  }

  // Loads the bank register and starts its run into `out`.
  void start(const std::string& out) {
    controller().actuallyProcessFile(kBankRegister);
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
  }
  // Converts the bank register into `name` and answers what was written.
  std::string convert(const std::string& name) {
    start(dir + "/" + name);
    EXPECT_EQ(platform.lastStatus().text,
              "\r\r3 transactions output to file \"" + dir + "/" + name + "\".");
    EXPECT_FALSE(processor.running());
    controller().doneWithFile();
    return readFile(dir + "/" + name);
  }
  // Confirms `count` transactions of the run (all that are left when none is given), outputting
  // as read one that OK does not take; how many it answered.
  int answerMore(std::optional<int> count) {
    int answered = 0;
    for (; processor.running() && answered != count.value_or(-1); ++answered) {
      const std::size_t at = processor.currentTransactionIndex();
      if (processor.openDialog() == BankingCreditCardQIF::Dialog::confirm) processor.confirmOK();
      if (processor.running() && processor.currentTransactionIndex() == at)
        processor.outputAsRead();
    }
    return answered;
  }
  // Confirms each transaction left in the run and answers what it wrote to `out`.
  std::string confirmAll(const std::string& out) {
    while (processor.openDialog() == BankingCreditCardQIF::Dialog::confirm) processor.confirmOK();
    EXPECT_FALSE(processor.running());
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

// An instruction edited between two runs is the one the second run uses.
TEST_F(ControllerBankingTest, TheNextConversionUsesTheEditedInstruction) {
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

TEST_F(ControllerBankingTest, FinishLaterThenContinueFromTheFile) {
  turnOn(option::confirmAllTransactions);
  std::string out = file("out.qif", "untouched\n");
  start(out);
  // The first transaction waits in the confirmation dialog; confirm it, then finish later.
  ASSERT_EQ(processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);
  processor.confirmOK();
  ASSERT_EQ(processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);
  std::string later = dir + "/later.crvc";
  platform.answerNextCancelConfirm(CancelConfirm::finishLater);
  platform.answerNextSavePanel(later);
  processor.cancel();
  EXPECT_EQ(platform.lastStatus().title, "Continuation File Created");
  EXPECT_EQ(readFile(out), "untouched\n");
  controller().doneWithFile();

  controller().actuallyProcessFile(later);
  EXPECT_TRUE(form().transactionsContinuation.visible);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
  std::string final = dir + "/final.qif";
  platform.answerNextSavePanel(final);
  controller().processTheTransactions();
  EXPECT_EQ(confirmAll(final), dataFile("bank-instructions-expected.qif"));
  EXPECT_EQ(platform.lastStatus().text,
            "\r\r3 transactions output to file \"" + final + "\".\r\r2 confirmed.");
  EXPECT_TRUE(platform.allAnswersUsed());
}

// A long run's continuation holds more entries than a preference store may (some 200,000
// transactions' worth): it opens and finishes like a short one.
TEST_F(ControllerBankingTest, AContinuationLongerThanAStoreMayBeOpens) {
  turnOn(option::confirmAllTransactions);
  start(dir + "/out.qif");
  processor.confirmOK();
  const std::string later = dir + "/later.crvc";
  platform.answerNextCancelConfirm(CancelConfirm::finishLater);
  platform.answerNextSavePanel(later);
  processor.cancel();
  controller().doneWithFile();
  Value continuation = readKeyedArchiveFile(later).value();
  continuation.set("padding", Value(Value::Array(std::size_t{1} << 21, Value(true))));
  ASSERT_TRUE(writeKeyedArchiveFile(later, continuation).ok());

  controller().actuallyProcessFile(later);
  ASSERT_TRUE(form().transactionsContinuation.visible) << platform.lastStatus().text;
  platform.answerNextSavePanel(dir + "/final.qif");
  controller().processTheTransactions();
  EXPECT_EQ(confirmAll(dir + "/final.qif"), dataFile("bank-instructions-expected.qif"));
}

TEST_F(ControllerBankingTest, AFileOfferedDuringARunIsRefusedEvenAfterActivation) {
  turnOn(option::confirmAllTransactions);
  start(dir + "/out.qif");
  ASSERT_EQ(processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);

  // Switching to another program and back marks the program as just activated.
  session.JustActivated = true;
  EXPECT_FALSE(controller().applicationOpenFile(kBankRegister));
  EXPECT_TRUE(processor.running());

  processor.skipRemaining();
  EXPECT_FALSE(processor.running());
  EXPECT_TRUE(controller().applicationOpenFile(kBankRegister));
}

// Stopping outputs nothing. The controller lets a register's lines go once they are read; a run
// after a stopped one must read them again, the header taken off as the first time.
TEST_F(ControllerBankingTest, ARunAfterAStoppedOneWritesWhatAFreshRunWrites) {
  turnOn(option::confirmAllTransactions);
  start(dir + "/fresh.qif");
  const std::string fresh = confirmAll(dir + "/fresh.qif");
  ASSERT_NE(fresh.find("^\n"), std::string::npos);
  controller().doneWithFile();

  start(dir + "/stopped.qif");
  ASSERT_EQ(processor.openDialog(), BankingCreditCardQIF::Dialog::confirm);
  platform.answerNextCancelConfirm(CancelConfirm::stop);
  processor.cancel();
  ASSERT_FALSE(processor.running());
  EXPECT_EQ(platform.lastStatus().text, "\r\r\rNo transactions output.");
  EXPECT_FALSE(std::filesystem::exists(dir + "/stopped.qif"));
  platform.answerNextSavePanel(dir + "/again.qif");
  controller().processTheTransactions();
  EXPECT_EQ(confirmAll(dir + "/again.qif"), fresh);
}

// A text statement read with its input format, converted as the command line converts it (a
// few records at a time), writes what a whole run writes: with lines that cannot be read, which
// are skipped, and with a range.
TEST_F(ControllerBankingTest, ATextStatementFedAFewRecordsAtATimeWritesWhatAWholeRunWrites) {
  const DateTables tables = Bundle::builtIn().dateTables();
  FormattedTextReader reader(store.prefs, tables, errorWarning);
  FormattedTextRun text(reader);
  textPort = &text;
  platform.goOnAtEveryWarning();
  store.prefs.setObject(
      "Formats", fromJSON(R"([{"Name": "Export", "FormatType": "Bank", "Match": "Bank export",
                               "DateDelimiter": "/", "DateStart": "\n", "DateEnd": ";",
                               "Fields": "SSV", "OneTransactionPerLine": true, "Date": 0,
                               "Description": 1, "Credit": 2}])")
                     .value());
  std::string statement = "Bank export\n";
  for (int day = 1; day <= 28; ++day) {
    const char* payee = day % 4 == 0 ? "COFFEE BAR" : day % 4 == 1 ? "GROCER" : "SHOP";
    statement += (day % 7 == 0 ? "13/45/2024" : "02/" + std::to_string(day) + "/2024") + ";" +
                 payee + " " + std::to_string(day) + ";-" + std::to_string(day) + ".25\n";
  }
  const std::string input = dir + "/export.txt";
  std::ofstream(input) << statement;
  for (bool ranged : {false, true}) {
    SCOPED_TRACE(ranged ? "from the 5th to the 20th" : "every transaction");
    std::optional<std::string> whole, wholeReport;
    for (std::size_t window : {std::size_t{0}, std::size_t{1}, std::size_t{4}}) {
      SCOPED_TRACE(window ? std::to_string(window) + " at a time" : "whole");
      remakeController();
      inputRunsOnce = window != 0;
      recordWindow = window;
      controller().actuallyProcessFile(input);
      ASSERT_EQ(form().inputFormatText.text, "Export");
      if (ranged) {
        controller().radioButtonDateRange();
        controller().controlTextDidChange(MainControl::dateFromString, "02/05/2024");
        controller().controlTextDidChange(MainControl::dateToString, "02/20/2024");
        controller().checkDateRange();
      }
      const std::string out = dir + "/out-" + std::to_string(window) + ".qif";
      platform.answerNextSavePanel(out);
      controller().processTheTransactions();
      answerMore(std::nullopt);
      std::string report = platform.lastStatus().text;
      report.replace(report.find(out), out.size(), "OUT");
      if (!whole) {
        whole = readFile(out);
        wholeReport = report;
        EXPECT_NE(report.find(ranged ? "\r\r14 transactions" : "\r\r24 transactions"),
                  std::string::npos)
            << report;
      } else {
        EXPECT_EQ(readFile(out), *whole);
        EXPECT_EQ(report, *wholeReport);
      }
      controller().doneWithFile();
    }
  }
}

// Every bank and card statement of the corpus, run with every transaction shown: going back a
// transaction, finishing later in the middle and continuing from the file writes what a run
// answered straight through writes, as QIF and in a delimited layout, and so does a run after it.
// Each transaction is confirmed, or output as read where it matches no instruction or OK is refused
// (a transfer to an account the store does not know).
class ContinuationCorpusTest : public ControllerBankingTest,
                               public ::testing::WithParamInterface<std::string> {
 protected:
  // Starts a run of the statement or continuation `input` into `output` and answers `count`
  // transactions (all of them when none is given); how many it answered, or none when the
  // input cannot be run.
  std::optional<int> answer(const std::string& input, const std::string& output,
                            std::optional<int> count = std::nullopt) {
    controller().actuallyProcessFile(input);
    // A continuation keeps the output format it was begun with. Each run writes a file of its
    // own rather than appending to the last one.
    if (delimited && !form().transactionsContinuation.visible) {
      controller().controlTextDidChange(
          MainControl::outputFormatText,
          form().inputAccountType.text == "Credit Card" ? "Card CSV" : "Bank CSV");
    }
    controller().setAppendSwitch(false);
    if (!form().processTheTransactionsButton.enabled) return std::nullopt;
    platform.answerNextSavePanel(output);
    controller().processTheTransactions();
    return answerMore(count);
  }

  bool delimited = false;
};

TEST_P(ContinuationCorpusTest, GoingBackAndFinishingLaterChangeNothingWritten) {
  turnOn(option::confirmAllTransactions);
  platform.goOnAtEveryWarning();
  for (const char* kind : {"Bank", "Credit Card"}) {
    Value format = newOutputFormat(kind == std::string("Bank") ? "Bank CSV" : "Card CSV");
    format.set("Type", kind);
    outputFormats.addFormat(format);
  }
  const std::string input = (kCorpus / GetParam()).string();
  for (bool delimitedOutput : {false, true}) {
    SCOPED_TRACE(delimitedOutput ? "delimited output" : "QIF output");
    delimited = delimitedOutput;
    const std::string name = delimited ? "csv" : "qif";
    const int count = answer(input, dir + "/whole." + name).value_or(0);
    if (count < 2) GTEST_SKIP() << "not a bank or card statement of two transactions or more";
    const std::string whole = readFile(dir + "/whole." + name);
    controller().doneWithFile();

    answer(input, dir + "/first." + name, count / 2);
    processor.back();
    answerMore(1);
    platform.answerNextCancelConfirm(CancelConfirm::finishLater);
    platform.answerNextSavePanel(dir + "/later-" + name + ".crvc");
    processor.cancel();
    ASSERT_EQ(platform.lastStatus().title, "Continuation File Created");
    controller().doneWithFile();
    EXPECT_EQ(answer(dir + "/later-" + name + ".crvc", dir + "/final." + name), count - count / 2);
    EXPECT_EQ(readFile(dir + "/final." + name), whole);
    controller().doneWithFile();
    // Nothing of the continued run is carried into the next one.
    EXPECT_EQ(answer(input, dir + "/again." + name), count);
    EXPECT_EQ(readFile(dir + "/again." + name), whole);
    controller().doneWithFile();
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ContinuationCorpusTest, ::testing::ValuesIn(corpusStatements()),
                         corpusTestName);

// Every bank and card statement of the corpus, converted as the command line converts it: its
// records read a few at a time, and what each window writes handed on before the next is read.
// It writes what the desktop's whole run writes, to a file and to the front end's own output,
// with every transaction shown or those that need it (a third of them skipped), and the run ends
// with the same report.
using FedCorpusTest = ContinuationCorpusTest;

TEST_P(FedCorpusTest, ARunFedAFewRecordsAtATimeWritesWhatAWholeRunWrites) {
  platform.goOnAtEveryWarning();
  const std::string input = (kCorpus / GetParam()).string();
  struct Run {
    std::string output, report;
    int pieces = 0;  // how many times the output was taken
  };
  auto run = [&](bool fed, std::size_t window, bool taken) {
    remakeController();
    inputRunsOnce = fed;
    recordWindow = window;
    std::string takenOutput;
    int pieces = 0;
    takeOutput = taken ? std::function([&takenOutput, &pieces](std::string_view output) {
      takenOutput += output;
      ++pieces;
      return Status::OK();
    })
                       : nullptr;
    const std::string out = dir + "/out-" + std::to_string(window) + (taken ? "-taken" : "");
    std::filesystem::remove(out);
    if (!answer(input, out, 0)) return std::optional<Run>();
    // Every third transaction shown is skipped, the others output.
    for (int shown = 0; processor.running(); ++shown) {
      const std::size_t at = processor.currentTransactionIndex();
      if (shown % 3 == 2) processor.skipTransaction();
      if (processor.running() && processor.currentTransactionIndex() == at) processor.confirmOK();
      if (processor.running() && processor.currentTransactionIndex() == at)
        processor.outputAsRead();
    }
    controller().doneWithFile();
    std::string report = platform.lastStatus().text;
    if (std::size_t at = report.find(out); at != std::string::npos)
      report.replace(at, out.size(), "OUT");
    return std::optional<Run>(Run{taken ? takenOutput : readFile(out), report, pieces});
  };
  for (bool confirmEach : {false, true}) {
    SCOPED_TRACE(confirmEach ? "every transaction shown" : "shown where needed");
    if (confirmEach) turnOn(option::confirmAllTransactions);
    const std::optional<Run> whole = run(false, SIZE_MAX, false);
    if (!whole || whole->output.empty())
      GTEST_SKIP() << "not a bank or card statement that converts";
    for (std::size_t window : {1, 3}) {
      for (bool taken : {false, true}) {
        SCOPED_TRACE(std::to_string(window) + " at a time" + (taken ? ", output taken" : ""));
        const std::optional<Run> fed = run(true, window, taken);
        ASSERT_TRUE(fed);
        EXPECT_EQ(fed->output, whole->output);
        EXPECT_EQ(fed->report, whole->report);
        // A register is handed on as it is written, not kept to the end. (An OFX statement's
        // records are read whole.)
        if (taken && window == 1 && !isOFXFile(input) &&
            whole->report.find("\r\r1 transaction ") == std::string::npos) {
          EXPECT_GT(fed->pieces, 1);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, FedCorpusTest, ::testing::ValuesIn(corpusStatements()),
                         corpusTestName);

}  // namespace
}  // namespace corvela::testing
