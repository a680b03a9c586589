#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/CompletingComboBox.h"
#include "ui/QtText.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

// The field's text with its selection in brackets, e.g. "Au[to]".
QString shown(const CompletingComboBox& box) {
  QString text = qs(box.text());
  TextRange range = box.selectedRange();
  int from = utf16Index(text, range.location);
  int to = utf16Index(text, range.end());
  return text.left(from) + QLatin1Char('[') + text.mid(from, to - from) + QLatin1Char(']') +
         text.mid(to);
}

}  // namespace

// The completing combo box hands each edit to a typing rule and shows its answer.
class CompletingComboBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    box = std::make_unique<CompletingComboBox>();
    box->show();
    box->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    box->lineEdit()->setFocus();
  }
  void cleanup() { box.reset(); }

  void listOnlyCompletesToTheShortestEntry() {
    box->setEntries({"Visa Gold", "Visa", "Checking"});
    box->setCompletion(CompletingComboBox::Completion::listOnly);
    QTest::keyClicks(box->lineEdit(), "vi");
    QCOMPARE(shown(*box), QStringLiteral("Vi[sa]"));
  }

  void listOnlyFirstCompletesToTheFirstEntry() {
    box->setEntries({"Visa Gold", "Visa", "Checking"});
    box->setCompletion(CompletingComboBox::Completion::listOnlyFirst);
    QTest::keyClicks(box->lineEdit(), "vi");
    QCOMPARE(shown(*box), QStringLiteral("Vi[sa Gold]"));
  }

  void listOnlyRefusesWhatNoEntryContinues() {
    box->setEntries({"Visa", "Checking"});
    box->setCompletion(CompletingComboBox::Completion::listOnly);
    QSignalSpy changes(box.get(), &CompletingComboBox::textDidChange);
    QTest::keyClicks(box->lineEdit(), "vi");
    // "v" changed the text to "Visa"; "i" only moved the selection.
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.last().at(0).toString(), QStringLiteral("Visa"));
    QTest::keyClicks(box->lineEdit(), "x");
    QCOMPARE(shown(*box), QStringLiteral("Vi[sa]"));
    QCOMPARE(changes.size(), 1);
  }

  void backspaceShrinksTheTypedPrefix() {
    box->setEntries({"Visa", "Checking"});
    box->setCompletion(CompletingComboBox::Completion::listOnly);
    QTest::keyClicks(box->lineEdit(), "vi");
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(shown(*box), QStringLiteral("V[isa]"));
  }

  void anyTextCompletesCategoriesAndKeepsWhatWasTyped() {
    box->setEntries({"Auto", "Auto:Fuel", "Food", "Fun Money"});
    box->setCompletion(CompletingComboBox::Completion::anyText);
    QTest::keyClicks(box->lineEdit(), "Au");
    QCOMPARE(shown(*box), QStringLiteral("Au[to]"));
    QTest::keyClicks(box->lineEdit(), "to");
    QCOMPARE(shown(*box), QStringLiteral("Auto[]"));
    QTest::keyClicks(box->lineEdit(), ":");
    QCOMPARE(shown(*box), QStringLiteral("Auto:[Fuel]"));
    QTest::keyClicks(box->lineEdit(), "x");
    QCOMPARE(shown(*box), QStringLiteral("Auto:x[]"));
  }

  void anyTextGoesBackToTheTypedCase() {
    box->setEntries({"Food"});
    box->setCompletion(CompletingComboBox::Completion::anyText);
    QTest::keyClicks(box->lineEdit(), "f");
    QCOMPARE(shown(*box), QStringLiteral("F[ood]"));
    QTest::keyClicks(box->lineEdit(), "un");
    QCOMPARE(shown(*box), QStringLiteral("fun[]"));
  }

  void completionCountsCharactersBeyondAscii() {
    box->setEntries({"Caf\xC3\xA9 Roma"});
    box->setCompletion(CompletingComboBox::Completion::listOnly);
    QTest::keyClicks(box->lineEdit(), "caf");
    QCOMPARE(shown(*box), QString::fromUtf8("Caf[\xC3\xA9 Roma]"));
  }

  void pasteGoesThroughTheRule() {
    box->setEntries({"Visa", "Checking"});
    box->setCompletion(CompletingComboBox::Completion::listOnly);
    QApplication::clipboard()->setText(QStringLiteral("Savings"));
    QTest::keyClick(box->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(qs(box->text()), QString());
    QApplication::clipboard()->setText(QStringLiteral("che"));
    QTest::keyClick(box->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shown(*box), QStringLiteral("Che[cking]"));
  }

  void aRuleOfTheCoreIsAskedWithTheEdit() {
    std::vector<TextEdit> asked;
    std::vector<std::string> previous;
    int entered = 0;
    box->setTypingRule(
        [&](const TextEdit& edit) {
          asked.push_back(edit);
          previous.emplace_back(edit.previousText);
          return EditDecision::replace("Replaced", {2, 3});
        },
        [&] { ++entered; });
    box->lineEdit()->clearFocus();
    box->lineEdit()->setFocus();
    QCOMPARE(entered, 1);

    QTest::keyClicks(box->lineEdit(), "q");
    QCOMPARE(asked.size(), std::size_t{1});
    QCOMPARE(asked[0].key, U'q');
    QCOMPARE(previous[0], std::string());
    QCOMPARE(asked[0].proposedSelection, (TextRange{1, 0}));
    QCOMPARE(shown(*box), QStringLiteral("Re[pla]ced"));

    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(asked.back().key, kBackwardDeleteKey);
    QCOMPARE(previous.back(), std::string("Replaced"));
    QCOMPARE(asked.back().previousSelection, (TextRange{2, 3}));
  }

  void choosingAnEntryIsAChange() {
    box->setEntries({"Visa", "Checking"});
    QSignalSpy changes(box.get(), &CompletingComboBox::textDidChange);
    box->setCurrentIndex(1);
    emit box->activated(1);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toString(), QStringLiteral("Checking"));
  }

  void newEntriesKeepTheText() {
    box->setText("Typed");
    box->setEntries({"One", "Two"});
    QCOMPARE(qs(box->text()), QStringLiteral("Typed"));
    QCOMPARE(box->count(), 2);
  }

 private:
  std::unique_ptr<CompletingComboBox> box;
};

int runCompletingComboBoxTest(const QStringList& arguments) {
  CompletingComboBoxTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "CompletingComboBoxTest.moc"
