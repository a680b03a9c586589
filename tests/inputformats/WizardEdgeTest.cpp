#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "formats/InputFormatKeys.h"
#include "inputformats/QuestionTable.h"
#include "inputformats/WizardColumns.h"
#include "support/ScriptedWizard.h"

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

// A bundle whose bank script (kind Bank) and investment script (kind Investment) are `script`.
Bundle scriptBundle(const std::string& script) {
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

std::string entry(const std::string& body) { return "<dict>" + body + "</dict>"; }
std::string field(const std::string& key, bool required) {
  return entry("<key>Prompt</key><string>Which column is " + key +
               "?</string><key>Field</key>"
               "<string>" +
               key + "</string>" +
               (required ? "<key>Error</key><string>Pick " + key + ".</string>" : ""));
}
std::string flag(const std::string& key) {
  return entry("<key>Prompt</key><string>" + key + "</string><key>" + key + "</key><true/>");
}
const std::string kDone = flag("Done");

TEST(WizardDatePage, RefusesASelectionThatIsNotADateThatStartsATransaction) {
  struct Case {
    const char* selected;
    std::size_t extra;  // bytes selected after it
    std::string_view refusal;
  } cases[] = {
      {"01/02/2024", 0, kDateAtStartOfText},  // a good date, but the first of the shown text
      {"01/03/2024", 1, kNotJustADate},       // with the blank after it
      {"\n01/03/2024", 0, kNotJustADate},    {"Salary", 0, kNotJustADate},
      {"01/03/2024", 0, kNoDateSelected},  // a caret, no selection
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    ScriptedWizard w;
    // A blank after the second date.
    w.wizard.learnFromString(std::string(kText).insert(kText.find("\tSalary"), " "), "Test");
    ASSERT_EQ(w.form().dateText.substr(0, 10), "01/02/2024");
    TextSpan span = spanOf(w.form().dateText, c.selected, c.extra);
    if (c.refusal == kNoDateSelected) span.length = 0;
    Alert sheet = w.expectSheet([&] {
      w.wizard.selectDate(span);
      w.wizard.ok1();
    });
    EXPECT_EQ(sheet.title, "Bad Date");
    EXPECT_EQ(sheet.text, c.refusal);
    EXPECT_EQ(w.form().page, 1);
  }
}

TEST(WizardDatePage, DateKeysFollowTheSelectedDate) {
  struct Case {
    std::string text, date, delimiter, start, end;
  } cases[] = {
      {"x\n01/02/2024 a\n01/03/2024 b\n", "01/03/2024", "/", "\n", " "},
      {"x\n2024-01-02,a\n2024-01-03,b\n", "2024-01-03", "-", "\n", ","},
      {"x\n\"January 2, 2024\",a\n\"January 3, 2024\",b\n", "January 3, 2024", ",", "\"", "\""},
      {"x\n\t02.01.2024\ta\n\t03.01.2024\tb", "03.01.2024", ".", "\t", "\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ScriptedWizard w;
    w.wizard.learnFromString(c.text, "Test");
    w.wizard.selectDate(spanOf(w.form().dateText, c.date));
    w.wizard.ok1();
    ASSERT_EQ(w.form().page, 2);
    EXPECT_EQ(w.wizard.format()[inputFormatKey::DateDelimiter].toString(), c.delimiter);
    EXPECT_EQ(w.wizard.format()[inputFormatKey::DateStart].toString(), c.start);
    EXPECT_EQ(w.wizard.format()[inputFormatKey::DateEnd].toString(), c.end);
    EXPECT_EQ(w.form().preview.rows.size(), 2u);
  }
}

TEST(WizardDatePage, ADateCutOutOfALongerNumberFindsNoTransactions) {
  // "1/3/2024" out of "11/3/2024": the date would have to follow a "1", which no date does.
  ScriptedWizard w;
  w.wizard.learnFromString("x\n11/2/2024 a\n11/3/2024 b\n", "Test");
  TextSpan span = spanOf(w.form().dateText, "1/3/2024");
  Alert sheet = w.expectSheet([&] {
    w.wizard.selectDate(span);
    w.wizard.ok1();
  });
  EXPECT_EQ(sheet.title, "Not Enough Transactions");
  EXPECT_EQ(sheet.text, kNotEnoughTransactionsText);
  EXPECT_EQ(w.form().page, 1);
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
    EXPECT_EQ(format.contains(inputFormatKey::DistanceFromNewline), tag == 6);
    if (tag == 6) {
      EXPECT_EQ(format[inputFormatKey::DistanceFromNewline].toInt(), 3);
    }
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
  ScriptedWizard w(scriptBundle(field("Description", true) + field("Memo", true) + kDone));
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
  const std::string invert = entry("<key>InvertAmount</key><true/>");
  const std::string script =
      entry("<key>Prompt</key><string>Outer?</string><key>Yes</key><array>" +
            entry("<key>Prompt</key><string>Inner?</string><key>No</key><array>" +
                  field("Memo", true) + "</array>") +
            "</array>") +
      entry("<key>Prompt</key><string>Invert?</string><key>Yes</key><array>" + invert +
            "</array>") +
      field("Check", false) + kDone;
  struct Case {
    const char* name;
    std::vector<std::string> answers;  // "yes", "no", "ok" or a column number
    std::vector<std::string> keys;     // the keys the format gets
  } cases[] = {
      {"both branches", {"yes", "no", "2", "yes", "1", "ok"}, {"Memo", "InvertAmount", "Check"}},
      {"no branch", {"no", "no", "ok", "ok"}, {}},
      {"yes without a list", {"yes", "yes", "yes", "ok", "ok"}, {"InvertAmount"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedWizard w(scriptBundle(script));
    toQuestions(w, kText);
    for (const std::string& answer : c.answers) {
      ASSERT_EQ(w.form().page, 3) << "before " << answer;
      if (answer == "yes")
        w.wizard.yes();
      else if (answer == "no")
        w.wizard.no();
      else if (answer == "ok")
        w.wizard.ok3();
      else
        w.wizard.selectColumn(std::stoi(answer));
    }
    ASSERT_TRUE(w.learnt);
    for (const char* key : {"Memo", "InvertAmount", "Check"}) {
      bool expected = std::find(c.keys.begin(), c.keys.end(), key) != c.keys.end();
      EXPECT_EQ(w.learnt->contains(key), expected) << key;
    }
  }
}

TEST(WizardQuestions, MissingAnswersAndEndsWithoutDone) {
  const std::string match = entry(
      "<key>Prompt</key><string>Select it.</string><key>FieldMatch</key><string>TypeAfter"
      "</string><key>Error</key><string>Select the word.</string>");
  ScriptedWizard w(scriptBundle(field("Memo", true) + match + flag("Stop")));
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
  ScriptedWizard unfinished(scriptBundle(field("Memo", false)));
  toQuestions(unfinished, kText);
  unfinished.wizard.ok3();
  EXPECT_FALSE(unfinished.learnt);
  EXPECT_EQ(unfinished.ended, 1);
}

TEST(WizardQuestions, InvestmentChecksForSecurityAndShares) {
  const std::string script =
      flag("CheckSecurity") + field("Shares", false) + flag("CheckSharesOrPrice") + kDone;
  // Without a shares column, the check point's OK stores the format; with one, it is passed.
  for (bool shares : {false, true}) {
    SCOPED_TRACE(shares);
    ScriptedWizard w(scriptBundle(script));
    toQuestions(w, kText, 0);
    EXPECT_EQ(w.securityChecks, 1);
    ASSERT_TRUE(w.form().assumedSecurityShown);
    EXPECT_FALSE(w.form().okEnabled);
    w.wizard.setAssumedSecurity("Acme Fund");
    EXPECT_TRUE(w.form().okEnabled);
    w.wizard.ok3();
    EXPECT_FALSE(w.form().assumedSecurityShown);
    if (shares) {
      w.wizard.selectColumn(2);
    } else {
      w.wizard.ok3();
    }
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

}  // namespace
}  // namespace corvela
