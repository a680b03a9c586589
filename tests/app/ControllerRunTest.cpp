#include <gtest/gtest.h>

#include <cerrno>

#include "app/ControllerFixture.h"
#include "prefs/KeyedArchive.h"

namespace corvela::testing {
namespace {

// System calls whose rename fails, as on a full disk.
class FailingRename : public FileOps {
 public:
  int rename(const char*, const char*) override {
    errno = ENOSPC;
    return -1;
  }
};

const std::string kBankRegister = std::string(CORVELA_TEST_DATA) + "/app/bank.qif";
const std::string kCardDownload = std::string(CORVELA_TEST_DATA) + "/app/card.qfx";

class RunTest : public ControllerTest {
 protected:
  // Loads tests/data/app/bank.qif (two March transactions and one of February) and runs it
  // into `out`, chosen in the save panel.
  void run(const std::string& input, std::optional<std::string> out) {
    controller().actuallyProcessFile(input);
    ASSERT_TRUE(session.ProcessingGlobal);
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
  }
  void addCommaFormat(const char* name) { outputFormats.addFormat(newOutputFormat(name)); }
  const std::string& statusText() { return platform.lastStatus().text; }
};

TEST_F(RunTest, NewQIFFile) {
  std::string out = dir + "/out.qif";
  run(kBankRegister, out);
  ASSERT_EQ(platform.savePanels.size(), 1u);
  const SavePanel& panel = platform.savePanels[0];
  EXPECT_TRUE(panel.asSheet);
  EXPECT_EQ(panel.requiredFileType, "qif");
  EXPECT_EQ(panel.suggestedName, "QIF Import 03-15-2024.qif");
  EXPECT_EQ(panel.directory, std::string(CORVELA_TEST_DATA) + "/app");
  EXPECT_EQ(readFile(out), dataFile("bank-expected.qif"));
  EXPECT_EQ(platform.lastStatus().title, "Finished Processing Transactions");
  EXPECT_EQ(statusText(), "\r\r3 transactions output to file \"out.qif\".");
  EXPECT_EQ(store.prefs.objectForKey("LastRootDirectory").toString(), dir);
  EXPECT_FALSE(bank.mustConfirm);
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
}

// The range chosen keeps exactly its transactions and is remembered for the next run; a range
// that keeps none leaves the file as it was.
TEST_F(RunTest, TheRangeChosenIsOutputAndRemembered) {
  struct Case {
    const char* name;
    const std::string& input;
    int which;
    const char *from, *to;  // typed when not null
    const char* status;
    std::optional<CalendarDay> firstDay, lastDay;  // none: the distant bounds
    const char* mustContain;
  };
  const Case cases[] = {
      {"all", kBankRegister, 0, nullptr, nullptr, "\r\r3 transactions output to file \"out.qif\".",
       std::nullopt, std::nullopt, "D03/05/2024"},
      {"lastMonth", kBankRegister, 1, nullptr, nullptr,
       "\r\r1 transaction output to file \"out.qif\".", CalendarDay{2024, 2, 1},
       CalendarDay{2024, 2, 29}, "!Type:Bank\nD02/10/2024\nPCoffee\nM\nT-5.00\n^\n"},
      {"lastMonthOfADownload", kCardDownload, 1, nullptr, nullptr,
       "\r\r1 transaction output to file \"out.qif\".", CalendarDay{2024, 2, 1},
       CalendarDay{2024, 2, 29}, "D02/10/2024"},
      {"none", kBankRegister, 2, "1/1/23", "1/31/23", "\r\r\rNo transactions output.",
       CalendarDay{2023, 1, 1}, CalendarDay{2023, 1, 31}, "keep me\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
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
    EXPECT_EQ(statusText(), c.status);
    EXPECT_NE(readFile(out).find(c.mustContain), std::string::npos) << readFile(out);
    Value stored = store.prefs.objectForKey("ControlSettings");
    EXPECT_EQ(stored["whichTransactions"].toInt(), c.which);
    EXPECT_EQ(stored["dateFrom"].toDate(), c.firstDay ? dateOfDay(*c.firstDay) : distantPastDate());
    EXPECT_EQ(stored["dateTo"].toDate(), c.lastDay ? dateOfDay(*c.lastDay) : distantFutureDate());
    EXPECT_EQ(stored["outputFormat"].toString(), "QIF");
    controller().doneWithFile();
  }
}

TEST_F(RunTest, CancelledSavePanelEndsTheRun) {
  run(kBankRegister, std::nullopt);
  EXPECT_FALSE(bank.records);
  EXPECT_TRUE(platform.statuses.empty());
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_FALSE(view.visible);
  EXPECT_TRUE(form().menuItemEnabled(MenuItem::preferencesMenuItem));
}

TEST_F(RunTest, DelimitedOutputAppendsToTheFileChosen) {
  addCommaFormat("Bank CSV");
  struct Case {
    const char* name;
    bool remembered;  // the remembered file is offered
    int popUp;        // 0: the remembered file, 1: one chosen now
    bool appendInPanel;
    const char* written;  // the file that receives the output
    const char* before;   // what it holds afterwards before the output
  };
  const Case cases[] = {
      {"remembered", true, 0, true, "old.csv", "old\n"},
      {"chosenNow", true, 1, true, "other.csv", "other\n"},
      {"switchTurnedOffInThePanel", false, 1, false, "other.csv", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string old = file("old.csv", "old\n");
    std::string other = file("other.csv", "other\n");
    remember({{"outputFormat", "Bank CSV"}, {"outputFilePath", c.remembered ? old : ""}});
    controller().actuallyProcessFile(kBankRegister);
    controller().setAppendSwitch(true);
    if (c.remembered) controller().selectAppendPopUp(c.popUp);
    platform.openPanels.clear();
    if (c.popUp == 1) platform.answerNextOpenPanel(OpenPanelChoice{other, c.appendInPanel});
    controller().processTheTransactions();
    EXPECT_TRUE(platform.savePanels.empty());
    EXPECT_EQ(platform.openPanels.size(), static_cast<std::size_t>(c.popUp));
    EXPECT_EQ(readFile(dir + "/" + c.written), c.before + dataFile("bank-expected.csv"));
    EXPECT_EQ(statusText(),
              "\r\r3 transactions output to file \"" + std::string(c.written) + "\".");
    EXPECT_EQ(str(store.prefs.objectForKey("ControlSettings"), "outputFilePath"),
              dir + "/" + c.written);
    if (c.popUp == 1) {
      ASSERT_EQ(platform.openPanels.size(), 1u);
      EXPECT_EQ(platform.openPanels[0].prompt, "Append To");
      EXPECT_EQ(platform.openPanels[0].fileTypes, std::vector<std::string>{"csv"});
      EXPECT_EQ(readFile(old), "old\n");
    }
    controller().doneWithFile();
  }
}

TEST_F(RunTest, DelimitedOutputWithoutAppendingAsksForANewFile) {
  outputFormats.addFormat(Value{{"Name", "Tabs"},
                                {"Type", "Bank"},
                                {"Separator", "Tab"},
                                {"Order", Value::Array{Value("Date"), Value("Amount")}},
                                {"Present", Value::Array{Value(true), Value(true)}}});
  remember({{"outputFormat", "Tabs"}});
  run(kBankRegister, dir + "/out.txt");
  ASSERT_EQ(platform.savePanels.size(), 1u);
  EXPECT_EQ(platform.savePanels[0].requiredFileType, "txt");
  EXPECT_EQ(platform.savePanels[0].suggestedName, "Corvela.txt");
  EXPECT_EQ(readFile(dir + "/out.txt"),
            "03/01/2024\t-12.50\n02/10/2024\t-5.00\n03/05/2024\t1,000.00\n");
}

TEST_F(RunTest, AppendsQIFToTheFinanceSoftwaresAccountFile) {
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}});
  std::string previous = file("previous.qif", "!Account\nNChecking\nTBank\n^\n!Type:Bank\n");
  remember({{"outputFilePath", previous}, {"whichTransactions", 1}});
  controller().actuallyProcessFile(kBankRegister);
  controller().controlTextDidChange(MainControl::quickenAccountText, "Checking");
  controller().processTheTransactions();
  EXPECT_TRUE(platform.savePanels.empty());
  EXPECT_EQ(readFile(previous),
            "!Account\nNChecking\nTBank\n^\n!Type:Bank\n"
            "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD02/10/2024\nPCoffee\nM\nT-5.00\n^\n");
  EXPECT_EQ(bank.settings.account, "Checking");
}

TEST_F(RunTest, AFailedWriteLeavesTheOutputFileAsItWas) {
  FailingRename failing;
  fileOps = &failing;
  std::string out = file("out.qif", "precious\n");
  run(kBankRegister, out);
  EXPECT_EQ(readFile(out), "precious\n");
  EXPECT_EQ(platform.lastStatus().title, "Output File Not Written");
  EXPECT_NE(statusText().find(out), std::string::npos);
  EXPECT_NE(statusText().find("No space left on device"), std::string::npos);
}

// Dates written day first are read so when every date allows it, and hinted at when a register
// cannot be read month first; a corrupted register names its line and writes nothing.
TEST_F(RunTest, RegistersThatReadOrFailWithTheirReason) {
  struct Case {
    const char* text;
    const char* title;
    const char* status;
    const char* output;  // null: no file is written
  };
  const Case cases[] = {
      {"\n!Type:Bank\nD1/2/24\nT5\n^\nDnot a date\nT1\n^\n", "Invalid Input",
       "\r\rFile \"in.qif\" appears to contain corrupted QIF on line 6; it cannot be processed.",
       nullptr},
      {"!Type:Bank\nD22.01.2007\nT-5\n^\nD05.02.2007\nT7\n^\n", "Finished Processing Transactions",
       "\r\r2 transactions output to file \"out.qif\".\r\rThe dates were read day before month "
       "(as in 31/12/2009): every date of the register reads that way, and some cannot be read "
       "month first.",
       "!Type:Bank\nD01/22/2007\nP\nM\nT-5\n^\nD02/05/2007\nP\nM\nT7\n^\n"},
      {"!Type:Bank\nD01/13/2024\nT-5\n^\nD13/01/2024\nT7\n^\n", "Invalid Input",
       "\r\rFile \"in.qif\" appears to contain corrupted QIF on line 5; it cannot be processed."
       "\r\rThe dates may be written day before month (as in 31/12/2009). If so, turn on the "
       "option \"QIF files write their dates day before month\" in the preferences and open the "
       "file again.",
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::filesystem::remove(dir + "/out.qif");
    run(file("in.qif", c.text), dir + "/out.qif");
    EXPECT_EQ(platform.lastStatus().title, c.title);
    EXPECT_EQ(statusText(), c.status);
    EXPECT_EQ(std::filesystem::exists(dir + "/out.qif"), c.output != nullptr);
    if (c.output) {
      EXPECT_EQ(readFile(dir + "/out.qif"), c.output);
    }
    EXPECT_EQ(bank.records.has_value(), c.output != nullptr);
    bank.records.reset();
    controller().doneWithFile();
  }
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
  const RunSettings& settings = bank.settings;
  EXPECT_EQ(settings.outputDate, "03/31/2024");
  EXPECT_EQ(settings.outputNumber, "");  // its switch is off
  EXPECT_TRUE(settings.sameDateSwitch);
  EXPECT_EQ(settings.outputNumberString, "9");
  EXPECT_TRUE(settings.markAsCleared);
  EXPECT_FALSE(settings.markAsUncleared);
  EXPECT_EQ(settings.qifTypeTag, 1);
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
  EXPECT_EQ(session.account, "4111222233334444");
  EXPECT_EQ(bank.settings.account, "4111222233334444");
  EXPECT_EQ(bank.settings.qifTypeTag, 0);
  // The block without an amount reaches the processor as an error record.
  EXPECT_TRUE(bank.records->toArray()[2].contains("errorMessage"));
  EXPECT_EQ(readFile(dir + "/card.qif"), dataFile("card-expected.qif"));
  EXPECT_EQ(statusText(), "\r\r2 transactions output to file \"card.qif\".");
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings")["inputQIFType"].toInt(), 3);
}

TEST_F(RunTest, PartsNotBuiltYetSayWhatIsMissing) {
  struct Case {
    const char* name;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"inv.ofx", "OFXHEADER:100\n<INVSTMTMSGSRSV1>\n",
       "\r\rProcessing investment transactions is not available yet in this version of "
       "Corvela."},
      {"text.txt", "ACME\n01/02/2024 Shop 5.00\n",
       "\r\rReading text statements with an input format is not available yet in this version "
       "of Corvela."},
  };
  addInputFormat("Acme", "Bank", "ACME");
  store.prefs.setObject("Securities", Value::array());
  for (const Case& c : cases) {
    std::string out = dir + "/" + c.name + ".qif";
    run(file(c.name, c.text), out);
    EXPECT_EQ(platform.lastStatus().title, "Not Available Yet") << c.name;
    EXPECT_EQ(statusText(), c.message) << c.name;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
    controller().doneWithFile();
  }
  EXPECT_FALSE(bank.records);
}

TEST_F(RunTest, ClipboardRunIsNotOfferedAgain) {
  platform.clipboard = "!Type:Bank\nD1/2/24\nT5.00\nPShop\n^\n";
  controller().processClipboard();
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  controller().doneWithFile();
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(platform.timers.empty());
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
  EXPECT_EQ(platform.lastStatus().title, "Continuation File Not Created");
  EXPECT_EQ(statusText(),
            "No transactions were placed in the output file.\r\rThe continuation file was not "
            "created.");
  EXPECT_FALSE(std::filesystem::exists(dir + "/out.qif"));
  controller().doneWithFile();

  std::string out = file("out.qif", "keep\n");
  std::string later = dir + "/later.crvc";
  platform.answerNextSavePanel(out);
  platform.answerNextSavePanel(later);
  controller().actuallyProcessFile(kBankRegister);
  controller().processTheTransactions();
  EXPECT_EQ(platform.savePanels.back().requiredFileType, "crvc");
  EXPECT_EQ(platform.lastStatus().title, "Continuation File Created");
  EXPECT_EQ(readFile(out), "keep\n");
  Result<Value> saved = readKeyedArchiveFile(later);
  ASSERT_TRUE(saved.ok()) << saved.message();
  EXPECT_EQ(saved.value(), *bank.continuation);

  // Opening it later finishes the run into a file chosen then.
  controller().doneWithFile();
  bank.continuation.reset();
  run(later, dir + "/final.qif");
  EXPECT_EQ(bank.continued, saved.value());
  EXPECT_EQ(readFile(dir + "/final.qif"), "!Type:Bank\n");
  EXPECT_EQ(statusText(), "\r\r2 transactions output to file \"final.qif\".");
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
