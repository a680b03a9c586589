#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "formats/InputFormatKeys.h"
#include "prefs/CVPrefs.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"
#include "support/ScriptedWizard.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

using testing::ScriptedWizard;

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
  // "yes", "no", "ok", "N" (a click on column N), "=N" (OK on the column the wizard preselected,
  // which must be N) or "text WORD" (WORD selected in a cell, then OK).
  std::vector<std::string> answers;
};

const Session kSessions[] = {
    {"csv2ofx/capitalone.csv",
     "capitalone",
     "2015-12-31",
     "Transaction Date,Posted Date",
     2,
     false,
     5,
     false,
     {"=3", "ok", "ok", "4", "no", "=5", "=6", "ok"}},
    {"csv2ofx/mint.csv",
     "mint",
     "6/12/15",
     "Original Description",
     1,
     false,
     5,
     false,
     {"1", "ok", "ok", "5", "yes", "yes", "=3", "=4", "yes", "text debit", "ok"}},
    {"ofxstatement-austrian/oberbank.csv",
     "oberbank",
     "15.03.2017",
     "Buchungsdatum;Wertstellung",
     1,
     true,
     7,
     true,
     {"=0", "=10", "ok", "11", "ok", "yes", "no", "=2", "no", "ok"}},
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

    for (const std::string& answer : s.answers) {
      SCOPED_TRACE(answer + " to: " + w.form().prompt);
      ASSERT_EQ(w.form().page, 3);
      if (answer == "yes") {
        w.wizard.yes();
      } else if (answer == "no") {
        w.wizard.no();
      } else if (answer == "ok") {
        w.wizard.ok3();
      } else if (answer.starts_with("text ")) {
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
    ASSERT_TRUE(w.learnt) << "still asking: " << w.form().prompt;
    EXPECT_EQ((*w.learnt)["Name"].toString(), "Learnt");
    EXPECT_EQ((*w.learnt)["Match"].toString(), s.match);
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
    std::istringstream in;
    std::ostringstream out, err;
    const std::string input = std::string(CORVELA_CORPUS) + "/" + s.file;
    ASSERT_EQ(cli::run({"convert", input, "--prefs", storePath}, in, out, err), 0) << err.str();
    testing::expectDataFile(std::string("inputformats/") + s.name + ".expected.qif", out.str());
  }
}

}  // namespace
}  // namespace corvela
