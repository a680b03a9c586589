// The list and format editor windows, opened from the Edit menu and worked with the keyboard
// alone: Insert adds and Return commits, Page Up selects the first row, Delete deletes, Return
// edits in place, Tab reaches OK, Escape closes. What a person typed or chose in a cell and never
// committed still counts when they press OK. The output format definition dialog is used with
// the keyboard alone and by dragging headings; the window that names an imported input format
// follows the typing. The instruction editor's windows are used with the keyboard alone and
// with the mouse, and reached from the confirmation dialog's instruction pop-up.

#include "formats/OutputFormats.h"
#include "inputformats/Formats.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "ui/FormatRenameWindow.h"
#include "ui/InstructionEditWindow.h"
#include "ui/InstructionListWindow.h"
#include "ui/InstructionSplitTable.h"
#include "ui/OutputFormatDefinitionWindow.h"
#include "ui/QtPlatform.h"
#include "ui/TableEditorWindow.h"
#include "ui/TestDesktop.h"

namespace corvela::ui::testing {
namespace {

using Editor = MainWindow::Editor;

// Types `text` into the cell editor that has the focus and commits it with Return. The editor
// takes the focus through the event loop, later on a busy machine.
void typeIntoCell(const QString& text) {
  QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QLineEdit*>(QApplication::focusWidget()), 5000);
  QWidget* cell = QApplication::focusWidget();
  QTest::keyClicks(cell, text);
  QTest::keyClick(cell, Qt::Key_Return);
  QCoreApplication::processEvents();
}

// Moves the focus with Tab until it reaches `button`, then presses Return.
void tabToAndPress(QPushButton* button) {
  QVERIFY(tabTo(button));
  QTest::keyClick(button, Qt::Key_Return);
}

// Opens the editor of `item` and works its window with `work`; a window that a failed check
// left open is closed, so the test goes on.
void operate(QAction* item, const std::function<void(TableEditorWindow*)>& work) {
  whenModalShows<TableEditorWindow>([work](TableEditorWindow* window) {
    work(window);
    if (window->isVisible()) window->reject();
  });
  item->trigger();
}

// Runs the real window, shown and active, through `play`; the answer is the window's.
struct PlayedWindow : OutputFormatDefinitionView {
  bool runDefinitionDialog(OutputFormatDefinitionDialog& presenter) override {
    OutputFormatDefinitionWindow window(presenter);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    play(window);
    return window.result() == QDialog::Accepted && presenter.form().okEnabled;
  }
  std::function<void(OutputFormatDefinitionWindow&)> play;
};

// The stored layout: the columns in order, "-" marking those not written.
QString layout(const Value& record) {
  QStringList columns;
  for (std::size_t i = 0; i < record["Order"].size(); ++i)
    columns << (record["Present"][i].toBool() ? "" : "-") + qs(record["Order"][i].toString());
  return columns.join(' ');
}

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

class ListEditorWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void keyboardAloneAddsDeletesEditsAndCloses_data() {
    QTest::addColumn<int>("editor");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("ok");
    QTest::newRow("categories") << int(Editor::Categories) << "Categories" << false;
    QTest::newRow("descriptions") << int(Editor::Descriptions) << "Descriptions" << false;
    QTest::newRow("accounts") << int(Editor::Accounts) << "Accounts" << true;
    QTest::newRow("securities") << int(Editor::Securities) << "Securities" << false;
  }
  // Each list starts as "Alpha", "Beta"; the person adds Zed, deletes the first row and renames
  // the row then first (Beta) to Gamma.
  void keyboardAloneAddsDeletesEditsAndCloses() {
    QFETCH(int, editor);
    QFETCH(QString, key);
    QFETCH(bool, ok);
    const bool records = key == "Accounts" || key == "Securities";
    TestDesktop test([&](CVPrefs& store) {
      Value::Array list;
      for (const char* name : {"Alpha", "Beta"})
        list.push_back(records ? Value{{"Name", name}, {"Type", "Bank"}} : Value(name));
      store.setObject(key.toStdString(), Value(list));
      store.setObject("Categories", key == "Categories" ? Value(list) : Value::array());
    });
    QAction* item = test.desktop->mainWindow()->editorAction(static_cast<Editor>(editor));
    QVERIFY(item->isEnabled());
    bool menusWereOff = false;
    operate(item, [&](TableEditorWindow* window) {
      menusWereOff =
          !item->isEnabled() || !test.desktop->mainWindow()->preferencesAction()->isEnabled();
      EditorTableView* table = window->table();
      QTRY_COMPARE(QApplication::focusWidget(), table);
      QTest::keyClick(table, Qt::Key_Insert);
      typeIntoCell(QStringLiteral("Zed"));
      QTest::keyClick(table, Qt::Key_PageUp);
      QTest::keyClick(table, Qt::Key_Delete);
      QCoreApplication::processEvents();
      QTest::keyClick(table, Qt::Key_PageUp);
      QTest::keyClick(table, Qt::Key_Return);
      typeIntoCell(QStringLiteral("Gamma"));
      if (ok)
        tabToAndPress(window->okButton());
      else
        QTest::keyClick(table, Qt::Key_Escape);
    });
    QVERIFY(menusWereOff);
    QVERIFY(item->isEnabled());
    QStringList names;
    for (const Value& entry : test.desktop->store().objectForKey(key.toStdString()).toArray())
      names << qs(records ? str(entry, "Name") : entry.toString());
    QCOMPARE(names, (QStringList{"Gamma", "Zed"}));
  }

  // A name typed, or a type chosen, in a cell still open when OK is clicked is what is stored.
  void okTakesTheOpenCell() {
    struct Case {
      int column;
      QString entry;   // typed into the name, or the type chosen
      QString stored;  // the one account then stored: name/type
    };
    for (const Case& c :
         {Case{0, "Savings", "Savings/Bank"}, Case{1, "Credit Card", "Alpha/CCard"}}) {
      TestDesktop test([](CVPrefs& store) {
        store.setObject("Accounts", Value::Array{Value{{"Name", "Alpha"}, {"Type", "Bank"}}});
      });
      whenModalShows<TableEditorWindow>([&](TableEditorWindow* window) {
        EditorTableView* table = window->table();
        const QModelIndex cell = table->model()->index(0, c.column);
        table->setCurrentIndex(cell);
        table->edit(cell);
        if (c.column == 0) {
          auto* field = openEditor<QLineEdit>(table);
          QVERIFY(field);
          field->selectAll();
          QTest::keyClicks(field, c.entry);
        } else {
          auto* popUp = openEditor<QComboBox>(table);
          QVERIFY(popUp);
          QCOMPARE(popUp->currentText(), QStringLiteral("Bank"));
          popUp->setCurrentIndex(popUp->findText(c.entry));
        }
        QTest::mouseClick(window->okButton(), Qt::LeftButton);
      });
      test.desktop->mainWindow()->editorAction(Editor::Accounts)->trigger();
      const Value accounts = test.desktop->store().objectForKey("Accounts");
      QCOMPARE(accounts.size(), std::size_t{1});
      QCOMPARE(qs(str(accounts[0], "Name") + "/" + str(accounts[0], "Type")), c.stored);
    }
  }

  void categoryWindowShowsTheRefusalAndOutputFormatsOpenTheirDefinition() {
    TestDesktop test;
    MainWindow* main = test.desktop->mainWindow();
    QString refusal;
    operate(main->editorAction(Editor::Categories), [&](TableEditorWindow* window) {
      QTest::keyClick(window->table(), Qt::Key_Insert);
      typeIntoCell(QStringLiteral("[Savings]"));
      refusal = window->message()->text();
      QTest::keyClick(window->table(), Qt::Key_Escape);
    });
    QCOMPARE(refusal, QStringLiteral("Error: You cannot add categories starting with \"[\"."));
    QCOMPARE(test.desktop->store().objectForKey("Categories").size(), std::size_t{3});

    // Adding an output format opens its definition dialog on a format named "new"; cancelling
    // it stores nothing.
    QString proposed;
    const Value formatsBefore = test.desktop->store().objectForKey("OutputFormats");
    operate(main->editorAction(Editor::OutputFormats), [&](TableEditorWindow* window) {
      whenModalShows<OutputFormatDefinitionWindow>([&](OutputFormatDefinitionWindow* dialog) {
        proposed = dialog->nameField()->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
      });
      QTest::keyClick(window->table(), Qt::Key_Insert);
      QTest::keyClick(window->table(), Qt::Key_Escape);
    });
    QCOMPARE(proposed, QStringLiteral("new"));
    QVERIFY(test.desktop->store().objectForKey("OutputFormats") == formatsBefore);
  }

  void inputFormatWindowDuplicatesWithTheKeyboard() {
    TestDesktop test([](CVPrefs& store) {
      store.setObject("Formats", Value::Array{Value{{"Name", "Bank"}, {"Match", "Date"}}});
    });
    operate(test.desktop->mainWindow()->editorAction(Editor::InputFormats),
            [&](TableEditorWindow* window) {
              QPushButton* duplicate = window->button("duplicateSelectedTableEntry");
              QVERIFY(duplicate && !duplicate->isEnabled());
              QTest::keyClick(window->table(), Qt::Key_Space);
              QVERIFY(duplicate->isEnabled());
              tabToAndPress(duplicate);
              tabToAndPress(window->okButton());
            });
    QStringList names;
    for (const Value& format : test.desktop->store().objectForKey("Formats").toArray())
      names << qs(str(format, "Name"));
    QCOMPARE(names, (QStringList{"Bank", "Bank copy"}));
  }

  void outputFormatDefinedWithTheKeyboardAlone() {
    CVPrefs store("/nonexistent/corvela-output-format-test.prefs");
    store.setWritesDeferred(true);
    Preferences options(store);
    QtPlatform platform{HelpBook(QString())};
    Categories categories(store, platform);
    OutputFormats formats(store, options, categories, Bundle::builtIn());
    formats.createIfAbsent();
    formats.addFormat(newOutputFormat("Bank"));
    PlayedWindow view;
    OutputFormatDefinitionDialog presenter(formats, options, view);

    // Escape cancels: nothing is stored.
    view.play = [](OutputFormatDefinitionWindow&) { press(Qt::Key_Escape); };
    QCOMPARE(presenter.editFormatAtIndex(-1, "Bank", false), -1);
    QCOMPARE(formats.numberOfFormats(), 2);

    view.play = [](OutputFormatDefinitionWindow& window) {
      QCOMPARE(window.nameField()->text(), QStringLiteral("Bank2"));
      QCOMPARE(window.okButton()->text(), QStringLiteral("Define Format"));
      QTest::keyClicks(window.nameField(), "bank");  // replaces the selected name
      QVERIFY(window.errorText()->isVisible() && !window.okButton()->isEnabled());
      press(Qt::Key_Return);  // refused while the name is taken
      QVERIFY(window.isVisible());
      QTest::keyClicks(window.nameField(), " keys");
      QVERIFY(!window.errorText()->isVisible() && window.okButton()->isEnabled());
      QVERIFY(tabTo(window.columnTable()));
      window.columnTable()->setCurrentIndex(window.columnTable()->model()->index(0, 0));
      press(Qt::Key_Right, Qt::NoModifier, 4);      // Amount
      press(Qt::Key_Left, Qt::ControlModifier, 4);  // to the front
      press(Qt::Key_Right, Qt::NoModifier, 5);      // Memo
      press(Qt::Key_Delete);
      press(Qt::Key_Right);  // blank1
      press(Qt::Key_Space);
      // A dragged heading moves the column the same way; the table keeps the presenter's order.
      window.columnTable()->horizontalHeader()->moveSection(1, 3);
      QCOMPARE(window.columnTable()->horizontalHeader()->visualIndex(3), 3);
      QCOMPARE(window.columnTable()->model()->headerData(3, Qt::Horizontal).toString(),
               QStringLiteral("Date"));
      press(Qt::Key_Return);
    };
    QCOMPARE(presenter.editFormatAtIndex(-1, "Bank", false), 1);
    std::optional<Value> stored = formats.formatForName("bank keys");
    QVERIFY(stored.has_value());
    QCOMPARE(layout(*stored), QStringLiteral("Amount Number Description Date Category -Memo "
                                             "blank1 -blank2 -blank3 -Account -Splits"));
  }

  void okAndTheDuplicateWarningFollowTheTyping() {
    CVPrefs store("/nonexistent/corvela-rename-test.prefs");
    store.setWritesDeferred(true);
    Formats formats(store);
    formats.addFormat(Value{{"Name", "Knab"}});
    FormatRename presenter(formats, "Knab");
    FormatRenameWindow window(presenter);
    window.show();
    struct Step {
      QString typed;
      bool ok, duplicate;
    };
    const Step steps[] = {{QString(), false, false},
                          {QStringLiteral("kNAB"), true, true},
                          {QStringLiteral("Knab NL"), true, false}};
    QVERIFY(window.okButton()->isEnabled() && window.duplicateMessage()->isVisible());
    for (const Step& step : steps) {
      window.nameField()->selectAll();
      QTest::keyClick(window.nameField(), Qt::Key_Backspace);
      QTest::keyClicks(window.nameField(), step.typed);
      QCOMPARE(window.okButton()->isEnabled(), step.ok);
      QCOMPARE(window.duplicateMessage()->isVisible(), step.duplicate);
    }
    QCOMPARE(presenter.form().name, std::string("Knab NL"));
  }

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

int runListEditorWindowsTest(const QStringList& arguments) {
  return runTestClass<ListEditorWindowsTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "ListEditorWindowsTest.moc"
