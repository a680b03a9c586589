// Takes the documentation's picture of the output format definition dialog:
//   corvela_output_format_screenshots OUTPUT_FOLDER
// output-format-editor.png: a comma-separated card layout with credit and debit columns, a blank
// column placed after the date and the memo left out. Works on any platform plugin
// (QWidget::grab), offscreen included.
#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "formats/OutputFormats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "ui/OutputFormatDefinitionWindow.h"
#include "ui/QtPlatform.h"

namespace {

// Shows the window as the person left it and saves its picture instead of waiting for them.
struct Photographer : corvela::OutputFormatDefinitionView {
  bool runDefinitionDialog(corvela::OutputFormatDefinitionDialog& presenter) override {
    corvela::ui::OutputFormatDefinitionWindow window(presenter);
    window.show();
    QTest::qWait(100);
    window.columnTable()->setCurrentIndex(window.columnTable()->model()->index(0, 1));
    window.columnTable()->setFocus();
    QTest::qWait(100);
    saved = window.grab().save(path, "PNG");
    QTextStream(saved ? stdout : stderr) << (saved ? "" : "could not take ") << path << "\n";
    return false;
  }
  QString path;
  bool saved = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDir out(QApplication::arguments().value(1, QStringLiteral(".")));
  if (!out.exists() && !QDir().mkpath(out.path())) return 2;
  QTemporaryDir folder;
  corvela::CVPrefs store(folder.filePath(QStringLiteral("store.prefs")).toStdString());
  store.setWritesDeferred(true);
  corvela::Preferences options(store);
  corvela::ui::QtPlatform platform{corvela::ui::HelpBook(QString())};
  corvela::Categories categories(store, platform);
  corvela::OutputFormats formats(store, options, categories, corvela::Bundle::builtIn());
  formats.createIfAbsent();
  corvela::Value card = corvela::newOutputFormat("Visa for the spreadsheet");
  card.set("Type", "Credit Card");
  card.set("Amount", "Credit and Debit");
  card.set("Order", corvela::Value::Array{"Date", "blank1", "Description", "Category", "Credit",
                                          "Debit", "Memo", "Number"});
  card.set("Present", corvela::Value::Array{true, true, true, true, true, true, false, false});
  card.set("ReformatDate", true);
  card.set("ReformatDateFormat", "%Y-%m-%d");
  const int index = formats.addFormat(card);

  Photographer photographer;
  photographer.path = out.filePath(QStringLiteral("output-format-editor.png"));
  corvela::OutputFormatDefinitionDialog dialog(formats, options, photographer);
  dialog.editFormatAtIndex(index, "", false);
  return photographer.saved ? 0 : 1;
}
