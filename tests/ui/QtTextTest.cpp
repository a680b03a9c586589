#include <QTest>

#include "ui/QtText.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {

// Conversions between the core's UTF-8 texts and Qt's UTF-16 ones.
class QtTextTest : public QObject {
  Q_OBJECT

 private slots:
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
};

int runQtTextTest(const QStringList& arguments) {
  QtTextTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "QtTextTest.moc"
