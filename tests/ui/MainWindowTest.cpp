// The program's wiring: start-up, a file given at start, the Preferences menu item and the
// options window; a second `corvela FILE` handing its file over; what the person is told about
// the program itself: a damaged store once, at start, with where it went; the help book names
// only menus that exist; Report a Problem composes its mail from the store the program runs
// with; About names the version and the libraries. Every control of every window can be named
// by a screen reader, and every window reads in a dark palette.
#include <signal.h>

#include <atomic>
#include <thread>

#include "app/ControlSettings.h"
#include "app/InputFormatChoice.h"
#include "banking/NonInteractiveAnswers.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "ui/DarkPalette.h"
#include "ui/DocumentServer.h"
#include "ui/NewInstructionPane.h"
#include "ui/OptionsWindow.h"
#include "ui/StartView.h"
#include "ui/TestDesktop.h"
#include "ui/WizardPane.h"

namespace corvela::ui::testing {
namespace {

QString labelText(TestDesktop& desktop, const char* role) {
  auto* label = desktop.control<QLabel>(role);
  return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(role));
}

QString today() { return QString::fromStdString(CalendarDay::today().format("%m/%d/%Y")); }

// What the main window shows at `step`: its page and title, the menu items that change what
// Corvela keeps or start another input ("-" when off), the status text, and the named controls
// of the control view.
QString seen(TestDesktop& desktop, const char* step,
             std::initializer_list<const char*> names = {}) {
  MainWindow& window = desktop.window();
  window.updateMenus();
  QWidget* page = window.currentPage();
  const QString pageName = page == window.startView()    ? "start"
                           : page == &desktop.controls() ? "controls"
                           : page == &desktop.status()   ? "status"
                           : page == window.wizardPane() ? "wizard"
                                                         : "?";
  QString menus;
  for (QAction* item : {window.processFileAction(), window.processClipboardAction(),
                        window.preferencesAction(), window.helpAction(), window.quitAction()})
    menus += (item->isEnabled() ? " " : " -") + item->text().remove(QLatin1Char('&'));
  QString status;
  if (page == &desktop.status())
    status = "status: " + desktop.status().title() + " | " + desktop.status().text() + "\n";
  QString out = QStringLiteral("== %1: %2 page, \"%3\", menus%4\n")
                    .arg(QLatin1String(step), pageName, window.windowTitle(), menus) +
                status.replace(desktop.folder.path(), QStringLiteral("<folder>")) +
                stateOf(&desktop.controls(), names);
  // The date fields start on today.
  return out.replace(today(), QStringLiteral("<today>"));
}

// Types `text` in place of a line edit's text and presses `key`.
void typeIn(QLineEdit* field, const QString& text, Qt::Key key = Qt::Key_Return) {
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
  QTest::keyClick(field, key);
}

// Drags `data` over the window and drops it there; answers whether the window took the drag.
bool drop(QWidget& window, QMimeData& data) {
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &dropped);
  return true;
}

// Selects the first `part` of a text view at or after `from`, as a drag of the mouse would.
void selectText(QPlainTextEdit* view, const QString& part, int from = 0) {
  int at = view->toPlainText().indexOf(part, from);
  QVERIFY(at >= 0);
  QTextCursor cursor = view->textCursor();
  cursor.setPosition(at);
  cursor.setPosition(at + static_cast<int>(part.size()), QTextCursor::KeepAnchor);
  view->setTextCursor(cursor);
}

void clickColumn(QTableView* table, int column) {
  QRect cell = table->visualRect(table->model()->index(0, column));
  QVERIFY(cell.isValid());
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
}

struct Command {
  int exitCode = -1;
  QString errors;
};

// The environment the program is run in: off screen, over the store at `storePath`.
QProcessEnvironment programEnvironment(const std::string& storePath) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("CORVELA_PREFS"), QString::fromStdString(storePath));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

// Runs `corvela FILE` over `storePath` while this program's event loop answers it.
Command runCorvela(const std::string& storePath, const QString& file) {
  QProcess process;
  process.setProcessEnvironment(programEnvironment(storePath));
  process.start(QStringLiteral(CORVELA_DESKTOP_PROGRAM), {file});
  if (!process.waitForStarted(10000)) return {};
  // Not waitForFinished: the running program in this process must be free to answer.
  QElapsedTimer clock;
  clock.start();
  while (process.state() != QProcess::NotRunning && clock.elapsed() < 60000) QTest::qWait(20);
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QString inputName(TestDesktop& desktop) { return desktop.control<QLabel>("inputFrom")->text(); }

QString menuTitle(const QMenu* menu) { return menu->title().remove(QLatin1Char('&')); }

// The "Menu > Item" paths the help pages name, with the page they are on.
QList<QPair<QString, QString>> namedMenuPaths() {
  QList<QPair<QString, QString>> paths;
  QRegularExpression path(QStringLiteral("<strong>(\\w+) &rsaquo;\\s+([^<]+)</strong>"));
  QDir book(QStringLiteral(CORVELA_HELP_BOOK));
  QStringList pages = {QStringLiteral("index.html")};
  for (const QString& page : QDir(book.filePath(QStringLiteral("pages"))).entryList({"*.html"}))
    pages << QStringLiteral("pages/") + page;
  for (const QString& page : pages) {
    QFile file(book.filePath(page));
    if (!file.open(QIODevice::ReadOnly)) continue;
    QString html = QString::fromUtf8(file.readAll());
    for (auto match = path.globalMatch(html); match.hasNext();) {
      auto found = match.next();
      paths.append({page, found.captured(1) + " > " + found.captured(2).simplified()});
    }
  }
  return paths;
}

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

bool isControl(QWidget* w) {
  // A combo box's own line edit and drop-down list speak for the combo box.
  for (QWidget* up = w->parentWidget(); up; up = up->parentWidget())
    if (qobject_cast<QComboBox*>(up)) return false;
  return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
         qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTabBar*>(w);
}

// The controls of `window` that have neither an accessible name nor a label naming them.
QStringList unnamed(QWidget* window) {
  QSet<QWidget*> labelled;
  for (QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy()) labelled << label->buddy();
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!isControl(w) || w->focusPolicy() == Qt::NoFocus || labelled.contains(w)) continue;
    // On Linux a combo box's accessible name is its text; its own name goes out as a label.
    if (!w->accessibleName().isEmpty()) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
    if (accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty()) continue;
    found << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                         w->objectName());
  }
  return found;
}

double luminance(const QColor& color) {
  auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
         0.0722 * channel(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The labels of `window` whose text hardly stands out from the window behind it, and the
// widgets that fix a colour of their own.
QStringList hardToRead(QWidget* window) {
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->styleSheet().contains(QStringLiteral("color"))) found << w->objectName();
    auto* label = qobject_cast<QLabel*>(w);
    if (!label) continue;
    QColor text = label->palette().color(label->foregroundRole());
    QColor behind = window->palette().color(QPalette::Window);
    if (contrast(text, behind) < 3.0) found << label->objectName() + " " + label->text().left(20);
  }
  return found;
}

// Each window of the program in the state a person meets it in, one after the other.
void forEachWindow(const std::function<void(const QString&, QWidget*)>& check) {
  TestDesktop desktop([](CVPrefs& store) {
    store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
  });
  check(QStringLiteral("start"), &desktop.window());
  QVERIFY(desktop.desktop->openFile(desktop.write(
      "two.qif", "!Type:Bank\nD03/01/2024\nT-4.50\nPCOFFEE\n^\nD03/02/2024\nT-9\nPNEW SHOP\n^\n")));
  check(QStringLiteral("controls"), &desktop.window());
  desktop.savePanelAnswer = desktop.path("out.qif");
  desktop.controls().processButton()->click();
  TransactionDialog* dialog = desktop.desktop->transactionDialog();
  QTRY_VERIFY(dialog->isVisible());
  check(QStringLiteral("confirmation"), dialog);
  dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"))->click();
  QTRY_VERIFY(dialog->newInstructionPane()->isVisible());
  check(QStringLiteral("new instruction"), dialog);
  dialog->findChild<QAbstractButton*>(QStringLiteral("skipRemainingButton"))->click();
  QTRY_VERIFY(!dialog->isVisible());
  check(QStringLiteral("report"), &desktop.window());
  desktop.status().doneButton()->click();
  desktop.desktop->optionsDialog().display();
  check(QStringLiteral("options"), &desktop.desktop->optionsWindow());
  desktop.desktop->optionsWindow().close();
  desktop.desktop->showAbout();
  check(QStringLiteral("about"), desktop.desktop->aboutWindow());
}

}  // namespace

// The main window over the real controller: what it shows for an input, the run it starts,
// the refusals it reports, and the menus it enables; and the learning wizard in it: a
// statement opened, a new format's name typed in the main window, and the wizard's pages
// answered with the mouse.
class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { log.clear(); }
  // What each test noted is compared whole with its golden file.
  void cleanup() {
    const QString name = QStringLiteral("main-window/%1.txt").arg(QTest::currentTestFunction());
    if (!log.isEmpty()) QCOMPARE(log, golden(name, log));
  }

  void qifRegisterIsShownAndRunToAFile() {
    TestDesktop desktop;
    log += seen(desktop, "started");
    QVERIFY(desktop.open("bank.qif"));
    // The window draws the controller's form. The report stays, and the input with it, until
    // the person dismisses it.
    QCOMPARE(desktop.control<QComboBox>("qifTypePopUp")->itemText(3),
             QStringLiteral("Swap Description and Memo, Reverse Signs"));
    log +=
        seen(desktop, "loaded",
             {"inputFrom", "inputAccountType", "qfxTypePopUp", "inputFormatText", "allTransactions",
              "dateFromString", "appendSwitch", "quickenAccountFixed", "outputFormatText"});
    std::string out = desktop.path("out.qif");
    desktop.savePanelAnswer = out;
    QTest::mouseClick(desktop.controls().processButton(), Qt::LeftButton);
    QCOMPARE(desktop.savePanels.size(), std::size_t{1});
    QVERIFY(desktop.savePanels[0].asSheet);
    QCOMPARE(fileBytes(out), dataFile("bank-instructions-expected.qif"));
    log += seen(desktop, "processed");
    QTest::mouseClick(desktop.status().doneButton(), Qt::LeftButton);
    log += seen(desktop, "report dismissed");
    // What the run settled is on disk once the report is dismissed.
    CVPrefs reread = CVPrefs::initWithPath(desktop.storePath);
    QCOMPARE(str(reread.objectForKey("ControlSettings"), "outputFilePath"), out);
  }

  void transactionsToConfirmOpenTheTransactionDialog() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences",
                      Value::Array{Value("converted2.2"), Value("confirmAllTransactions")});
    });
    QVERIFY(desktop.run(CORVELA_TEST_DATA "/app/bank.qif"));
    TransactionDialog* dialog = desktop.desktop->transactionDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Confirm Transaction"));
    QVERIFY(dialog->isVisible());
    log += seen(desktop, "confirming");
    // Confirmed as proposed, the run ends in the main window's report.
    answerWithoutDialogs(desktop.desktop->app().bank);
    log += seen(desktop, "answered");
    QCOMPARE(desktop.output(), dataFile("bank-instructions-expected.qif"));
  }

  // Help opens the page of the input at hand; a cancelled save panel ends the run.
  void helpThenCancelledSavePanel() {
    TestDesktop desktop;
    QVERIFY(desktop.open("card.qfx"));
    QVERIFY(desktop.shown("qfxTypePopUp") && !desktop.shown("qifTypePopUp"));
    desktop.control<QToolButton>("inputHelp")->click();
    desktop.control<QToolButton>("transactionsHelp")->click();
    desktop.window().helpAction()->trigger();
    QCOMPARE(desktop.opened.size(), std::size_t{3});
    QCOMPARE(desktop.opened[0].fileName() + desktop.opened[0].fragment(), "1Control.htmlQFX");
    QCOMPARE(desktop.opened[1].fragment(), QStringLiteral("run"));
    // The menu opens the book at its start.
    QCOMPARE(desktop.opened[2].fileName(), QStringLiteral("index.html"));
    desktop.savePanelAnswer.reset();
    desktop.controls().processButton()->click();
    log += seen(desktop, "save panel cancelled");
  }

  // A refused input and an empty clipboard show their status, and leave the menus on.
  void refusalsShowTheirStatusAndLeaveTheMenus() {
    TestDesktop desktop;
    std::string odd = desktop.write("odd.ofx", "OFXHEADER:100\n<OFX><SIGNONMSGSRSV1/></OFX>\n");
    QVERIFY(desktop.desktop->openFile(odd));
    log += seen(desktop, "refused");
    desktop.status().doneButton()->click();
    log += seen(desktop, "dismissed");
    desktop.window().processClipboardAction()->trigger();
    log += seen(desktop, "clipboard processed");
  }

  void anotherFileIsRefusedWhileAnInputIsLoaded() {
    TestDesktop desktop;
    QVERIFY(desktop.open("bank.qif"));
    QVERIFY(!desktop.open("card.qfx"));
    QCOMPARE(labelText(desktop, "inputFrom"), QStringLiteral("bank.qif"));

    // A file dropped on the window is offered the same way.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral(CORVELA_TEST_DATA "/app/card.qfx"))});
    QVERIFY(drop(desktop.window(), data));
    QCOMPARE(labelText(desktop, "inputFrom"), QStringLiteral("bank.qif"));

    desktop.control<QPushButton>("cancel")->click();
    QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(desktop.window().startView()));
    QVERIFY(drop(desktop.window(), data));
    QCOMPARE(labelText(desktop, "inputFrom"), QStringLiteral("card.qfx"));
  }

  void dateFieldsAndChoicesReachTheController() {
    TestDesktop desktop;
    QVERIFY(desktop.open("bank.qif"));
    QVERIFY(QTest::qWaitForWindowActive(&desktop.window()));
    QTest::mouseClick(desktop.control<QRadioButton>("dateRange"), Qt::LeftButton);
    auto* from = desktop.control<QLineEdit>("dateFromString");
    auto* to = desktop.control<QLineEdit>("dateToString");
    QVERIFY(from->hasFocus());

    typeIn(from, QStringLiteral("1/5/24"));
    typeIn(to, QStringLiteral("Today"));
    QCOMPARE(to->text(), today());
    log += seen(desktop, "range typed", {"dateFromString", "processTheTransactionsButton"});

    typeIn(from, QStringLiteral("tomorrow"), Qt::Key_Tab);
    QCOMPARE(from->text(),
             QString::fromStdString(CalendarDay::today().plusDays(1).format("%m/%d/%Y")));
    QVERIFY(desktop.shown("invalidRangeWarning"));

    // The output date field reads the same way once the switch is on.
    QTest::mouseClick(desktop.control<QCheckBox>("sameDateSwitch"), Qt::LeftButton);
    auto* outputDate = desktop.control<QLineEdit>("outputDateString");
    QVERIFY(outputDate->hasFocus());
    typeIn(outputDate, QStringLiteral("yesterday"), Qt::Key_Tab);
    QCOMPARE(outputDate->text(),
             QString::fromStdString(CalendarDay::today().plusDays(-1).format("%m/%d/%Y")));
    QCOMPARE(desktop.controller().form().outputDateString.text, utf8(outputDate->text()));

    // Each choice of the control view reaches the controller, and the view draws what it made
    // of it; Return in the number field runs as the default button does.
    const MainForm& form = desktop.controller().form();
    auto* qifType = desktop.control<QComboBox>("qifTypePopUp");
    qifType->setCurrentIndex(2);
    emit qifType->activated(2);
    QTest::mouseClick(desktop.control<QRadioButton>("lastMonth"), Qt::LeftButton);
    QTest::mouseClick(desktop.control<QCheckBox>("sameNumberSwitch"), Qt::LeftButton);
    QVERIFY(form.qifTypePopUp.selectedIndex == 2 && form.whichTransactions == kLastMonth &&
            form.sameNumberSwitch.on && !desktop.shown("dateFromString"));
    auto* number = desktop.control<QLineEdit>("outputNumberString");
    desktop.savePanelAnswer.reset();
    typeIn(number, QStringLiteral("1001"));
    QCOMPARE(form.outputNumberString.text, std::string("1001"));
    QCOMPARE(desktop.savePanels.size(), std::size_t{1});
  }

  void accountFieldCompletesKnownNamesOnly() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences", Value::Array{Value("converted2.2"), Value("append")});
      store.setObject("Accounts", Value::Array{Value{{"Name", "Checking"}, {"Type", "Bank"}},
                                               Value{{"Name", "Savings"}, {"Type", "Bank"}},
                                               Value{{"Name", "Visa"}, {"Type", "CCard"}}});
    });
    QVERIFY(desktop.open("bank.qif"));
    QVERIFY(QTest::qWaitForWindowActive(&desktop.window()));
    auto* account = desktop.control<CompletingComboBox>("quickenAccountText");
    QCOMPARE(account->entries(), (std::vector<std::string>{"Checking", "Savings"}));
    // Two accounts of the type: one must be chosen first.
    QVERIFY(!desktop.controls().processButton()->isEnabled());
    QVERIFY(account->lineEdit()->hasFocus());

    QTest::keyClicks(account->lineEdit(), QStringLiteral("s"));
    QCOMPARE(account->text(), std::string("Savings"));
    QCOMPARE(account->lineEdit()->selectedText(), QStringLiteral("avings"));
    QVERIFY(desktop.controls().processButton()->isEnabled());
  }

  void clipboardWithADateIsTakenASecondAfterActivation() {
    TestDesktop desktop;
    QApplication::clipboard()->setText(
        QStringLiteral("!Type:Bank\nD03/01/2024\nT-12.50\nPGrocer\n^\n"));
    desktop.desktop->applicationBecameActive();
    QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(desktop.window().startView()));
    QTRY_COMPARE_WITH_TIMEOUT(desktop.window().currentPage(),
                              static_cast<QWidget*>(&desktop.controls()), 5000);
    QCOMPARE(labelText(desktop, "inputFrom"), QStringLiteral("Clipboard"));
    QApplication::clipboard()->clear();
  }

  void learnsACardStatementByClickingItsColumns() {
    TestDesktop desktop;
    QVERIFY(desktop.desktop->openFile(CORVELA_CORPUS "/csv2ofx/capitalone.csv"));
    auto* formatField = desktop.control<CompletingComboBox>("inputFormatText");
    QVERIFY(formatField);
    typeIn(formatField->lineEdit(), QStringLiteral("Card CSV"));

    WizardPane* pane = desktop.window().wizardPane();
    QCOMPARE(desktop.window().currentPage(), pane);
    QCOMPARE(pane->currentPage(), 1);
    QCOMPARE(desktop.window().windowTitle(), QStringLiteral("Create Input Format"));
    // The first date shown starts the text, so the second line's is chosen.
    selectText(pane->dateView(), QStringLiteral("2015-12-31"), 1);
    selectText(pane->matchView(), QStringLiteral("Transaction Date,Posted Date"));
    pane->kindChoice()->setCurrentIndex(2);
    pane->okButton(1)->click();

    QCOMPARE(pane->currentPage(), 2);
    QCOMPARE(pane->separatorChoice()->currentText(), QStringLiteral("Commas (CSV)"));
    QCOMPARE(pane->previewTable()->model()->columnCount(), 7);
    QCOMPARE(pane->previewTable()->model()->rowCount(), 2);
    pane->okButton(2)->click();

    QCOMPARE(pane->currentPage(), 3);
    QTableView* table = pane->questionTable();
    // The description is preselected: OK takes it.
    QVERIFY(table->selectionModel()->isColumnSelected(3, {}));
    QVERIFY(pane->okButton(3)->isVisible());
    pane->okButton(3)->click();  // description
    pane->okButton(3)->click();  // no check numbers
    pane->okButton(3)->click();  // no memo
    clickColumn(table, 4);       // category
    QVERIFY(pane->noButton()->isVisible());
    pane->noButton()->click();  // money out and in in two columns
    clickColumn(table, 5);      // money out
    clickColumn(table, 6);      // money in
    QCOMPARE(table->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Credit"));
    pane->okButton(3)->click();  // done

    QCOMPARE(desktop.window().currentPage(), desktop.window().controlView());
    QCOMPARE(formatField->lineEdit()->text(), QStringLiteral("Card CSV"));
    std::optional<Value> stored = inputFormatForName(desktop.desktop->store(), "Card CSV");
    QVERIFY(stored);
    log += qs(toJSON(*stored)) + QLatin1Char('\n');
    // The format learnt is offered for export.
    QMenu* exportMenu = desktop.window().exportInputFormatMenu();
    emit exportMenu->aboutToShow();
    QCOMPARE(exportMenu->actions().size(), 1);
    QCOMPARE(exportMenu->actions().at(0)->text(), QStringLiteral("Card CSV"));
  }

  // The first page's switches and the column page's choices go to the wizard, which draws them
  // again; Return in the date text confirms the first page.
  void switchesSeparatorsAndReturnReachTheWizard() {
    TestDesktop desktop;
    QVERIFY(desktop.desktop->openFile(CORVELA_CORPUS "/csv2ofx/capitalone.csv"));
    typeIn(desktop.control<CompletingComboBox>("inputFormatText")->lineEdit(),
           QStringLiteral("Card CSV"));
    WizardPane* pane = desktop.window().wizardPane();
    QCOMPARE(pane->currentPage(), 1);
    for (const char* name : {"europeanDatesSwitch", "firstLineStartsWithTransactionDateSwitch"}) {
      auto* box = pane->findChild<QCheckBox*>(QLatin1String(name));
      QVERIFY2(box, name);
      box->click();
      QVERIFY2(box->isChecked(), name);
      box->click();
      QVERIFY2(!box->isChecked(), name);
    }
    selectText(pane->dateView(), QStringLiteral("2015-12-31"), 1);
    selectText(pane->matchView(), QStringLiteral("Transaction Date,Posted Date"));
    pane->kindChoice()->setCurrentIndex(2);
    QTest::keyClick(pane->dateView(), Qt::Key_Return);
    QCOMPARE(pane->currentPage(), 2);

    QComboBox* separator = pane->separatorChoice();
    const int commas = separator->currentIndex();
    QCOMPARE(pane->previewTable()->model()->columnCount(), 7);
    separator->setCurrentIndex(commas == 0 ? 1 : 0);
    QVERIFY(pane->previewTable()->model()->columnCount() != 7);
    separator->setCurrentIndex(commas);
    pane->oneTransactionPerLineSwitch()->click();
    pane->oneTransactionPerLineSwitch()->click();
    QCOMPARE(pane->previewTable()->model()->columnCount(), 7);
  }

  // A logout sends SIGTERM: what the program holds in memory reaches the store before it ends.
  void aSignalEndsTheProgramWithTheStoreWritten() {
    QTemporaryDir folder;
    std::string path = knownStore(folder);
    QVERIFY(!path.empty());
    for (int signal : {SIGTERM, SIGINT}) {
      QVERIFY(CVPrefs::initWithPath(path).objectForKey("DescriptionOutput").isNull());
      QProcess program;
      QProcessEnvironment env = programEnvironment(path);
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

  void secondCommandHandsItsFileOver() {
    TestDesktop desktop;
    QVERIFY(desktop.active);
    QVERIFY(desktop.desktop->listenForDocuments(DocumentServer::serverName(desktop.storePath)));

    Command first =
        runCorvela(desktop.storePath, QStringLiteral(CORVELA_TEST_DATA "/app/bank.qif"));
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(&desktop.controls()));
    QCOMPARE(inputName(desktop), QStringLiteral("bank.qif"));

    // While that input is loaded, the running program refuses another and the command says so.
    Command second =
        runCorvela(desktop.storePath, QStringLiteral(CORVELA_TEST_DATA "/app/card.qfx"));
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.errors.contains(QStringLiteral("was not opened")), qPrintable(second.errors));
    QCOMPARE(inputName(desktop), QStringLiteral("bank.qif"));
  }

  void serverAnswersForItsOwnStoreOnly() {
    QTemporaryDir folder;
    std::string store = folder.filePath(QStringLiteral("store.prefs")).toStdString();
    QString mine = DocumentServer::serverName(store);
    QCOMPARE(DocumentServer::serverName(store), mine);
    QVERIFY(DocumentServer::serverName(store + ".other") != mine);
    QCOMPARE(DocumentServer::handToRunningProgram(mine, QStringLiteral("/x.qif"), 500),
             DocumentServer::Handoff::noProgram);

    std::vector<std::string> asked;
    DocumentServer server([&](const std::string& path) {
      asked.push_back(path);
      return path != "/busy.qif";
    });
    QVERIFY(server.listen(mine));
    // A second program for the same store does not take the name from the first.
    DocumentServer rival([](const std::string&) { return true; });
    QVERIFY(!rival.listen(mine));

    // The client side blocks, so it runs in a thread of its own while this one serves.
    auto handOver = [&](const QString& path) {
      std::atomic<int> answer{-1};
      std::thread client(
          [&] { answer = static_cast<int>(DocumentServer::handToRunningProgram(mine, path)); });
      bool answered = QTest::qWaitFor([&] { return answer != -1; }, 10000);
      client.join();
      return answered ? static_cast<DocumentServer::Handoff>(answer.load())
                      : DocumentServer::Handoff::noProgram;
    };
    // A line end inside a file name does not cut the request short.
    QCOMPARE(handOver(QStringLiteral("/odd\nname.qif")), DocumentServer::Handoff::accepted);
    QCOMPARE(handOver(QStringLiteral("/busy.qif")), DocumentServer::Handoff::refused);
    QCOMPARE(asked, (std::vector<std::string>{"/odd\nname.qif", "/busy.qif"}));
  }
  void damagedStoreIsToldOnceWithWhereItWent() {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("store.prefs")).toStdString();
    {
      QFile damaged(QString::fromStdString(path));
      QVERIFY(damaged.open(QIODevice::WriteOnly));
      damaged.write("not a store");
    }
    // Answers every alert of both starts (a new store also asks the first-run and update
    // questions), noting what each said.
    auto told = std::make_shared<QStringList>();
    auto answer = std::make_shared<std::function<void(QMessageBox*)>>();
    *answer = [told, weak = std::weak_ptr(answer)](QMessageBox* box) {
      *told << box->text() + ": " + box->informativeText();
      if (auto next = weak.lock()) whenModalShows<QMessageBox>(*next);
      box->defaultButton()->click();
    };
    for (int start = 0; start < 2; ++start) {
      DesktopApp desktop(path);
      whenModalShows<QMessageBox>(*answer);
      QVERIFY(desktop.start());
      desktop.saveStoreQuietly();
    }
    const QStringList damage = told->filter(QStringLiteral("Could Not Be Read"));
    QCOMPARE(damage.size(), 1);
    QVERIFY2(damage[0].contains(QString::fromStdString(path) + ".unreadable-"),
             qPrintable(damage[0]));
  }

  void helpMenusReportAndAbout() {
    TestDesktop desktop;
    QStringList existing;
    for (QMenu* menu : desktop.window().menuBar()->findChildren<QMenu*>())
      for (QAction* action : menu->actions())
        existing << menuTitle(menu) + " > " + action->text().remove(QLatin1Char('&'));
    QList<QPair<QString, QString>> named = namedMenuPaths();
    QVERIFY(named.size() >= 4);
    for (const auto& [page, path] : named)
      QVERIFY2(existing.contains(path), qPrintable(page + " names " + path));

    // Report a Problem counts the store in use: the desktop's store holds three instructions and
    // three categories.
    desktop.window().reportProblemAction()->trigger();
    QCOMPARE(desktop.opened.size(), std::size_t{1});
    const QUrl& mail = desktop.opened[0];
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QUrlQuery query(mail);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Corvela v11.8"));
    QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    QVERIFY2(body.contains(QStringLiteral("\nCategories: 3\nInstructions: 3\n")), qPrintable(body));

    desktop.window().aboutAction()->trigger();
    QDialog* about = desktop.desktop->aboutWindow();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("aboutName"))->text(),
             QStringLiteral("Corvela 11.8"));
    QString libraries = about->findChild<QLabel*>(QStringLiteral("aboutLibraries"))->text();
    for (const char* name : {"Qt ", "ICU ", "libplist ", "LGPL", "MIT"})
      QVERIFY2(libraries.contains(QLatin1String(name)), name);
  }

  // One walk in a dark palette: names do not depend on the colours.
  void everyControlIsNamedAndReadsInADarkPalette() {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    forEachWindow([](const QString& window, QWidget* widget) {
      const QStringList faults = unnamed(widget) + hardToRead(widget);
      QVERIFY2(faults.isEmpty(), qPrintable(window + ": " + faults.join(QStringLiteral(", "))));
    });
    QApplication::setPalette(light);
  }

 private:
  QString log;
};

int runMainWindowTest(const QStringList& arguments) {
  return runTestClass<MainWindowTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "MainWindowTest.moc"
