#include <array>

#include "app/Application.h"
#include "investment/InvestmentQIF.h"
#include "prefs/Bundle.h"
#include "prefs/OptionNames.h"
#include "prefs/ValueText.h"
#include "readers/OFXReader.h"
#include "support/BrokerFormat.h"
#include "support/FakeMainView.h"
#include "support/ScriptedPlatform.h"
#include "ui/FormattedAmountEdit.h"
#include "ui/InvestmentConfirmWindow.h"
#include "ui/InvestmentEditSheet.h"
#include "ui/NewInstructionPane.h"
#include "ui/SplitTableModel.h"
#include "ui/SplitTableView.h"
#include "ui/TestDesktop.h"
#include "ui/TransactionDialog.h"

namespace corvela::ui::testing {
namespace {

// The control with the keyboard focus: a combo box rather than the line edit inside it.
QWidget* focused() {
  QWidget* widget = QApplication::focusWidget();
  if (widget && qobject_cast<QComboBox*>(widget->parentWidget())) widget = widget->parentWidget();
  return widget;
}
QString focusedControl() { return focused() ? focused()->objectName() : QString(); }

// The whole program wired to the real dialog window, with a scripted platform and a fake main
// window, and a bank run over the download above.
struct Program {
  Program() {
    store.prefs.setObject(prefKey::Preferences, Value::array());
    store.prefs.setObject(prefKey::CheckForUpdates, false);
    store.prefs.setObject(prefKey::Categories,
                          Value(Value::Array{"Dining", "Dining:Coffee", "Groceries", "Household"}));
    app = std::make_unique<Application>(store.prefs, Bundle::builtIn(),
                                        FrontEnd{platform, mainView, dialog, dialog});
    dialog.attach(app->bank);
    app->startUp();
  }
  ~Program() {
    dialog.hide();
    app.reset();
  }

  // Runs the bank over the download of three transactions whose payees no instruction knows
  // yet; whether the dialog window then came up active.
  bool start(bool confirmAll = false) {
    if (confirmAll) app->options.add(option::confirmAllTransactions);
    QFile download(QStringLiteral(CORVELA_TEST_DATA "/ui/transaction-dialog/download.ofx"));
    if (!download.open(QIODevice::ReadOnly)) return false;
    OFXReadResult read = app->ofxReader.fromOFX(
        download.readAll().toStdString(), CalendarDay::distantPast(), CalendarDay::distantFuture());
    app->bank.setTransactions(read.qif, read.mustConfirm);
    app->bank.setFormatters();
    app->bank.processInstructionsAndAppendToString(
        output, RunSettings{}, [this](int count, std::optional<Value>) { endCount = count; });
    return QTest::qWaitForWindowActive(&dialog);
  }

  template <typename W>
  W* find(const char* name) const {
    W* widget = dialog.findChild<W*>(QLatin1String(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  SplitTableView* splits(const char* name) const {
    return qobject_cast<SplitTableView*>(find<QTableView>(name)->parentWidget());
  }

  ScratchStoreFile store;
  corvela::testing::ScriptedPlatform platform;
  corvela::testing::FakeMainView mainView;
  TransactionDialog dialog;
  std::unique_ptr<Application> app;
  std::string output;
  int endCount = -1;
  // What the window showed at the steps noted, and how the run ended.
  QString log;
};

// Gives the keyboard focus to a field as a click would, with its text selected.
void enter(QWidget* field) {
  QLineEdit* line = qobject_cast<QLineEdit*>(field);
  if (auto* box = qobject_cast<QComboBox*>(field)) line = box->lineEdit();
  line->setFocus(Qt::MouseFocusReason);
  line->selectAll();
}

void click(QAbstractButton* button) {
  QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(button->objectName()));
  QTest::mouseClick(button, Qt::LeftButton);
}

// Types into whatever has the keyboard focus, as the keyboard does.
void type(const QString& text) {
  for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

// The text of the control with the focus, when it is a field: a combo box's with its
// selection in brackets.
QString focusedText() {
  if (auto* box = qobject_cast<CompletingComboBox*>(focused()))
    return QStringLiteral("  typed: %1\n").arg(shown(*box));
  if (auto* line = qobject_cast<QLineEdit*>(focused()))
    return QStringLiteral("  typed: %1\n").arg(line->text());
  return QString();
}

// Plays a scenario, a step a line (see play below); `#` starts a comment.
void play(Program& p, const QString& script) {
  for (const QString& line : script.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (QTest::currentTestFailed()) return;
    if (line.startsWith(QLatin1Char('#'))) continue;
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QByteArray name = words.value(0).toLatin1();
    if (command == "store") {  // the store's instructions, on one line
      p.store.prefs.setObject("Instructions", fromJSON(utf8(rest)).value());
    } else if (command == "precision") {
      p.store.prefs.setInt(prefKey::bccAmountsPrecision, rest.toInt());
    } else if (command == "start") {  // "start all" confirms every transaction
      QVERIFY2(p.start(rest == "all"), "the dialog window did not come up");
    } else if (command == "press") {  // press KEY [TIMES] [ctrl]
      const int key = QKeySequence::fromString(words.value(0))[0].key();
      press(Qt::Key(key), words.contains("ctrl") ? Qt::ControlModifier : Qt::NoModifier,
            qMax(1, words.value(1).toInt()));
    } else if (command == "type") {
      type(rest);
    } else if (command == "enter") {
      enter(p.find<QWidget>(name));
    } else if (command == "click") {
      click(p.find<QAbstractButton>(name));
    } else if (command == "escape") {
      QTest::keyClick(&p.dialog, Qt::Key_Escape);
    } else if (command == "choose") {  // choose POPUP ITEM TEXT
      auto* popUp = p.find<QComboBox>(name);
      const int index = popUp->findText(rest.section(QLatin1Char(' '), 1));
      QVERIFY2(index > 0, qPrintable(line));
      emit popUp->activated(index);
    } else if (command == "cell") {  // cell TABLE ROW: the amount cell, as a click would
      SplitTableView* splits = p.splits(name);
      splits->table()->setFocus(Qt::MouseFocusReason);
      splits->table()->setCurrentIndex(
          splits->model()->index(words.value(1).toInt(), SplitTableModel::kAmountColumn));
    } else if (command == "set-amount") {  // set-amount ROW TEXT, from outside the window
      p.app->bank.tableViewSetObjectValue(SplitTable::confirm, "amount", words.value(0).toInt(),
                                          utf8(words.value(1)));
    } else if (command == "focus") {  // waits for the focus, which comes through the event loop
      QTRY_COMPARE(focusedControl(), QString::fromLatin1(name));
    } else if (command == "checked") {  // waits for the switch to come on
      QTRY_VERIFY2(p.find<QAbstractButton>(name)->isChecked(), name.constData());
    } else if (command == "settle") {
      QTest::qWait(50);
    } else if (command == "stop-on-cancel") {
      p.platform.answerNextCancelConfirm(CancelConfirm::stop);
    } else if (command == "items") {  // the pop-up's items, "(off)" when disabled
      auto* popUp = p.find<QComboBox>(name);
      auto* items = qobject_cast<QStandardItemModel*>(popUp->model());
      p.log += QStringLiteral("== items of %1:").arg(QLatin1String(name));
      for (int i = 0; i < popUp->count(); ++i)
        p.log += QStringLiteral(" [%1%2]").arg(popUp->itemText(i),
                                               items->item(i)->isEnabled() ? "" : " (off)");
      p.log += QLatin1Char('\n');
    } else if (command == "forms") {  // what the processor was handed
      const auto& teach = p.app->bank.newInstructionForm();
      const auto& confirm = p.app->bank.confirmForm();
      p.log +=
          qs("== processor: transaction " + std::to_string(p.app->bank.currentTransactionIndex()) +
             ", match \"" + teach.descriptionMatchText + "\", category \"" + teach.category +
             "\", confirmed \"" + confirm.confirmedDescription + "\" / \"" + confirm.confirmedMemo +
             "\", amount \"" + confirm.amount.text + "\"\n");
    } else if (command == "note") {  // note STEP: NAME...
      p.log += QStringLiteral("== %1: %2, focus %3\n")
                   .arg(line.section(QLatin1Char(':'), 0, 0).mid(5), p.dialog.windowTitle(),
                        focusedControl()) +
               focusedText();
      for (const QString& control :
           line.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        p.log += stateOf(&p.dialog, {control.toLatin1().constData()});
    } else if (command == "end") {  // the run's end: what it wrote, stored and asked
      p.log += QStringLiteral("== end: %1 transactions, window %2, %3 alerts, %4 cancel asks\n")
                   .arg(p.endCount)
                   .arg(p.dialog.isVisible() ? "shown" : "gone")
                   .arg(p.platform.alerts.size())
                   .arg(p.platform.cancelConfirms) +
               qs(p.output) + qs(toJSON(p.store.prefs.objectForKey("Instructions"))) +
               QLatin1Char('\n');
    } else {
      QFAIL(qPrintable("unknown step: " + line));
    }
  }
}

using Answer = std::function<void(InvestmentConfirmWindow*, const QStringList& titles)>;

// Processes `input` and answers each view the investment window shows with `answer`, which is
// given the titles met so far (the view's own last), for at most `views` views; the titles met,
// ending in "(still open)" when the window did not go away.
QStringList answerViews(TestDesktop& desktop, const std::string& input, int views,
                        const Answer& answer) {
  if (!desktop.run(input)) return {QStringLiteral("(not opened)")};
  InvestmentConfirmWindow* window = desktop.desktop->investmentWindow();
  QStringList titles;
  for (int view = 0; view < views; ++view) {
    if (!QTest::qWaitFor([&] { return window->isVisible(); }, 2000)) break;
    titles << window->windowTitle();
    answer(window, titles);
  }
  if (!QTest::qWaitFor([&] { return !window->isVisible(); }, 5000)) titles << "(still open)";
  return titles;
}

// Compares what the run wrote, whole, with the golden file tests/data/ui/investment/NAME.qif.
void compareOutput(const TestDesktop& desktop, const char* name) {
  const QString output = QString::fromUtf8(desktop.output());
  QCOMPARE(output, golden(QStringLiteral("investment/%1.qif").arg(QLatin1String(name)), output));
}

// Presses Tab in `window` until the button `name` has the focus, then Space on it.
void tabToAndSpace(InvestmentConfirmWindow* window, const char* name) {
  auto* button = window->findChild<QPushButton*>(QLatin1String(name));
  for (int tab = 0; tab < 30 && window->focusWidget() != button; ++tab)
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
  QCOMPARE(window->focusWidget(), button);
  QTest::keyClick(button, Qt::Key_Space);
}

}  // namespace

// The dialog window draws the processor's forms and hands what the person does back to it.
// Each scenario is a file tests/data/ui/transaction-dialog/NAME.script, played through the
// window's controls alone; what the window showed at each noted step, and what the run wrote
// and stored, must equal NAME.transcript (CORVELA_UPDATE_GOLDEN=1 rewrites it, to be read over).
// The desktop program also converts brokerage downloads through the investment confirmation
// window, driven by the keyboard alone.
class TransactionDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void scenarios_data() {
    QTest::addColumn<QString>("name");
    const QDir folder(QStringLiteral(CORVELA_TEST_DATA "/ui/transaction-dialog"));
    for (const QString& file : folder.entryList({QStringLiteral("*.script")}))
      QTest::newRow(qPrintable(file)) << file.chopped(7);
  }
  void scenarios() {
    QFETCH(QString, name);
    const QString path = QStringLiteral(CORVELA_TEST_DATA "/ui/transaction-dialog/") + name;
    QFile script(path + QStringLiteral(".script"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    QString log;
    {
      Program program;
      play(program, QString::fromUtf8(script.readAll()));
      log = program.log;
    }
    QCOMPARE(log, golden(QStringLiteral("transaction-dialog/%1.transcript").arg(name), log));
  }

  // The amount fields show the amount in the number format of the store's precision: each line
  // of tests/data/ui/amount-formats.txt is amount, pattern, decimal separator and what shows,
  // separated by tabs.
  void amountFormats() {
    QFile cases(QStringLiteral(CORVELA_TEST_DATA "/ui/amount-formats.txt"));
    QVERIFY(cases.open(QIODevice::ReadOnly));
    int checked = 0;
    for (const QString& line : QString::fromUtf8(cases.readAll()).split(QLatin1Char('\n'))) {
      const QStringList c = line.split(QLatin1Char('\t'));
      if (line.startsWith(QLatin1Char('#')) || c.size() != 4) continue;
      QCOMPARE(qs(formattedAmount(utf8(c[0]), utf8(c[1]), utf8(c[2]))), c[3]);
      ++checked;
    }
    QVERIFY(checked > 0);
  }

  // A purchase and a dividend of one fund. The purchase's security is named by typing, its type
  // redefined from the confirmation (Tab to the button, Space, Return on the proposal); the
  // dividend must find the security learnt from the purchase.
  void keyboardDefinesTypeAndSecurityAndConvertsTheDownload() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
      store.setObject("Securities", Value::Array{Value{{"Name", "Apple"}, {"Symbol", "AAPL"}}});
    });
    auto answer = [](InvestmentConfirmWindow* window, const QStringList& titles) {
      const QString& title = titles.last();
      QVERIFY(window->focusWidget());
      if (title == qs(InvestmentQIF::kUnknownSecurityTitle)) {
        auto* field =
            window->findChild<CompletingComboBox*>(QStringLiteral("quickenSecurityField"));
        QCOMPARE(window->focusWidget(), field);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, QStringLiteral("Health Fund"));
      } else if (title == qs(InvestmentQIF::kConfirmTitle) && titles.size() == 2) {
        tabToAndSpace(window, "redefineTypeButton");
        return;
      } else if (title == qs(InvestmentQIF::kUnknownTypeTitle)) {
        auto* choice = window->findChild<QComboBox*>(QStringLiteral("quickenTypeChoice"));
        QCOMPARE(window->focusWidget(), choice);
        QVERIFY(choice->currentIndex() > 0);  // the tag's proposal
      }
      QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    };
    const QStringList titles =
        answerViews(desktop, CORVELA_CORPUS "/ledger-autosync/cusip.ofx", 8, answer);
    const QStringList expected{qs(InvestmentQIF::kUnknownSecurityTitle),
                               qs(InvestmentQIF::kConfirmTitle),
                               qs(InvestmentQIF::kUnknownTypeTitle),
                               qs(InvestmentQIF::kConfirmTitle), qs(InvestmentQIF::kConfirmTitle)};
    QCOMPARE(titles, expected);
    compareOutput(desktop, "cusip-named-by-keyboard");
  }

  // Return takes the proposed security name; a bank line inside the download, which cannot be
  // written without the Quicken 2003 option, is skipped from now on (Tab to Always Skip, Space,
  // Return on the proposed word). The purchase before it is kept and the run reaches its end.
  void returnTakesProposalsAndAlwaysSkipIsReachedByTab() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Securities", Value::Array{Value{{"Name", "Apple"}, {"Symbol", "AAPL"}}});
    });
    auto answer = [](InvestmentConfirmWindow* window, const QStringList& titles) {
      QVERIFY(window->focusWidget());
      if (titles.last() == qs(InvestmentQIF::kUnknownTypeTitle))
        tabToAndSpace(window, "alwaysSkipButton");
      else
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    };
    const QStringList titles =
        answerViews(desktop, CORVELA_CORPUS "/ofxtools/invstmtrs.ofx", 6, answer);
    const QStringList expected{qs(InvestmentQIF::kUnknownSecurityTitle),
                               qs(InvestmentQIF::kUnknownTypeTitle),
                               qs(InvestmentQIF::kAlwaysSkipTitle)};
    QCOMPARE(titles, expected);
    compareOutput(desktop, "bank-line-always-skipped");
  }

  // A text statement whose lines cannot be written: a purchase without its shares and a line
  // with neither amount nor shares. Each shows its explanation with Skip Transaction focused;
  // Return skips it, and the complete purchase after them is still written.
  void linesThatCannotBeWrittenAreExplainedAndSkipped() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Securities", Value::Array{Value{{"Name", "Acme Corp"}}});
      store.setObject("Formats", Value::Array{corvela::testing::brokerFormatBuying()});
    });
    const std::string input = CORVELA_TEST_DATA "/ui/investment/broker.csv";
    const QStringList titles =
        answerViews(desktop, input, 4, [](InvestmentConfirmWindow* window, const QStringList&) {
          auto* skip = window->findChild<QPushButton*>(QStringLiteral("skipTransactionButton"));
          QCOMPARE(window->focusWidget(), skip);
          QTest::keyClick(skip, Qt::Key_Return);
        });
    const QStringList expected{QStringLiteral("Investment Transaction: Missing SHARES Field"),
                               qs(InvestmentQIF::kNoAmountOrSharesTitle)};
    QCOMPARE(titles, expected);
    compareOutput(desktop, "lines-that-cannot-be-written-skipped");
  }

  // A bank line of a brokerage download goes to the bank dialog's new-instruction view, and
  // the investment window steps aside for it; skipping it there ends the run with the purchase.
  void aCashLineHandsOverToTheBankDialog() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences", Value::Array{"converted2.2", "quicken2003"});
      store.setObject("Securities", Value::Array{Value{{"Name", "Apple"}, {"Symbol", "AAPL"}}});
    });
    QVERIFY(desktop.run(CORVELA_CORPUS "/ofxtools/invstmtrs.ofx"));
    InvestmentConfirmWindow* window = desktop.desktop->investmentWindow();
    TransactionDialog* bank = desktop.desktop->transactionDialog();
    for (int step = 0; step < 4 && !bank->isVisible(); ++step) {
      if (!QTest::qWaitFor([&] { return window->isVisible() || bank->isVisible(); }, 2000)) break;
      if (window->isVisible()) QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    }
    QTRY_VERIFY(bank->newInstructionPane()->isVisible());
    QVERIFY(!window->isVisible());
    bank->findChild<QPushButton*>(QStringLiteral("skipTransactionButton"))->click();
    QTRY_VERIFY(!bank->isVisible() && !window->isVisible());
    compareOutput(desktop, "cash-line-handed-over");
  }

  // Every transaction of a download is confirmed with the option for downloads. On the
  // purchase: the edit sheet's Revert and Cancel keep the statement's values and its OK takes
  // the typed memo; Redefine Type, Always Skip left again, and Use Type Once, which waits for
  // an assumed security once its switch is on. On the bank line: splits are added, the second
  // one's amount typed, and the first split keeps the rest, which is what is written.
  void editSheetTypePageAndSplitsReachTheOutput() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences",
                      Value::Array{"converted2.2", "confirmAllTransactions", "quicken2003"});
      store.setObject("Securities", Value::Array{Value{{"Name", "Apple"}, {"Symbol", "AAPL"}}});
      store.setObject("Instructions", Value::Array{Value{{"descriptionMatch", "Bank Deposit"},
                                                         {"category", "Income"}}});
    });
    QVERIFY(desktop.run(CORVELA_CORPUS "/ofxtools/invstmtrs.ofx"));
    InvestmentConfirmWindow* window = desktop.desktop->investmentWindow();
    InvestmentEditSheet* sheet = window->editSheet();
    auto* memo = sheet->findChild<QLineEdit*>(QStringLiteral("editMemo"));
    auto* splitsButton = window->findChild<QPushButton*>(QStringLiteral("addRemoveSplitsButton"));
    auto* popUp = window->findChild<QPushButton*>(QStringLiteral("instructionPopUp"));
    auto* useType = window->findChild<QPushButton*>(QStringLiteral("useTypeButton"));
    auto* choice = window->findChild<QComboBox*>(QStringLiteral("quickenTypeChoice"));
    auto press = [](QWidget* parent, const char* name) {
      parent->findChild<QPushButton*>(QLatin1String(name))->click();
    };
    constexpr int kShrsIn = 14 + 3;
    int confirmed = 0;
    for (int step = 0; step < 8; ++step) {
      if (!QTest::qWaitFor([&] { return window->isVisible(); }, 2000)) break;
      if (window->windowTitle() != qs(InvestmentQIF::kConfirmTitle)) {
        press(window, "okButton");
        continue;
      }
      if (++confirmed == 1) {
        press(window, "editInputButton");
        QTRY_VERIFY(sheet->isVisible());
        const QString read = memo->text();
        memo->setText(QStringLiteral("Typed"));
        press(sheet, "editRevertButton");
        QCOMPARE(memo->text(), read);
        press(sheet, "editCancelButton");
        QTRY_VERIFY(!sheet->isVisible());
        press(window, "editInputButton");
        memo->setText(QStringLiteral("Edited"));
        press(sheet, "editOKButton");
        QTRY_VERIFY(!sheet->isVisible());
        QVERIFY(!splitsButton->isVisible());  // an investment action has no splits
        press(window, "redefineTypeButton");
        press(window, "alwaysSkipButton");
        QCOMPARE(window->windowTitle(), qs(InvestmentQIF::kAlwaysSkipTitle));
        press(window, "dontAlwaysSkipButton");
        QCOMPARE(window->windowTitle(), qs(InvestmentQIF::kUnknownTypeTitle));
        window->findChild<QCheckBox*>(QStringLiteral("assumeSecuritySwitch"))->click();
        choice->setCurrentIndex(kShrsIn);
        emit choice->activated(kShrsIn);
        QVERIFY(!useType->isEnabled());  // the switch is on, and no security typed yet
        QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("assumedSecurityField")),
                         QStringLiteral("Other Fund"));
        QVERIFY(useType->isEnabled());
        useType->click();
      } else {
        QVERIFY(popUp->isVisible());
        emit popUp->menu()->aboutToShow();
        for (QAction* item : popUp->menu()->actions()) QVERIFY(item->isEnabled());
        QCOMPARE(splitsButton->text(), QStringLiteral("Add Splits"));
        splitsButton->click();
        QCOMPARE(splitsButton->text(), QStringLiteral("Remove Splits"));
        QAbstractItemModel* model =
            window->findChild<QTableView*>(QStringLiteral("splitsTable"))->model();
        QCOMPARE(model->rowCount(), 2);
        model->setData(model->index(1, 0), QStringLiteral("Fees"));
        model->setData(model->index(1, 2), QStringLiteral("300"));
        QCOMPARE(model->data(model->index(0, 2)).toString(), QStringLiteral("700.00"));
      }
      QCOMPARE(window->windowTitle(), qs(InvestmentQIF::kConfirmTitle));
      press(window, "okButton");
    }
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(confirmed, 2);
    // The security stays the one the person's mapping gave the download's name.
    compareOutput(desktop, "edited-retyped-and-split");
  }
};

int runTransactionDialogTest(const QStringList& arguments) {
  return runTestClass<TransactionDialogTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "TransactionDialogTest.moc"
