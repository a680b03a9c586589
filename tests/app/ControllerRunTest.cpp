#include <gtest/gtest.h>

#include "app/ControllerFixture.h"
#include "app/OutputFile.h"
#include "prefs/KeyedArchive.h"
#include "support/FailingRename.h"

namespace corvela::testing {
namespace {

const std::string kBankRegister = std::string(CORVELA_TEST_DATA) + "/app/bank.qif";
const std::string kCardDownload = std::string(CORVELA_TEST_DATA) + "/app/card.qfx";

// What each run told the person, the save panels it showed and the file it wrote are compared
// with the test's golden file (tests/data/app/golden/RunTest.*.txt).
class RunTest : public ControllerTest {
 protected:
  // Loads `input` and runs it into `out`, chosen in the save panel (none: cancelled).
  void run(const std::string& input, std::optional<std::string> out) {
    controller().actuallyProcessFile(input);
    ASSERT_TRUE(session.ProcessingGlobal);
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
  }
  void addCommaFormat(const char* name) { outputFormats.addFormat(newOutputFormat(name)); }
  // The range and format remembered for the next run.
  std::string remembered() {
    Value settings = store.prefs.objectForKey("ControlSettings");
    Value::Date from = settings["dateFrom"].toDate(), to = settings["dateTo"].toDate();
    return "remembered " + std::to_string(settings["whichTransactions"].toInt()) + " " +
           (from == distantPastDate() ? "past" : dayOfDate(from).format("%F")) + " " +
           (isDistantFuture(to) ? "future" : dayOfDate(to).format("%F")) + " " +
           str(settings, "outputFormat") + "\n";
  }
};

// Chosen in the save panel, the statement being read or the store is refused before anything
// runs, and left as it was.
TEST_F(RunTest, TheInputOrTheStoreIsNotChosenAsTheOutput) {
  const std::string input = file("in.qif", readFile(kBankRegister));
  for (const std::string& target : {input, store.prefs.prefsPath()}) {
    const std::string before = readFile(target);
    run(input, target);
    EXPECT_EQ(platform.lastStatus().title, "Output File Not Written") << target;
    EXPECT_TRUE(platform.lastStatus().text.ends_with(
        "\r\rNo transactions were processed; nothing was changed."));
    EXPECT_EQ(readFile(target), before);
    controller().doneWithFile();
  }
}

TEST_F(RunTest, NewQIFFile) {
  std::string out = dir + "/out.qif";
  run(kBankRegister, out);
  ASSERT_EQ(platform.savePanels.size(), 1u);
  EXPECT_TRUE(platform.savePanels[0].asSheet);
  EXPECT_EQ(platform.savePanels[0].directory, std::string(CORVELA_TEST_DATA) + "/app");
  EXPECT_EQ(readFile(out), dataFile("bank-expected.qif"));
  EXPECT_EQ(store.prefs.objectForKey("LastRootDirectory").toString(), dir);
  EXPECT_FALSE(bank.mustConfirm);
  report("new file");
  // The run is over but the report stays until the person dismisses it.
  EXPECT_TRUE(session.ProcessingGlobal);
  controller().doneWithFile();
  EXPECT_FALSE(session.ProcessingGlobal);

  // QIF without the option "append" replaces the file even when the switch is on.
  file("out.qif", "!Type:Bank\nD01/01/2020\nT1.00\n^\n");
  remember({{"outputFilePath", out}});
  controller().setAppendSwitch(true);
  run(kBankRegister, out);
  EXPECT_EQ(readFile(out), dataFile("bank-expected.qif"));
  report("replaced");
  checkLog();
}

// The range chosen keeps exactly its transactions and is remembered for the next run; a range
// that keeps none leaves the file as it was.
TEST_F(RunTest, TheRangeChosenIsOutputAndRemembered) {
  struct Case {
    const std::string& input;
    int which;
    const char *from, *to;  // typed when not null
  };
  const Case cases[] = {{kBankRegister, 0, nullptr, nullptr},
                        {kBankRegister, 1, nullptr, nullptr},
                        {kCardDownload, 1, nullptr, nullptr},
                        {kBankRegister, 2, "1/1/23", "1/31/23"}};
  for (const Case& c : cases) {
    std::string out = file("out.qif", "keep me\n");
    remember({{"whichTransactions", c.which}});
    controller().actuallyProcessFile(c.input);
    if (c.from) {
      controller().controlTextDidChange(MainControl::dateFromString, c.from);
      controller().controlTextDidChange(MainControl::dateToString, c.to);
      controller().checkDateRange();
    }
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
    report(lastPathComponent(c.input) + " " + std::to_string(c.which), out);
    log += remembered();
    controller().doneWithFile();
  }
  checkLog();
}

// Delimited output appends to the remembered file, to one chosen now, or replaces the one
// chosen when the open panel's switch is turned off.
TEST_F(RunTest, DelimitedOutputAppendsToTheFileChosen) {
  addCommaFormat("Bank CSV");
  struct Case {
    bool remembered;  // the remembered file is offered
    int popUp;        // 0: the remembered file, 1: one chosen now
    bool appendInPanel;
  };
  for (const Case& c : {Case{true, 0, true}, Case{true, 1, true}, Case{false, 1, false}}) {
    std::string old = file("old.csv", "old\n");
    std::string other = file("other.csv", "other\n");
    remember({{"outputFormat", "Bank CSV"}, {"outputFilePath", c.remembered ? old : ""}});
    controller().actuallyProcessFile(kBankRegister);
    controller().setAppendSwitch(true);
    if (c.remembered) controller().selectAppendPopUp(c.popUp);
    platform.openPanels.clear();
    if (c.popUp == 1) platform.answerNextOpenPanel(OpenPanelChoice{other, c.appendInPanel});
    controller().processTheTransactions();
    EXPECT_EQ(platform.openPanels.size(), static_cast<std::size_t>(c.popUp));
    if (c.popUp == 1) {
      EXPECT_EQ(platform.openPanels[0].prompt, "Append To");
      EXPECT_EQ(platform.openPanels[0].fileTypes, std::vector<std::string>{"csv"});
    }
    report(std::to_string(c.popUp) + (c.appendInPanel ? " appending" : " replacing"), old);
    report(lastPathComponent(str(store.prefs.objectForKey("ControlSettings"), "outputFilePath")),
           other);
    controller().doneWithFile();
  }
  checkLog();
}

TEST_F(RunTest, DelimitedOutputWithoutAppendingAsksForANewFile) {
  outputFormats.addFormat(Value{{"Name", "Tabs"},
                                {"Type", "Bank"},
                                {"Separator", "Tab"},
                                {"Order", Value::Array{Value("Date"), Value("Amount")}},
                                {"Present", Value::Array{Value(true), Value(true)}}});
  remember({{"outputFormat", "Tabs"}});
  run(kBankRegister, dir + "/out.txt");
  report("tabs", dir + "/out.txt");
  checkLog();
}

TEST_F(RunTest, AFailedWriteLeavesTheOutputFileAsItWas) {
  FailingRename failing;
  fileOps = &failing;
  std::string out = file("out.qif", "precious\n");
  run(kBankRegister, out);
  EXPECT_EQ(readFile(out), "precious\n");
  EXPECT_EQ(platform.lastStatus().title, "Output File Not Written");
  EXPECT_NE(platform.lastStatus().text.find(out), std::string::npos);
  EXPECT_NE(platform.lastStatus().text.find("No space left on device"), std::string::npos);
}

// Dates written day first are read so when every date allows it, and hinted at when a register
// cannot be read month first; a corrupted register names its line and writes nothing.
TEST_F(RunTest, RegistersThatReadOrFailWithTheirReason) {
  int register_ = 0;
  for (const char* text : {"\n!Type:Bank\nD1/2/24\nT5\n^\nDnot a date\nT1\n^\n",
                           "!Type:Bank\nD22.01.2007\nT-5\n^\nD05.02.2007\nT7\n^\n",
                           "!Type:Bank\nD01/13/2024\nT-5\n^\nD13/01/2024\nT7\n^\n"}) {
    std::filesystem::remove(dir + "/out.qif");
    run(file("in.qif", text), dir + "/out.qif");
    EXPECT_EQ(bank.records.has_value(), std::filesystem::exists(dir + "/out.qif"));
    report("register " + std::to_string(++register_), dir + "/out.qif");
    bank.records.reset();
    controller().doneWithFile();
  }
  checkLog();
}

TEST_F(RunTest, SettingsReachTheProcessor) {
  turnOn(option::markBankTransactionsAsCleared);
  turnOn(option::markCreditCardTransactionsAsUncleared);
  controller().actuallyProcessFile(kBankRegister);
  controller().selectQIFType(1);
  controller().checkOutputDate(true);
  controller().controlTextDidChange(MainControl::outputDateString, "03/31/2024");
  controller().controlTextDidChange(MainControl::outputNumberString, "9");
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  // The date given to every transaction, the number (none: its switch is off), the switch and
  // the number typed, the cleared and uncleared marks, and the QIF type.
  const RunSettings& settings = bank.settings;
  EXPECT_EQ(settings.outputDate + "|" + settings.outputNumber + "|" +
                std::to_string(settings.sameDateSwitch) + "|" + settings.outputNumberString + "|" +
                std::to_string(settings.markAsCleared) + std::to_string(settings.markAsUncleared) +
                "|" + std::to_string(settings.qifTypeTag),
            "03/31/2024||1|9|10|1");
  Value stored = store.prefs.objectForKey("ControlSettings");
  EXPECT_EQ(str(stored, "outputNumberString"), "9");
  EXPECT_EQ(dayOfDate(stored["outputDate"].toDate()), (CalendarDay{2024, 3, 31}));
}

TEST_F(RunTest, TheQIFTypeOfARegisterRunDoesNotFollowIntoADownload) {
  controller().actuallyProcessFile(kBankRegister);
  controller().selectQIFType(3);  // swap description and memo, reverse signs
  platform.answerNextSavePanel(dir + "/bank.qif");
  controller().processTheTransactions();
  EXPECT_EQ(bank.settings.qifTypeTag, 5);
  controller().doneWithFile();

  // The remembered choice fills the hidden pop-up again, but speaks only for registers.
  run(kCardDownload, dir + "/card.qif");
  EXPECT_EQ(bank.settings.account, "4111222233334444");
  EXPECT_EQ(bank.settings.qifTypeTag, 0);
  // The block without an amount reaches the processor as an error record.
  EXPECT_TRUE(bank.records->toArray()[2].contains("errorMessage"));
  EXPECT_EQ(readFile(dir + "/card.qif"), dataFile("card-expected.qif"));
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings")["inputQIFType"].toInt(), 3);
}

TEST_F(RunTest, PartsNotBuiltYetSayWhatIsMissing) {
  addInputFormat("Acme", "Bank", "ACME");
  store.prefs.setObject("Securities", Value::array());
  for (auto [name, text] : {std::pair{"inv.ofx", "OFXHEADER:100\n<INVSTMTMSGSRSV1>\n"},
                            {"text.txt", "ACME\n01/02/2024 Shop 5.00\n"}}) {
    run(file(name, text), dir + "/out.qif");
    report(name, dir + "/out.qif");
    controller().doneWithFile();
  }
  EXPECT_FALSE(bank.records);
  checkLog();
}

TEST_F(RunTest, FinishLaterSavesAContinuationFile) {
  bank.continuation = Value{{"qif", Value::Array{}},        {"fileAsString", "!Type:Bank\n"},
                            {"currentTransactionIndex", 1}, {"numberOfTransactionsAppended", 2},
                            {"outputFormatText", "QIF"},    {"account", "Checking"}};
  // Without a continuation file chosen, nothing is kept.
  platform.answerNextSavePanel(dir + "/out.qif");
  platform.answerNextSavePanel(std::nullopt);
  controller().actuallyProcessFile(kBankRegister);
  controller().processTheTransactions();
  report("not saved", dir + "/out.qif");
  controller().doneWithFile();

  std::string out = file("out.qif", "keep\n");
  std::string later = dir + "/later.crvc";
  platform.answerNextSavePanel(out);
  platform.answerNextSavePanel(later);
  controller().actuallyProcessFile(kBankRegister);
  controller().processTheTransactions();
  report("saved", out);
  Result<Value> saved = readKeyedArchiveFile(later);
  ASSERT_TRUE(saved.ok()) << saved.message();
  EXPECT_EQ(saved.value(), *bank.continuation);

  // Opening it later finishes the run into a file chosen then.
  controller().doneWithFile();
  bank.continuation.reset();
  run(later, dir + "/final.qif");
  EXPECT_EQ(bank.continued, saved.value());
  report("continued", dir + "/final.qif");
  checkLog();
}

TEST_F(RunTest, EachRunConfirmsAsTheOptionSaysAndWarnsAfresh) {
  turnOn(option::confirmAllTransactions);
  // A warning silenced during an earlier run...
  Value format{{"Name", "Shop"}};
  platform.answerNextInputErrorWarning(ErrorWarning::goOn, true);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
              ErrorWarning::goOn);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 1u);
  run(kBankRegister, dir + "/out.qif");
  EXPECT_TRUE(bank.mustConfirm);
  // ...is shown again in the next one.
  platform.answerNextInputErrorWarning(ErrorWarning::cancel);
  EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
            ErrorWarning::cancel);
}

}  // namespace
}  // namespace corvela::testing
