#include <array>

#include "app/Application.h"
#include "prefs/Bundle.h"
#include "prefs/OptionNames.h"
#include "prefs/ValueText.h"
#include "readers/OFXReader.h"
#include "support/FakeMainView.h"
#include "support/ScriptedPlatform.h"
#include "ui/FormattedAmountEdit.h"
#include "ui/SplitTableModel.h"
#include "ui/SplitTableView.h"
#include "ui/TransactionDialog.h"
#include "ui/UiTestSupport.h"

namespace corvela::ui::testing {
namespace {

using Dialog = BankingCreditCardQIF::Dialog;

// A download of three transactions whose payees no instruction knows yet.
constexpr const char* kDownload = R"(OFXHEADER:100
DATA:OFXSGML
VERSION:102

<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>USD
<BANKACCTFROM><BANKID>123<ACCTID>9876<ACCTTYPE>CHECKING</BANKACCTFROM>
<BANKTRANLIST>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240301<TRNAMT>-4.50<FITID>1<NAME>COFFEE BAR 12</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240302<TRNAMT>-1082.40<FITID>2<NAME>GROCER 77</STMTTRN>
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240303<TRNAMT>-6.00<FITID>3<NAME>COFFEE BAR 19<MEMO>LATTE</STMTTRN>
</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
)";

// The whole program wired to the real dialog window, with a scripted platform and a fake main
// window, and a bank run over the download above.
struct Program {
  Program() {
    store.prefs.setObject(prefKey::Preferences, Value::array());
    store.prefs.setObject(prefKey::CheckForUpdates, false);
    store.prefs.setObject(prefKey::Categories,
                          Value(Value::Array{"Dining", "Dining:Coffee", "Groceries", "Household"}));
    app = std::make_unique<Application>(store.prefs, Bundle::builtIn(),
                                        FrontEnd{platform, mainView, dialog, dialog});
    dialog.attach(app->bank);
    app->startUp();
  }
  ~Program() {
    dialog.hide();
    app.reset();
  }

  // Runs the bank over the download; whether the dialog window then came up active.
  bool start(bool confirmAll = false) {
    if (confirmAll) app->options.add(option::confirmAllTransactions);
    OFXReadResult read =
        app->ofxReader.fromOFX(kDownload, CalendarDay::distantPast(), CalendarDay::distantFuture());
    app->bank.setTransactions(read.qif, read.mustConfirm);
    app->bank.setFormatters();
    app->bank.processInstructionsAndAppendToString(
        output, RunSettings{}, [this](int count, std::optional<Value>) { endCount = count; });
    return QTest::qWaitForWindowActive(&dialog);
  }

  template <typename W>
  W* find(const char* name) const {
    W* widget = dialog.findChild<W*>(QLatin1String(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  QPushButton* button(const char* name) const { return find<QPushButton>(name); }
  CompletingComboBox* combo(const char* name) const { return find<CompletingComboBox>(name); }
  QLineEdit* field(const char* name) const { return find<QLineEdit>(name); }
  QLabel* label(const char* name) const { return find<QLabel>(name); }
  SplitTableView* splits(const char* name) const {
    return qobject_cast<SplitTableView*>(find<QTableView>(name)->parentWidget());
  }

  ScratchStoreFile store;
  corvela::testing::ScriptedPlatform platform;
  corvela::testing::FakeMainView mainView;
  TransactionDialog dialog;
  std::unique_ptr<Application> app;
  std::string output;
  int endCount = -1;
};

// `json` read as a value; a test's own text, so it must read.
Value fromTestJSON(const char* json) {
  Result<Value> value = fromJSON(json);
  if (!value.ok()) qFatal("unreadable JSON in a test: %s", json);
  return value.value();
}

// Gives the keyboard focus to a field as a click would, with its text selected.
void enter(QWidget* field) {
  QLineEdit* line = qobject_cast<QLineEdit*>(field);
  if (auto* box = qobject_cast<QComboBox*>(field)) line = box->lineEdit();
  line->setFocus(Qt::MouseFocusReason);
  line->selectAll();
}

void click(QAbstractButton* button) {
  QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(button->objectName()));
  QTest::mouseClick(button, Qt::LeftButton);
}

// Types into whatever has the keyboard focus, as the keyboard does.
void type(const QString& text) {
  for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

// The control with the keyboard focus: a combo box rather than the line edit inside it.
QWidget* focused() {
  QWidget* widget = QApplication::focusWidget();
  if (widget && qobject_cast<QComboBox*>(widget->parentWidget())) widget = widget->parentWidget();
  return widget;
}
QString focusedControl() { return focused() ? focused()->objectName() : QString(); }

QStringList rowsOf(const SplitTableView* table) {
  QStringList rows;
  for (const SplitRow& row : table->model()->rows())
    rows << qs(row.category + "|" + row.memo + "|" + row.amount);
  return rows;
}

}  // namespace

// The dialog window draws the processor's forms and hands what the person does back to it.
class TransactionDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { program = std::make_unique<Program>(); }
  void cleanup() { program.reset(); }

  // One run of teaching and confirming, done only through the window's controls.
  void teachAndConfirmThroughTheWindow() {
    Program& p = *program;
    QVERIFY(p.start());
    TransactionDialog& dialog = p.dialog;

    // COFFEE BAR 12: no instruction yet. The match may only be shortened.
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Create New Instruction"));
    QLineEdit* match = p.field("descriptionMatchText");
    QCOMPARE(QApplication::focusWidget(), match);
    press(Qt::Key_X);
    QCOMPARE(match->text(), QStringLiteral("COFFEE BAR 12"));
    press(Qt::Key_Backspace, Qt::NoModifier, 3);
    QCOMPARE(match->text(), QStringLiteral("COFFEE BAR"));
    QCOMPARE(p.app->bank.newInstructionForm().descriptionMatchText, "COFFEE BAR");
    QCOMPARE(p.label("amountText")->text(), QStringLiteral("-4.50"));
    QVERIFY(p.label("memoText")->isHidden());

    // The category completes, and ":" goes on to the first subcategory.
    CompletingComboBox* category = p.combo("categoryText");
    enter(category);
    type(QStringLiteral("din"));
    QCOMPARE(shown(*category), QStringLiteral("Din[ing]"));
    type(QStringLiteral("ing:"));
    QCOMPARE(shown(*category), QStringLiteral("Dining:[Coffee]"));
    press(Qt::Key_End);
    QCOMPARE(p.app->bank.newInstructionForm().category, "Dining:Coffee");
    QVERIFY(p.label("categoryNewLabel")->isHidden());
    click(p.find<QCheckBox>("categoryConfirmSwitch"));
    click(p.button("okButton"));

    // The new instruction asks for confirmation.
    QCOMPARE(p.app->bank.openDialog(), Dialog::confirm);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm Transaction"));
    QCOMPARE(qs(p.combo("confirmedCategoryText")->text()), QStringLiteral("Dining:Coffee"));
    QCOMPARE(p.field("confirmAmountText")->text(), QStringLiteral("-4.50"));
    QVERIFY(p.field("confirmNumberText")->isHidden());
    auto* popUp = p.find<QComboBox>("confirmInstructionPopUp");
    // No instruction editing until the instruction editor comes.
    QCOMPARE(popUp->count(), 3);

    // The date steps a day and back; stepped, it says which date is output.
    QLabel* date = p.label("confirmDateText");
    QCOMPARE(date->text(), QStringLiteral("03/01/2024"));
    auto* later = p.find<QToolButton>("dateStepperUp");
    auto* earlier = p.find<QToolButton>("dateStepperDown");
    click(later);
    QCOMPARE(date->text(), QStringLiteral("03/01/2024 (will use 03/02/2024)"));
    click(earlier);
    QCOMPARE(date->text(), QStringLiteral("03/01/2024"));
    click(later);

    // Tab runs description, memo, category and back.
    enter(p.combo("confirmedDescriptionText"));
    press(Qt::Key_Tab);
    QCOMPARE(focusedControl(), QStringLiteral("confirmedMemoText"));
    type(QStringLiteral("cappuccino"));
    press(Qt::Key_Tab);
    QCOMPARE(focusedControl(), QStringLiteral("confirmedCategoryText"));
    press(Qt::Key_Tab);
    QCOMPARE(focusedControl(), QStringLiteral("confirmedDescriptionText"));
    QCOMPARE(p.app->bank.confirmForm().confirmedMemo, "cappuccino");
    click(p.button("okButton"));

    // GROCER 77: taught with two splits.
    QCOMPARE(p.label("amountText")->text(), QStringLiteral("-1,082.40"));
    press(Qt::Key_Backspace, Qt::NoModifier, 3);
    enter(p.combo("categoryText"));
    type(QStringLiteral("groc"));
    QCOMPARE(shown(*p.combo("categoryText")), QStringLiteral("Groc[eries]"));
    press(Qt::Key_End);
    QPushButton* addRemove = p.button("instructionAddRemoveSplitsButton");
    QCOMPARE(addRemove->text(), QStringLiteral("Add Splits"));
    click(addRemove);
    QCOMPARE(addRemove->text(), QStringLiteral("Remove Splits"));
    QVERIFY(p.find<QCheckBox>("categoryConfirmSwitch")->isChecked());
    SplitTableView* teachSplits = p.splits("instructionSplitsTable");
    QCOMPARE(rowsOf(teachSplits), (QStringList{"Groceries||", "||"}));
    // The second row's category cell is being edited, and completes from the categories.
    QTRY_COMPARE(focusedControl(), QStringLiteral("splitCategoryCell"));
    type(QStringLiteral("hou"));
    QCOMPARE(shown(*qobject_cast<CompletingComboBox*>(focused())), QStringLiteral("Hou[sehold]"));
    press(Qt::Key_Tab);
    QCOMPARE(rowsOf(teachSplits), (QStringList{"Groceries||", "Household||"}));
    click(p.button("okButton"));

    // The splits are confirmed; a new amount in the second one rebalances the first.
    SplitTableView* confirmSplits = p.splits("splitsTable");
    QVERIFY(p.combo("confirmedCategoryText")->isHidden());
    QCOMPARE(rowsOf(confirmSplits), (QStringList{"Groceries||-1082.40", "Household||"}));
    QTableView* table = confirmSplits->table();
    table->setFocus(Qt::MouseFocusReason);
    table->setCurrentIndex(confirmSplits->model()->index(1, SplitTableModel::kAmountColumn));
    type(QStringLiteral("-12.4x5"));
    QCOMPARE(focusedControl(), QStringLiteral("splitAmountCell"));
    // The amount field rule refused the "x".
    QCOMPARE(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(),
             QStringLiteral("-12.45"));
    // Return commits the cell, and only the cell.
    press(Qt::Key_Return);
    QTRY_COMPARE(rowsOf(confirmSplits), (QStringList{"Groceries||-1069.95", "Household||-12.45"}));
    click(p.button("okButton"));

    // COFFEE BAR 19: an amount instruction for this amount, from the pop-up.
    QCOMPARE(p.label("confirmMemoText")->text(), QStringLiteral("LATTE"));
    const int forAmount = popUp->findText(qs(kAddNewInstructionForThisAmount));
    QVERIFY(forAmount > 0);
    emit popUp->activated(forAmount);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add Instruction For Amount"));
    QCOMPARE(p.find<QTabWidget>("instructionTabView")->currentIndex(), 1);
    QVERIFY(p.find<QCheckBox>("amountSwitch")->isHidden());
    QCOMPARE(focusedControl(), QStringLiteral("amountDescriptionText"));
    QVERIFY2(!p.button("okButton")->isEnabled(), "an amount instruction needs a description");
    type(QStringLiteral("Latte"));
    QVERIFY(p.button("okButton")->isEnabled());
    enter(p.combo("amountCategoryText"));
    type(QStringLiteral("Dining:Snacks"));
    QVERIFY(p.label("amountCategoryNewLabel")->isVisible());
    // Control-2 is the amount confirm switch while the amount switch is on.
    press(Qt::Key_2, Qt::ControlModifier);
    QTRY_VERIFY(p.find<QCheckBox>("amountConfirmSwitch")->isChecked());
    click(p.button("okButton"));

    QCOMPARE(qs(p.combo("confirmedDescriptionText")->text()), QStringLiteral("Latte"));
    auto* items = qobject_cast<QStandardItemModel*>(popUp->model());
    QVERIFY(items);
    QVERIFY(!items->item(popUp->findText(qs(kAddNewInstructionForThisAmount)))->isEnabled());
    click(p.button("okButton"));

    // The run is over: the window goes away, and the output and the store hold the session.
    QCOMPARE(p.endCount, 3);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(qs(p.output),
             QStringLiteral("D03/02/2024\nPCOFFEE BAR 12\nMcappuccino\nT-4.50\nLDining:Coffee\n^\n"
                            "D03/02/2024\nPGROCER 77\nM\nT-1082.40\nSGroceries\nE\n$-1069.95\n"
                            "SHousehold\nE\n$-12.45\n^\n"
                            "D03/03/2024\nPLatte\nMLATTE\nT-6.00\nLDining:Snacks\n^\n"));
    QCOMPARE(qs(toJSON(p.store.prefs.objectForKey("Instructions"))), qs(toJSON(fromTestJSON(R"([
      {"descriptionMatch": "COFFEE BAR", "category": "Dining:Coffee", "categoryConfirm": "Y",
       "amounts": [{"amount": "-6.00", "amountDescription": "Latte",
                    "amountCategory": "Dining:Snacks", "amountConfirm": "Y"}]},
      {"descriptionMatch": "GROCER", "category": "Groceries", "categoryConfirm": "Y",
       "splits": [{"category": "Groceries", "memo": "", "amount": ""},
                  {"category": "Household", "memo": "", "amount": ""}]}
    ])"))));
    QVERIFY(p.platform.alerts.empty());
  }

  // Skip Transaction leaves the transaction out and Back returns to it. Cancel in the
  // new-instruction view opened from the confirmation goes back to it; Cancel there asks, and
  // stopping ends the run and puts the window away.
  void skipBackCancelAndStop() {
    Program& p = *program;
    QVERIFY(p.start(true));
    QVERIFY(!p.button("backButton")->isEnabled());
    click(p.button("skipTransactionButton"));
    QCOMPARE(p.app->bank.currentTransactionIndex(), 1u);
    QCOMPARE(p.label("descriptionText")->text(), QStringLiteral("GROCER 77"));
    click(p.button("backButton"));
    QCOMPARE(p.app->bank.currentTransactionIndex(), 0u);
    QCOMPARE(p.button("cancelButton")->toolTip(), qs(kCancelStopsToolTip));
    enter(p.combo("categoryText"));
    type(QStringLiteral("Dining"));
    click(p.button("okButton"));
    QCOMPARE(p.dialog.windowTitle(), QStringLiteral("Confirm Transaction"));
    QVERIFY(p.label("matchDescriptionPrompt")->text().startsWith("You asked to confirm all"));

    auto* popUp = p.find<QComboBox>("confirmInstructionPopUp");
    emit popUp->activated(popUp->findText(qs(kAddNewInstructionForThisTransaction)));
    QCOMPARE(p.dialog.windowTitle(), QStringLiteral("Create New Instruction"));
    QTest::keyClick(&p.dialog, Qt::Key_Escape);
    QCOMPARE(p.dialog.windowTitle(), QStringLiteral("Confirm Transaction"));
    QCOMPARE(p.platform.cancelConfirms, 0);

    p.platform.answerNextCancelConfirm(CancelConfirm::stop);
    click(p.button("cancelButton"));
    QCOMPARE(p.platform.cancelConfirms, 1);
    QCOMPARE(p.endCount, 0);
    QVERIFY(!p.dialog.isVisible());
  }

  // A cell left in editing belongs to its transaction: the next one does not receive it.
  void skippingWhileEditingACellDropsTheEdit() {
    Program& p = *program;
    p.store.prefs.setObject("Instructions", fromTestJSON(R"([
      {"descriptionMatch": "COFFEE BAR", "category": "Dining", "categoryConfirm": "Y",
       "splits": [{"category": "Dining", "memo": "", "amount": ""},
                  {"category": "Household", "memo": "", "amount": ""}]},
      {"descriptionMatch": "GROCER", "category": "Groceries", "categoryConfirm": "Y",
       "splits": [{"category": "Groceries", "memo": "", "amount": ""},
                  {"category": "Household", "memo": "", "amount": ""}]}
    ])"));
    QVERIFY(p.start());
    SplitTableView* splits = p.splits("splitsTable");
    QCOMPARE(rowsOf(splits), (QStringList{"Dining||-4.50", "Household||"}));
    splits->table()->setFocus(Qt::MouseFocusReason);
    splits->table()->setCurrentIndex(splits->model()->index(1, SplitTableModel::kAmountColumn));
    type(QStringLiteral("-1.25"));
    QCOMPARE(focusedControl(), QStringLiteral("splitAmountCell"));
    click(p.button("skipTransactionButton"));
    QCOMPARE(p.label("confirmDescriptionText")->text(), QStringLiteral("GROCER 77"));
    QCOMPARE(rowsOf(splits), (QStringList{"Groceries||-1082.40", "Household||"}));
    click(p.button("okButton"));
    QCOMPARE(qs(p.output), QStringLiteral("D03/02/2024\nPGROCER 77\nM\nT-1082.40\nSGroceries\nE\n"
                                          "$-1082.40\nSHousehold\nE\n$\n^\n"));
  }

  // The amount fields show the amount in the number format of the store's precision.
  void amountFormats() {
    const char* two = "#,###.00;0.00;-#,##0.00";
    const char* four = "#,###.0000;0.0000;-#,##0.0000";
    const std::array<const char*, 4> cases[] = {
        {"-4.5", two, ".", "-4.50"},
        {"1234567.891", two, ".", "1,234,567.89"},
        {"0.5", two, ".", ".50"},
        {"-0.5", two, ".", "-0.50"},
        {"0", two, ".", "0.00"},
        {"-1082.4", four, ".", "-1,082.4000"},
        {"-1082,40", two, ",", "-1.082,40"},
        {"1.082,4", two, ",", "1.082,40"},
        {"-4.5", "", ".", "-4.5"},
        {"n/a", two, ".", "n/a"},
        {"", two, ".", ""},
    };
    for (const auto& [amount, pattern, separator, shown] : cases)
      QCOMPARE(formattedAmount(amount, pattern, separator), std::string(shown));
  }

  // The confirmation amount shows formatted, and the processor's amount while it is edited;
  // what is typed is what is output. The confirmed category warns about what the list does not
  // hold, or cannot be a category; a description typed over the proposed one reaches the
  // processor when the field is left.
  void confirmationFieldsAreEditedAsOutput() {
    Program& p = *program;
    p.store.prefs.setInt(prefKey::bccAmountsPrecision, 3);
    QVERIFY(p.start(true));
    enter(p.combo("categoryText"));
    type(QStringLiteral("Dining"));
    click(p.button("okButton"));
    QLabel* warning = p.label("confirmCategoryNewLabel");
    QVERIFY(warning->isHidden());
    enter(p.combo("confirmedCategoryText"));
    type(QStringLiteral("Travel"));
    QCOMPARE(warning->text(), QStringLiteral("NEW Category Above"));
    type(QStringLiteral(":"));
    QCOMPARE(warning->text(), QStringLiteral("WARNING: a category cannot end with a :"));
    for (int i = 0; i < 7; ++i) press(Qt::Key_Backspace);
    QCOMPARE(qs(p.combo("confirmedCategoryText")->text()), QString());
    QVERIFY(warning->isHidden());
    enter(p.combo("confirmedDescriptionText"));
    type(QStringLiteral("Espresso Bar"));
    press(Qt::Key_Tab);
    QCOMPARE(p.app->bank.confirmForm().confirmedDescription, std::string("Espresso Bar"));

    auto* amount = qobject_cast<FormattedAmountEdit*>(p.field("confirmAmountText"));
    QVERIFY(amount);
    QCOMPARE(amount->text(), QStringLiteral("-4.500"));
    amount->setFocus(Qt::MouseFocusReason);
    QCOMPARE(amount->text(), QStringLiteral("-4.50"));
    amount->selectAll();
    type(QStringLiteral("-4.75"));
    p.field("confirmedMemoText")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(amount->text(), QStringLiteral("-4.750"));
    QCOMPARE(p.app->bank.confirmForm().amount.text, "-4.75");
    click(p.button("okButton"));
    QVERIFY(p.output.find("T-4.75\n") != std::string::npos);
  }

  // Under the split table: what the splits leave of the amount, and the warning while they do
  // not add up.
  void splitRemainderIsShownUnderTheTable() {
    Program& p = *program;
    p.store.prefs.setObject("Instructions", fromTestJSON(R"([
        {"descriptionMatch": "COFFEE", "category": "Dining"},
        {"descriptionMatch": "GROCER", "category": "", "categoryConfirm": "Y",
         "splits": [{"category": "Groceries", "amount": "-1000.00"},
                    {"category": "Household", "amount": "-50.00"}]}])"));
    QVERIFY(p.start());
    QLabel* remainder = p.label("splitRemainderText");
    QLabel* warning = p.label("splitsDoNotAddUpLabel");
    QCOMPARE(remainder->text(), QStringLiteral("Remainder: -32.40"));
    QVERIFY(warning->isVisible() && warning->text() == qs(kSplitsDoNotAddUp));
    click(p.button("okButton"));
    QCOMPARE(p.app->bank.currentTransactionIndex(), std::size_t{1});

    p.app->bank.tableViewSetObjectValue(SplitTable::confirm, "amount", 1, "-82.40");
    QCOMPARE(remainder->text(), QStringLiteral("Remainder: 0.00"));
    QVERIFY(warning->isHidden());
  }

 private:
  std::unique_ptr<Program> program;
};

int runTransactionDialogTest(const QStringList& arguments) {
  return runTestClass<TransactionDialogTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "TransactionDialogTest.moc"
