#include <gtest/gtest.h>

#include "app/ControlSettings.h"
#include "app/ControllerFixture.h"
#include "formats/OutputFormatKeys.h"

namespace corvela::testing {
namespace {

constexpr const char* kRegister = "!Type:Bank\nD03/01/2024\nT-12.50\nPGrocer\n^\n";

class DialogTest : public ControllerTest {
 protected:
  void load(const char* text = kRegister, const char* name = "in.qif") {
    controller().actuallyProcessFile(file(name, text));
  }
  void remember(std::initializer_list<std::pair<const std::string, Value>> entries) {
    Value settings = defaultControlSettings(today);
    for (const auto& [key, value] : entries) settings.set(key, value);
    store.prefs.setObject("ControlSettings", settings);
  }
  void addDelimitedFormat(const char* name, const char* separator, bool withAccount) {
    Value format = newOutputFormat(name);
    format.set("Separator", separator);
    if (withAccount) {
      Value order = format["Order"];
      Value present = format["Present"];
      order.append("Account");
      present.append(true);
      format.set("Order", order);
      format.set("Present", present);
    }
    outputFormats.addFormat(format);
  }
};

TEST_F(DialogTest, FirstStartShowsAllTransactionsTodayAndQIF) {
  load();
  EXPECT_EQ(form().whichTransactions, kAllTransactions);
  EXPECT_FALSE(form().dateFromString.visible);
  EXPECT_FALSE(form().dateToString.visible);
  EXPECT_FALSE(form().toLabel.visible);
  EXPECT_FALSE(form().invalidRangeWarning.visible);
  EXPECT_EQ(form().dateFromString.text, "03/15/2024");
  EXPECT_EQ(form().dateToString.text, "03/15/2024");
  EXPECT_EQ(form().outputDateString.text, "03/15/2024");
  EXPECT_EQ(form().outputNumberString.text, "");
  EXPECT_EQ(form().outputFormatText.text, "QIF");
  EXPECT_EQ(controller().state().outputFilePath, "");
  EXPECT_FALSE(controller().state().doAppend);
  EXPECT_TRUE(form().outputFileMessage.visible);
  EXPECT_FALSE(form().appendSwitch.visible);
  EXPECT_EQ(form().qifTypePopUp.selectedIndex, 0);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings"), defaultControlSettings(today));
}

TEST_F(DialogTest, RememberedSettingsFillTheDialog) {
  addDelimitedFormat("Bank CSV", "Comma", false);
  remember({{"whichTransactions", 1},
            {"outputNumberString", "42"},
            {"outputFormat", "bank csv"},
            {"inputQIFType", 2},
            {"outputDate", Value(dateOfDay({2024, 1, 31}))}});
  load();
  EXPECT_EQ(form().whichTransactions, kLastMonth);
  EXPECT_EQ(form().outputNumberString.text, "42");
  EXPECT_EQ(form().outputDateString.text, "01/31/2024");
  EXPECT_EQ(form().outputFormatText.text, "bank csv");
  EXPECT_EQ(form().qifTypePopUp.selectedIndex, 2);
  EXPECT_EQ(form().qifTypePopUp.selectedTag(), 4);

  // An output format that no longer exists falls back to QIF; a pop-up index out of range to
  // the first entry.
  controller().doneWithFile();
  remember({{"outputFormat", "Gone"}, {"inputQIFType", 9}});
  load();
  EXPECT_EQ(form().outputFormatText.text, "QIF");
  EXPECT_EQ(form().qifTypePopUp.selectedIndex, 0);
}

TEST_F(DialogTest, AppendWithoutAnAccountOfTheKindDisablesTheRun) {
  turnOn(option::append);
  addAccounts({{"Visa", "CCard"}});
  load();
  EXPECT_FALSE(form().quickenAccountText.visible);
  EXPECT_TRUE(form().quickenAccountFixed.visible);
  EXPECT_EQ(form().quickenAccountFixed.text, "(ERROR: No account of above type found.)");
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);
}

TEST_F(DialogTest, AppendWithSeveralAccountsNeedsOneChosen) {
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}, {"Savings", "Bank"}});
  load();
  EXPECT_TRUE(form().quickenAccountText.visible);
  EXPECT_EQ(form().quickenAccountText.text, "");
  EXPECT_TRUE(form().quickenAccountText.completes);
  EXPECT_EQ(form().quickenAccountText.numberOfVisibleItems, 10);
  EXPECT_EQ(form().quickenAccountText.items, (std::vector<std::string>{"Checking", "Savings"}));
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);
  controller().controlTextDidChange(MainControl::quickenAccountText, "Savings");
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
  EXPECT_EQ(view.shown.processTheTransactionsButton.enabled, true);
}

TEST_F(DialogTest, AppendToTheRememberedQIFFileOfTheFinanceSoftware) {
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}});
  std::string previous = file("previous.qif", "!Account\nNChecking\nTBank\n^\n!Type:Bank\n");
  remember({{"outputFilePath", previous}});
  load();
  EXPECT_TRUE(controller().state().doAppend);
  EXPECT_TRUE(form().outputFileName.visible);
  EXPECT_EQ(form().outputFileName.text, "previous.qif");
  EXPECT_TRUE(form().appendSwitch.visible);
  EXPECT_TRUE(form().appendSwitch.on);
  EXPECT_FALSE(form().outputFileMessage.visible);
  EXPECT_FALSE(form().appendPopUp.visible);

  // A file that is not an export of the finance software is not appended to.
  controller().doneWithFile();
  file("previous.qif", "!Type:Bank\n");
  load();
  EXPECT_FALSE(controller().state().doAppend);
  EXPECT_FALSE(form().appendSwitch.visible);
  EXPECT_TRUE(form().outputFileMessage.visible);
}

TEST_F(DialogTest, DelimitedOutputOffersTheRememberedFileWhenItFits) {
  addDelimitedFormat("Bank CSV", "Comma", false);
  addDelimitedFormat("Bank Tabs", "Tab", true);
  struct Case {
    const char* format;
    const char* fileName;
    bool offered;
  };
  const Case cases[] = {
      {"Bank CSV", "old.csv", true},   {"Bank CSV", "old.CSV", true},
      {"Bank CSV", "old.txt", false},  {"Bank Tabs", "old.TXT", true},
      {"Bank Tabs", "old.csv", false}, {"Bank CSV", "missing.csv", false},
  };
  for (const Case& c : cases) {
    std::string path = dir + "/" + c.fileName;
    if (std::string(c.fileName) != "missing.csv") file(c.fileName, "old\n");
    remember({{"outputFormat", c.format}, {"outputFilePath", path}});
    load();
    SCOPED_TRACE(std::string(c.format) + " " + c.fileName);
    EXPECT_TRUE(controller().state().doAppend);
    EXPECT_TRUE(form().appendSwitch.visible);
    EXPECT_EQ(form().appendSwitch.on, c.offered);
    EXPECT_EQ(form().appendPopUp.visible, c.offered);
    EXPECT_FALSE(form().outputFileMessage.visible);
    if (c.offered) {
      EXPECT_EQ(form().appendPopUp.items,
                (std::vector<PopUpItem>{{c.fileName, 0},
                                        {"File Selected after \"Process Transactions\"", 1}}));
      EXPECT_FALSE(form().outputFileName.visible);
    } else {
      EXPECT_TRUE(form().outputFileName.visible);
      EXPECT_EQ(form().outputFileName.text, "File selected after \"Process Transactions\"");
    }
    controller().doneWithFile();
  }
}

TEST_F(DialogTest, AccountFieldFollowsTheDelimitedFormatsColumns) {
  addDelimitedFormat("With Account", "Comma", true);
  addDelimitedFormat("Plain", "Comma", false);
  load();
  controller().controlTextDidChange(MainControl::outputFormatText, "With Account");
  EXPECT_TRUE(form().quickenAccountText.visible);
  EXPECT_FALSE(form().quickenAccountFixed.visible);
  controller().controlTextDidChange(MainControl::outputFormatText, "Plain");
  EXPECT_FALSE(form().quickenAccountText.visible);
  EXPECT_EQ(form().quickenAccountFixed.text, "(Account not specified in output format.)");
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
}

TEST_F(DialogTest, OutputFormatPromptsAndButton) {
  addDelimitedFormat("Bank CSV", "Comma", false);
  load();
  controller().controlTextDidChange(MainControl::outputFormatText, "New Layout");
  EXPECT_FALSE(form().outputFormatPrompt1.visible);
  EXPECT_TRUE(form().outputFormatPrompt2.visible);
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);
  controller().controlTextDidChange(MainControl::outputFormatText, "");
  EXPECT_TRUE(form().outputFormatPrompt1.visible);
  EXPECT_FALSE(form().outputFormatPrompt2.visible);
  controller().controlTextDidChange(MainControl::outputFormatText, "Bank CSV");
  EXPECT_FALSE(form().outputFormatPrompt2.visible);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
  // A new name starts the definition dialog, which is not built yet.
  controller().controlTextDidChange(MainControl::outputFormatText, "Another");
  controller().defineOutputFormat(true);
  EXPECT_EQ(platform.lastStatus().title, "Not Available Yet");
}

TEST_F(DialogTest, DateRangeIsCompletedAndChecked) {
  remember({{"whichTransactions", 2}});
  load();
  EXPECT_TRUE(form().dateFromString.visible);
  EXPECT_TRUE(form().toLabel.visible);
  EXPECT_TRUE(form().dateToString.visible);
  EXPECT_TRUE(controller().state().dateRangeOK);

  controller().controlTextDidChange(MainControl::dateFromString, "1/5/24");
  controller().controlTextDidChange(MainControl::dateToString, "2/5/24");
  controller().checkDateRange();
  EXPECT_EQ(form().dateFromString.text, "01/05/2024");
  EXPECT_EQ(form().dateToString.text, "02/05/2024");
  EXPECT_FALSE(form().invalidRangeWarning.visible);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);

  controller().controlTextDidChange(MainControl::dateFromString, "3/1/2024");
  controller().checkDateRange();
  EXPECT_TRUE(form().invalidRangeWarning.visible);
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);

  controller().controlTextDidChange(MainControl::dateToString, "");
  controller().checkDateRange();
  EXPECT_EQ(form().dateToString.text, "03/15/2024");
  EXPECT_FALSE(form().invalidRangeWarning.visible);

  controller().controlTextDidChange(MainControl::dateToString, "someday");
  controller().checkDateRange();
  EXPECT_TRUE(form().invalidRangeWarning.visible);
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);

  // Choosing all transactions hides the range and no longer needs it.
  controller().radioButtonNotDateRange(kAllTransactions);
  EXPECT_FALSE(form().dateFromString.visible);
  EXPECT_FALSE(form().invalidRangeWarning.visible);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
}

TEST_F(DialogTest, DatePatternsComeFromThePreferences) {
  controller().setDateFormatters("%d/%m");
  EXPECT_EQ(store.prefs.objectForKey("OutputDateFormat").toString(), "%d/%m/%Y");
  EXPECT_EQ(store.prefs.objectForKey("OutputDateFormatShortYear").toString(), "%d/%m/%y");
  remember({{"whichTransactions", 2}, {"dateFrom", Value(dateOfDay({2024, 1, 31}))}});
  load();
  EXPECT_EQ(form().dateFromString.text, "31/01/2024");
  controller().controlTextDidChange(MainControl::dateFromString, "5/2/24");
  controller().checkDateRange();
  EXPECT_EQ(form().dateFromString.text, "05/02/2024");
}

TEST_F(DialogTest, ContinueFromWhereIStoppedLastTime) {
  struct Case {
    Value dateTo;
    const char* from;
  };
  const Case cases[] = {
      {Value(dateOfDay({2024, 3, 10})), "03/11/2024"},
      {Value(dateOfDay({2024, 2, 29})), "03/01/2024"},
      {Value(dateOfDay({2024, 3, 15})), "03/15/2024"},
      {Value(distantFutureDate()), "03/15/2024"},
  };
  for (const Case& c : cases) {
    remember({{"dateTo", c.dateTo}});
    load();
    controller().continueFromWhereIStoppedLastTime();
    EXPECT_EQ(form().whichTransactions, kDateRange);
    EXPECT_TRUE(form().dateFromString.visible);
    EXPECT_EQ(form().dateFromString.text, c.from);
    EXPECT_EQ(form().dateToString.text, "03/15/2024");
    EXPECT_TRUE(controller().state().dateRangeOK);
    EXPECT_FALSE(form().invalidRangeWarning.visible);
    controller().doneWithFile();
  }
}

TEST_F(DialogTest, InputFormatIsChosenByItsMatchText) {
  const char* text = "ACME BANK statement\nAccount 1234 CHECKING DETAIL\n01/02/2024 Shop 5.00\n";
  addInputFormat("Longest", "Bank", "CHECKING DETAIL");
  addInputFormat("Earliest", "Credit Card", "ACME");
  addInputFormat("Absent", "Bank", "NOT THERE AT ALL, LONGER THAN ANY");
  addInputFormat("No match text", "Bank", "");
  load(text, "acme.txt");
  EXPECT_TRUE(controller().state().doingExtract);
  EXPECT_EQ(form().inputFormatText.text, "Longest");
  EXPECT_EQ(form().inputAccountType.text, "Bank");
  EXPECT_EQ(session.gType, 0);
  EXPECT_EQ(controller().state().controlHelpAnchor, "Text");
  EXPECT_TRUE(form().inputFormatText.visible);
  EXPECT_FALSE(form().qifTypePopUp.visible);
  EXPECT_EQ(form().inputFormatText.items,
            (std::vector<std::string>{"Longest", "Earliest", "Absent", "No match text"}));
  EXPECT_EQ(view.focused.back(), MainControl::inputFormatText);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
  controller().doneWithFile();

  turnOn(option::formatFirstMatch);
  load(text, "acme.txt");
  EXPECT_EQ(form().inputFormatText.text, "Earliest");
  EXPECT_EQ(form().inputAccountType.text, "Credit Card");
  EXPECT_EQ(session.gType, 1);
}

TEST_F(DialogTest, EqualMatchesGoToTheFirstFormat) {
  addInputFormat("First", "Bank", "ACME");
  addInputFormat("Second", "Credit Card", "ACME");
  load("ACME statement\n01/02/2024 Shop 5.00\n", "acme.txt");
  EXPECT_EQ(form().inputFormatText.text, "First");
}

TEST_F(DialogTest, TextWithoutAKnownFormatWaitsForOne) {
  addInputFormat("Card", "Credit Card", "VISA");
  load("  \n\nStatement\n01/02/2024 Shop 5.00\n", "text.txt");
  EXPECT_EQ(controller().state().fileAsString, "Statement\n01/02/2024 Shop 5.00\n");
  EXPECT_EQ(controller().state().fileAsCString, controller().state().fileAsString);
  EXPECT_EQ(form().inputFormatText.text, "");
  EXPECT_EQ(form().inputAccountType.text, "Unknown");
  EXPECT_TRUE(form().extractFormatPrompt.visible);
  EXPECT_EQ(session.gType, 4);
  EXPECT_TRUE(form().quickenAccountText.items.empty());
  EXPECT_EQ(form().outputFormatText.items, std::vector<std::string>{"QIF"});
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);
  EXPECT_TRUE(session.ProcessingGlobal);

  controller().controlTextDidChange(MainControl::inputFormatText, "New");
  EXPECT_FALSE(form().extractFormatPrompt.visible);
  EXPECT_TRUE(form().extractFormatPrompt2.visible);
  EXPECT_EQ(form().inputAccountType.text, "Unknown");
  EXPECT_FALSE(form().processTheTransactionsButton.enabled);
  // Return on a new name starts the wizard, which is not built yet.
  controller().learn(true);
  EXPECT_EQ(platform.lastStatus().title, "Not Available Yet");

  controller().controlTextDidChange(MainControl::inputFormatText, "card");
  EXPECT_EQ(form().inputAccountType.text, "Credit Card");
  EXPECT_FALSE(form().extractFormatPrompt2.visible);
  EXPECT_EQ(session.gType, 1);
  EXPECT_TRUE(form().processTheTransactionsButton.enabled);
}

TEST_F(DialogTest, CreditCardFormatWithAllAccountNamesShown) {
  turnOn(option::showAllAccountNames);
  addAccounts({{"Checking", "Bank"}, {"Visa", "CCard"}, {"Broker", "Port"}});
  addInputFormat("Card", "Credit Card", "VISA");
  addInputFormat("Broker", "Investment", "TRADES");
  load("VISA statement\n01/02/2024 Shop 5.00\n", "visa.txt");
  EXPECT_EQ(session.gType, 1);
  EXPECT_EQ(form().inputAccountType.text, "Credit Card");
  EXPECT_EQ(form().quickenAccountText.items, (std::vector<std::string>{"Checking", "Visa"}));
  controller().controlTextDidChange(MainControl::inputFormatText, "Broker");
  EXPECT_EQ(session.gType, 2);
  EXPECT_EQ(form().quickenAccountText.items, std::vector<std::string>{"Broker"});
}

TEST_F(DialogTest, TabOrderFollowsTheVisibleFields) {
  remember({{"whichTransactions", 2}});
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}});
  load();
  EXPECT_EQ(form().tabOrder, (std::vector<MainControl>{
                                 MainControl::quickenAccountText, MainControl::dateFromString,
                                 MainControl::dateToString, MainControl::outputFormatText,
                                 MainControl::outputDateString, MainControl::outputNumberString}));
}

TEST_F(DialogTest, SwitchesMoveTheFocusToTheirField) {
  load();
  controller().checkOutputDate(true);
  EXPECT_TRUE(form().sameDateSwitch.on);
  EXPECT_EQ(view.focused.back(), MainControl::outputDateString);
  controller().checkOutputNumber(true);
  EXPECT_EQ(view.focused.back(), MainControl::outputNumberString);
  std::size_t focusCount = view.focused.size();
  controller().checkOutputDate(false);
  EXPECT_FALSE(form().sameDateSwitch.on);
  EXPECT_EQ(view.focused.size(), focusCount);
}

TEST_F(DialogTest, MenusWhileAnInputIsLoaded) {
  controller().applicationDidFinishLaunching();
  EXPECT_TRUE(controller().validateMenuItem({"Edit Instructions...", false}));
  load();
  EXPECT_FALSE(controller().validateMenuItem({"Edit Instructions...", false}));
  EXPECT_TRUE(controller().validateMenuItem({"Corvela Help", false}));
  EXPECT_TRUE(controller().validateMenuItem({"Reverse Signs of Amounts", true}));
  EXPECT_FALSE(form().menuItemEnabled(MenuItem::importExtractFormatMenuItem));
  controller().cancel();
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_FALSE(view.visible);
  EXPECT_TRUE(controller().validateMenuItem({"Edit Instructions...", false}));
  EXPECT_TRUE(form().menuItemEnabled(MenuItem::processClipboardMenuItem));
  // Importing and exporting formats stay as the run left them.
  EXPECT_FALSE(form().menuItemEnabled(MenuItem::importExtractFormatMenuItem));
  EXPECT_FALSE(form().menuItemEnabled(MenuItem::exportExtractFormatMenuItem));
}

TEST_F(DialogTest, MissingSecuritiesAreWarnedAboutButDoNotStop) {
  platform.answerNextAlert(0);
  EXPECT_TRUE(controller().checkSecurities());
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].title, "Need Security Names");
  EXPECT_EQ(platform.alerts[0].buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(platform.alerts[0].text.starts_with(
      "In order to process investment transactions, Corvela needs to know the names"));
  store.prefs.setObject("Securities", Value::array());
  EXPECT_TRUE(controller().checkSecurities());
  EXPECT_EQ(platform.alerts.size(), 1u);
}

TEST_F(DialogTest, ReturnInAKnownFormatsFieldStartsTheRun) {
  addInputFormat("Shop", "Bank", "SHOP");
  load("SHOP statement\n01/02/2024 Bread 5.00\n", "shop.txt");
  // Return elsewhere than in the field only puts the focus there.
  controller().learn(false);
  EXPECT_EQ(view.focused.back(), MainControl::inputFormatText);
  EXPECT_TRUE(platform.savePanels.empty());
  platform.answerNextSavePanel(std::nullopt);
  controller().learn(true);
  EXPECT_EQ(platform.savePanels.size(), 1u);

  load();
  controller().defineOutputFormat(false);
  EXPECT_EQ(view.focused.back(), MainControl::outputFormatText);
  platform.answerNextSavePanel(std::nullopt);
  controller().defineOutputFormat(true);
  EXPECT_EQ(platform.savePanels.size(), 2u);
}

TEST_F(DialogTest, ReturnWaitsForAnAccountWhenOneIsAskedFor) {
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}, {"Savings", "Bank"}});
  addInputFormat("Shop", "Bank", "SHOP");
  load("SHOP statement\n01/02/2024 Bread 5.00\n", "shop.txt");
  ASSERT_TRUE(form().quickenAccountText.visible);
  controller().learn(true);
  EXPECT_TRUE(platform.savePanels.empty());
  EXPECT_EQ(view.focused.back(), MainControl::inputFormatText);
}

TEST_F(DialogTest, HelpOpensThePageOfTheInputsKind) {
  load();
  controller().controlHelp();
  controller().doneWithFile();
  controller().actuallyProcessFile(file("x.ofx", "OFXHEADER:100\n<BANKMSGSRSV1>\n"));
  controller().controlHelp();
  EXPECT_EQ(platform.helpPages, (std::vector<std::string>{"QIF", "QFX"}));
}

// With the option "append", a QIF run heads its output with an "!Account" block naming the
// account field's text: only a known account of the statement's kind may stand there.
struct AppendAccountCase {
  const char* name;
  const char* input;  // a file name: its extension says what it holds
  const char* typed;  // typed in the account field; none leaves it as filled in
  const char* shown;  // the account field afterwards
  bool enabled;       // "Process Transactions"
};

constexpr const char* kDownload = R"(OFXHEADER:100
DATA:OFXSGML
VERSION:102

<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>USD
<BANKACCTFROM><BANKID>1<ACCTID>4417-2290<ACCTTYPE>CHECKING</BANKACCTFROM>
<BANKTRANLIST>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240301<TRNAMT>-4.50<FITID>1<NAME>COFFEE</STMTTRN>
</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
)";

const AppendAccountCase kAppendAccounts[] = {
    {"TheOnlyAccountOfTheKindIsShown", "in.qif", nullptr, "Checking", true},
    {"AStatementsAccountNumberIsNoAccount", "in.ofx", nullptr, "4417-2290", false},
    {"AChosenAccountReplacesTheNumber", "in.ofx", "Checking", "Checking", true},
    {"AnInvestmentAccountForABankStatement", "in.qif", "Brokerage", "Brokerage", false},
    {"AnUnknownName", "in.qif", "Nope", "Nope", false},
    {"AnEmptyField", "in.qif", "", "", false},
};

class AppendAccountTest : public DialogTest,
                          public ::testing::WithParamInterface<AppendAccountCase> {};

TEST_P(AppendAccountTest, TheHeaderNamesAKnownAccountOfTheStatementsKind) {
  const AppendAccountCase& c = GetParam();
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}, {"Brokerage", "Port"}});
  std::string previous = file("previous.qif", "!Account\nNChecking\nTBank\n^\n!Type:Bank\n");
  remember({{"outputFilePath", previous}});
  std::string input = c.input;
  load(input.ends_with(".ofx") ? kDownload : kRegister, c.input);
  if (c.typed) controller().controlTextDidChange(MainControl::quickenAccountText, c.typed);
  EXPECT_EQ(form().quickenAccountText.text, c.shown);
  EXPECT_EQ(form().processTheTransactionsButton.enabled, c.enabled);

  controller().processTheTransactions();
  EXPECT_EQ(readFile(previous).starts_with("!Account\nNChecking\nTBank\n^\n!Type:Bank\n"
                                           "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD"),
            c.enabled)
      << readFile(previous);
}

INSTANTIATE_TEST_SUITE_P(Dialog, AppendAccountTest, ::testing::ValuesIn(kAppendAccounts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvela::testing
