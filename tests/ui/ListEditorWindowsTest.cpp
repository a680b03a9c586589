// The list and format editor windows, opened from the Edit menu and worked with the keyboard
// alone: Insert adds and Return commits, Page Up selects the first row, Delete deletes, Return
// edits in place, Tab reaches OK, Escape closes.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "ui/OutputFormatDefinitionWindow.h"
#include "ui/TableEditorWindow.h"
#include "ui/TestDesktop.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

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
};

}  // namespace

int runListEditorWindowsTest(const QStringList& arguments) {
  ListEditorWindowsTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "ListEditorWindowsTest.moc"
