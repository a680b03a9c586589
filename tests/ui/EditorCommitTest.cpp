// What a person typed or chose in a table cell, and never committed with Return, still counts
// when they press a button of the window: OK of a list editor, Save of the instruction editor.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "instructions/Instructions.h"
#include "ui/InstructionEditWindow.h"
#include "ui/InstructionListWindow.h"
#include "ui/InstructionSplitTable.h"
#include "ui/TableEditorWindow.h"
#include "ui/TestDesktop.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

// The cell editor open in `view` (a line edit or a pop-up), once it shows.
template <typename W>
W* openEditor(QAbstractItemView* view) {
  for (int i = 0; i < 50; ++i) {
    if (auto* editor = qobject_cast<W*>(view->indexWidget(view->currentIndex()))) return editor;
    QTest::qWait(10);
  }
  return nullptr;
}

class EditorCommitTest : public QObject {
  Q_OBJECT

 private slots:
  void listEditorOkTakesTheOpenCell_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("entry");  // typed into the name, or the type chosen
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::newRow("name typed") << 0 << "Savings"
                                << "Savings"
                                << "Bank";
    QTest::newRow("type chosen") << 1 << "Credit Card"
                                 << "Alpha"
                                 << "CCard";
  }
  void listEditorOkTakesTheOpenCell() {
    QFETCH(int, column);
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, type);
    TestDesktop test([](CVPrefs& store) {
      store.setObject("Accounts", Value::Array{Value{{"Name", "Alpha"}, {"Type", "Bank"}}});
    });
    whenModalShows<TableEditorWindow>([&](TableEditorWindow* window) {
      EditorTableView* table = window->table();
      const QModelIndex cell = table->model()->index(0, column);
      table->setCurrentIndex(cell);
      table->edit(cell);
      if (column == 0) {
        auto* field = openEditor<QLineEdit>(table);
        QVERIFY(field);
        field->selectAll();
        QTest::keyClicks(field, entry);
      } else {
        auto* popUp = openEditor<QComboBox>(table);
        QVERIFY(popUp);
        QCOMPARE(popUp->currentText(), QStringLiteral("Bank"));
        popUp->setCurrentIndex(popUp->findText(entry));
      }
      QTest::mouseClick(window->okButton(), Qt::LeftButton);
    });
    test.desktop->mainWindow()->editorAction(MainWindow::Editor::Accounts)->trigger();
    const Value accounts = test.desktop->store().objectForKey("Accounts");
    QCOMPARE(accounts.size(), std::size_t{1});
    QCOMPARE(qs(str(accounts[0], "Name")), name);
    QCOMPARE(qs(str(accounts[0], "Type")), type);
  }

  // A mouse session: the list filtered and picked from, the second amount chosen, splits
  // added, one more added and deleted again, a category typed and Save clicked at once.
  void instructionEditorSaveTakesTheOpenCell() {
    TestDesktop test([](CVPrefs& store) {
      store.setObject(
          "Instructions",
          Value::Array{Value{{"descriptionMatch", "COFFEE"}, {"category", "Dining"}},
                       Value{{"descriptionMatch", "MARKET"},
                             {"category", "Food"},
                             {"amounts", Value::Array{Value{{"amount", "-30.00"},
                                                            {"amountDescription", "Big shop"},
                                                            {"amountCategory", "Food"}},
                                                      Value{{"amount", "-5.00"},
                                                            {"amountDescription", "Snack"},
                                                            {"amountCategory", "Dining"}}}}}});
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

    std::optional<Value> market = test.desktop->app().instructions.instructionFor("MARKET");
    QVERIFY(market);
    const Value& snack = (*market)["amounts"][1];
    QCOMPARE(qs(str(snack, "amount")), QStringLiteral("-5.00"));
    QCOMPARE(snack["splits"].size(), std::size_t{2});
    QCOMPARE(qs(str(snack["splits"][0], "category")), QStringLiteral("Dining"));
    QCOMPARE(qs(str(snack["splits"][1], "category")), QStringLiteral("Food"));
    QCOMPARE(qs(str((*market)["amounts"][0], "amountDescription")), QStringLiteral("Big shop"));
    QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    QVERIFY(!list->isVisible());
  }
};

}  // namespace

int runEditorCommitTest(const QStringList& arguments) {
  EditorCommitTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "EditorCommitTest.moc"
