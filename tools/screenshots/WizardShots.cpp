// Takes the documentation's pictures of the input-format learning wizard:
//   corvela_wizard_screenshots OUTPUT_FOLDER
// wizard-dates.png, wizard-columns.png and wizard-questions.png: its three pages as the main
// window shows them while a format is learnt from a card issuer's CSV statement of the corpus.
// Works on any platform plugin (QWidget::grab), offscreen included.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "prefs/CVPrefs.h"
#include "ui/CompletingComboBox.h"
#include "ui/ControlView.h"
#include "ui/DesktopApp.h"
#include "ui/MainWindow.h"
#include "ui/WizardPane.h"

namespace {

bool save(QWidget& window, const QString& path) {
  QTest::qWait(100);
  bool saved = window.grab().save(path, "PNG");
  QTextStream(saved ? stdout : stderr) << (saved ? "" : "could not take ") << path << "\n";
  return saved;
}

void select(QPlainTextEdit* view, const QString& part, int from) {
  int at = view->toPlainText().indexOf(part, from);
  QTextCursor cursor = view->textCursor();
  cursor.setPosition(at);
  cursor.setPosition(at + static_cast<int>(part.size()), QTextCursor::KeepAnchor);
  view->setTextCursor(cursor);
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
    store.setObject("Preferences", corvela::Value::Array{corvela::Value("converted2.2")});
    store.synchronize();
  }
  corvela::ui::DesktopApp desktop(storePath);
  desktop.start(CORVELA_CORPUS "/csv2ofx/capitalone.csv");
  corvela::ui::MainWindow& window = *desktop.mainWindow();
  window.resize(760, 560);
  auto* format =
      window.controlView()->findChild<corvela::ui::CompletingComboBox*>("inputFormatText");
  if (!format) return 1;
  format->lineEdit()->setText(QStringLiteral("Card CSV"));
  desktop.app().controller.controlTextDidChange(corvela::MainControl::inputFormatText, "Card CSV");
  desktop.app().controller.learn(true);

  corvela::ui::WizardPane& pane = *window.wizardPane();
  select(pane.dateView(), QStringLiteral("2015-12-31"), 1);
  select(pane.matchView(), QStringLiteral("Transaction Date,Posted Date"), 0);
  pane.kindChoice()->setCurrentIndex(2);
  pane.dateView()->setFocus();
  if (!save(window, out.filePath(QStringLiteral("wizard-dates.png")))) return 1;

  pane.okButton(1)->click();
  if (pane.currentPage() != 2 || !save(window, out.filePath(QStringLiteral("wizard-columns.png"))))
    return 1;

  pane.okButton(2)->click();
  for (int i = 0; i < 3; ++i) pane.okButton(3)->click();  // description, no check, no memo
  QTableView* table = pane.questionTable();
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                    table->visualRect(table->model()->index(0, 4)).center());
  pane.noButton()->click();
  // The question about money going out, with its column preselected.
  return pane.currentPage() == 3 &&
                 save(window, out.filePath(QStringLiteral("wizard-questions.png")))
             ? 0
             : 1;
}
