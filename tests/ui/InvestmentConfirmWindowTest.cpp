// The desktop program converts a brokerage download through the investment confirmation
// window, driven by the keyboard alone.
#include "investment/InvestmentQIF.h"
#include "support/BrokerFormat.h"
#include "ui/InvestmentConfirmWindow.h"
#include "ui/InvestmentEditSheet.h"
#include "ui/NewInstructionPane.h"
#include "ui/TestDesktop.h"

namespace corvela::ui::testing {
namespace {

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

class InvestmentConfirmWindowTest : public QObject {
  Q_OBJECT

 private slots:
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

int runInvestmentConfirmWindowTest(const QStringList& arguments) {
  return runTestClass<InvestmentConfirmWindowTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "InvestmentConfirmWindowTest.moc"
