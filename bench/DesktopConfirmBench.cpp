// How soon the desktop program shows the next transaction to confirm after OK, with a large store
// of instructions: the wall time from the click on OK until the transaction dialog has painted
// the next transaction's view.
//
// Usage: corvela_desktop_bench [--instructions M] [--transactions N] [--list-after K]
//
// It runs the whole desktop program (DesktopApp: main window, transaction dialog, instruction
// editor windows) over a store of M instructions written with the program's own store writer,
// and a statement of N transactions that every one match an instruction; the store asks for
// every transaction to be confirmed. Prints the median and the worst time over the N - 1 views
// that follow an OK, and the worst as a multiple of the 50 ms goal. Exits non-zero, saying why,
// when the program did not show what a person would see (a view missing, a wrong transaction).
//
// Then it converts a statement of K transactions that asks nothing, and times opening the
// instruction list after it, until the list window has painted: every row counts the
// transactions of that run its instruction matched.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "prefs/CVPrefs.h"
#include "ui/ConfirmPane.h"
#include "ui/ControlView.h"
#include "ui/DesktopApp.h"
#include "ui/InstructionListWindow.h"
#include "ui/MainWindow.h"
#include "ui/TransactionDialog.h"

namespace {

using corvela::CVPrefs;
using corvela::Value;
using corvela::ui::DesktopApp;
using corvela::ui::TransactionDialog;

constexpr double kGoalMs = 50;

const char* const kMerchants[] = {
    "AMAZON MKTP US",  "WHOLEFDS MKT",   "TRADER JOE S",     "SHELL OIL",        "CHEVRON",
    "STARBUCKS STORE", "COMCAST CABLE",  "VERIZON WIRELESS", "NETFLIX.COM",      "UBER TRIP",
    "TARGET T-",       "WALGREENS #",    "CVS PHARMACY #",   "HOME DEPOT #",     "COSTCO WHSE #",
    "SAFEWAY #",       "CHIPOTLE",       "MCDONALD'S F",     "PAYROLL ACME",     "VENMO PAYMENT",
    "STATE FARM",      "APPLE.COM/BILL", "GOOGLE *STORAGE",  "KAISER PERMANENT", "LYFT RIDE"};
const char* const kGroups[] = {"Auto",    "Dining", "Groceries", "Household", "Utilities",
                               "Medical", "Travel", "Gifts",     "Insurance", "Income"};

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "corvela_desktop_bench: %s\n", why.c_str());
  std::exit(1);
}

// Distinct matches, each a merchant and a store number, in the order the store keeps them.
std::vector<std::string> makeMatches(int count) {
  std::vector<std::string> matches;
  const int merchants = static_cast<int>(std::size(kMerchants));
  for (int i = 0; i < count; ++i)
    matches.push_back(std::string(kMerchants[i % merchants]) + " " +
                      std::to_string(10000 + i / merchants * 7));
  std::sort(matches.begin(), matches.end());
  return matches;
}

// A store such as a person's after years of use: every instruction's description in the
// description list, a hundred categories, and every transaction to be confirmed.
void writeStore(const std::string& path, const std::vector<std::string>& matches) {
  Value::Array categories;
  for (const char* group : kGroups)
    for (int i = 0; i < 10; ++i)
      categories.push_back(Value(std::string(group) + ":Item " + std::to_string(i)));
  Value::Array instructions;
  Value::Array descriptions;
  for (std::size_t i = 0; i < matches.size(); ++i) {
    std::string description =
        "Payee " + matches[i].substr(matches[i].rfind(' ') + 1) + " " + std::to_string(i);
    instructions.push_back(Value{{"descriptionMatch", Value(matches[i])},
                                 {"newDescription", Value(description)},
                                 {"category", categories[i % categories.size()]}});
    descriptions.push_back(Value(description));
  }
  std::sort(descriptions.begin(), descriptions.end(),
            [](const Value& a, const Value& b) { return a.toString() < b.toString(); });
  CVPrefs store(path);
  store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
  store.setObject("CheckForUpdates", false);
  store.setObject("Categories", Value(std::move(categories)));
  store.setObject("Accounts", Value::Array{"Checking"});
  store.setObject("Descriptions", Value(std::move(descriptions)));
  store.setObject("Instructions", Value(std::move(instructions)));
  store.setObject("OutputDateFormat", "%m/%d/%Y");
  store.setObject("OutputDateFormatShortYear", "%m/%d/%y");
  if (!store.synchronizeNow()) fail(store.writeError());
}

// A QIF register whose every payee begins with one of the matches, spread over the store.
std::vector<std::string> writeStatement(const std::string& path,
                                        const std::vector<std::string>& matches, int count) {
  std::ofstream file(path);
  file << "!Type:Bank\n";
  std::vector<std::string> payees;
  for (int i = 0; i < count; ++i) {
    const std::string& match = matches[(static_cast<std::size_t>(i) * 7919) % matches.size()];
    payees.push_back(match + " CITY " + std::to_string(i));
    file << "D03/" << (1 + i % 28) << "/2024\nT-" << (1 + i % 97) << "." << (10 + i % 90) << "\nP"
         << payees.back() << "\n^\n";
  }
  if (!file.flush()) fail("cannot write the statement " + path);
  return payees;
}

// Counts the paint events of one window's widgets.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* window) : window_(window) {}
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window_)
      ++paints;
    return false;
  }

 private:
  QWidget* window_;
};

// Handles events until the window has painted, at most `limitMs`; the milliseconds since
// `clock` started, or none when it never painted.
std::optional<double> untilPainted(PaintCounter& counter, const QElapsedTimer& clock,
                                   qint64 limitMs = 5000) {
  while (counter.paints == 0 && clock.elapsed() < limitMs)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (counter.paints == 0) return std::nullopt;
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int intOption(int argc, char** argv, const char* name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == name) return std::max(2, std::atoi(argv[i + 1]));
  return fallback;
}

// Converts a statement of `count` transactions that asks nothing, then opens the instruction
// list; the milliseconds until the list window has painted.
double timeTheInstructionList(DesktopApp& desktop, QApplication& application,
                              const QTemporaryDir& folder, const std::vector<std::string>& matches,
                              int count) {
  const std::string path = folder.filePath(QStringLiteral("big.qif")).toStdString();
  writeStatement(path, matches, count);
  desktop.store().setObject("Preferences", Value::Array{"converted2.2"});  // confirm nothing
  desktop.applicationBecameActive();  // as when the person comes back with the next file
  if (!desktop.openFile(path)) fail("the big statement was not opened");
  desktop.mainWindow()->controlView()->processButton()->click();
  QElapsedTimer waited;
  waited.start();
  const corvela::InstructionMatches& matched = desktop.app().bank.instructionMatches();
  while (matched.size() != static_cast<std::size_t>(count) && waited.elapsed() < 120000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  if (matched.size() != static_cast<std::size_t>(count))
    fail("the run of " + std::to_string(count) + " transactions matched " +
         std::to_string(matched.size()));

  PaintCounter counter(desktop.instructionListWindow());
  application.installEventFilter(&counter);
  QElapsedTimer clock;
  clock.start();
  emit desktop.mainWindow()->instructionsRequested();
  std::optional<double> ms = untilPainted(counter, clock, 600000);
  application.removeEventFilter(&counter);
  if (!ms) fail("the instruction list was never painted");
  int counted = 0;
  for (const corvela::InstructionListRow& row : desktop.app().editInstructions.listForm().rows)
    counted += row.matches;
  if (counted != count)
    fail("the instruction list counts " + std::to_string(counted) + " matched transactions of " +
         std::to_string(count));
  return *ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int instructionCount = intOption(argc, argv, "--instructions", 10000);
  const int transactionCount = intOption(argc, argv, "--transactions", 200);
  QTemporaryDir folder;
  if (!folder.isValid()) fail("no temporary folder");
  // Nothing of the person's own desktop settings is read or written.
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    qputenv(variable, folder.path().toUtf8());
  QApplication application(argc, argv);

  const std::string storePath = folder.filePath(QStringLiteral("bench.prefs")).toStdString();
  const std::string statementPath = folder.filePath(QStringLiteral("bench.qif")).toStdString();
  const std::vector<std::string> matches = makeMatches(instructionCount);
  writeStore(storePath, matches);
  const std::vector<std::string> payees = writeStatement(statementPath, matches, transactionCount);

  DesktopApp desktop(storePath);
  int outputs = 0;
  desktop.platform().setSavePanelAnswer(
      [&folder, &outputs](const corvela::SavePanel&) -> std::optional<std::string> {
        return folder.filePath(QStringLiteral("out%1.qif").arg(++outputs)).toStdString();
      });
  desktop.platform().setUrlOpener([](const QUrl&) { return true; });
  if (!desktop.start()) fail("the program did not start");
  if (!QTest::qWaitForWindowExposed(desktop.window())) fail("the main window never showed");
  if (!desktop.openFile(statementPath)) fail("the statement was not opened");
  desktop.mainWindow()->controlView()->processButton()->click();

  TransactionDialog* dialog = desktop.transactionDialog();
  if (!QTest::qWaitForWindowExposed(dialog)) fail("the transaction dialog never showed");
  QTest::qWait(50);
  auto* ok = dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"));
  auto* description = dialog->findChild<QLabel*>(QStringLiteral("confirmDescriptionText"));
  if (!ok || !description) fail("the dialog has no OK button or no description");
  PaintCounter counter(dialog);
  application.installEventFilter(&counter);

  std::vector<double> times;
  std::vector<double> clicks;  // of which until the click returned: the program's own work
  for (int i = 0; i < transactionCount; ++i) {
    if (!dialog->isVisible() || !dialog->confirmPane()->isVisible())
      fail("transaction " + std::to_string(i + 1) + " is not in the confirmation view");
    if (description->text().toStdString() != payees[static_cast<std::size_t>(i)])
      fail("transaction " + std::to_string(i + 1) + " shows \"" +
           description->text().toStdString() + "\" instead of \"" +
           payees[static_cast<std::size_t>(i)] + "\"");
    const bool last = i + 1 == transactionCount;
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(ok, Qt::LeftButton);
    if (last) break;
    clicks.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    // The button paints itself pressed and released during the click; the view is drawn after.
    counter.paints = 0;
    std::optional<double> ms = untilPainted(counter, clock);
    if (!ms) fail("the view of transaction " + std::to_string(i + 2) + " was never painted");
    times.push_back(*ms);
  }
  QTest::qWait(20);
  if (dialog->isVisible()) fail("the run did not end after the last transaction");

  const double listMs = timeTheInstructionList(desktop, application, folder, matches,
                                               intOption(argc, argv, "--list-after", 100000));

  const double worst = *std::max_element(times.begin(), times.end());
  std::printf(
      "desktop: %d instructions, %zu views after OK: median %.1f ms, worst %.1f ms; "
      "worst %.2fx the %.0f ms goal (%s)\n"
      "  of which until the click returned (the form drawn, before layout and painting): "
      "median %.1f ms, worst %.1f ms\n",
      instructionCount, times.size(), median(times), worst, worst / kGoalMs, kGoalMs,
      worst <= kGoalMs ? "met" : "NOT met", median(clicks),
      *std::max_element(clicks.begin(), clicks.end()));
  std::printf("  the instruction list after a run of %d transactions: %.1f ms until painted\n",
              intOption(argc, argv, "--list-after", 100000), listMs);
  return 0;
}
