#include <gtest/gtest.h>

#include "app/ControllerFixture.h"
#include "app/OutputFile.h"
#include "prefs/KeyedArchive.h"
#include "support/CaseFile.h"

namespace corvela::testing {
namespace {

// What intake leaves in the form and the controller's state is compared with the test's golden
// file (tests/data/app/golden/IntakeTest.*.txt).
class IntakeTest : public ControllerTest {
 protected:
  void snapState(const std::string& step) {
    snap(step);
    logState();
  }
  // Adds to the log under `step` the status views and save panels shown since the last step,
  // the control views brought forward since then, the timers waiting, the form (`withForm`) and
  // the state.
  void step(const std::string& name, bool withForm = false) {
    report(name);
    log += "control views " + std::to_string(view.controlViewTitles.size()) + ", timers";
    for (const ScriptedPlatform::Timer& timer : platform.timers)
      log += " " + std::to_string(timer.seconds).substr(0, 3) + "s";
    log += "\n" + (withForm ? describe(form()) : "");
    view.controlViewTitles.clear();
    logState();
  }
  void logState() {
    const ControllerState& state = controller().state();
    log += "kind " + std::to_string(session.gType) + ", account " +
           (session.account ? "\"" + *session.account + "\"" : "none") + ", skipped " +
           std::to_string(state.skippedLines) + ", source " + state.source + ", help " +
           state.controlHelpAnchor + (state.doingExtract ? ", extract" : "") +
           (state.doingClipboard ? ", clipboard" : "") +
           (session.JustActivated ? ", just activated" : "") +
           (session.ProcessingGlobal ? ", processing" : "") + "\n";
  }
};

constexpr const char* kRegister = "!Type:Bank\nD1/2/24\nT1\n^\n";

// Every refusal shows its message with the input's description and leaves the program idle.
TEST_F(IntakeTest, RefusalsShowTheirMessageAndStayIdle) {
  const std::pair<const char*, const char*> inputs[] = {
      {"in.qif", "OFXHEADER:100\n<OFX><SIGNONMSGSRSV1></OFX>\n^\n"},  // neither bank nor card
      {"in.qif", ""},
      {"in.qif", "\r\n\r\n"},
      {"in.qif", "!Account\nNA\n^\n!Type:Bank\nD1/1/24\n^\n!Account\nNB\n^\n"},
      {"in.qif", "!Account\nNA\nTBank\n^\n"},  // an account without a type line
      {"in.qif", "!Type:Invst\nD1/1/24\nNBuy\n^\n"},
      {"in.qif", "Hello\nthere"},
      {"bank.cvef", "whatever"},  // an exported input format
  };
  for (const auto& [name, text] : inputs) {
    controller().actuallyProcessFile(file(name, text));
    EXPECT_EQ(platform.statuses.size(), 1u) << text;
    report(text);
    EXPECT_FALSE(session.ProcessingGlobal);
    EXPECT_TRUE(form().menuItemEnabled(MenuItem::preferencesMenuItem));
  }
  EXPECT_TRUE(view.controlViewTitles.empty());
  checkLog();
}

// What an input is taken for: its kind, the account it names and the header lines skipped.
TEST_F(IntakeTest, InputsAreClassified) {
  const std::pair<const char*, std::string> inputs[] = {
      {"stmt.qfx",
       "OFXHEADER:100\n<OFX><BANKMSGSRSV1><CREDITCARDMSGSRSV1><ACCTID>12345</ACCTID>\n"},
      {"card.qif", "\n!Type:CCard\nD1/2/24\nT-5.00\n^\n"},
      // A header in capitals is an unstated register that keeps its header.
      {"caps.qif", "!TYPE:BANK\nD1/2/24\nT-5.00\n^\n"},
      {"acct.qif", "!Account\nNMy Checking\nTBank\n^\n!Type:Bank\nD1/2/24\nT1\n^\n"},
      {"nul.qif", std::string("!Type:Bank\nD1/2/24\nPShop\0Name\n^\n", 32)},
  };
  for (const auto& [name, text] : inputs) {
    controller().actuallyProcessFile(file(name, text));
    snapState(name);
    for (std::string_view line : controller().state().fileAsLines) log += std::string(line) + "|";
    log += "\n";
    controller().doneWithFile();
  }
  EXPECT_TRUE(platform.statuses.empty());
  EXPECT_EQ(view.controlViewTitles, std::vector<std::string>(std::size(inputs), "Corvela Control"));
  checkLog();
}

// The account field (hidden without the option "append") offers the accounts of the input's kind,
// or every bank and card account with the option "showAllAccountNames".
TEST_F(IntakeTest, OFXAccountFilterFollowsShowAllAccountNames) {
  addAccounts({{"Checking", "Bank"}, {"Visa", "CCard"}, {"Broker", "Port"}});
  const std::string card = file("card.ofx", "OFXHEADER:100\n<CREDITCARDMSGSRSV1>\n");
  const std::string investment = file("inv.ofx", "OFXHEADER:100\n<INVSTMTMSGSRSV1>\n");
  for (const std::string& path : {card, card, investment}) {
    controller().actuallyProcessFile(path);
    snapState(lastPathComponent(path) + (options.isOn(option::showAllAccountNames) ? ", all" : ""));
    for (const std::string& account : form().quickenAccountText.items) log += account + "|";
    log += "\n";
    controller().doneWithFile();
    turnOn(option::showAllAccountNames);
  }
  checkLog();
}

TEST_F(IntakeTest, ListImportDecidesWhereClassificationStarts) {
  addAccounts({{"Checking", "Bank"}});
  listImport.answer = 1 | 2;
  listImport.index = 3;
  controller().actuallyProcessFile(
      file("lists.qif", "!Type:Cat\nNFood\n^\n!Type:Bank\nD1/2/24\nT1\n^\n"));
  step("lists, then a register");
  log += listImport.seenSource + " from " + listImport.seenLines.front() + "\n";
  // The accounts changed, so the category list took their transfer entries.
  EXPECT_EQ(categories.getCategoriesArray(), (Value{Value::Array{Value("[Checking]")}}));
  controller().doneWithFile();
  // A list export alone holds no transactions; a corrupted one is reported, and classification
  // goes on.
  listImport.answer = 2;
  controller().actuallyProcessFile(file("cats.qif", "!Type:Cat\nNFood\n^"));
  step("lists alone");
  listImport.answer = -1;
  listImport.index = 0;
  controller().actuallyProcessFile(file("x.qif", kRegister));
  step("a corrupted list export");
  checkLog();
}

// Missing categories are warned about once; missing accounts, with the option "append", every
// time.
TEST_F(IntakeTest, MissingCategoriesWarnOnceAndMissingAccountsEveryTime) {
  store.prefs.removeObjectForKey("Categories");
  std::string path = file("x.qif", kRegister);
  const char* steps[] = {"no categories", "no categories again", "append, no accounts",
                         "append, no accounts again"};
  for (int i = 0; i < 4; ++i) {
    if (i == 2) {
      controller().doneWithFile();
      turnOn(option::append);
    }
    controller().actuallyProcessFile(path);
    step(steps[i]);
  }
  checkLog();
}

TEST_F(IntakeTest, UnreadableFileIsReportedAndChangesNothing) {
  controller().actuallyProcessFile(file("first.qif", kRegister));
  controller().doneWithFile();
  const std::string list = dir + "/list.crvc";
  ASSERT_TRUE(writeKeyedArchiveFile(list, Value(Value::Array{"not", "a", "continuation"})).ok());
  for (std::string path : {dir + "/missing.qif", file("bad.crvc", "not an archive"), list}) {
    controller().actuallyProcessFile(path);
    step(lastPathComponent(path));
    EXPECT_FALSE(controller().state().continuationData);
  }
  checkLog();
}

TEST_F(IntakeTest, OpenPanelStartsInTheLastFolderAndOffersTheKnownTypes) {
  store.prefs.setObject("LastRootDirectory", dir);
  platform.answerNextOpenPanel(std::nullopt);
  controller().processFile();
  ASSERT_EQ(platform.openPanels.size(), 1u);
  EXPECT_EQ(platform.openPanels[0].directory, dir);
  EXPECT_EQ(platform.openPanels[0].fileTypes,
            (std::vector<std::string>{"txt", "qif", "QIF", "csv", "jsp", "asp", "qfx", "QFX", "ofx",
                                      "OFX", "crvc", "cvef", ""}));
  EXPECT_FALSE(session.ProcessingGlobal);

  std::string sub = dir + "/sub";
  std::filesystem::create_directories(sub);
  std::ofstream(sub + "/x.qif") << kRegister;
  platform.answerNextOpenPanel(OpenPanelChoice{sub + "/x.qif", false});
  controller().processFile();
  EXPECT_TRUE(session.ProcessingGlobal);
  EXPECT_EQ(store.prefs.objectForKey("LastRootDirectory").toString(), sub);
}

TEST_F(IntakeTest, OfferedFilesAreRefusedWhileAnInputIsLoaded) {
  std::string path = file("x.qif", kRegister);
  EXPECT_TRUE(controller().applicationOpenFile(path));
  EXPECT_TRUE(controller().state().initialized);
  EXPECT_FALSE(controller().applicationOpenFile(path));
  EXPECT_EQ(view.controlViewTitles.size(), 1u);
  // Unless the program was just activated.
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(controller().applicationOpenFile(path));
  EXPECT_EQ(view.controlViewTitles.size(), 2u);
  EXPECT_FALSE(session.JustActivated);
}

// Activation takes a look at the clipboard, and only a text with a date in it is taken (a second
// later); without a clipboard there is nothing to take.
TEST_F(IntakeTest, ClipboardWatchingWaitsForADatedNewText) {
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(platform.timers.empty());
  expectCaseFile("app/clipboard-dates.txt", [&](const std::string& text, const std::string&) {
    platform.clipboard = text;
    platform.timers.clear();
    controller().applicationDidBecomeActive();
    EXPECT_TRUE(session.JustActivated);
    return std::to_string(platform.timers.size()) + " timers";
  });
  EXPECT_FALSE(session.ProcessingGlobal);
}

// The clipboard is an input of its own; a dated new text is taken a second after activation
// unless a file came first, and a text already run is not offered again.
TEST_F(IntakeTest, ClipboardIsAnInputWatchedOnActivation) {
  controller().processClipboard();
  step("empty clipboard");
  platform.clipboard = kRegister;
  controller().processClipboard();
  step("a register", true);
  platform.answerNextSavePanel(dir + "/out.qif");
  controller().processTheTransactions();
  controller().doneWithFile();
  controller().applicationDidBecomeActive();
  step("run, then activated");

  platform.clipboard = "paid on 1/5/2024\n\nDinner 5.00";
  controller().applicationDidBecomeActive();
  step("a dated text, activated");
  controller().actuallyProcessFile(file("card.qif", "!Type:CCard\nD1/2/24\nT1\n^\n"));
  platform.fireTimers();
  step("a file came first");
  controller().doneWithFile();

  platform.clipboard = "!Type:Bank\nD1/3/24\nT2\n^\n";
  platform.timers.clear();
  controller().applicationDidBecomeActive();
  step("a new register, activated");
  platform.fireTimers();
  step("a second later", true);
  // While it is loaded the clipboard is not watched.
  controller().applicationDidBecomeActive();
  step("activated while it is loaded");
  checkLog();
}

TEST_F(IntakeTest, QIFLookingTextCanBeReadAsText) {
  addInputFormat("Shop", "Credit Card", "T1");
  controller().actuallyProcessFile(file("x.qif", kRegister));
  controller().dontTreatAsQIF();
  snapState("read as text");
  checkLog();
}

// Without a window the save panel runs on its own and suggests the QIF name; cancelled, the run
// ends. Appending needs the account first.
TEST_F(IntakeTest, RunsAutomaticallyUnlessAppending) {
  turnOn(option::runAutomatically);
  platform.answerNextSavePanel(std::nullopt);
  controller().actuallyProcessFile(file("x.qif", kRegister));
  ASSERT_EQ(platform.savePanels.size(), 1u);
  EXPECT_FALSE(platform.savePanels[0].asSheet);
  step("run automatically");
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}});
  controller().actuallyProcessFile(file("x.qif", kRegister));
  step("appending");
  EXPECT_EQ(view.focused.back(), MainControl::quickenAccountText);
  checkLog();
}

TEST_F(IntakeTest, ContinuationFileOpensInTheContinuationLayout) {
  Value continuation{{"qif", Value::Array{}},        {"fileAsString", "!Type:Bank\n"},
                     {"currentTransactionIndex", 0}, {"numberOfTransactionsAppended", 0},
                     {"outputFormatText", "QIF"},    {"sameDateSwitch", true},
                     {"sameNumberSwitch", false},    {"outputDateString", "03/01/2024"},
                     {"outputNumberString", "7"},    {"account", "Checking"}};
  std::string path = dir + "/later.crvc";
  ASSERT_TRUE(writeKeyedArchiveFile(path, continuation).ok());
  controller().actuallyProcessFile(path);
  snapState("continued");
  EXPECT_EQ(controller().state().continuationData, continuation);
  EXPECT_EQ(controller().state().fileAsString, "!Type:Bank\n");
  // The next ordinary input gets the normal layout back.
  controller().doneWithFile();
  controller().actuallyProcessFile(file("x.qif", kRegister));
  snapState("ordinary");
  checkLog();
}

// A continued run with delimited output holds no QIF to recognise; it keeps its own layout and
// output format, and its kind comes from that format.
TEST_F(IntakeTest, DelimitedContinuationKeepsItsLayout) {
  Value format = newOutputFormat("Card CSV");
  format.set("Type", "Credit Card");
  outputFormats.addFormat(format);
  for (const char* output : {"03/01/2024,,Shop,,-5.00,\n", ""}) {
    Value continuation{{"qif", Value::Array{}},          {"fileAsString", output},
                       {"currentTransactionIndex", 0},   {"numberOfTransactionsAppended", 1},
                       {"outputFormatText", "Card CSV"}, {"account", "Visa"}};
    std::string path = dir + "/later.crvc";
    ASSERT_TRUE(writeKeyedArchiveFile(path, continuation).ok());
    controller().actuallyProcessFile(path);
    step(*output ? "continued with output" : "continued without output", true);
    platform.answerNextSavePanel(dir + "/out.csv");
    controller().processTheTransactions();
    ASSERT_TRUE(bank.continued);
    log += "run as " + bank.settings.outputFormatText + " for " + bank.settings.account + "\n";
    step("run");
    controller().doneWithFile();
  }
  checkLog();
}

}  // namespace
}  // namespace corvela::testing
