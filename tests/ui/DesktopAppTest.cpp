#include <signal.h>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "prefs/Preferences.h"
#include "ui/ControlView.h"
#include "ui/DesktopApp.h"
#include "ui/MainWindow.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {

// A store that has been used before, so start-up asks no first-run question: its path in
// `folder`, or "" when it could not be written.
std::string knownStore(const QTemporaryDir& folder) {
  std::string path = folder.filePath(QStringLiteral("store.prefs")).toStdString();
  CVPrefs store(path);
  store.setObject(prefKey::Preferences, Value::Array{Value("converted2.2")});
  store.setObject(prefKey::CheckForUpdates, false);
  store.setObject("Categories", Value::Array{Value("Dining")});
  return store.synchronize() ? path : std::string();
}

// The program's wiring: start-up, a file given at start, the Preferences menu item and the
// options window.
class DesktopAppTest : public QObject {
  Q_OBJECT

 private slots:
  // A logout sends SIGTERM: what the program holds in memory reaches the store before it ends.
  void aSignalEndsTheProgramWithTheStoreWritten() {
    QTemporaryDir folder;
    std::string path = knownStore(folder);
    QVERIFY(!path.empty());
    for (int signal : {SIGTERM, SIGINT}) {
      QVERIFY(CVPrefs::initWithPath(path).objectForKey("DescriptionOutput").isNull());
      QProcess program;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
      env.insert(QStringLiteral("CORVELA_PREFS"), QString::fromStdString(path));
      env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
      program.setProcessEnvironment(env);
      program.start(QStringLiteral(CORVELA_DESKTOP_PROGRAM), {});
      QVERIFY(program.waitForStarted());
      // Start-up writes its defaults in memory only; the window shows once it is done.
      QTest::qWait(3000);
      ::kill(static_cast<pid_t>(program.processId()), signal);
      QVERIFY(program.waitForFinished(20000));
      QCOMPARE(program.exitStatus(), QProcess::NormalExit);
      QCOMPARE(CVPrefs::initWithPath(path).objectForKey("DescriptionOutput").toString(),
               std::string("%d"));
      CVPrefs reset = CVPrefs::initWithPath(path);
      reset.removeObjectForKey("DescriptionOutput");
      QVERIFY(reset.synchronize());
    }
  }

  void firstStartAsksThenPreferencesOpen() {
    QTemporaryDir folder;
    DesktopApp app(folder.filePath(QStringLiteral("store.prefs")).toStdString());
    QStringList titles;
    // "Just Convert", then "Yes" to the update question.
    std::function<void(QMessageBox*)> answer = [&](QMessageBox* box) {
      titles << box->text();
      if (titles.size() == 1) whenModalShows<QMessageBox>(answer);
      box->defaultButton()->click();
    };
    whenModalShows<QMessageBox>(answer);
    app.start();
    QCOMPARE(titles, QStringList({QStringLiteral("Corvela First Run"),
                                  QStringLiteral("Checking For Updates")}));
    QVERIFY(app.options().isOn(option::dontAddCategories));
    QVERIFY(app.window()->isVisible());

    // The Preferences item is off while the options window is open.
    app.preferencesAction()->trigger();
    QVERIFY(app.optionsWindow().isVisible());
    QVERIFY(!app.preferencesAction()->isEnabled());

    app.optionsWindow().findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(!app.optionsWindow().isVisible());
    QVERIFY(app.preferencesAction()->isEnabled());
    QVERIFY(app.options().isOn(option::converted2_2));
    QCOMPARE(str(app.store().prefs(), prefKey::OutputDateFormat), std::string("%m/%d/%Y"));
  }

  void fileOnTheCommandLineIsOpenedAtStart() {
    QTemporaryDir folder;
    std::string path = knownStore(folder);
    QVERIFY(!path.empty());
    DesktopApp app(path);
    app.start(CORVELA_TEST_DATA "/app/card.qfx");
    MainWindow& window = *app.mainWindow();
    QVERIFY(window.isVisible());
    QCOMPARE(window.controlView()->findChild<QLabel*>(QStringLiteral("inputFrom"))->text(),
             QStringLiteral("card.qfx"));
    QVERIFY(!window.preferencesAction()->isEnabled());
  }
};

int runDesktopAppTest(const QStringList& arguments) {
  DesktopAppTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "DesktopAppTest.moc"
