#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/InputFormatChoice.h"
#include "ui/CompletingComboBox.h"
#include "ui/QtText.h"
#include "ui/TestDesktop.h"
#include "ui/UiTests.h"
#include "ui/WizardPane.h"

namespace corvela::ui::testing {
namespace {

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

// The learning wizard in the desktop program: a statement opened, a new format's name typed in
// the main window, and the wizard's pages answered with the mouse.
class WizardWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void learnsACardStatementByClickingItsColumns();
  void switchesSeparatorsAndReturnReachTheWizard();
};

void WizardWindowTest::learnsACardStatementByClickingItsColumns() {
  TestDesktop desktop;
  QVERIFY(desktop.desktop->openFile(CORVELA_CORPUS "/csv2ofx/capitalone.csv"));
  auto* formatField = desktop.control<CompletingComboBox>("inputFormatText");
  QVERIFY(formatField);
  formatField->lineEdit()->setFocus();
  QTest::keyClicks(formatField->lineEdit(), QStringLiteral("Card CSV"));
  QTest::keyClick(formatField->lineEdit(), Qt::Key_Return);

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
  QCOMPARE((*stored)["FormatType"].toString(), std::string("Credit Card"));
  QCOMPARE((*stored)["Fields"].toString(), std::string("CSV"));
  for (auto [key, column] :
       {std::pair{"Description", 3}, {"Category", 4}, {"Debit", 5}, {"Credit", 6}}) {
    QCOMPARE((*stored)[key].toInt(), column);
  }
  // The format learnt is offered for export.
  QMenu* exportMenu = desktop.window().exportInputFormatMenu();
  emit exportMenu->aboutToShow();
  QCOMPARE(exportMenu->actions().size(), 1);
  QCOMPARE(exportMenu->actions().at(0)->text(), QStringLiteral("Card CSV"));
}

// The first page's switches and the column page's choices go to the wizard, which draws them
// again; Return in the date text confirms the first page.
void WizardWindowTest::switchesSeparatorsAndReturnReachTheWizard() {
  TestDesktop desktop;
  QVERIFY(desktop.desktop->openFile(CORVELA_CORPUS "/csv2ofx/capitalone.csv"));
  auto* formatField = desktop.control<CompletingComboBox>("inputFormatText");
  formatField->lineEdit()->setFocus();
  QTest::keyClicks(formatField->lineEdit(), QStringLiteral("Card CSV"));
  QTest::keyClick(formatField->lineEdit(), Qt::Key_Return);
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

int runWizardWindowTest(const QStringList& arguments) {
  WizardWindowTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "WizardWindowTest.moc"
