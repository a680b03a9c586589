// The output format definition dialog, used with the keyboard alone and by dragging headings.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>

#include "formats/OutputFormats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "ui/OutputFormatDefinitionWindow.h"
#include "ui/QtPlatform.h"
#include "ui/QtText.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

// Runs the real window, shown and active, through `play`; the answer is the window's.
struct PlayedWindow : OutputFormatDefinitionView {
  bool runDefinitionDialog(OutputFormatDefinitionDialog& presenter) override {
    OutputFormatDefinitionWindow window(presenter);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    play(window);
    return window.result() == QDialog::Accepted && presenter.form().okEnabled;
  }
  std::function<void(OutputFormatDefinitionWindow&)> play;
};

// The stored layout: the columns in order, "-" marking those not written.
QString layout(const Value& record) {
  QStringList columns;
  for (std::size_t i = 0; i < record["Order"].size(); ++i)
    columns << (record["Present"][i].toBool() ? "" : "-") + qs(record["Order"][i].toString());
  return columns.join(' ');
}

class OutputFormatDefinitionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void keyboardAloneDefinesAFormat() {
    CVPrefs store("/nonexistent/corvela-output-format-test.prefs");
    store.setWritesDeferred(true);
    Preferences options(store);
    QtPlatform platform{HelpBook(QString())};
    Categories categories(store, platform);
    OutputFormats formats(store, options, categories, Bundle::builtIn());
    formats.createIfAbsent();
    formats.addFormat(newOutputFormat("Bank"));
    PlayedWindow view;
    OutputFormatDefinitionDialog presenter(formats, options, view);

    // Escape cancels: nothing is stored.
    view.play = [](OutputFormatDefinitionWindow&) { press(Qt::Key_Escape); };
    QCOMPARE(presenter.editFormatAtIndex(-1, "Bank", false), -1);
    QCOMPARE(formats.numberOfFormats(), 2);

    view.play = [](OutputFormatDefinitionWindow& window) {
      QCOMPARE(window.nameField()->text(), QStringLiteral("Bank2"));
      QCOMPARE(window.okButton()->text(), QStringLiteral("Define Format"));
      QTest::keyClicks(window.nameField(), "bank");  // replaces the selected name
      QVERIFY(window.errorText()->isVisible() && !window.okButton()->isEnabled());
      press(Qt::Key_Return);  // refused while the name is taken
      QVERIFY(window.isVisible());
      QTest::keyClicks(window.nameField(), " keys");
      QVERIFY(!window.errorText()->isVisible() && window.okButton()->isEnabled());
      for (int i = 0; i < 20 && QApplication::focusWidget() != window.columnTable(); ++i)
        press(Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), window.columnTable());
      window.columnTable()->setCurrentIndex(window.columnTable()->model()->index(0, 0));
      press(Qt::Key_Right, Qt::NoModifier, 4);      // Amount
      press(Qt::Key_Left, Qt::ControlModifier, 4);  // to the front
      press(Qt::Key_Right, Qt::NoModifier, 5);      // Memo
      press(Qt::Key_Delete);
      press(Qt::Key_Right);  // blank1
      press(Qt::Key_Space);
      // A dragged heading moves the column the same way; the table keeps the presenter's order.
      window.columnTable()->horizontalHeader()->moveSection(1, 3);
      QCOMPARE(window.columnTable()->horizontalHeader()->visualIndex(3), 3);
      QCOMPARE(window.columnTable()->model()->headerData(3, Qt::Horizontal).toString(),
               QStringLiteral("Date"));
      press(Qt::Key_Return);
    };
    QCOMPARE(presenter.editFormatAtIndex(-1, "Bank", false), 1);
    std::optional<Value> stored = formats.formatForName("bank keys");
    QVERIFY(stored.has_value());
    QCOMPARE(layout(*stored), QStringLiteral("Amount Number Description Date Category -Memo "
                                             "blank1 -blank2 -blank3 -Account -Splits"));
  }
};

}  // namespace

int runOutputFormatDefinitionWindowTest(const QStringList& arguments) {
  OutputFormatDefinitionWindowTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "OutputFormatDefinitionWindowTest.moc"
