#include <gtest/gtest.h>

#include <cerrno>

#include "app/ControlSettings.h"
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

class RunTest : public ControllerTest {
 protected:
  // Loads the register of tests/data/app/bank.qif (two March transactions and one of February).
  void loadBankRegister() {
    controller().actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/bank.qif");
    ASSERT_TRUE(session.ProcessingGlobal);
  }
  void remember(std::initializer_list<std::pair<const std::string, Value>> entries) {
    Value settings = defaultControlSettings(today);
    for (const auto& [key, value] : entries) settings.set(key, value);
    store.prefs.setObject("ControlSettings", settings);
  }
  void addCommaFormat(const char* name) { outputFormats.addFormat(newOutputFormat(name)); }
  const ScriptedPlatform::StatusShown& finished() {
    EXPECT_EQ(platform.lastStatus().title, "Finished Processing Transactions");
    return platform.lastStatus();
  }
};

TEST_F(RunTest, NewQIFFile) {
  loadBankRegister();
  std::string out = dir + "/out.qif";
  platform.answerNextSavePanel(out);
  controller().processTheTransactions();

  ASSERT_EQ(platform.savePanels.size(), 1u);
  const SavePanel& panel = platform.savePanels[0];
  EXPECT_TRUE(panel.asSheet);
  EXPECT_EQ(panel.requiredFileType, "qif");
  EXPECT_EQ(panel.suggestedName, "QIF Import 03-15-2024.qif");
  EXPECT_EQ(panel.directory, std::string(CORVELA_TEST_DATA) + "/app");
  EXPECT_EQ(readFile(out), dataFile("bank-expected.qif"));
  EXPECT_EQ(finished().text, "\r\r3 transactions output to file \"" + out + "\".");
  EXPECT_EQ(store.prefs.objectForKey("LastRootDirectory").toString(), dir);
  EXPECT_FALSE(bank.mustConfirm);
  // The run is over but the report stays until the person dismisses it.
  EXPECT_TRUE(session.ProcessingGlobal);
  controller().doneWithFile();
  EXPECT_FALSE(session.ProcessingGlobal);
}

TEST_F(RunTest, ReplacesAnExistingFileWithQIFOutput) {
  std::string out = file("out.qif", "!Type:Bank\nD01/01/2020\nT1.00\n^\n");
  remember({{"outputFilePath", out}});
  loadBankRegister();
  // QIF without the option "append" replaces the file even when the switch is on.
  controller().setAppendSwitch(true);
  platform.answerNextSavePanel(out);
  controller().processTheTransactions();
  EXPECT_EQ(readFile(out), dataFile("bank-expected.qif"));
}

TEST_F(RunTest, LastMonthIsOneTransactionInTheSingular) {
  remember({{"whichTransactions", 1}});
  loadBankRegister();
  platform.answerNextSavePanel(dir + "/feb.qif");
  controller().processTheTransactions();
  EXPECT_EQ(finished().text, "\r\r1 transaction output to file \"" + dir + "/feb.qif\".");
  EXPECT_EQ(readFile(dir + "/feb.qif"), "!Type:Bank\nD02/10/2024\nPCoffee\nM\nT-5.00\n^\n");
  Value stored = store.prefs.objectForKey("ControlSettings");
  EXPECT_EQ(stored["whichTransactions"].toInt(), 1);
  EXPECT_EQ(dayOfDate(stored["dateFrom"].toDate()), (CalendarDay{2024, 2, 1}));
  EXPECT_EQ(dayOfDate(stored["dateTo"].toDate()), (CalendarDay{2024, 2, 29}));
  EXPECT_EQ(stored["outputFilePath"].toString(), dir + "/feb.qif");
  EXPECT_EQ(stored["outputFormat"].toString(), "QIF");
}

TEST_F(RunTest, NothingOutputLeavesTheFileUntouched) {
  std::string out = file("out.qif", "keep me\n");
  remember({{"whichTransactions", 2}});
  loadBankRegister();
  controller().controlTextDidChange(MainControl::dateFromString, "1/1/23");
  controller().controlTextDidChange(MainControl::dateToString, "1/31/23");
  controller().checkDateRange();
  platform.answerNextSavePanel(out);
  controller().processTheTransactions();
  EXPECT_EQ(finished().text, "\r\r\rNo transactions output.");
  EXPECT_EQ(readFile(out), "keep me\n");
  Value stored = store.prefs.objectForKey("ControlSettings");
  EXPECT_EQ(dayOfDate(stored["dateFrom"].toDate()), (CalendarDay{2023, 1, 1}));
  EXPECT_EQ(dayOfDate(stored["dateTo"].toDate()), (CalendarDay{2023, 1, 31}));
}

TEST_F(RunTest, CancelledSavePanelEndsTheRun) {
  loadBankRegister();
  platform.answerNextSavePanel(std::nullopt);
  controller().processTheTransactions();
  EXPECT_FALSE(bank.records);
  EXPECT_TRUE(platform.statuses.empty());
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_FALSE(view.visible);
  EXPECT_TRUE(form().menuItemEnabled(MenuItem::preferencesMenuItem));
  EXPECT_FALSE(store.prefs.objectForKey("ControlSettings").contains("outputFilePath") &&
               !str(store.prefs.objectForKey("ControlSettings"), "outputFilePath").empty());
}

TEST_F(RunTest, AppendsDelimitedOutputToTheRememberedFile) {
  addCommaFormat("Bank CSV");
  std::string old = file("old.csv", "01/01/2024,,Old,,1.00,\n");
  remember({{"outputFormat", "Bank CSV"}, {"outputFilePath", old}});
  loadBankRegister();
  ASSERT_TRUE(form().appendSwitch.on);
  ASSERT_EQ(form().appendPopUp.selectedIndex, 0);
  controller().processTheTransactions();
  EXPECT_TRUE(platform.savePanels.empty());
  EXPECT_TRUE(platform.openPanels.empty());
  EXPECT_EQ(readFile(old), "01/01/2024,,Old,,1.00,\n" + dataFile("bank-expected.csv"));
  EXPECT_EQ(finished().text, "\r\r3 transactions output to file \"" + old + "\".");
}

TEST_F(RunTest, AppendsDelimitedOutputToAFileChosenNow) {
  addCommaFormat("Bank CSV");
  std::string old = file("old.csv", "old\n");
  std::string other = file("other.csv", "other\n");
  remember({{"outputFormat", "Bank CSV"}, {"outputFilePath", old}});
  loadBankRegister();
  controller().selectAppendPopUp(1);
  platform.answerNextOpenPanel(OpenPanelChoice{other, true});
  controller().processTheTransactions();
  ASSERT_EQ(platform.openPanels.size(), 1u);
  EXPECT_EQ(platform.openPanels[0].prompt, "Append To");
  EXPECT_EQ(platform.openPanels[0].fileTypes, std::vector<std::string>{"csv"});
  EXPECT_EQ(platform.openPanels[0].appendSwitch, true);
  EXPECT_EQ(readFile(other), "other\n" + dataFile("bank-expected.csv"));
  EXPECT_EQ(readFile(old), "old\n");
  EXPECT_EQ(str(store.prefs.objectForKey("ControlSettings"), "outputFilePath"), other);
}

TEST_F(RunTest, AppendSwitchTurnedOffInTheOpenPanelReplaces) {
  addCommaFormat("Bank CSV");
  std::string other = file("other.csv", "other\n");
  remember({{"outputFormat", "Bank CSV"}});
  loadBankRegister();
  // No remembered file: appending is to a file chosen now.
  controller().setAppendSwitch(true);
  platform.answerNextOpenPanel(OpenPanelChoice{other, false});
  controller().processTheTransactions();
  EXPECT_EQ(readFile(other), dataFile("bank-expected.csv"));
}

TEST_F(RunTest, DelimitedOutputWithoutAppendingAsksForANewFile) {
  outputFormats.addFormat(Value{{"Name", "Tabs"},
                                {"Type", "Bank"},
                                {"Separator", "Tab"},
                                {"Order", Value::Array{Value("Date"), Value("Amount")}},
                                {"Present", Value::Array{Value(true), Value(true)}}});
  remember({{"outputFormat", "Tabs"}});
  loadBankRegister();
  ASSERT_FALSE(form().appendSwitch.on);
  platform.answerNextSavePanel(dir + "/out.txt");
  controller().processTheTransactions();
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
  loadBankRegister();
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
  // The fixture's controller writes with the real calls; this one fails them.
  Controller broken(ControllerParts{
      .store = store.prefs,
      .options = options,
      .accounts = accounts,
      .categories = categories,
      .outputFormats = outputFormats,
      .qifReader = qifReader,
      .ofxReader = ofxReader,
      .bundle = Bundle::builtIn(),
      .platform = platform,
      .view = view,
      .session = session,
      .bank = bank,
      .investment = missing.investment,
      .text = missing.text,
      .listImport = listImport,
      .inputFormats = missing.inputFormats,
      .outputFormatDefinition = missing.outputFormatDefinition,
      .errorWarning = errorWarning,
      .fileOps = &failing,
      .today = [this] { return today; },
  });
  std::string out = file("out.qif", "precious\n");
  broken.actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/bank.qif");
  platform.answerNextSavePanel(out);
  broken.processTheTransactions();
  EXPECT_EQ(readFile(out), "precious\n");
  EXPECT_EQ(platform.lastStatus().title, "Output File Not Written");
  EXPECT_NE(platform.lastStatus().text.find(out), std::string::npos);
  EXPECT_NE(platform.lastStatus().text.find("No space left on device"), std::string::npos);
}

TEST_F(RunTest, CorruptedQIFNamesTheLineOfTheInput) {
  controller().actuallyProcessFile(
      file("bad.qif", "\n!Type:Bank\nD1/2/24\nT5\n^\nDnot a date\nT1\n^\n"));
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  EXPECT_EQ(platform.lastStatus().title, "Invalid Input");
  EXPECT_EQ(platform.lastStatus().text,
            "\r\rFile \"bad.qif\" appears to contain corrupted QIF on line 6; it cannot be "
            "processed.");
  EXPECT_FALSE(std::filesystem::exists(dir + "/out.qif"));
  EXPECT_FALSE(bank.records);
}

TEST_F(RunTest, DayFirstDatesAreReadSoOrHintedAt) {
  controller().actuallyProcessFile(
      file("dots.qif", "!Type:Bank\nD22.01.2007\nT-5\n^\nD05.02.2007\nT7\n^\n"));
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  EXPECT_EQ(
      finished().text,
      "\r\r2 transactions output to file \"" + dir +
          "/out.qif\".\r\rThe dates were read day before "
          "month (as in 31/12/2009): every date of the register reads that way, and some cannot "
          "be read month first.");
  EXPECT_EQ(readFile(dir + "/out.qif"),
            "!Type:Bank\nD01/22/2007\nP\nM\nT-5\n^\nD02/05/2007\nP\nM\nT7\n^\n");
  controller().doneWithFile();

  controller().actuallyProcessFile(
      file("mixed.qif", "!Type:Bank\nD01/13/2024\nT-5\n^\nD13/01/2024\nT7\n^\n"));
  platform.answerNextSavePanel(dir + "/mixed-out.qif");
  controller().processTheTransactions();
  EXPECT_EQ(platform.lastStatus().title, "Invalid Input");
  EXPECT_EQ(platform.lastStatus().text,
            "\r\rFile \"mixed.qif\" appears to contain corrupted QIF on line 5; it cannot be "
            "processed.\r\rThe dates may be written day before month (as in 31/12/2009). If so, "
            "turn on the option \"QIF files write their dates day before month\" in the "
            "preferences and open the file again.");
  EXPECT_FALSE(std::filesystem::exists(dir + "/mixed-out.qif"));
}

TEST_F(RunTest, SettingsReachTheProcessor) {
  turnOn(option::markBankTransactionsAsCleared);
  turnOn(option::markCreditCardTransactionsAsUncleared);
  loadBankRegister();
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
  EXPECT_FALSE(settings.sameNumberSwitch);
  EXPECT_EQ(settings.outputNumberString, "9");
  EXPECT_TRUE(settings.markAsCleared);
  EXPECT_FALSE(settings.markAsUncleared);
  EXPECT_EQ(settings.qifTypeTag, 1);
  EXPECT_EQ(settings.outputFormatText, "QIF");
  EXPECT_EQ(settings.account, "");
  EXPECT_EQ(str(store.prefs.objectForKey("ControlSettings"), "outputNumberString"), "9");
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings")["inputQIFType"].toInt(), 1);
  EXPECT_EQ(dayOfDate(store.prefs.objectForKey("ControlSettings")["outputDate"].toDate()),
            (CalendarDay{2024, 3, 31}));
}

TEST_F(RunTest, AllTransactionsAreRememberedAsTheDistantBounds) {
  loadBankRegister();
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  Value stored = store.prefs.objectForKey("ControlSettings");
  EXPECT_EQ(stored["dateFrom"].toDate(), distantPastDate());
  EXPECT_EQ(stored["dateTo"].toDate(), distantFutureDate());
}

TEST_F(RunTest, CreditCardOFXToNewFile) {
  controller().actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/card.qfx");
  EXPECT_EQ(session.gType, 1);
  EXPECT_EQ(session.account, "4111222233334444");
  platform.answerNextSavePanel(dir + "/card.qif");
  controller().processTheTransactions();
  // The block without an amount reaches the processor as an error record.
  ASSERT_TRUE(bank.records);
  EXPECT_EQ(bank.records->size(), 3u);
  EXPECT_TRUE(bank.records->toArray()[2].contains("errorMessage"));
  EXPECT_EQ(readFile(dir + "/card.qif"), dataFile("card-expected.qif"));
  EXPECT_EQ(finished().text, "\r\r2 transactions output to file \"" + dir + "/card.qif\".");
  EXPECT_EQ(bank.settings.account, "4111222233334444");
}

TEST_F(RunTest, TheQIFTypeOfARegisterRunDoesNotFollowIntoADownload) {
  loadBankRegister();
  controller().selectQIFType(3);  // swap description and memo, reverse signs
  platform.answerNextSavePanel(dir + "/bank.qif");
  controller().processTheTransactions();
  EXPECT_EQ(bank.settings.qifTypeTag, 5);
  controller().doneWithFile();

  // The remembered choice fills the hidden pop-up again, but speaks only for registers.
  controller().actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/card.qfx");
  platform.answerNextSavePanel(dir + "/card.qif");
  controller().processTheTransactions();
  EXPECT_EQ(bank.settings.qifTypeTag, 0);
  EXPECT_EQ(readFile(dir + "/card.qif"), dataFile("card-expected.qif"));
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings")["inputQIFType"].toInt(), 3);
}

TEST_F(RunTest, LastMonthOfAnOFXDownload) {
  remember({{"whichTransactions", 1}});
  controller().actuallyProcessFile(std::string(CORVELA_TEST_DATA) + "/app/card.qfx");
  platform.answerNextSavePanel(dir + "/card.qif");
  controller().processTheTransactions();
  EXPECT_EQ(finished().text, "\r\r1 transaction output to file \"" + dir + "/card.qif\".");
  EXPECT_NE(readFile(dir + "/card.qif").find("D02/10/2024"), std::string::npos);
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
    controller().actuallyProcessFile(file(c.name, c.text));
    std::string out = dir + "/" + c.name + ".qif";
    platform.answerNextSavePanel(out);
    controller().processTheTransactions();
    EXPECT_EQ(platform.lastStatus().title, "Not Available Yet") << c.name;
    EXPECT_EQ(platform.lastStatus().text, c.message) << c.name;
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
  EXPECT_EQ(controller().state().lastProcessedClipboard, *platform.clipboard);
  controller().doneWithFile();
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(platform.timers.empty());
}

TEST_F(RunTest, FinishLaterSavesAContinuationFile) {
  loadBankRegister();
  bank.continuation = Value{{"qif", Value::Array{}},        {"fileAsString", "!Type:Bank\n"},
                            {"currentTransactionIndex", 1}, {"numberOfTransactionsAppended", 2},
                            {"outputFormatText", "QIF"},    {"account", "Checking"}};
  std::string out = file("out.qif", "keep\n");
  std::string later = dir + "/later.crvc";
  platform.answerNextSavePanel(out);
  platform.answerNextSavePanel(later);
  controller().processTheTransactions();
  ASSERT_EQ(platform.savePanels.size(), 2u);
  EXPECT_EQ(platform.savePanels[1].requiredFileType, "crvc");
  EXPECT_EQ(platform.lastStatus().title, "Continuation File Created");
  EXPECT_TRUE(platform.lastStatus().text.starts_with(
      "No transactions were placed in the output file.\r\rA continuation file"));
  EXPECT_EQ(readFile(out), "keep\n");
  Result<Value> saved = readKeyedArchiveFile(later);
  ASSERT_TRUE(saved.ok()) << saved.message();
  EXPECT_EQ(saved.value(), *bank.continuation);

  // Opening it later finishes the run into a file chosen then.
  controller().doneWithFile();
  bank.continuation.reset();
  controller().actuallyProcessFile(later);
  platform.answerNextSavePanel(dir + "/final.qif");
  controller().processTheTransactions();
  ASSERT_TRUE(bank.continued);
  EXPECT_EQ(bank.continued->toDictionary().size(), 6u);
  EXPECT_EQ(readFile(dir + "/final.qif"), "!Type:Bank\n");
  EXPECT_EQ(finished().text, "\r\r2 transactions output to file \"" + dir + "/final.qif\".");
}

TEST_F(RunTest, ContinuationNotSavedWhenThePanelIsCancelled) {
  loadBankRegister();
  bank.continuation = Value{{"qif", Value::Array{}}};
  platform.answerNextSavePanel(dir + "/out.qif");
  platform.answerNextSavePanel(std::nullopt);
  controller().processTheTransactions();
  EXPECT_EQ(platform.lastStatus().title, "Continuation File Not Created");
  EXPECT_EQ(platform.lastStatus().text,
            "No transactions were placed in the output file.\r\rThe continuation file was not "
            "created.");
  EXPECT_FALSE(std::filesystem::exists(dir + "/out.qif"));
}

TEST_F(RunTest, EachRunConfirmsAsTheOptionSaysAndWarnsAfresh) {
  turnOn(option::confirmAllTransactions);
  // A warning silenced during an earlier run...
  Value format{{"Name", "Shop"}};
  platform.answerNextInputErrorWarning(ErrorWarning::goOn, true);
  EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"), ErrorWarning::goOn);
  EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"), ErrorWarning::goOn);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 1u);
  loadBankRegister();
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  EXPECT_TRUE(bank.mustConfirm);
  // ...is shown again in the next one.
  platform.answerNextInputErrorWarning(ErrorWarning::cancel);
  EXPECT_EQ(errorWarning.format(format, "Unreadable", "x", "Skip Transaction"),
            ErrorWarning::cancel);
  EXPECT_EQ(platform.inputErrorWarnings.size(), 2u);
}

}  // namespace
}  // namespace corvela::testing
