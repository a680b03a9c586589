#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "formats/InputFormatKeys.h"
#include "inputformats/QuestionTable.h"
#include "inputformats/WizardColumns.h"
#include "prefs/CVPrefs.h"
#include "prefs/ValueText.h"
#include "support/CliRun.h"
#include "support/FileText.h"
#include "support/ScriptedWizard.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

using testing::ScriptedWizard;

// A title line, then three tab-separated transactions.
const std::string kText =
    "Statement of account\n01/02/2024\tShop\t-12.50\n01/03/2024\tSalary\t1000.00\n"
    "01/04/2024\tCafe\t-3.20\n";

TextSpan spanOf(const std::string& text, const std::string& part, std::size_t extra = 0) {
  return {text.find(part), part.size() + extra};
}

// Starts `w` on `text` and takes it to the question page with the date of its second line.
void toQuestions(ScriptedWizard& w, const std::string& text, int kind = 1) {
  w.wizard.learnFromString(text, "Test");
  w.wizard.chooseKind(kind);
  w.wizard.selectDate(spanOf(w.form().dateText, "01/03/2024"));
  w.wizard.ok1();
  ASSERT_EQ(w.form().page, 2);
  w.wizard.parseFields(static_cast<int>(SeparatorTag::columns), false, false);
  w.wizard.ok2();
}

// A bundle whose bank script (kind Bank) and investment script (kind Investment) are the entries
// of tests/data/inputformats/wizard/NAME.xml:
// - two-required-columns: Description and Memo, each with the error shown when none is picked;
// - branches: "Outer?" whose Yes holds "Inner?", whose No asks for Memo; "Invert?" whose Yes
//   inverts the amount; an optional Check column; Done;
// - missing-answers: a required Memo column, a required selection of the TypeAfter text, Stop;
// - unfinished: an optional Memo column and neither Done nor Stop;
// - investment-checks: CheckSecurity, an optional Shares column, CheckSharesOrPrice, Done.
Bundle scriptBundle(const std::string& name) {
  const std::string script =
      testing::readText(std::string(CORVELA_TEST_DATA) + "/inputformats/wizard/" + name + ".xml");
  std::string xml =
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
      "<key>CVExtractBankCreditCard</key><array>" +
      script +
      "</array>"
      "<key>CVExtractInvestment</key><array>" +
      script + "</array></dict></plist>";
  Result<Bundle> bundle = Bundle::fromXML(xml);
  EXPECT_TRUE(bundle.ok()) << bundle.message();
  return std::move(bundle).value();
}

// Answers the question page as a person would, each answer of `answers` in turn (separated by
// blanks): "yes", "no", "ok", "N" (a click on column N), "=N" (OK on the column the wizard
// preselected, which must be N) or "text:WORD" (WORD selected in a cell, then OK).
void answer(ScriptedWizard& w, const std::string& answers) {
  std::istringstream in(answers);
  for (std::string answer; in >> answer;) {
    SCOPED_TRACE(answer + " to: " + w.form().prompt);
    ASSERT_EQ(w.form().page, 3);
    if (answer == "yes") {
      w.wizard.yes();
    } else if (answer == "no") {
      w.wizard.no();
    } else if (answer == "ok") {
      w.wizard.ok3();
    } else if (answer.starts_with("text:")) {
      w.wizard.selectCellText(answer.substr(5));
      w.wizard.ok3();
    } else if (answer.starts_with("=")) {
      EXPECT_EQ(w.form().questions.selectedColumn, std::stoi(answer.substr(1)));
      EXPECT_TRUE(w.form().okShown);
      w.wizard.ok3();
    } else {
      w.wizard.selectColumn(std::stoi(answer));
    }
  }
}

TEST(WizardDatePage, RefusesASelectionThatIsNotADateThatStartsATransaction) {
  // A blank after the second date.
  const std::string blank = std::string(kText).insert(kText.find("\tSalary"), " ");
  struct Case {
    std::string text;
    const char* selected;
    std::size_t extra;  // bytes selected after it
    const char* title;
    std::string_view refusal;
  } cases[] = {
      // A good date, but the first of the shown text.
      {blank, "01/02/2024", 0, "Bad Date", kDateAtStartOfText},
      {blank, "01/03/2024", 1, "Bad Date", kNotJustADate},  // with the blank after it
      {blank, "\n01/03/2024", 0, "Bad Date", kNotJustADate},
      {blank, "Salary", 0, "Bad Date", kNotJustADate},
      {blank, "01/03/2024", 0, "Bad Date", kNoDateSelected},  // a caret, no selection
      // "1/3/2024" out of "11/3/2024": the date would have to follow a "1", which no date does.
      {"x\n11/2/2024 a\n11/3/2024 b\n", "1/3/2024", 0, "Not Enough Transactions",
       kNotEnoughTransactionsText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    ScriptedWizard w;
    w.wizard.learnFromString(c.text, "Test");
    // The shown text begins at the first date: the title line is left out.
    if (c.text == blank) {
      ASSERT_EQ(w.form().dateText.substr(0, 10), "01/02/2024");
    }
    TextSpan span = spanOf(w.form().dateText, c.selected, c.extra);
    if (c.refusal == kNoDateSelected) span.length = 0;
    Alert sheet = w.expectSheet([&] {
      w.wizard.selectDate(span);
      w.wizard.ok1();
    });
    EXPECT_EQ(sheet.title, c.title);
    EXPECT_EQ(sheet.text, c.refusal);
    EXPECT_EQ(w.form().page, 1);
  }
}

TEST(WizardDatePage, DateKeysFollowTheSelectedDate) {
  struct Case {
    std::string text, date, keys;  // the delimiter, the start and the end, joined by "|"
  } cases[] = {
      {"x\n01/02/2024 a\n01/03/2024 b\n", "01/03/2024", "/|\n| "},
      {"x\n2024-01-02,a\n2024-01-03,b\n", "2024-01-03", "-|\n|,"},
      {"x\n\"January 2, 2024\",a\n\"January 3, 2024\",b\n", "January 3, 2024", ",|\"|\""},
      {"x\n\t02.01.2024\ta\n\t03.01.2024\tb", "03.01.2024", ".|\t|\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ScriptedWizard w;
    w.wizard.learnFromString(c.text, "Test");
    w.wizard.selectDate(spanOf(w.form().dateText, c.date));
    w.wizard.ok1();
    ASSERT_EQ(w.form().page, 2);
    const Value& format = w.wizard.format();
    EXPECT_EQ(format[inputFormatKey::DateDelimiter].toString() + "|" +
                  format[inputFormatKey::DateStart].toString() + "|" +
                  format[inputFormatKey::DateEnd].toString(),
              c.keys);
    EXPECT_EQ(w.form().preview.rows.size(), 2u);
  }
}

TEST(WizardColumnsPage, OnlyFixedColumnsKeepTheDatesDistanceFromTheLineStart) {
  ScriptedWizard w;
  w.wizard.learnFromString("x\n  01/02/2024 a\n  01/03/2024 b\n", "Test");
  w.wizard.selectDate(spanOf(w.form().dateText, "01/03/2024"));
  w.wizard.ok1();
  // Each choice follows another, so a distance left from an earlier one shows.
  for (int tag : {6, 1, 6, 5, 7, 6, 0}) {
    SCOPED_TRACE(tag);
    w.wizard.parseFields(tag, false, false);
    const Value& format = w.wizard.format();
    EXPECT_EQ(format[inputFormatKey::Fields].toString(),
              fieldRuleForTag(static_cast<SeparatorTag>(tag)));
    const bool kept = format.contains(inputFormatKey::DistanceFromNewline);
    EXPECT_EQ(kept ? format[inputFormatKey::DistanceFromNewline].toInt() : -1, tag == 6 ? 3 : -1);
  }
}

// A transaction the reader cannot cut (a broken quote) is still shown, cut as far as the rule
// goes; quotes doubled inside a quoted cell are one quote, and a long cell is cut short between
// characters.
TEST(WizardColumnsPage, APreviewShowsEveryTransaction) {
  const std::string longCell = std::string(254, 'x') + "\xC3\xA9";  // the last one is 2 bytes
  ScriptedWizard w;
  w.wizard.learnFromString(
      "Date,What,Amount\n01/02/2024,\"Shop \"\"A\"\"\",-12.50\n"
      "01/03/2024,\"Sal\"ary,\"A \"\"B\"\"\",1000.00\n01/04/2024," +
          longCell + ",-3.20\n",
      "Test");
  w.wizard.selectDate(spanOf(w.form().dateText, "01/03/2024"));
  w.wizard.ok1();
  w.wizard.parseFields(static_cast<int>(SeparatorTag::csv), false, false);
  using Row = std::vector<std::string>;
  const std::vector<Row> expected = {{"01/02/2024", "Shop \"A\"", "-12.50"},
                                     {"01/03/2024", "\"Sal\"ary", "A \"B\"", "1000.00"},
                                     {"01/04/2024", std::string(254, 'x'), "-3.20"}};
  EXPECT_EQ(w.form().preview.rows, expected);
}

TEST(WizardQuestions, AColumnIsUsedForOneItemOnly) {
  ScriptedWizard w(scriptBundle("two-required-columns"));
  toQuestions(w, kText);
  w.wizard.selectColumn(1);
  Alert sheet = w.expectSheet([&] { w.wizard.selectColumn(1); });
  EXPECT_EQ(sheet.title, "Column Already Used");
  EXPECT_NE(sheet.text.find("\"Description\""), std::string::npos);
  EXPECT_FALSE(w.wizard.format().contains("Memo"));
  w.wizard.selectColumn(2);
  w.wizard.ok3();
  ASSERT_TRUE(w.learnt);
  EXPECT_EQ((*w.learnt)["Description"].toInt(), 1);
  EXPECT_EQ((*w.learnt)["Memo"].toInt(), 2);
  EXPECT_EQ(w.form().questions.headers, (std::vector<std::string>{"", "Description", "Memo"}));
}

TEST(WizardQuestions, BranchesReturnToTheQuestionAfterTheirs) {
  struct Case {
    const char* name;
    const char* answers;
    const char* keys;  // the keys the format gets, of Memo, InvertAmount and Check
  } cases[] = {
      {"both branches", "yes no 2 yes 1 ok", "Memo InvertAmount Check "},
      {"no branch", "no no ok ok", ""},
      {"yes without a list", "yes yes yes ok ok", "InvertAmount "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedWizard w(scriptBundle("branches"));
    toQuestions(w, kText);
    answer(w, c.answers);
    ASSERT_TRUE(w.learnt);
    std::string keys;
    for (const char* key : {"Memo", "InvertAmount", "Check"})
      if (w.learnt->contains(key)) keys += std::string(key) + " ";
    EXPECT_EQ(keys, c.keys);
  }
}

TEST(WizardQuestions, MissingAnswersAndEndsWithoutDone) {
  ScriptedWizard w(scriptBundle("missing-answers"));
  toQuestions(w, kText);
  EXPECT_EQ(w.expectSheet([&] { w.wizard.ok3(); }).title, "No Column Selected");
  EXPECT_EQ(w.platform.alerts.back().text, "Pick Memo.");
  w.wizard.selectColumn(1);
  EXPECT_EQ(w.expectSheet([&] { w.wizard.ok3(); }).title, "No Text Selected");
  EXPECT_EQ(w.platform.alerts.back().text, "Select the word.");
  w.wizard.selectCellText("Sal");
  w.wizard.ok3();
  EXPECT_EQ(w.wizard.format()["TypeAfter"].toString(), "Sal");
  w.wizard.ok3();  // Stop
  EXPECT_FALSE(w.learnt);
  EXPECT_EQ(w.ended, 1);
  EXPECT_EQ(w.form().page, 0);

  // A script without Done or Stop at its end stores nothing either.
  ScriptedWizard unfinished(scriptBundle("unfinished"));
  toQuestions(unfinished, kText);
  unfinished.wizard.ok3();
  EXPECT_FALSE(unfinished.learnt);
  EXPECT_EQ(unfinished.ended, 1);
}

TEST(WizardQuestions, InvestmentChecksForSecurityAndShares) {
  // Without a shares column, the check point's OK stores the format; with one, it is passed.
  for (bool shares : {false, true}) {
    SCOPED_TRACE(shares);
    ScriptedWizard w(scriptBundle("investment-checks"));
    toQuestions(w, kText, 0);
    EXPECT_EQ(w.securityChecks, 1);
    ASSERT_TRUE(w.form().assumedSecurityShown);
    EXPECT_FALSE(w.form().okEnabled);
    w.wizard.setAssumedSecurity("Acme Fund");
    EXPECT_TRUE(w.form().okEnabled);
    w.wizard.ok3();
    EXPECT_FALSE(w.form().assumedSecurityShown);
    answer(w, shares ? "2" : "ok");
    ASSERT_FALSE(w.learnt);
    EXPECT_EQ(w.form().prompt, shares ? "Done" : "CheckSharesOrPrice");
    w.wizard.ok3();
    ASSERT_TRUE(w.learnt);
    EXPECT_EQ((*w.learnt)["AssumedSecurity"].toString(), "Acme Fund");
    EXPECT_EQ((*w.learnt)["FormatType"].toString(), "Investment");
    EXPECT_EQ(w.learnt->contains("Shares"), shares);
  }
}

TEST(WizardQuestions, CancelOnAnyPageStoresNothing) {
  for (int page : {1, 2, 3}) {
    SCOPED_TRACE(page);
    ScriptedWizard w;
    w.wizard.learnFromString(kText, "Test");
    w.wizard.selectDate(spanOf(w.form().dateText, "01/03/2024"));
    if (page >= 2) w.wizard.ok1();
    if (page >= 3) w.wizard.ok2();
    ASSERT_EQ(w.form().page, page);
    w.wizard.cancel();
    EXPECT_EQ(w.form().page, 0);
    EXPECT_EQ(w.ended, 1);
    EXPECT_FALSE(w.learnt);
  }
}

// The program's own scripts: every list ends, every branch holds questions, and every answer
// lands under a key that the readers read.
void checkList(const Value& list, bool topLevel, const std::set<std::string>& keys) {
  ASSERT_TRUE(list.isArray());
  ASSERT_GT(list.size(), 0u);
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Value& entry = list[i];
    ASSERT_TRUE(entry.isDictionary());
    if (entry.contains("InvertAmount")) {
      EXPECT_EQ(i, 0u) << "InvertAmount works only as the first entry of a Yes list";
      continue;
    }
    EXPECT_FALSE(entry["Prompt"].toString().empty());
    for (const char* answer : {"Field", "FieldMatch"}) {
      if (entry.contains(answer)) {
        EXPECT_TRUE(keys.count(entry[answer].toString())) << entry[answer].toString();
      }
    }
    for (const char* branch : {"Yes", "No"}) {
      if (entry.contains(branch)) checkList(entry[branch], false, keys);
    }
  }
  if (topLevel) {
    const Value& last = list[list.size() - 1];
    EXPECT_TRUE(last.contains("Done") || last.contains("Stop"));
  }
}

TEST(WizardScripts, EveryListEndsAndEveryAnswerHasAReader) {
  const std::set<std::string> bank{"Date",      "Check",          "Description",    "Memo",
                                   "Category",  "Credit",         "Debit",          "Debit/Credit",
                                   "Indicator", "DebitIndicator", "CreditIndicator"};
  std::set<std::string> investment{
      "Date",         "Check",     "Description", "Memo",   "Category",    "Credit", "Debit",
      "Type",         "TypeAfter", "Security",    "Symbol", "SymbolAfter", "Shares", "SharesAfter",
      "SharesBefore", "Price",     "PriceAfter",  "Amount", "AmountAfter"};
  checkList(Bundle::builtIn().table(kExtractBankCreditCard), true, bank);
  checkList(Bundle::builtIn().table(kExtractInvestment), true, investment);
}

// One person learning a format from a real statement with the program's own questions.
struct Session {
  const char* file;   // in the corpus
  const char* name;   // of its files in tests/data/inputformats: NAME.format.json, the learnt
                      // format, and NAME.expected.qif, what that converts the statement to
  const char* date;   // the date selected: its first occurrence that begins a line, past the first
  const char* match;  // the text selected in the whole input
  int kind;           // 0 Investment, 1 Bank, 2 Credit Card
  bool europeanDates;
  int separator;  // the separator the wizard must preselect
  bool oneTransactionPerLine;
  const char* answers;  // as answer() takes them
};

const Session kSessions[] = {
    {"csv2ofx/capitalone.csv", "capitalone", "2015-12-31", "Transaction Date,Posted Date", 2, false,
     5, false, "=3 ok ok 4 no =5 =6 ok"},
    {"csv2ofx/mint.csv", "mint", "6/12/15", "Original Description", 1, false, 5, false,
     "1 ok ok 5 yes yes =3 =4 yes text:debit ok"},
    {"ofxstatement-austrian/oberbank.csv", "oberbank", "15.03.2017", "Buchungsdatum;Wertstellung",
     1, true, 7, true, "=0 =10 ok 11 ok yes no =2 no ok"},
};

std::size_t lineStartingWith(const std::string& text, const std::string& date) {
  for (std::size_t at = text.find(date, 1); at != std::string::npos; at = text.find(date, at + 1)) {
    if (text[at - 1] == '\n' || text[at - 1] == '\r') return at;
  }
  return std::string::npos;
}

TEST(WizardSession, LearnsACorpusStatementByAnsweringTheQuestions) {
  for (const Session& s : kSessions) {
    SCOPED_TRACE(s.file);
    Result<DecodedText> file = readTextFile(std::string(CORVELA_CORPUS) + "/" + s.file);
    ASSERT_TRUE(file.ok()) << file.message();
    const std::string& text = file.value().text;

    ScriptedWizard w;
    w.wizard.learnFromString(text, "Learnt");
    std::size_t date = lineStartingWith(w.form().dateText, s.date);
    ASSERT_NE(date, std::string::npos);
    w.wizard.selectDate({date, std::string(s.date).size()});
    w.wizard.selectMatch({text.find(s.match), std::string(s.match).size()});
    w.wizard.chooseKind(s.kind);
    w.wizard.setEuropeanDates(s.europeanDates);
    w.wizard.ok1();
    ASSERT_EQ(w.form().page, 2);
    EXPECT_EQ(w.form().separatorTag, s.separator);
    w.wizard.parseFields(s.separator, s.oneTransactionPerLine, false);
    w.wizard.ok2();

    answer(w, s.answers);
    ASSERT_TRUE(w.learnt) << "still asking: " << w.form().prompt;
    testing::expectDataFile(std::string("inputformats/") + s.name + ".format.json",
                            toJSON(*w.learnt));
    EXPECT_TRUE(w.platform.alerts.empty());

    // The learnt format, stored, converts the statement by itself (chosen by its match text).
    testing::TempDir dir;
    const std::string storePath = dir.path("store.prefs");
    {
      CVPrefs store(storePath);
      store.setObject("Formats", Value::Array{*w.learnt});
      ASSERT_TRUE(store.synchronize());
    }
    const testing::CliRun run = testing::runCli(
        {"convert", std::string(CORVELA_CORPUS) + "/" + s.file, "--prefs", storePath});
    ASSERT_EQ(run.status, 0) << run.err;
    testing::expectDataFile(std::string("inputformats/") + s.name + ".expected.qif", run.out);
  }
}

}  // namespace
}  // namespace corvela
