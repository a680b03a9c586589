#include <QAction>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "prefs/Preferences.h"
#include "ui/DesktopApp.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {

// The program's wiring: start-up, the Preferences menu item and the options window.
class DesktopAppTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartAsksAndShowsTheWindow() {
    QTemporaryDir folder;
    DesktopApp app(folder.filePath(QStringLiteral("store.prefs")).toStdString());
    QString title;
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
      title = box->text();
      box->defaultButton()->click();  // "Just Convert"
    });
    app.start();
    QCOMPARE(title, QStringLiteral("Corvela First Run"));
    QVERIFY(app.options().isOn(option::dontAddCategories));
    QVERIFY(app.window()->isVisible());
  }

  void preferencesItemIsOffWhileTheOptionsWindowIsOpen() {
    QTemporaryDir folder;
    DesktopApp app(folder.filePath(QStringLiteral("store.prefs")).toStdString());
    app.store().setObject(prefKey::Preferences, Value::array());
    app.start();

    app.preferencesAction()->trigger();
    QVERIFY(app.optionsWindow().isVisible());
    QVERIFY(!app.preferencesAction()->isEnabled());

    app.optionsWindow().findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(!app.optionsWindow().isVisible());
    QVERIFY(app.preferencesAction()->isEnabled());
    QVERIFY(app.options().isOn(option::converted2_2));
    QCOMPARE(str(app.store().prefs(), prefKey::OutputDateFormat), std::string("%m/%d/%Y"));
  }
};

int runDesktopAppTest(const QStringList& arguments) {
  DesktopAppTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "DesktopAppTest.moc"
