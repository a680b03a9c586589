#include <gtest/gtest.h>

#include "app/ControlSettings.h"
#include "app/ControllerFixture.h"
#include "prefs/KeyedArchive.h"

namespace corvela::testing {
namespace {

using IntakeTest = ControllerTest;

struct Refusal {
  const char* name;
  const char* text;
  const char* title;
  const char* message;
};

class RefusalTest : public ControllerTest, public ::testing::WithParamInterface<Refusal> {};

// Every refusal shows its message with the input's description and leaves the program idle.
TEST_P(RefusalTest, ShowsTheMessageAndStaysIdle) {
  const Refusal& r = GetParam();
  controller().actuallyProcessFile(file("in.qif", r.text));
  ASSERT_EQ(platform.statuses.size(), 1u);
  EXPECT_EQ(platform.lastStatus().title, r.title);
  EXPECT_EQ(platform.lastStatus().text, r.message);
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_TRUE(view.controlViewTitles.empty());
  EXPECT_TRUE(form().menuItemEnabled(MenuItem::preferencesMenuItem));
}

const Refusal kRefusals[] = {
    {"ofxNeitherBankNorCard", "OFXHEADER:100\n<OFX><SIGNONMSGSRSV1></OFX>\n^\n", "Invalid Input",
     "\r\rFile \"in.qif\" appears to contain QFX/OFX but does not represent Bank or Credit Card "
     "transactions; it cannot be processed."},
    {"empty", "", "No Transactions",
     "\r\rFile \"in.qif\" contains no QIF transactions to process."},
    {"blankLines", "\r\n\r\n", "No Transactions",
     "\r\rFile \"in.qif\" contains no QIF transactions to process."},
    {"twoAccounts", "!Account\nNA\n^\n!Type:Bank\nD1/1/24\n^\n!Account\nNB\n^\n", "Invalid Input",
     "\r\rFile \"in.qif\" contains transactions for multiple accounts; it cannot be processed.  "
     "Corvela handles only one account at a time."},
    {"accountWithoutType", "!Account\nNA\nTBank\n^\n", "Invalid Input",
     "\r\rFile \"in.qif\" contains no transactions; it cannot be processed."},
    {"investment", "!Type:Invst\nD1/1/24\nNBuy\n^\n", "Invalid Input",
     "\r\rFile \"in.qif\" contains INVESTMENT QIF, which is not supported by Corvela. It cannot "
     "be processed."},
    {"textWithoutDate", "Hello\nthere", "Invalid Input",
     "\r\r\rThe input is not in QIF format, and does not appear to contain a date.  It cannot be "
     "processed."},
};

INSTANTIATE_TEST_SUITE_P(Inputs, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IntakeTest, BankOFXFillsTheDialogForQFX) {
  controller().actuallyProcessFile(
      file("stmt.qfx",
           "OFXHEADER:100\n<OFX><BANKMSGSRSV1><CREDITCARDMSGSRSV1><ACCTID>12345</ACCTID>\n"));
  EXPECT_TRUE(platform.statuses.empty());
  EXPECT_EQ(session.gType, 0);
  EXPECT_EQ(session.account, "12345");
  EXPECT_EQ(form().inputFrom.text, "stmt.qfx");
  EXPECT_EQ(form().inputAccountType.text, "Bank");
  EXPECT_TRUE(form().qfxTypePopUp.visible);
  EXPECT_FALSE(form().qifTypePopUp.visible);
  EXPECT_FALSE(form().inputFormatText.visible);
  EXPECT_FALSE(form().extractFormatPrompt.visible);
  EXPECT_EQ(controller().state().controlHelpAnchor, "QFX");
  EXPECT_EQ(controller().state().source, "File \"stmt.qfx\"");
  EXPECT_TRUE(session.ProcessingGlobal);
  for (std::size_t i = 0; i < kMenuItemCount; ++i) EXPECT_FALSE(form().menuItems[i]);
  EXPECT_EQ(view.controlViewTitles, std::vector<std::string>{"Corvela Control"});
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
  // QIF output without the option "append": no account to choose.
  EXPECT_FALSE(form().quickenAccountText.visible);
  EXPECT_EQ(form().quickenAccountFixed.text,
            "(Specify proper account in your financial software.)");
  EXPECT_EQ(view.shown.inputAccountType.text, "Bank");
}

TEST_F(IntakeTest, OFXAccountFilterFollowsShowAllAccountNames) {
  addAccounts({{"Checking", "Bank"}, {"Visa", "CCard"}, {"Broker", "Port"}});
  std::string card = file("card.ofx", "OFXHEADER:100\n<CREDITCARDMSGSRSV1>\n");
  controller().actuallyProcessFile(card);
  EXPECT_EQ(session.gType, 1);
  EXPECT_EQ(form().inputAccountType.text, "Credit Card");
  EXPECT_EQ(form().quickenAccountText.items, std::vector<std::string>{"Visa"});
  controller().doneWithFile();
  turnOn(option::showAllAccountNames);
  controller().actuallyProcessFile(card);
  EXPECT_EQ(session.gType, 1);
  EXPECT_EQ(form().quickenAccountText.items, (std::vector<std::string>{"Checking", "Visa"}));
  controller().doneWithFile();
  controller().actuallyProcessFile(file("inv.ofx", "OFXHEADER:100\n<INVSTMTMSGSRSV1>\n"));
  EXPECT_EQ(session.gType, 2);
  EXPECT_EQ(form().inputAccountType.text, "Investment");
  EXPECT_EQ(form().quickenAccountText.items, std::vector<std::string>{"Broker"});
}

TEST_F(IntakeTest, QIFRegisterLosesItsHeaderLines) {
  controller().actuallyProcessFile(file("card.qif", "\n!Type:CCard\nD1/2/24\nT-5.00\n^\n"));
  const ControllerState& state = controller().state();
  EXPECT_EQ(session.gType, 1);
  EXPECT_EQ(form().inputAccountType.text, "Credit Card");
  EXPECT_EQ(state.skippedLines, 2u);
  EXPECT_EQ(state.fileAsLines, (std::vector<std::string>{"D1/2/24", "T-5.00", "^", ""}));
  EXPECT_TRUE(form().qifTypePopUp.visible);
  EXPECT_FALSE(form().qfxTypePopUp.visible);
  EXPECT_EQ(state.controlHelpAnchor, "QIF");
  EXPECT_FALSE(state.doingExtract);
}

TEST_F(IntakeTest, HeaderInCapitalsIsAnUnstatedRegisterThatKeepsItsHeader) {
  controller().actuallyProcessFile(file("caps.qif", "!TYPE:BANK\nD1/2/24\nT-5.00\n^\n"));
  EXPECT_EQ(session.gType, 3);
  EXPECT_EQ(form().inputAccountType.text, "Bank or Credit Card");
  EXPECT_EQ(controller().state().skippedLines, 0u);
  EXPECT_EQ(controller().state().fileAsLines.front(), "!TYPE:BANK");
}

TEST_F(IntakeTest, AccountBlockNamesTheAccount) {
  controller().actuallyProcessFile(
      file("acct.qif", "!Account\nNMy Checking\nTBank\n^\n!Type:Bank\nD1/2/24\nT1\n^\n"));
  EXPECT_EQ(session.account, "My Checking");
  EXPECT_EQ(session.gType, 0);
  EXPECT_EQ(controller().state().skippedLines, 5u);
  EXPECT_EQ(form().quickenAccountText.text, "My Checking");
}

TEST_F(IntakeTest, NULCharactersBecomeBlanks) {
  std::string text("!Type:Bank\nD1/2/24\nPShop\0Name\n^\n", 32);
  controller().actuallyProcessFile(file("nul.qif", text));
  EXPECT_EQ(controller().state().fileAsString.find('\0'), std::string::npos);
  EXPECT_EQ(controller().state().fileAsLines[1], "PShop Name");
}

TEST_F(IntakeTest, ListImportDecidesWhereClassificationStarts) {
  addAccounts({{"Checking", "Bank"}});
  listImport.answer = 1 | 2;
  listImport.index = 3;
  controller().actuallyProcessFile(
      file("lists.qif", "!Type:Cat\nNFood\n^\n!Type:Bank\nD1/2/24\nT1\n^\n"));
  EXPECT_EQ(listImport.seenSource, "File \"lists.qif\"");
  EXPECT_EQ(listImport.seenLines.front(), "!Type:Cat");
  EXPECT_EQ(session.gType, 0);
  EXPECT_EQ(controller().state().skippedLines, 4u);
  // The accounts changed, so the category list took their transfer entries.
  EXPECT_EQ(categories.getCategoriesArray(), (Value{Value::Array{Value("[Checking]")}}));
}

TEST_F(IntakeTest, AListExportAloneHasNoTransactions) {
  listImport.answer = 2;
  listImport.index = 3;
  controller().actuallyProcessFile(file("cats.qif", "!Type:Cat\nNFood\n^"));
  EXPECT_EQ(platform.lastStatus().title, "No Transactions");
}

TEST_F(IntakeTest, CorruptedListExportIsReportedAndClassificationGoesOn) {
  listImport.answer = -1;
  listImport.index = 0;
  controller().actuallyProcessFile(file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n"));
  ASSERT_EQ(platform.statuses.size(), 1u);
  EXPECT_EQ(platform.lastStatus().title, "QIF List Import");
  EXPECT_EQ(platform.lastStatus().text,
            "\r\rFile \"x.qif\" appears to be an unsupported or corrupted QIF export; it cannot "
            "be imported.");
  EXPECT_EQ(session.gType, 0);
  EXPECT_EQ(view.controlViewTitles.size(), 1u);
}

TEST_F(IntakeTest, MissingCategoriesWarnOnce) {
  store.prefs.removeObjectForKey("Categories");
  std::string path = file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n");
  controller().actuallyProcessFile(path);
  ASSERT_EQ(platform.statuses.size(), 1u);
  EXPECT_EQ(platform.lastStatus().title, "No Categories");
  EXPECT_TRUE(platform.lastStatus().text.starts_with("\r\rWarning: If you are using financial"));
  EXPECT_TRUE(platform.lastStatus().text.ends_with("You will receive this warning only once."));
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_TRUE(categories.exists());
  controller().actuallyProcessFile(path);
  EXPECT_EQ(platform.statuses.size(), 1u);
  EXPECT_TRUE(session.ProcessingGlobal);
}

TEST_F(IntakeTest, AppendWithoutAccountsWarnsEveryTime) {
  turnOn(option::append);
  std::string path = file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n");
  for (int i = 0; i < 2; ++i) controller().actuallyProcessFile(path);
  ASSERT_EQ(platform.statuses.size(), 2u);
  EXPECT_EQ(platform.lastStatus().title, "No Accounts");
  EXPECT_TRUE(platform.lastStatus().text.starts_with("\rYou specified in the preferences"));
  EXPECT_FALSE(session.ProcessingGlobal);
}

TEST_F(IntakeTest, UnreadableFileIsReportedAndChangesNothing) {
  controller().actuallyProcessFile(file("first.qif", "!Type:Bank\nD1/2/24\nT1\n^\n"));
  controller().doneWithFile();
  controller().actuallyProcessFile(dir + "/missing.qif");
  EXPECT_EQ(platform.lastStatus().title, "Invalid Input");
  EXPECT_NE(platform.lastStatus().text.find("missing.qif"), std::string::npos);
  EXPECT_EQ(controller().state().source, "File \"first.qif\"");
  EXPECT_FALSE(session.ProcessingGlobal);
}

TEST_F(IntakeTest, ExportedInputFormatsGoToTheFormatTools) {
  controller().actuallyProcessFile(file("bank.cvef", "whatever"));
  EXPECT_EQ(platform.lastStatus().title, "Not Available Yet");
  EXPECT_EQ(platform.lastStatus().text,
            "\r\rImporting, learning and changing input formats is not available yet in this "
            "version of Corvela.");
  EXPECT_FALSE(session.ProcessingGlobal);
}

TEST_F(IntakeTest, OpenPanelStartsInTheLastFolderAndOffersTheKnownTypes) {
  store.prefs.setObject("LastRootDirectory", dir);
  platform.answerNextOpenPanel(std::nullopt);
  controller().processFile();
  ASSERT_EQ(platform.openPanels.size(), 1u);
  EXPECT_EQ(platform.openPanels[0].directory, dir);
  EXPECT_EQ(platform.openPanels[0].fileTypes,
            (std::vector<std::string>{"txt", "qif", "QIF", "csv", "jsp", "asp", "qfx", "QFX", "ofx",
                                      "OFX", "crvc", ""}));
  EXPECT_FALSE(session.ProcessingGlobal);

  std::string sub = dir + "/sub";
  std::filesystem::create_directories(sub);
  std::string path = sub + "/x.qif";
  std::ofstream(path) << "!Type:Bank\nD1/2/24\nT1\n^\n";
  platform.answerNextOpenPanel(OpenPanelChoice{path, false});
  controller().processFile();
  EXPECT_TRUE(session.ProcessingGlobal);
  EXPECT_EQ(store.prefs.objectForKey("LastRootDirectory").toString(), sub);
}

TEST_F(IntakeTest, OfferedFilesAreRefusedWhileAnInputIsLoaded) {
  std::string path = file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n");
  EXPECT_TRUE(controller().applicationOpenFile(path));
  EXPECT_TRUE(controller().state().initialized);
  EXPECT_TRUE(session.ProcessingGlobal);
  EXPECT_FALSE(controller().applicationOpenFile(path));
  EXPECT_EQ(view.controlViewTitles.size(), 1u);
  // Unless the program was just activated.
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(controller().applicationOpenFile(path));
  EXPECT_EQ(view.controlViewTitles.size(), 2u);
  EXPECT_FALSE(session.JustActivated);
}

TEST_F(IntakeTest, EmptyClipboardIsReported) {
  controller().processClipboard();
  EXPECT_EQ(platform.lastStatus().title, "Clipboard Empty");
  EXPECT_EQ(platform.lastStatus().text,
            "\r\rThe clipboard does not appear to contain any text and cannot be processed.");
}

TEST_F(IntakeTest, ClipboardTextIsAnInput) {
  platform.clipboard = "!Type:Bank\nD1/2/24\nT1\n^\n";
  controller().processClipboard();
  EXPECT_EQ(form().inputFrom.text, "Clipboard");
  EXPECT_EQ(controller().state().source, "The clipboard");
  EXPECT_TRUE(controller().state().doingClipboard);
  EXPECT_EQ(session.gType, 0);
}

TEST_F(IntakeTest, ClipboardWatchingWaitsForADatedNewText) {
  struct Case {
    std::optional<std::string> clipboard;
    bool scheduled;
  };
  const Case cases[] = {
      {std::nullopt, false},
      {"", false},
      {"no date in here", false},
      {"paid 12.00 on 2024.01.05", false},  // dotted dates are not looked for here
      {"paid on 1/5/2024", true},
      {"paid on 2024-01-05", true},
      {"paid on January 5, 2024", true},
  };
  for (const Case& c : cases) {
    platform.clipboard = c.clipboard;
    platform.timers.clear();
    controller().applicationDidBecomeActive();
    EXPECT_TRUE(session.JustActivated);
    EXPECT_EQ(platform.timers.size(), c.scheduled ? 1u : 0u) << c.clipboard.value_or("(none)");
    if (c.scheduled) {
      EXPECT_EQ(platform.timers[0].seconds, 1.0);
    }
  }
  EXPECT_FALSE(session.ProcessingGlobal);
}

TEST_F(IntakeTest, WatchedClipboardIsProcessedWhenTheTimerFires) {
  platform.clipboard = "!Type:Bank\nD1/2/24\nT1\n^\n";
  controller().applicationDidBecomeActive();
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_EQ(form().inputFrom.text, "Clipboard");
  platform.fireTimers();
  EXPECT_TRUE(session.ProcessingGlobal);
  EXPECT_FALSE(session.JustActivated);
  EXPECT_EQ(session.gType, 0);
  // While it is loaded the clipboard is not watched.
  controller().applicationDidBecomeActive();
  EXPECT_TRUE(platform.timers.empty());
}

TEST_F(IntakeTest, AFileOpenedBeforeTheTimerFiresWins) {
  platform.clipboard = "paid on 1/5/2024\n\nDinner 5.00";
  controller().applicationDidBecomeActive();
  ASSERT_EQ(platform.timers.size(), 1u);
  controller().actuallyProcessFile(file("card.qif", "!Type:CCard\nD1/2/24\nT1\n^\n"));
  platform.fireTimers();
  EXPECT_EQ(session.gType, 1);
  EXPECT_EQ(controller().state().source, "File \"card.qif\"");
  EXPECT_EQ(view.controlViewTitles.size(), 1u);
}

TEST_F(IntakeTest, QIFLookingTextCanBeReadAsText) {
  addInputFormat("Shop", "Credit Card", "T1");
  controller().actuallyProcessFile(file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n"));
  EXPECT_EQ(session.gType, 0);
  controller().dontTreatAsQIF();
  EXPECT_TRUE(controller().state().doingExtract);
  EXPECT_TRUE(form().inputFormatText.visible);
  EXPECT_EQ(form().inputFormatText.text, "Shop");
  EXPECT_EQ(session.gType, 1);
}

TEST_F(IntakeTest, RunsAutomaticallyWhenAsked) {
  turnOn(option::runAutomatically);
  platform.answerNextSavePanel(std::nullopt);
  controller().actuallyProcessFile(file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n"));
  // No window: the save panel runs on its own and suggests the QIF name.
  EXPECT_TRUE(view.controlViewTitles.empty());
  ASSERT_EQ(platform.savePanels.size(), 1u);
  EXPECT_FALSE(platform.savePanels[0].asSheet);
  EXPECT_EQ(platform.savePanels[0].suggestedName, "QIF Import 03-15-2024.qif");
  // Cancelled: the run ends.
  EXPECT_FALSE(session.ProcessingGlobal);
}

TEST_F(IntakeTest, AppendSuppressesTheAutomaticRun) {
  turnOn(option::runAutomatically);
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}});
  controller().actuallyProcessFile(file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n"));
  EXPECT_TRUE(platform.savePanels.empty());
  EXPECT_EQ(view.controlViewTitles.size(), 1u);
  EXPECT_EQ(view.focused.back(), MainControl::quickenAccountText);
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
  const ControllerState& state = controller().state();
  EXPECT_EQ(state.source, "Continuation file \"later.crvc\"");
  EXPECT_EQ(state.continuationData, continuation);
  EXPECT_EQ(state.fileAsString, "!Type:Bank\n");
  EXPECT_EQ(session.gType, 0);
  EXPECT_FALSE(form().inputHelp.visible);
  EXPECT_TRUE(form().continuationHelp.visible);
  EXPECT_TRUE(form().continuationWarning.visible);
  EXPECT_FALSE(form().quickenAccountText.visible);
  EXPECT_EQ(form().quickenAccountFixed.text, "Checking");
  EXPECT_TRUE(form().transactionsContinuation.visible);
  EXPECT_FALSE(form().transactionsNormal.visible);
  EXPECT_FALSE(form().outputFormatText.visible);
  EXPECT_EQ(form().outputFormatFixed.text, "QIF");
  EXPECT_EQ(form().outputDateString.text, "03/01/2024");
  EXPECT_FALSE(form().outputDateString.editable);
  EXPECT_TRUE(form().sameDateSwitch.on);
  EXPECT_FALSE(form().sameDateSwitch.enabled);
  EXPECT_FALSE(form().qifTypePopUp.visible);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);

  // The next ordinary input gets the normal layout back.
  controller().doneWithFile();
  controller().actuallyProcessFile(file("x.qif", "!Type:Bank\nD1/2/24\nT1\n^\n"));
  EXPECT_TRUE(form().inputHelp.visible);
  EXPECT_FALSE(form().continuationHelp.visible);
  EXPECT_TRUE(form().outputDateString.editable);
  EXPECT_TRUE(form().transactionsNormal.visible);
}

TEST_F(IntakeTest, DamagedContinuationFileIsRefused) {
  controller().actuallyProcessFile(file("bad.crvc", "not an archive"));
  EXPECT_EQ(platform.lastStatus().title, "Invalid Input");
  EXPECT_NE(platform.lastStatus().text.find("bad.crvc"), std::string::npos);
  EXPECT_FALSE(controller().state().continuationData);
  EXPECT_FALSE(session.ProcessingGlobal);
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
    std::size_t statuses = platform.statuses.size();
    controller().actuallyProcessFile(path);
    SCOPED_TRACE(output);
    EXPECT_EQ(platform.statuses.size(), statuses);
    EXPECT_EQ(session.gType, 1);
    EXPECT_FALSE(controller().state().doingExtract);
    EXPECT_FALSE(form().inputFormatText.visible);
    EXPECT_TRUE(form().transactionsContinuation.visible);
    EXPECT_EQ(form().outputFormatFixed.text, "Card CSV");
    EXPECT_TRUE(form().processTheTransactionsButton.enabled);
    platform.answerNextSavePanel(dir + "/out.csv");
    controller().processTheTransactions();
    ASSERT_TRUE(bank.continued);
    EXPECT_EQ(bank.settings.outputFormatText, "Card CSV");
    EXPECT_EQ(bank.settings.account, "Visa");
    EXPECT_EQ(platform.savePanels.back().requiredFileType, "csv");
    controller().doneWithFile();
  }
}

}  // namespace
}  // namespace corvela::testing
