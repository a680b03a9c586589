// The instruction editor's windows, used with the keyboard alone and with the mouse, and reached
// from the confirmation dialog's instruction pop-up.

#include "instructions/Instructions.h"
#include "prefs/ValueText.h"
#include "ui/InstructionEditWindow.h"
#include "ui/InstructionListWindow.h"
#include "ui/InstructionSplitTable.h"
#include "ui/TestDesktop.h"

namespace corvela::ui::testing {
namespace {

// Whether the keyboard focus comes into `window` (it follows activation a little later).
bool focusIn(QWidget* window) {
  for (int i = 0; i < 100; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == window) return true;
    QTest::qWait(10);
  }
  return false;
}

std::string storedCategory(TestDesktop& desktop, const char* match) {
  std::optional<Value> record = desktop.desktop->app().instructions.instructionFor(match);
  return record ? str(*record, "category") : std::string("(none)");
}

// Compares the instruction stored for `match`, whole, with the golden file
// tests/data/ui/instruction-editor/NAME.json.
void compareStored(TestDesktop& desktop, const char* match, const char* name) {
  std::optional<Value> record = desktop.desktop->app().instructions.instructionFor(match);
  const QString stored = record ? qs(toJSON(*record)) : QStringLiteral("(none)");
  const QString file = QStringLiteral("instruction-editor/%1.json").arg(QLatin1String(name));
  QCOMPARE(stored, golden(file, stored));
}

class InstructionEditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void keyboardAloneOpensEditsAddsAndDeletes() {
    TestDesktop desktop;
    InstructionListWindow* list = desktop.desktop->instructionListWindow();
    InstructionEditWindow* edit = desktop.desktop->instructionEditWindow();
    desktop.window().instructionsAction()->trigger();
    QVERIFY(list->isVisible());
    QVERIFY(focusIn(list));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list->table()));

    // Typing filters; Return edits the selected instruction.
    QTest::keyClicks(list->table(), QStringLiteral("gro"));
    QCOMPARE(list->filterField()->text(), QStringLiteral("gro"));
    QCOMPARE(list->table()->model()->rowCount(), 1);
    press(Qt::Key_Return);
    QVERIFY(edit->isVisible());
    QVERIFY(focusIn(edit));
    QCOMPARE(edit->windowTitle(), QStringLiteral("GROCER"));
    QVERIFY(tabTo(edit->categoryField()));
    edit->categoryField()->selectAll();
    QTest::keyClicks(edit->categoryField(), QStringLiteral("Groceries"));
    press(Qt::Key_Return);
    QVERIFY(!edit->isVisible());
    QCOMPARE(storedCategory(desktop, "GROCER"), std::string("Groceries"));

    // Escape cancels an edit; nothing is stored.
    QVERIFY(focusIn(list));
    press(Qt::Key_Return);
    QVERIFY(focusIn(edit));
    QVERIFY(tabTo(edit->categoryField()));
    QTest::keyClicks(edit->categoryField(), QStringLiteral("X"));
    press(Qt::Key_Escape);
    QVERIFY(!edit->isVisible());
    QCOMPARE(storedCategory(desktop, "GROCER"), std::string("Groceries"));

    // Adding splits from the keyboard: the button, then the new row's category cell.
    QVERIFY(focusIn(list));
    press(Qt::Key_Return);
    QVERIFY(focusIn(edit));
    QVERIFY(tabTo(edit->addRemoveSplitsButton()));
    press(Qt::Key_Space);
    QCOMPARE(edit->splitTable()->table()->model()->rowCount(), 2);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Dining"));
    press(Qt::Key_Return);  // ends the cell (the table commits it on its next turn)
    QTRY_COMPARE(edit->splitTable()->table()->model()->index(1, 0).data().toString(),
                 QStringLiteral("Dining"));
    press(Qt::Key_Return);  // saves
    QVERIFY(!edit->isVisible());
    compareStored(desktop, "GROCER", "splits-added-by-keyboard");

    // Delete takes the selected instruction out at once; Escape closes the list.
    QVERIFY(focusIn(list));
    press(Qt::Key_Delete);
    QCOMPARE(storedCategory(desktop, "GROCER"), std::string("(none)"));
    QCOMPARE(desktop.desktop->app().instructions.numberOfInstructions(), std::size_t{2});
    press(Qt::Key_Escape);
    QVERIFY(!list->isVisible());
  }

  void theConfirmationPopUpEditsTheInstructionThatApplied() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
    });
    QVERIFY(
        desktop.run(desktop.write("one.qif", "!Type:Bank\nD03/01/2024\nT-4.50\nPCOFFEE HUT\n^\n")));
    TransactionDialog* dialog = desktop.desktop->transactionDialog();
    QTRY_VERIFY(dialog->isVisible());
    auto* popUp = dialog->findChild<QComboBox*>(QStringLiteral("confirmInstructionPopUp"));
    QVERIFY(popUp);
    const int item = popUp->findText(QStringLiteral("Edit This Instruction..."));
    QVERIFY(item > 0);
    InstructionEditWindow* edit = desktop.desktop->instructionEditWindow();

    // Cancel shows the transaction again; Save handles it again under the edit.
    for (bool save : {false, true}) {
      popUp->setCurrentIndex(item);
      emit popUp->activated(item);
      QVERIFY(edit->isVisible());
      QTest::keyClicks(edit->matchField(), QStringLiteral("X"));  // not a start of the description
      QCOMPARE(edit->matchField()->text(), QStringLiteral("COFFEE"));
      edit->categoryField()->setText(QString());
      QTest::keyClicks(edit->categoryField(), QStringLiteral("Cafes"));
      QTest::keyClick(edit, save ? Qt::Key_Return : Qt::Key_Escape);
      QVERIFY(!edit->isVisible());
      QVERIFY(dialog->isVisible());
      QCOMPARE(storedCategory(desktop, "COFFEE"), std::string(save ? "Cafes" : "Dining"));
    }
    dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"))->click();
    QTRY_VERIFY(!dialog->isVisible());
    QVERIFY(desktop.output().contains("LCafes"));
  }

  // A mouse session: the list filtered and picked from, the second amount chosen, splits
  // added, one more added and deleted again, a category typed and Save clicked at once: what
  // the still open cell holds counts.
  void instructionEditorSaveTakesTheOpenCell() {
    // COFFEE, and MARKET with two amounts: -30.00 "Big shop" and -5.00 "Snack".
    TestDesktop test([](CVPrefs& store) {
      QFile instructions(QStringLiteral(CORVELA_TEST_DATA "/ui/instruction-editor/market.json"));
      QVERIFY(instructions.open(QIODevice::ReadOnly));
      store.setObject("Instructions", fromJSON(instructions.readAll().toStdString()).value());
    });
    InstructionListWindow* list = test.desktop->instructionListWindow();
    InstructionEditWindow* edit = test.desktop->instructionEditWindow();
    test.window().instructionsAction()->trigger();
    QVERIFY(list->isVisible());
    QTest::keyClicks(list->filterField(), QStringLiteral("mx"));
    QCOMPARE(list->table()->model()->rowCount(), 0);
    QTest::keyClick(list->table(), Qt::Key_Backspace);
    QCOMPARE(list->table()->model()->rowCount(), 1);
    list->table()->setCurrentIndex(list->table()->model()->index(0, 0));
    QTest::mouseClick(list->editButton(), Qt::LeftButton);
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->tabs()->count(), 2);
    edit->tabs()->setCurrentIndex(1);

    auto* amount = edit->findChild<QComboBox*>(QStringLiteral("amountField"));
    QVERIFY(amount && amount->isEnabled());
    amount->setCurrentIndex(1);
    emit amount->activated(1);
    QCOMPARE(edit->findChild<QLineEdit*>(QStringLiteral("amountDescriptionField"))->text(),
             QStringLiteral("Snack"));
    QTest::mouseClick(edit->addRemoveSplitsButton(), Qt::LeftButton);
    InstructionSplitTable* splits = edit->amountSplitTable();
    QTest::mouseClick(splits->addButton(), Qt::LeftButton);
    QCOMPARE(splits->table()->model()->rowCount(), 3);
    splits->table()->selectionModel()->select(
        splits->table()->model()->index(2, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QVERIFY(splits->deleteButton()->isEnabled());
    QTest::mouseClick(splits->deleteButton(), Qt::LeftButton);
    QCOMPARE(splits->table()->model()->rowCount(), 2);

    const QModelIndex cell = splits->table()->model()->index(1, 0);
    splits->table()->setCurrentIndex(cell);
    splits->table()->edit(cell);
    auto* field = openEditor<QLineEdit>(splits->table());
    QVERIFY(field);
    QTest::keyClicks(field, QStringLiteral("Food"));
    QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
    QVERIFY(!edit->isVisible());

    compareStored(test, "MARKET", "open-cell-saved");
    QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    QVERIFY(!list->isVisible());
  }
};

}  // namespace

int runInstructionEditorWindowTest(const QStringList& arguments) {
  return runTestClass<InstructionEditorWindowTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "InstructionEditorWindowTest.moc"
