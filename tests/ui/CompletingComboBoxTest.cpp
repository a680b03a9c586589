#include "ui/UiTestSupport.h"

namespace corvela::ui::testing {

// The completing combo box hands each edit to a typing rule and shows its answer; under it,
// the conversions between the core's UTF-8 texts and Qt's UTF-16 ones.
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

  // "a😀b": a at 0, the emoji at 1-2 (a surrogate pair), b at 3; positions past either end
  // stop there.
  void positionsCountCharactersNotUnits() {
    QString text =
        qs("a\xF0\x9F\x98\x80"
           "b");
    const std::pair<int, int> unitsAndCharacters[] = {{0, 0}, {1, 1}, {3, 2}, {4, 3}};
    for (auto [units, characters] : unitsAndCharacters) {
      QCOMPARE(characterIndex(text, units), std::size_t(characters));
      QCOMPARE(utf16Index(text, std::size_t(characters)), units);
    }
    QCOMPARE(characterIndex(text, 9), std::size_t{3});
    QCOMPARE(characterIndex(text, -2), std::size_t{0});
    QCOMPARE(utf16Index(text, 10), 4);
    QCOMPARE(utf8(text), std::string("a\xF0\x9F\x98\x80"
                                     "b"));
    // A message's line ends, "\r\n" among them, each become one line break.
    QCOMPARE(displayText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
  }

  // Each key goes through the typing rule of the box's completion. Each line of
  // tests/data/ui/completions.txt is the completion, the entries ("|" between them), the keys
  // typed ("<" is Backspace) and what the box then shows, separated by tabs.
  void keysAreCompletedByTheRule() {
    using C = CompletingComboBox::Completion;
    const QMap<QString, C> completions = {
        {"listOnly", C::listOnly}, {"listOnlyFirst", C::listOnlyFirst}, {"anyText", C::anyText}};
    QFile cases(QStringLiteral(CORVELA_TEST_DATA "/ui/completions.txt"));
    QVERIFY(cases.open(QIODevice::ReadOnly));
    int checked = 0;
    for (const QString& line : QString::fromUtf8(cases.readAll()).split(QLatin1Char('\n'))) {
      const QStringList c = line.split(QLatin1Char('\t'));
      if (line.startsWith(QLatin1Char('#')) || c.size() != 4) continue;
      cleanup();
      init();
      std::vector<std::string> entries;
      for (const QString& entry : c[1].split(QLatin1Char('|'))) entries.push_back(utf8(entry));
      box->setEntries(entries);
      box->setCompletion(completions.value(c[0]));
      for (QChar key : c[2]) {
        if (key == QLatin1Char('<'))
          QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        else
          QTest::keyClicks(box->lineEdit(), QString(key));
      }
      QVERIFY2(shown(*box) == c[3], qPrintable(line + " shows " + shown(*box)));
      ++checked;
    }
    QVERIFY(checked > 0);
  }

  // A key that only moves the selection is no change of the text; choosing an entry is one
  // (with no completion, as a box starts).
  void onlyChangesAreReported() {
    box->setEntries({"Visa", "Checking"});
    box->setCompletion(CompletingComboBox::Completion::listOnly);
    QSignalSpy changes(box.get(), &CompletingComboBox::textDidChange);
    QTest::keyClicks(box->lineEdit(), "vix");
    box->setCompletion(CompletingComboBox::Completion::none);
    box->setCurrentIndex(1);
    emit box->activated(1);
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.at(0).at(0).toString() + ", " + changes.at(1).at(0).toString(),
             QStringLiteral("Visa, Checking"));
    // New entries keep the text.
    box->setEntries({"One", "Two", "Three"});
    QCOMPARE(qs(box->text()), QStringLiteral("Checking"));
    QCOMPARE(box->count(), 3);
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
    QCOMPARE(asked[0].proposedSelection, (TextRange{1, 0}));
    QCOMPARE(shown(*box), QStringLiteral("Re[pla]ced"));

    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(asked.back().key, kBackwardDeleteKey);
    QCOMPARE(previous.back(), std::string("Replaced"));
    QCOMPARE(asked.back().previousSelection, (TextRange{2, 3}));
  }

  // A dialog reloads its combo boxes' lists for every transaction: what the pop-up offers and
  // completes from is the latest list, whatever came before it, and the field keeps its text.
  void theLatestListIsOffered() {
    using Entries = std::vector<std::string>;
    const Entries reloads[] = {
        {"Dining", "Groceries"},
        {"Dining", "Groceries"},               // unchanged
        {"Dining", "Groceries", "Household"},  // grown
        {"Dining", "Fuel", "Household"},       // as many, one different
        {"Dining", "Fuel", "Household"},
        {},
        {"Groceries"},
    };
    CompletingComboBox combo;
    combo.setCompletion(CompletingComboBox::Completion::listOnly);
    combo.setText("Din");
    for (const Entries& entries : reloads) {
      combo.setEntries(entries);
      // The person had chosen the first entry from the pop-up before the next reload.
      combo.setCurrentIndex(0);
      combo.setText("Din");
      combo.setEntries(entries);
      QStringList offered;
      for (int i = 0; i < combo.count(); ++i) offered << combo.itemText(i);
      QStringList expected;
      for (const std::string& entry : entries) expected << qs(entry);
      QCOMPARE(offered, expected);
      QCOMPARE(combo.entries(), entries);
      QCOMPARE(combo.currentIndex(), -1);
      QCOMPARE(qs(combo.text()), QStringLiteral("Din"));
    }
  }

 private:
  std::unique_ptr<CompletingComboBox> box;
};

int runCompletingComboBoxTest(const QStringList& arguments) {
  return runTestClass<CompletingComboBoxTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "CompletingComboBoxTest.moc"
