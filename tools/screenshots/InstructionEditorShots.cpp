// Takes the documentation's pictures of the instruction editor:
//   corvela_instruction_screenshots OUTPUT_FOLDER
// instruction-editor-list.png: the list after a run of the bundled March statement, with the
// grocery instruction selected and the transactions it matched; instruction-editor-edit.png:
// its edit dialog on the amount tab. Works on any platform plugin (QWidget::grab).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "banking/BankingCreditCardQIF.h"
#include "prefs/CVPrefs.h"
#include "prefs/ValueText.h"
#include "ui/ControlView.h"
#include "ui/DesktopApp.h"
#include "ui/InstructionEditWindow.h"
#include "ui/InstructionListWindow.h"
#include "ui/MainWindow.h"
#include "ui/StatusView.h"

namespace {

bool save(QWidget& window, const QString& path) {
  QTest::qWait(100);
  bool saved = window.grab().save(path, "PNG");
  QTextStream(saved ? stdout : stderr) << (saved ? "" : "could not take ") << path << "\n";
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace corvela;
  QApplication app(argc, argv);
  QDir out(QApplication::arguments().value(1, QStringLiteral(".")));
  if (!out.exists() && !QDir().mkpath(out.path())) return 2;
  QTemporaryDir folder;
  const std::string storePath = folder.filePath(QStringLiteral("store.prefs")).toStdString();
  {
    QFile json(QStringLiteral(CORVELA_EXAMPLES "/example-store.json"));
    if (!json.open(QIODevice::ReadOnly)) return 1;
    Result<Value> example = fromJSON(json.readAll().toStdString());
    if (!example.ok()) return 1;
    CVPrefs store(storePath);
    for (const auto& [key, value] : example.value().toDictionary()) store.setObject(key, value);
    store.synchronize();
  }
  ui::DesktopApp desktop(storePath);
  desktop.platform().setSavePanelAnswer([&folder](const SavePanel&) -> std::optional<std::string> {
    return folder.filePath(QStringLiteral("out.qif")).toStdString();
  });
  desktop.start(CORVELA_EXAMPLES "/checking-2024-03.ofx");
  desktop.mainWindow()->controlView()->processButton()->click();
  BankingCreditCardQIF& bank = desktop.app().bank;
  while (bank.running()) {
    if (bank.openDialog() == BankingCreditCardQIF::Dialog::confirm) {
      bank.confirmOK();
    } else {
      bank.skipTransaction();
    }
  }
  desktop.mainWindow()->statusView()->doneButton()->click();

  EditInstructions& editor = desktop.app().editInstructions;
  editor.beginEditing();
  editor.listFilterChanged("c");
  ui::InstructionListWindow& list = *desktop.instructionListWindow();
  for (std::size_t row = 0; row < editor.listForm().rows.size(); ++row)
    if (editor.listForm().rows[row].match == "CORNER GROC") editor.listSelectionChanged(row);
  list.updateList(editor.listForm());
  if (!save(list, out.filePath(QStringLiteral("instruction-editor-list.png")))) return 1;
  editor.editEntryAtIndex(*editor.listForm().selectedRow);
  editor.selectTab(InstructionEditTab::amount);
  return save(*desktop.instructionEditWindow(),
              out.filePath(QStringLiteral("instruction-editor-edit.png")))
             ? 0
             : 1;
}
