// Takes the documentation's screenshots of the desktop program's windows:
//   corvela_screenshots OUTPUT_FOLDER [--all-pages]
// options-dialog.png: the options window as it opens, over a fresh preference store with the
// first-run answers' options. With --all-pages its other pages are saved too
// (options-dialog-N.png), and other states of the main window (main-window-N.png), for
// checking the layout.
// main-window.png: the main window with the bundled example statement loaded, over the
// example preference store, as `corvela examples/checking-2024-03.ofx` shows it.
// status-view.png: the same window after "Process Transactions", with the run's report.
// about.png: Help > About Corvela.
// With --dark every picture is taken again in a dark palette, named with "-dark"
// (main-window-dark.png, ...).
// Run it on a real display server (scripts/screenshots starts Xvfb); it saves what the server
// shows of each window.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QWindow>

#include "app/OptionsDialog.h"
#include "banking/NonInteractiveAnswers.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "screenshots/TransactionDialogShots.h"
#include "ui/ControlView.h"
#include "ui/DarkPalette.h"
#include "ui/DesktopApp.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/TransactionDialog.h"

namespace {

// The options window's view of the menus and date patterns: nothing to do for a picture.
class NoHost : public corvela::OptionsDialogHost {
 public:
  void disableMenuItems() override {}
  void enableMenuItems() override {}
  void setDateFormatters(const std::string&) override {}
};

bool saveWindow(QWidget& window, const QString& path) {
  if (!QTest::qWaitForWindowExposed(&window)) return false;
  QTest::qWait(300);  // let the server draw the window's last frame
  QPixmap shot = window.screen()->grabWindow(window.winId());
  return !shot.isNull() && shot.save(path, "PNG");
}

bool saveWindow(QWidget& window, const QString& path, QTextStream& out) {
  if (!saveWindow(window, path)) {
    QTextStream(stderr) << "could not take " << path << "\n";
    return false;
  }
  out << path << "\n";
  return true;
}

// The example preference store (examples/example-store.json) written to `path`.
bool writeExampleStore(const QString& path) {
  QFile json(QStringLiteral(CORVELA_EXAMPLES "/example-store.json"));
  if (!json.open(QIODevice::ReadOnly)) return false;
  corvela::Result<corvela::Value> values = corvela::fromJSON(json.readAll().toStdString());
  if (!values.ok() || !values.value().isDictionary()) return false;
  corvela::CVPrefs store(path.toStdString());
  for (const auto& [key, value] : values.value().toDictionary()) store.setObject(key, value);
  return store.synchronize();
}

// The main window with the example loaded, then its report after the run.
bool takeMainWindow(const QDir& out, const QTemporaryDir& folder, bool allPages,
                    const QString& suffix) {
  QTextStream printed(stdout);
  QString storePath = folder.filePath(QStringLiteral("example.prefs"));
  if (!writeExampleStore(storePath)) {
    QTextStream(stderr) << "could not write the example store\n";
    return false;
  }
  corvela::ui::DesktopApp desktop(storePath.toStdString());
  desktop.start(CORVELA_EXAMPLES "/checking-2024-03.ofx");
  corvela::ui::MainWindow& window = *desktop.mainWindow();
  window.move(20, 20);
  if (!saveWindow(window, out.filePath(QStringLiteral("main-window%1.png").arg(suffix)), printed))
    return false;

  if (allPages) {
    // Other states of the control view, for checking the layout: a date range that is not
    // valid, then the same-date switch on.
    window.controlView()->findChild<QRadioButton*>(QStringLiteral("dateRange"))->click();
    auto* from = window.controlView()->findChild<QLineEdit*>(QStringLiteral("dateFromString"));
    from->setText(QStringLiteral("tomorrow"));
    emit from->editingFinished();
    window.controlView()->findChild<QCheckBox*>(QStringLiteral("sameDateSwitch"))->click();
    if (!saveWindow(window, out.filePath(QStringLiteral("main-window-1.png")), printed))
      return false;
    window.controlView()->findChild<QRadioButton*>(QStringLiteral("allTransactions"))->click();
    window.controlView()->findChild<QCheckBox*>(QStringLiteral("sameDateSwitch"))->click();
  }

  std::string output = folder.filePath(QStringLiteral("QIF Import.qif")).toStdString();
  desktop.platform().setSavePanelAnswer([output](const corvela::SavePanel&) { return output; });
  window.controlView()->processButton()->click();
  // The transactions the example's instructions ask to confirm are confirmed as proposed.
  corvela::answerWithoutDialogs(desktop.app().bank);
  // Answered here rather than through its buttons, the dialog would stay over the window.
  desktop.transactionDialog()->hide();
  if (!saveWindow(window, out.filePath(QStringLiteral("status-view%1.png").arg(suffix)), printed))
    return false;
  desktop.showAbout();
  desktop.aboutWindow()->move(40, 40);
  return saveWindow(*desktop.aboutWindow(), out.filePath(QStringLiteral("about%1.png").arg(suffix)),
                    printed);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
    QTextStream(stderr) << "corvela_screenshots needs a display server (run scripts/screenshots)\n";
    return 2;
  }
  QStringList arguments = QApplication::arguments();
  const bool dark = arguments.removeAll(QStringLiteral("--dark")) > 0;
  const QString suffix = dark ? QStringLiteral("-dark") : QString();
  if (dark) QApplication::setPalette(corvela::ui::testing::darkPalette());
  QDir out(arguments.value(1, QStringLiteral(".")));
  if (!out.exists() && !QDir().mkpath(out.path())) return 2;

  // The options of a person who answered "Categorize" on the first run, with the defaults.
  QTemporaryDir folder;
  corvela::CVPrefs store(folder.filePath(QStringLiteral("store.prefs")).toStdString());
  corvela::Value list = corvela::Value::array();
  for (const char* name : {"textConfirmAllTransactions", "converted2.2", "quicken2003"})
    list.append(corvela::Value(name));
  store.setObject(corvela::prefKey::Preferences, list);
  store.setInt(corvela::prefKey::amountsPrecision, 2);
  store.setInt(corvela::prefKey::sharesPrecision, 2);
  store.setInt(corvela::prefKey::pricesPrecision, 4);
  store.setInt(corvela::prefKey::bccAmountsPrecision, 2);
  store.setObject(corvela::prefKey::DescriptionOutput, "%d");
  store.setObject(corvela::prefKey::MemoOutput, "%m");
  corvela::Preferences options(store);

  corvela::ui::OptionsWindow window;
  NoHost host;
  corvela::OptionsDialog dialog(store, options, window.view(), host);
  window.setPresenter(&dialog);
  dialog.display();
  window.move(20, 20);

  QString path = out.filePath(QStringLiteral("options-dialog%1.png").arg(suffix));
  if (!saveWindow(window, path)) {
    QTextStream(stderr) << "could not take " << path << "\n";
    return 1;
  }
  QTextStream(stdout) << path << "\n";
  window.hide();

  // --- The transaction dialog: confirmation-view.png and new-instruction-view.png.
  if (!corvela::screenshots::takeTransactionDialogShots(out, suffix)) {
    QTextStream(stderr) << "could not take the transaction dialog's pictures\n";
    return 1;
  }
  window.show();
  // --- end of the transaction dialog

  if (arguments.contains(QStringLiteral("--all-pages"))) {
    for (int page = 1; page < window.pages()->count(); ++page) {
      window.pages()->setCurrentIndex(page);
      QString pagePath = out.filePath(QStringLiteral("options-dialog-%1.png").arg(page));
      if (!saveWindow(window, pagePath)) return 1;
      QTextStream(stdout) << pagePath << "\n";
    }
  }
  window.close();
  return takeMainWindow(out, folder, arguments.contains(QStringLiteral("--all-pages")), suffix) ? 0
                                                                                                : 1;
}
