#include "app/ControlSettings.h"
#include "app/InputFormatChoice.h"
#include "banking/NonInteractiveAnswers.h"
#include "prefs/ValueText.h"
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

 private:
  QString log;
};

int runMainWindowTest(const QStringList& arguments) {
  return runTestClass<MainWindowTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "MainWindowTest.moc"
