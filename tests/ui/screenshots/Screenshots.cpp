// Takes the documentation's screenshots of the desktop program's windows:
//   corvela_screenshots OUTPUT_FOLDER [--all-pages]
// With --all-pages the options window's other pages are saved too (options-dialog-N.png), for
// checking the layout; the documentation shows the first page, as the window opens.
// Run it on a real display server (scripts/screenshots starts Xvfb); it saves what the server
// shows of each window, over a fresh preference store with the first-run answers' options.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QWindow>

#include "prefs/CVPrefs.h"
#include "prefs/OptionsDialog.h"
#include "prefs/Preferences.h"
#include "screenshots/TransactionDialogShots.h"
#include "ui/OptionsWindow.h"

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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
    QTextStream(stderr) << "corvela_screenshots needs a display server (run scripts/screenshots)\n";
    return 2;
  }
  QStringList arguments = QApplication::arguments();
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

  QString path = out.filePath(QStringLiteral("options-dialog.png"));
  if (!saveWindow(window, path)) {
    QTextStream(stderr) << "could not take " << path << "\n";
    return 1;
  }
  QTextStream(stdout) << path << "\n";
  window.hide();

  // --- The transaction dialog: confirmation-view.png and new-instruction-view.png.
  if (!corvela::screenshots::takeTransactionDialogShots(out)) {
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
  return 0;
}
