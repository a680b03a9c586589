// Takes the documentation's pictures of the list and format editors:
//   corvela_editor_screenshots OUTPUT_FOLDER
// accounts-editor.png, categories-editor.png, descriptions-editor.png, securities-editor.png,
// input-formats-editor.png and output-formats-editor.png, each window as the Edit menu opens it
// over a store with a few entries. Works on any platform plugin (QWidget::grab), offscreen too.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include "prefs/CVPrefs.h"
#include "ui/DesktopApp.h"
#include "ui/MainWindow.h"
#include "ui/TableEditorWindow.h"

namespace {

using corvela::Value;
using Editor = corvela::ui::MainWindow::Editor;

Value named(const char* name, const char* key, const char* value) {
  return Value{{"Name", name}, {key, value}};
}

void fill(corvela::CVPrefs& store) {
  store.setObject("Preferences", Value::Array{Value("converted2.2")});
  store.setObject("CheckForUpdates", false);
  store.setObject(
      "Accounts",
      Value::Array{named("Checking", "Type", "Bank"), named("Visa", "Type", "CCard"),
                   named("Brokerage", "Type", "Port"), named("House", "Type", "Oth A")});
  store.setObject("Categories",
                  Value::Array{"Auto", "Auto:Fuel", "Dining", "Groceries", "Salary", "Utilities",
                               "[Checking]", "[Visa]", "[Brokerage]", "[House]"});
  store.setObject("Descriptions", Value::Array{"Acme Hardware", "City Power", "Corner Coffee",
                                               "Green Grocer", "Payroll"});
  store.setObject("Securities", Value::Array{named("Acme Corp", "Symbol", "ACM"),
                                             named("Total Market Index", "Symbol", "TMI")});
  store.setObject(
      "Formats",
      Value::Array{
          Value{{"Name", "Broker text"},
                {"Match", "Account Activity"},
                {"dontWarn", true},
                {"TypeMappings", Value::Array{Value{{"formatType", "BUY"}, {"quickenType", 2}}}}},
          Value{{"Name", "Card CSV"}, {"Match", "Transaction Date,Posted Date"}}});
  Value budget = Value{{"Name", "Budget sheet"}, {"Type", "Bank"}};
  store.setObject("OutputFormats",
                  Value::Array{budget, Value{{"Name", "Card export"}, {"Type", "Credit Card"}},
                               Value{{"Name", "QIF"}}});
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDir out(QApplication::arguments().value(1, QStringLiteral(".")));
  if (!out.exists() && !QDir().mkpath(out.path())) return 2;
  QTemporaryDir folder;
  std::string storePath = folder.filePath(QStringLiteral("store.prefs")).toStdString();
  {
    corvela::CVPrefs store(storePath);
    fill(store);
    store.synchronize();
  }
  corvela::ui::DesktopApp desktop(storePath);
  desktop.start();
  const std::pair<Editor, const char*> shots[] = {
      {Editor::Accounts, "accounts-editor.png"},
      {Editor::Categories, "categories-editor.png"},
      {Editor::Descriptions, "descriptions-editor.png"},
      {Editor::Securities, "securities-editor.png"},
      {Editor::InputFormats, "input-formats-editor.png"},
      {Editor::OutputFormats, "output-formats-editor.png"}};
  int failures = 0;
  for (const auto& [editor, file] : shots) {
    QString path = out.filePath(QLatin1String(file));
    QTimer::singleShot(200, [&failures, path] {
      auto* window =
          qobject_cast<corvela::ui::TableEditorWindow*>(QApplication::activeModalWidget());
      if (!window) {
        ++failures;
        return;
      }
      window->table()->selectRow(0);
      QTest::qWait(100);
      bool saved = window->grab().save(path, "PNG");
      QTextStream(saved ? stdout : stderr) << (saved ? "" : "could not take ") << path << "\n";
      if (!saved) ++failures;
      window->reject();
    });
    desktop.mainWindow()->editorAction(editor)->trigger();
  }
  return failures;
}
