#include "screenshots/TransactionDialogShots.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QWindow>
#include <memory>

#include "app/Application.h"
#include "prefs/Bundle.h"
#include "prefs/OptionNames.h"
#include "prefs/ValueText.h"
#include "readers/OFXReader.h"
#include "support/FakeMainView.h"
#include "support/ScriptedPlatform.h"
#include "ui/TransactionDialog.h"

namespace corvela::screenshots {
namespace {

constexpr const char* kDownload = R"(OFXHEADER:100
DATA:OFXSGML
VERSION:102

<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>USD
<BANKACCTFROM><BANKID>123<ACCTID>9876<ACCTTYPE>CHECKING</BANKACCTFROM>
<BANKTRANLIST>
<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20240312<TRNAMT>-1250.00<FITID>1<CHECKNUM>1042<NAME>RIVERSIDE PROPERTY MGMT<MEMO>MARCH RENT</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240314<TRNAMT>-182.46<FITID>2<NAME>GREENLEAF MARKET 0457<MEMO>POS PURCHASE</STMTTRN>
</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
)";

constexpr const char* kInstructions = R"([
  {"descriptionMatch": "RIVERSIDE PROPERTY", "newDescription": "Riverside Property Management",
   "category": "Housing:Rent", "categoryConfirm": "Y"}
])";

bool saveWindow(QWidget& window, const QString& path) {
  if (!QTest::qWaitForWindowExposed(&window)) return false;
  QTest::qWait(300);  // let the server draw the window's last frame
  QPixmap shot = window.screen()->grabWindow(window.winId());
  if (shot.isNull() || !shot.save(path, "PNG")) return false;
  QTextStream(stdout) << path << "\n";
  return true;
}

void type(const QString& text) {
  for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

}  // namespace

bool takeTransactionDialogShots(const QDir& out, const QString& suffix) {
  QTemporaryDir folder;
  CVPrefs store(folder.filePath(QStringLiteral("store.prefs")).toStdString());
  store.setObject(prefKey::Preferences, Value::array());
  store.setObject(prefKey::CheckForUpdates, false);
  store.setObject(prefKey::Categories,
                  Value(Value::Array{"Dining", "Groceries", "Household", "Household:Cleaning",
                                     "Housing", "Housing:Rent", "Personal Care"}));
  Result<Value> instructions = fromJSON(kInstructions);
  if (!instructions.ok()) return false;
  store.setObject("Instructions", instructions.value());

  testing::ScriptedPlatform platform;
  testing::FakeMainView mainView;
  ui::TransactionDialog dialog;
  auto app = std::make_unique<Application>(store, Bundle::builtIn(),
                                           FrontEnd{platform, mainView, dialog, dialog});
  dialog.attach(app->bank);
  app->startUp();
  app->options.add(option::confirmAllTransactions);
  OFXReadResult read =
      app->ofxReader.fromOFX(kDownload, CalendarDay::distantPast(), CalendarDay::distantFuture());
  app->bank.setTransactions(read.qif, read.mustConfirm);
  app->bank.setFormatters();
  std::string output;
  app->bank.processInstructionsAndAppendToString(output, RunSettings{},
                                                 [](int, std::optional<Value>) {});
  dialog.move(20, 20);
  if (!QTest::qWaitForWindowActive(&dialog)) return false;

  // The rent cheque, confirmed under its instruction: the person adds a memo.
  auto* memo = dialog.findChild<QLineEdit*>(QStringLiteral("confirmedMemoText"));
  memo->setFocus(Qt::MouseFocusReason);
  memo->selectAll();
  type(QStringLiteral("March rent, unit 4B"));
  if (!saveWindow(dialog, out.filePath(QStringLiteral("confirmation-view%1.png").arg(suffix))))
    return false;
  app->bank.confirmOK();

  // The grocery purchase matches nothing: an instruction with two splits is taught.
  auto* match = dialog.findChild<QLineEdit*>(QStringLiteral("descriptionMatchText"));
  match->setFocus(Qt::MouseFocusReason);
  match->end(false);
  for (int i = 0; i < 5; ++i) QTest::keyClick(match, Qt::Key_Backspace);
  auto* category = dialog.findChild<QComboBox*>(QStringLiteral("categoryText"));
  category->lineEdit()->setFocus(Qt::MouseFocusReason);
  category->lineEdit()->selectAll();
  type(QStringLiteral("Groc"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
  app->bank.instructionAddRemoveSplits();
  QTest::qWait(50);
  type(QStringLiteral("Household:"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  type(QStringLiteral("paper goods"));
  dialog.endEditing();
  QTest::qWait(50);
  dialog.adjustSize();
  bool saved =
      saveWindow(dialog, out.filePath(QStringLiteral("new-instruction-view%1.png").arg(suffix)));
  app->bank.skipRemaining();
  app.reset();
  return saved;
}

}  // namespace corvela::screenshots
