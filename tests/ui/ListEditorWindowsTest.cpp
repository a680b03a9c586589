// The list and format editor windows, opened from the Edit menu and worked with the keyboard
// alone: Insert adds and Return commits, Page Up selects the first row, Delete deletes, Return
// edits in place, Tab reaches OK, Escape closes. What a person typed or chose in a cell and never
// committed still counts when they press OK. The output format definition dialog is used with
// the keyboard alone and by dragging headings; the window that names an imported input format
// follows the typing.

#include "formats/OutputFormats.h"
#include "inputformats/Formats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/Preferences.h"
#include "ui/FormatRenameWindow.h"
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
};

}  // namespace

int runListEditorWindowsTest(const QStringList& arguments) {
  return runTestClass<ListEditorWindowsTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "ListEditorWindowsTest.moc"
