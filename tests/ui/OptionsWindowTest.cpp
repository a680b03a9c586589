#include "app/ControlSettings.h"
#include "app/OptionsDialog.h"
#include "prefs/Preferences.h"
#include "ui/OptionsWindow.h"
#include "ui/UiTestSupport.h"

namespace corvela::ui::testing {

// The options window draws the presenter's form and hands the person's clicks back to it.
class OptionsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    store = std::make_unique<ScratchStoreFile>();
    options = std::make_unique<Preferences>(store->prefs);
    host = std::make_unique<RecordingOptionsHost>(store->prefs);
    window = std::make_unique<OptionsWindow>();
    dialog = std::make_unique<OptionsDialog>(store->prefs, *options, window->view(), *host);
    window->setPresenter(dialog.get());
  }
  void cleanup() {
    window.reset();
    dialog.reset();
    host.reset();
    options.reset();
    store.reset();
  }

  // Every control of the form is bound both ways: what the window is shown it reads back.
  void everyControlIsBound() {
    OptionsForm form;
    form.title = "Some Title";
    for (OptionSwitch* s : corvela::testing::everySwitch(form)) *s = {true, false};
    form.showAllAccountNamesHelpEnabled = true;
    form.clearedStatusBankTransactions = 1;
    form.clearedStatusCreditCardTransactions = 2;
    form.clearedStatusInvestmentTransactions = 1;
    form.clearedStatusUnknownTransactions = 2;
    form.descriptionMemoMatchPopup = 2;
    form.categoryRadioButtons = 3;
    form.cancelRadioButtons = 1;
    form.amountsPrecision = 1;
    form.sharesPrecision = 3;
    form.pricesPrecision = 4;
    form.bccAmountsPrecision = 6;
    form.descriptionOutput = "%d \xE2\x80\x94 %m";
    form.memoOutput = "memo";
    window->view().show(form);
    QCOMPARE(window->view().read(), form);
  }

  void clickingAppendOffersAllAccountNamesAndForgetsTheOutputFile() {
    store->prefs.setObject(
        controllerKey::ControlSettings,
        Value{{std::string(controlSettingsKey::outputFilePath), Value("/tmp/out.qif")}});
    dialog->display();
    auto* help = control<QLabel>("showAllAccountNamesHelp");
    QVERIFY(!help->isEnabled() && !checkbox("showAllAccountNames")->isEnabled());
    checkbox("append")->click();
    QVERIFY(help->isEnabled() && checkbox("showAllAccountNames")->isEnabled());
    QVERIFY(!store->prefs.objectForKey(controllerKey::ControlSettings)
                 .contains(controlSettingsKey::outputFilePath));

    checkbox("showAllAccountNames")->click();
    checkbox("append")->click();
    QVERIFY(!checkbox("showAllAccountNames")->isChecked());
    QVERIFY(!checkbox("showAllAccountNames")->isEnabled());
  }

  // The two European-dates checkboxes move together; a category choice other than instructions
  // takes the update-category option away.
  void controlsThatFollowEachOther() {
    setList({"updateCategoryWhenDescriptionChanged"});
    dialog->display();
    checkbox("europeanDates")->click();
    QVERIFY(checkbox("secondQIFEuropeanDates")->isChecked());
    checkbox("secondQIFEuropeanDates")->click();
    QVERIFY(!checkbox("europeanDates")->isChecked());
    QVERIFY(checkbox("updateCategoryWhenDescriptionChanged")->isChecked());
    radio("categoryRadioButtons_3")->click();
    QVERIFY(!checkbox("updateCategoryWhenDescriptionChanged")->isChecked());
    QVERIFY(!checkbox("updateCategoryWhenDescriptionChanged")->isEnabled());
    radio("categoryRadioButtons_0")->click();
    QVERIFY(checkbox("updateCategoryWhenDescriptionChanged")->isEnabled());
  }

  // Cancel, Escape and closing all cancel; Help asks for help; the window opens again on its
  // first page.
  void cancelEscapeClosingAndHelp() {
    bool asked = false;
    connect(window.get(), &OptionsWindow::helpRequested, this, [&] { asked = true; });
    for (int way = 0; way < 3; ++way) {
      setList({"initialCaps"});
      dialog->display();
      QVERIFY(window->isVisible() && !host->menusEnabled);
      QCOMPARE(window->windowTitle(), QStringLiteral("Corvela Preferences"));
      QCOMPARE(window->pages()->currentIndex(), 0);
      checkbox("initialCaps")->click();
      button("help")->click();
      window->pages()->setCurrentIndex(3);
      if (way == 0) button("cancel")->click();
      if (way == 1) QTest::keyClick(window.get(), Qt::Key_Escape);
      if (way == 2) window->close();
      QVERIFY2(!window->isVisible(), qPrintable(QString::number(way)));
      QVERIFY(host->menusEnabled);
      QCOMPARE(storedList(), QStringList{"initialCaps"});
    }
    QVERIFY(asked);
  }

 private:
  void setList(const QStringList& names) {
    Value list = Value::array();
    for (const QString& name : names) list.append(Value(utf8(name)));
    store->prefs.setObject(prefKey::Preferences, list);
  }
  QStringList storedList() const {
    QStringList names;
    for (const Value& name : store->prefs.objectForKey(prefKey::Preferences).toArray())
      names << qs(name.toString());
    return names;
  }
  template <typename W>
  W* control(const char* name) const {
    W* widget = window->findChild<W*>(QLatin1String(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  QCheckBox* checkbox(const char* name) const { return control<QCheckBox>(name); }
  QRadioButton* radio(const char* name) const { return control<QRadioButton>(name); }
  QPushButton* button(const char* name) const { return control<QPushButton>(name); }

  std::unique_ptr<ScratchStoreFile> store;
  std::unique_ptr<Preferences> options;
  std::unique_ptr<RecordingOptionsHost> host;
  std::unique_ptr<OptionsWindow> window;
  std::unique_ptr<OptionsDialog> dialog;
};

int runOptionsWindowTest(const QStringList& arguments) {
  return runTestClass<OptionsWindowTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "OptionsWindowTest.moc"
