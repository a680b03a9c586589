// Takes the documentation's pictures of the investment confirmation window:
//   corvela_investment_screenshots OUTPUT_FOLDER
// investment-confirmation.png: a fund purchase once its security is named;
// investment-type-definition.png: the same purchase's type being redefined, the tag's standard
// meaning proposed. The desktop program runs over a store of its own in a temporary folder. Works
// on any platform plugin (QWidget::grab), offscreen included.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "prefs/CVPrefs.h"
#include "ui/ControlView.h"
#include "ui/DesktopApp.h"
#include "ui/InvestmentConfirmWindow.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"

namespace {

// Waits for the window to show `title`, then saves its picture as `name` in `out`.
bool shoot(QWidget* window, std::string_view title, const QDir& out, const char* name) {
  if (!QTest::qWaitFor(
          [&] { return window->isVisible() && window->windowTitle() == corvela::ui::qs(title); },
          5000)) {
    QTextStream(stderr) << "no window \"" << corvela::ui::qs(title) << "\"\n";
    return false;
  }
  QTest::qWait(100);
  const QString path = out.filePath(QLatin1String(name));
  const bool saved = window->grab().save(path, "PNG");
  QTextStream(saved ? stdout : stderr) << (saved ? "" : "could not take ") << path << "\n";
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDir out(QApplication::arguments().value(1, QStringLiteral(".")));
  if (!out.exists() && !QDir().mkpath(out.path())) return 2;
  QTemporaryDir folder;
  const std::string storePath = folder.filePath(QStringLiteral("store.prefs")).toStdString();
  {
    corvela::CVPrefs store(storePath);
    store.setObject("Preferences", corvela::Value::Array{"converted2.2", "confirmAllTransactions"});
    store.setObject("CheckForUpdates", false);
    store.setObject(
        "Securities",
        corvela::Value::Array{corvela::Value{{"Name", "Apple"}, {"Symbol", "AAPL"}},
                              corvela::Value{{"Name", "Vanguard 500"}, {"Symbol", "VFIAX"}}});
    store.synchronize();
  }
  corvela::ui::DesktopApp desktop(storePath);
  desktop.platform().setSavePanelAnswer([&](const corvela::SavePanel&) {
    return std::optional<std::string>(folder.filePath(QStringLiteral("out.qif")).toStdString());
  });
  if (!desktop.start(std::string(CORVELA_CORPUS) + "/ledger-autosync/cusip.ofx")) return 1;
  desktop.mainWindow()->controlView()->processButton()->click();
  auto* window = desktop.investmentWindow();
  window->resize(640, 480);
  auto click = [window](const char* name) {
    window->findChild<QPushButton*>(QLatin1String(name))->click();
    QTest::qWait(50);
  };
  // The security is named as the download has it; the type comes from the tag's standard
  // meaning, and Redefine Type shows the choice with that meaning proposed.
  bool ok = QTest::qWaitFor([window] { return window->isVisible(); }, 5000);
  if (ok) click("okButton");
  ok = ok &&
       shoot(window, corvela::InvestmentQIF::kConfirmTitle, out, "investment-confirmation.png");
  if (ok) click("redefineTypeButton");
  ok = ok && shoot(window, corvela::InvestmentQIF::kUnknownTypeTitle, out,
                   "investment-type-definition.png");
  return ok ? 0 : 1;
}
