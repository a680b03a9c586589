#include <gtest/gtest.h>

#include "app/ControllerFixture.h"
#include "formats/OutputFormatKeys.h"

namespace corvela::testing {
namespace {

constexpr const char* kRegister = "!Type:Bank\nD03/01/2024\nT-12.50\nPGrocer\n^\n";

// The control view's form as each step leaves it is compared with the test's golden file
// (tests/data/app/golden/DialogTest.*.txt); the tests check here what lies outside the form.
class DialogTest : public ControllerTest {
 protected:
  void load(const char* text = kRegister, const char* name = "in.qif") {
    controller().actuallyProcessFile(file(name, text));
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
  void type(MainControl control, const char* text) {
    controller().controlTextDidChange(control, text);
    snap(text);
  }
};

TEST_F(DialogTest, RememberedSettingsFillTheDialog) {
  load();
  snap("first start: all transactions, today, QIF");
  EXPECT_EQ(store.prefs.objectForKey("ControlSettings"), defaultControlSettings(today));
  controller().doneWithFile();

  addDelimitedFormat("Bank CSV", "Comma", false);
  remember({{"whichTransactions", 1},
            {"outputNumberString", "42"},
            {"outputFormat", "bank csv"},
            {"inputQIFType", 2},
            {"outputDate", Value(dateOfDay({2024, 1, 31}))}});
  load();
  snap("remembered");
  EXPECT_EQ(form().qifTypePopUp.selectedTag(), 4);
  controller().doneWithFile();

  // An output format that no longer exists falls back to QIF; a pop-up index out of range to
  // the first entry.
  remember({{"outputFormat", "Gone"}, {"inputQIFType", 9}});
  load();
  snap("gone format, index out of range");
  checkLog();
}

TEST_F(DialogTest, AppendNeedsOneAccountOfTheKindAndAnExportToAppendTo) {
  turnOn(option::append);
  addAccounts({{"Visa", "CCard"}});
  load();
  snap("no account of the kind");
  controller().doneWithFile();

  addAccounts({{"Checking", "Bank"}, {"Savings", "Bank"}});
  remember({{"whichTransactions", 2}});
  load();
  snap("two accounts of the kind");
  type(MainControl::quickenAccountText, "Savings");
  EXPECT_EQ(view.shown.processTheTransactionsButton.enabled, true);
  controller().doneWithFile();

  addAccounts({{"Checking", "Bank"}});
  std::string previous = file("previous.qif", "!Account\nNChecking\nTBank\n^\n!Type:Bank\n");
  remember({{"outputFilePath", previous}});
  load();
  snap("the remembered export");
  EXPECT_TRUE(controller().state().doAppend);
  controller().doneWithFile();

  // A file that is not an export of the finance software is not appended to.
  file("previous.qif", "!Type:Bank\n");
  load();
  snap("not an export");
  EXPECT_FALSE(controller().state().doAppend);
  checkLog();
}

TEST_F(DialogTest, DelimitedOutputOffersTheRememberedFileWhenItFits) {
  addDelimitedFormat("Bank CSV", "Comma", false);
  addDelimitedFormat("Bank Tabs", "Tab", true);
  for (auto [format, fileName] : {std::pair{"Bank CSV", "old.csv"},
                                  {"Bank CSV", "old.CSV"},
                                  {"Bank CSV", "old.txt"},
                                  {"Bank Tabs", "old.TXT"},
                                  {"Bank Tabs", "old.csv"},
                                  {"Bank CSV", "missing.csv"}}) {
    if (std::string(fileName) != "missing.csv") file(fileName, "old\n");
    remember({{"outputFormat", format}, {"outputFilePath", dir + "/" + fileName}});
    load();
    snap(std::string(format) + " " + fileName);
    controller().doneWithFile();
  }
  checkLog();
}

TEST_F(DialogTest, OutputFormatNameDecidesPromptsAccountAndButton) {
  addDelimitedFormat("With Account", "Comma", true);
  addDelimitedFormat("Plain", "Comma", false);
  load();
  for (const char* name : {"With Account", "Plain", "New Layout", "", "plain"})
    type(MainControl::outputFormatText, name);
  checkLog();
  // A new name starts the definition dialog; cancelled, it leaves the name as typed.
  controller().controlTextDidChange(MainControl::outputFormatText, "Another");
  controller().defineOutputFormat(true);
  EXPECT_EQ(definitionView.runs, 1);
  EXPECT_EQ(form().outputFormatText.text, "Another");
}

TEST_F(DialogTest, DateRangeIsCompletedAndChecked) {
  remember({{"whichTransactions", 2}});
  load();
  EXPECT_TRUE(controller().state().dateRangeOK);
  // Each step types into one field; the range is checked with what the fields then hold.
  for (auto [field, text] : {std::pair{MainControl::dateFromString, "1/5/24"},
                             {MainControl::dateToString, "2/5/24"},
                             {MainControl::dateFromString, "3/1/2024"},
                             {MainControl::dateToString, ""},
                             {MainControl::dateToString, "someday"}}) {
    controller().controlTextDidChange(field, text);
    controller().checkDateRange();
    snap(text);
  }
  // Choosing all transactions hides the range and no longer needs it.
  controller().radioButtonNotDateRange(kAllTransactions);
  snap("all transactions");
  controller().doneWithFile();

  // The patterns come from the preferences.
  controller().setDateFormatters("%d/%m");
  EXPECT_EQ(store.prefs.objectForKey("OutputDateFormat").toString(), "%d/%m/%Y");
  EXPECT_EQ(store.prefs.objectForKey("OutputDateFormatShortYear").toString(), "%d/%m/%y");
  remember({{"whichTransactions", 2}, {"dateFrom", Value(dateOfDay({2024, 1, 31}))}});
  load();
  snap("day first");
  controller().controlTextDidChange(MainControl::dateFromString, "5/2/24");
  controller().checkDateRange();
  EXPECT_EQ(form().dateFromString.text, "05/02/2024");
  checkLog();
}

// The range starts the day after the last run's end, or today when that end is today or later.
TEST_F(DialogTest, ContinueFromWhereIStoppedLastTime) {
  for (Value dateTo : {Value(dateOfDay({2024, 3, 10})), Value(dateOfDay({2024, 2, 29})),
                       Value(dateOfDay({2024, 3, 15})), Value(distantFutureDate())}) {
    remember({{"dateTo", dateTo}});
    load();
    controller().continueFromWhereIStoppedLastTime();
    EXPECT_TRUE(controller().state().dateRangeOK);
    snap("continued");
    controller().doneWithFile();
  }
  checkLog();
}

TEST_F(DialogTest, InputFormatIsChosenByItsMatchText) {
  const char* text = "ACME BANK statement\nAccount 1234 CHECKING DETAIL\n01/02/2024 Shop 5.00\n";
  addInputFormat("Longest", "Bank", "CHECKING DETAIL");
  addInputFormat("Earliest", "Credit Card", "ACME");
  addInputFormat("Absent", "Bank", "NOT THERE AT ALL, LONGER THAN ANY");
  addInputFormat("No match text", "Bank", "");
  load(text, "acme.txt");
  snap("longest match");
  EXPECT_TRUE(controller().state().doingExtract);
  EXPECT_EQ(controller().state().controlHelpAnchor, "Text");
  EXPECT_EQ(view.focused.back(), MainControl::inputFormatText);
  controller().doneWithFile();

  turnOn(option::formatFirstMatch);
  load(text, "acme.txt");
  EXPECT_EQ(form().inputFormatText.text, "Earliest");
  EXPECT_EQ(session.gType, 1);
  controller().doneWithFile();

  // Equal matches go to the first format.
  addInputFormat("Second ACME", "Bank", "ACME");
  load(text, "acme.txt");
  EXPECT_EQ(form().inputFormatText.text, "Earliest");
  checkLog();
}

TEST_F(DialogTest, TextWithoutAKnownFormatWaitsForOne) {
  addInputFormat("Card", "Credit Card", "VISA");
  load("  \n\nStatement\n01/02/2024 Shop 5.00\n", "text.txt");
  snap("no format");
  EXPECT_EQ(controller().state().fileAsString, "Statement\n01/02/2024 Shop 5.00\n");
  EXPECT_EQ(session.gType, 4);
  type(MainControl::inputFormatText, "New");
  // Return on a new name starts the wizard, which is not built yet.
  controller().learn(true);
  EXPECT_EQ(platform.lastStatus().title, "Not Available Yet");
  type(MainControl::inputFormatText, "card");
  EXPECT_EQ(session.gType, 1);
  checkLog();
}

TEST_F(DialogTest, AFormatsKindChoosesTheAccounts) {
  turnOn(option::showAllAccountNames);
  addAccounts({{"Checking", "Bank"}, {"Visa", "CCard"}, {"Broker", "Port"}});
  addInputFormat("Card", "Credit Card", "VISA");
  addInputFormat("Broker", "Investment", "TRADES");
  load("VISA statement\n01/02/2024 Shop 5.00\n", "visa.txt");
  EXPECT_EQ(form().quickenAccountText.items, (std::vector<std::string>{"Checking", "Visa"}));
  controller().controlTextDidChange(MainControl::inputFormatText, "Broker");
  EXPECT_EQ(session.gType, 2);
  EXPECT_EQ(form().quickenAccountText.items, std::vector<std::string>{"Broker"});
}

TEST_F(DialogTest, SwitchesMoveTheFocusAndHelpFollowsTheKind) {
  load();
  controller().checkOutputDate(true);
  EXPECT_EQ(view.focused.back(), MainControl::outputDateString);
  controller().checkOutputNumber(true);
  EXPECT_EQ(view.focused.back(), MainControl::outputNumberString);
  std::size_t focusCount = view.focused.size();
  controller().checkOutputDate(false);
  EXPECT_FALSE(form().sameDateSwitch.on);
  EXPECT_EQ(view.focused.size(), focusCount);
  // Help opens the page of the input's kind.
  controller().controlHelp();
  controller().doneWithFile();
  controller().actuallyProcessFile(file("x.ofx", "OFXHEADER:100\n<BANKMSGSRSV1>\n"));
  controller().controlHelp();
  EXPECT_EQ(platform.helpPages, (std::vector<std::string>{"QIF", "QFX"}));
}

TEST_F(DialogTest, MenusWhileAnInputIsLoaded) {
  controller().applicationDidFinishLaunching();
  EXPECT_TRUE(controller().validateMenuItem({"Edit Instructions...", false}));
  load();
  EXPECT_FALSE(controller().validateMenuItem({"Edit Instructions...", false}));
  EXPECT_TRUE(controller().validateMenuItem({"Corvela Help", false}));
  EXPECT_TRUE(controller().validateMenuItem({"Reverse Signs of Amounts", true}));
  controller().cancel();
  EXPECT_FALSE(session.ProcessingGlobal);
  EXPECT_FALSE(view.visible);
  EXPECT_TRUE(controller().validateMenuItem({"Edit Instructions...", false}));
  // Importing and exporting formats stay as the run left them.
  snap("cancelled");
  checkLog();
}

TEST_F(DialogTest, MissingSecuritiesAreWarnedAboutButDoNotStop) {
  platform.answerNextAlert(0);
  EXPECT_TRUE(controller().checkSecurities());
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].title, "Need Security Names");
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
  controller().doneWithFile();

  // It waits for an account when one is asked for.
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}, {"Savings", "Bank"}});
  load("SHOP statement\n01/02/2024 Bread 5.00\n", "shop.txt");
  controller().learn(true);
  EXPECT_EQ(platform.savePanels.size(), 2u);
  EXPECT_EQ(view.focused.back(), MainControl::inputFormatText);
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

// The bundled checking download, whose account number is 4417-2290.
const std::string kDownload =
    std::string(CORVELA_TEST_DATA) + "/../../examples/checking-2024-03.ofx";

const AppendAccountCase kAppendAccounts[] = {
    {"TheOnlyAccountOfTheKindIsShown", "in.qif", nullptr, "Checking", true},
    {"AStatementsAccountNumberIsNoAccount", "in.ofx", nullptr, "4417-2290", false},
    {"AChosenAccountReplacesTheNumber", "in.ofx", "Checking", "Checking", true},
    {"AnInvestmentAccountForABankStatement", "in.qif", "Brokerage", "Brokerage", false},
    {"AnUnknownName", "in.qif", "Nope", "Nope", false},
    {"AnEmptyField", "in.qif", "", "", false},
};

TEST_F(DialogTest, AppendHeaderNamesAKnownAccountOfTheStatementsKind) {
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}, {"Brokerage", "Port"}});
  const char* header = "!Account\nNChecking\nTBank\n^\n!Type:Bank\n";
  for (const AppendAccountCase& c : kAppendAccounts) {
    SCOPED_TRACE(c.name);
    std::string previous = file("previous.qif", header);
    remember({{"outputFilePath", previous}});
    std::string input = c.input;
    load(input.ends_with(".ofx") ? readFile(kDownload).c_str() : kRegister, c.input);
    if (c.typed) controller().controlTextDidChange(MainControl::quickenAccountText, c.typed);
    EXPECT_EQ(form().quickenAccountText.text, c.shown);
    EXPECT_EQ(form().processTheTransactionsButton.enabled, c.enabled);
    controller().processTheTransactions();
    EXPECT_EQ(readFile(previous).starts_with(std::string(header) + header + "D"), c.enabled)
        << readFile(previous);
    controller().doneWithFile();
  }
}

}  // namespace
}  // namespace corvela::testing
