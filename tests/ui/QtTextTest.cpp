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

  void positionsCountCharactersNotUnits_data() {
    QTest::addColumn<int>("utf16");
    QTest::addColumn<int>("characters");
    // "a😀b": a at 0, the emoji at 1-2 (a surrogate pair), b at 3.
    QTest::newRow("start") << 0 << 0;
    QTest::newRow("after a") << 1 << 1;
    QTest::newRow("after the pair") << 3 << 2;
    QTest::newRow("end") << 4 << 3;
    QTest::newRow("past the end") << 9 << 3;
    QTest::newRow("negative") << -2 << 0;
  }
  void positionsCountCharactersNotUnits() {
    QFETCH(int, utf16);
    QFETCH(int, characters);
    QString text =
        qs("a\xF0\x9F\x98\x80"
           "b");
    QCOMPARE(characterIndex(text, utf16), static_cast<std::size_t>(characters));
  }

  void characterPositionsMapBackToUnits() {
    QString text =
        qs("a\xF0\x9F\x98\x80"
           "b");
    QCOMPARE(utf16Index(text, 0), 0);
    QCOMPARE(utf16Index(text, 1), 1);
    QCOMPARE(utf16Index(text, 2), 3);
    QCOMPARE(utf16Index(text, 3), 4);
    QCOMPARE(utf16Index(text, 10), 4);
  }
};

int runQtTextTest(const QStringList& arguments) {
  QtTextTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "QtTextTest.moc"
