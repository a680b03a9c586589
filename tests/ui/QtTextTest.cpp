#include <QTest>

#include "ui/QtText.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {

// Conversions between the core's UTF-8 characters and Qt's UTF-16 positions.
class QtTextTest : public QObject {
  Q_OBJECT

 private slots:
  void messagesBreakLinesAtCarriageReturns() {
    QCOMPARE(displayText("\r\rNo transactions output."),
             QStringLiteral("\n\nNo transactions output."));
    QCOMPARE(displayText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
  }

  void utf8RoundTrips() {
    std::string text = "Caf\xC3\xA9 \xF0\x9F\x98\x80";
    QCOMPARE(utf8(qs(text)), text);
    QCOMPARE(qs(text).size(), 7);  // the emoji takes two UTF-16 units
  }

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
  }
};

int runQtTextTest(const QStringList& arguments) {
  QtTextTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "QtTextTest.moc"
