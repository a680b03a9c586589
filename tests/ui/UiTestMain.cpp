// Runs the desktop program's Qt tests: `corvela_ui_tests [CLASS] [QTest options]`, every class
// when none is named.
#include <QApplication>
#include <QTextStream>
#include <utility>

#include "support/PrivateHome.h"
#include "ui/UiTests.h"

using namespace corvela::ui::testing;

namespace {

using Runner = int (*)(const QStringList&);

constexpr std::pair<const char*, Runner> kClasses[] = {
    {"CompletingComboBoxTest", runCompletingComboBoxTest},
    {"OptionsWindowTest", runOptionsWindowTest},
    {"QtPlatformTest", runQtPlatformTest},
    {"MainWindowTest", runMainWindowTest},
    {"TransactionDialogTest", runTransactionDialogTest},
    {"WindowShapeTest", runWindowShapeTest},
    {"ListEditorWindowsTest", runListEditorWindowsTest},
};

}  // namespace

int main(int argc, char** argv) {
  corvela::testing::PrivateHome home;
  QApplication app(argc, argv);
  QStringList arguments = QApplication::arguments();
  QString only;
  if (arguments.size() > 1 && !arguments[1].startsWith(QLatin1Char('-'))) {
    only = arguments[1];
    arguments.removeAt(1);
  }
  int failures = 0;
  bool found = false;
  for (const auto& [name, run] : kClasses) {
    if (!only.isEmpty() && only != QLatin1String(name)) continue;
    found = true;
    failures += run(arguments);
  }
  if (!found) {
    QTextStream(stderr) << "no test class " << only << "\n";
    return 2;
  }
  return failures == 0 ? 0 : 1;
}
