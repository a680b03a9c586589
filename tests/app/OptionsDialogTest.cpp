#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/ControlSettings.h"
#include "app/OptionsDialog.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

// The options window: what the presenter showed, and the controls as the person left them.
class ScriptedOptionsView : public OptionsDialogView {
 public:
  void show(const OptionsForm& form) override {
    controls = form;
    open = true;
    ++shows;
  }
  OptionsForm read() const override { return controls; }
  void close() override { open = false; }

  OptionsForm controls;
  bool open = false;
  int shows = 0;
};

// The controller's side: menus and date formatters, as the controller does them.
class RecordingHost : public OptionsDialogHost {
 public:
  explicit RecordingHost(CVPrefs& store) : store_(store) {}
  void disableMenuItems() override { menusEnabled = false; }
  void enableMenuItems() override { menusEnabled = true; }
  void setDateFormatters(const std::string& monthDayPattern) override {
    monthDayPatterns.push_back(monthDayPattern);
    storeOutputDateFormats(store_, monthDayPattern);
  }

  bool menusEnabled = true;
  std::vector<std::string> monthDayPatterns;

 private:
  CVPrefs& store_;
};

std::vector<std::string> storedList(const CVPrefs& prefs) {
  std::vector<std::string> names;
  for (const Value& name : prefs.objectForKey(prefKey::Preferences).toArray())
    names.push_back(name.toString());
  return names;
}

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefs.setInt(prefKey::amountsPrecision, 2);
    prefs.setInt(prefKey::sharesPrecision, 2);
    prefs.setInt(prefKey::pricesPrecision, 4);
    prefs.setInt(prefKey::bccAmountsPrecision, 2);
    prefs.setObject(prefKey::DescriptionOutput, "%d");
    prefs.setObject(prefKey::MemoOutput, "%m");
  }

  void setList(std::vector<std::string_view> names) {
    Value list = Value::array();
    for (std::string_view name : names) list.append(Value(name));
    prefs.setObject(prefKey::Preferences, list);
  }

  // The person changes the open dialog's controls, then the control's action runs.
  void edit(const std::function<void(OptionsForm&)>& change) { change(view.controls); }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  Preferences options{prefs};
  ScriptedOptionsView view;
  RecordingHost host{prefs};
  OptionsDialog dialog{prefs, options, view, host};
};

TEST_F(OptionsDialogTest, DisplayOfAnEmptyListShowsEverythingOff) {
  dialog.display();

  ASSERT_TRUE(view.open);
  EXPECT_FALSE(host.menusEnabled);
  OptionsForm expected;
  expected.title = "Corvela Preferences";
  expected.showAllAccountNames.enabled = false;
  expected.showAllAccountNamesHelpEnabled = false;
  expected.cancelRadioButtons = 2;
  expected.amountsPrecision = 0;
  expected.sharesPrecision = 0;
  expected.pricesPrecision = 2;
  expected.bccAmountsPrecision = 0;
  expected.descriptionOutput = "%d";
  expected.memoOutput = "%m";
  EXPECT_EQ(view.controls, expected);
}

// Every option the dialog shows survives display and OK alone; where options exclude each
// other, the dialog shows (and so keeps) the one that wins; options it does not show are dropped.
TEST_F(OptionsDialogTest, DisplayThenOkKeepsWhatTheDialogShows) {
  using L = std::vector<std::string_view>;
  struct Case {
    L list, kept;
  };
  std::vector<Case> cases = {
      {{option::baseCategoriesOnCategories, option::useCategoriesIfPresent},
       {option::useCategoriesIfPresent}},
      {{option::dontAddCategories, option::baseCategoriesOnCategories},
       {option::baseCategoriesOnCategories}},
      {{option::justFinishLater, option::justStop}, {option::justStop}},
      {{option::showAllAccountNames}, {}},  // offered only with append
      {{option::append, option::showAllAccountNames},
       {option::append, option::showAllAccountNames}},
      {{option::dontAddCategories, option::updateCategoryWhenDescriptionChanged},
       {option::dontAddCategories}},
      {{option::accountsInCategories, option::dontConfirmCancel}, {}},
  };
  for (std::string_view alone : {option::append,
                                 option::markBankTransactionsAsCleared,
                                 option::markBankTransactionsAsUncleared,
                                 option::markCreditCardTransactionsAsCleared,
                                 option::markCreditCardTransactionsAsUncleared,
                                 option::markInvestmentTransactionsAsCleared,
                                 option::markInvestmentTransactionsAsUncleared,
                                 option::markUnknownTransactionsAsCleared,
                                 option::markUnknownTransactionsAsUncleared,
                                 option::runAutomatically,
                                 option::confirmAllTransactions,
                                 option::textConfirmAllTransactions,
                                 option::treatMemoAsDescription,
                                 option::leaveBlankDescriptionsBlank,
                                 option::matchDescriptionThenMemo,
                                 option::matchMemoThenDescription,
                                 option::longestInstructionMatch,
                                 option::baseCategoriesOnCategories,
                                 option::useCategoriesIfPresent,
                                 option::dontAddCategories,
                                 option::matchDescriptionWithContains,
                                 option::quicken2003,
                                 option::formatFirstMatch,
                                 option::useOFXTRNTYPE,
                                 option::initialCaps,
                                 option::europeanDates,
                                 option::outputEuropeanDates,
                                 option::outputEuropeanAmounts,
                                 option::outputDashDates,
                                 option::justStop,
                                 option::justFinishLater,
                                 option::removeLongNumber,
                                 option::updateCategoryWhenDescriptionChanged})
    cases.push_back({{alone}, {alone}});
  for (const Case& c : cases) {
    setList(c.list);
    dialog.display();
    dialog.ok();
    std::vector<std::string> expected(c.kept.begin(), c.kept.end());
    expected.push_back("converted2.2");
    EXPECT_EQ(storedList(prefs), expected) << (c.list.empty() ? "" : c.list.front());
  }
  // Both pages show the one European-dates option.
  setList({option::europeanDates});
  dialog.display();
  EXPECT_TRUE(view.controls.europeanDates.on && view.controls.secondQIFEuropeanDates.on);
}

TEST_F(OptionsDialogTest, OtherCategoryTagsUncheckAndDisableUpdateCategory) {
  setList({option::updateCategoryWhenDescriptionChanged});
  dialog.display();
  for (int tag : {1, 2, 3}) {
    edit([&](OptionsForm& f) {
      f.categoryRadioButtons = 0;
      f.updateCategoryWhenDescriptionChanged = {true, true};
    });
    dialog.categoriesRadioChanged();
    edit([&](OptionsForm& f) { f.categoryRadioButtons = tag; });
    dialog.categoriesRadioChanged();
    EXPECT_EQ(view.controls.updateCategoryWhenDescriptionChanged, (OptionSwitch{false, false}))
        << "tag " << tag;
  }

  // Back to tag 0: offered again, but not checked again.
  edit([](OptionsForm& f) { f.categoryRadioButtons = 0; });
  dialog.categoriesRadioChanged();
  EXPECT_EQ(view.controls.updateCategoryWhenDescriptionChanged, (OptionSwitch{false, true}));
}

TEST_F(OptionsDialogTest, CheckingAppendForgetsTheOutputFileEvenOnCancel) {
  prefs.setObject(controllerKey::ControlSettings,
                  Value{{std::string(controlSettingsKey::whichTransactions), Value(2)},
                        {std::string(controlSettingsKey::outputFilePath), Value("/tmp/out.qif")},
                        {std::string(controlSettingsKey::outputFormat), Value("QIF")}});
  dialog.display();

  edit([](OptionsForm& f) { f.append.on = true; });
  dialog.append();
  EXPECT_EQ(view.controls.showAllAccountNames, (OptionSwitch{false, true}));
  EXPECT_TRUE(view.controls.showAllAccountNamesHelpEnabled);
  dialog.cancel();

  const Value& settings = prefs.objectForKey(controllerKey::ControlSettings);
  EXPECT_FALSE(settings.contains(controlSettingsKey::outputFilePath));
  EXPECT_EQ(str(settings, controlSettingsKey::outputFormat), "QIF");
  EXPECT_EQ(settings[controlSettingsKey::whichTransactions].toInt(), 2);
  // Cancel stores no option and writes no file.
  EXPECT_TRUE(prefs.objectForKey(prefKey::Preferences).isNull());
  EXPECT_FALSE(std::filesystem::exists(prefs.prefsPath()));
  EXPECT_TRUE(host.menusEnabled);
  EXPECT_FALSE(view.open);
}

TEST_F(OptionsDialogTest, AppendWithoutRememberedSettingsCreatesNone) {
  dialog.display();
  edit([](OptionsForm& f) { f.append.on = true; });
  dialog.append();
  EXPECT_TRUE(prefs.objectForKey(controllerKey::ControlSettings).isNull());
}

TEST_F(OptionsDialogTest, UncheckingAppendUnchecksShowAllAccountNamesAndKeepsTheFile) {
  Value settings{{std::string(controlSettingsKey::outputFilePath), Value("/tmp/out.qif")}};
  prefs.setObject(controllerKey::ControlSettings, settings);
  setList({option::append, option::showAllAccountNames});
  dialog.display();

  edit([](OptionsForm& f) { f.append.on = false; });
  dialog.append();

  EXPECT_EQ(view.controls.showAllAccountNames, (OptionSwitch{false, false}));
  EXPECT_FALSE(view.controls.showAllAccountNamesHelpEnabled);
  EXPECT_EQ(prefs.objectForKey(controllerKey::ControlSettings), settings);
}

TEST_F(OptionsDialogTest, TheTwoEuropeanDatesCheckboxesFollowEachOther) {
  dialog.display();
  edit([](OptionsForm& f) { f.europeanDates.on = true; });
  dialog.europeanDates();
  EXPECT_TRUE(view.controls.secondQIFEuropeanDates.on);

  edit([](OptionsForm& f) { f.secondQIFEuropeanDates.on = false; });
  dialog.secondQIFEuropeanDates();
  EXPECT_FALSE(view.controls.europeanDates.on);

  // Only the first one is read by OK, so the mirror must have reached it.
  edit([](OptionsForm& f) { f.secondQIFEuropeanDates.on = true; });
  dialog.secondQIFEuropeanDates();
  dialog.ok();
  EXPECT_TRUE(options.isOn(option::europeanDates));
}

TEST_F(OptionsDialogTest, OkWritesEveryOptionInItsOrder) {
  setList({option::accountsInCategories, option::baseSplitCategoriesOnCategories});
  dialog.display();
  edit([](OptionsForm& f) {
    for (OptionSwitch* s :
         {&f.append, &f.showAllAccountNames, &f.runAutomatically, &f.qifConfirmAllTransactions,
          &f.textConfirmAllTransactions, &f.treatMemoAsDescription, &f.leaveBlankDescriptionsBlank,
          &f.longestMatch, &f.matchDescriptionWithContains, &f.quicken2003, &f.formatFirstMatch,
          &f.useOFXTRNTYPE, &f.initialCaps, &f.europeanDates, &f.outputEuropeanDates,
          &f.outputEuropeanAmounts, &f.outputDashDates, &f.removeLongNumber,
          &f.updateCategoryWhenDescriptionChanged})
      s->on = true;
    f.clearedStatusBankTransactions = 1;
    f.clearedStatusCreditCardTransactions = 2;
    f.clearedStatusInvestmentTransactions = 1;
    f.clearedStatusUnknownTransactions = 2;
    f.descriptionMemoMatchPopup = 2;
    f.categoryRadioButtons = 0;
    f.cancelRadioButtons = 1;
  });
  dialog.ok();

  EXPECT_EQ(storedList(prefs), (std::vector<std::string>{
                                   "append",
                                   "showAllAccountNames",
                                   "markBankTransactionsAsCleared",
                                   "markCreditCardTransactionsAsUncleared",
                                   "markInvestmentTransactionsAsCleared",
                                   "markUnknownTransactionsAsUncleared",
                                   "runAutomatically",
                                   "confirmAllTransactions",
                                   "textConfirmAllTransactions",
                                   "treatMemoAsDescription",
                                   "leaveBlankDescriptionsBlank",
                                   "matchMemoThenDescription",
                                   "longestInstructionMatch",
                                   "matchDescriptionWithContains",
                                   "quicken2003",
                                   "formatFirstMatch",
                                   "useOFXTRNTYPE",
                                   "initialCaps",
                                   "europeanDates",
                                   "outputEuropeanDates",
                                   "outputEuropeanAmounts",
                                   "outputDashDates",
                                   "justFinishLater",
                                   "removeLongNumber",
                                   "updateCategoryWhenDescriptionChanged",
                                   "converted2.2",
                               }));
}

TEST_F(OptionsDialogTest, OkSetsTheOutputDatePatterns) {
  dialog.display();
  edit([](OptionsForm& f) { f.outputEuropeanDates.on = true; });
  dialog.ok();
  EXPECT_EQ(host.monthDayPatterns, (std::vector<std::string>{"%d/%m"}));
  EXPECT_EQ(str(prefs.prefs(), prefKey::OutputDateFormat), "%d/%m/%Y");
  EXPECT_EQ(str(prefs.prefs(), prefKey::OutputDateFormatShortYear), "%d/%m/%y");

  dialog.display();
  edit([](OptionsForm& f) { f.outputEuropeanDates.on = false; });
  dialog.ok();
  EXPECT_EQ(host.monthDayPatterns.back(), "%m/%d");
  EXPECT_EQ(str(prefs.prefs(), prefKey::OutputDateFormat), "%m/%d/%Y");
  EXPECT_EQ(str(prefs.prefs(), prefKey::OutputDateFormatShortYear), "%m/%d/%y");
}

TEST_F(OptionsDialogTest, OkSetsTheInvestmentDecimalSeparator) {
  EXPECT_EQ(dialog.decimalSeparator(), ".");
  dialog.display();
  edit([](OptionsForm& f) { f.outputEuropeanAmounts.on = true; });
  dialog.ok();
  EXPECT_EQ(dialog.decimalSeparator(), ",");

  // A dialog made over a list that already has the option starts with the comma.
  ScriptedOptionsView otherView;
  OptionsDialog reopened{prefs, options, otherView, host};
  EXPECT_EQ(reopened.decimalSeparator(), ",");

  dialog.display();
  edit([](OptionsForm& f) { f.outputEuropeanAmounts.on = false; });
  dialog.ok();
  EXPECT_EQ(dialog.decimalSeparator(), ".");
}

TEST_F(OptionsDialogTest, UpdateChecksSwitchedOffStayOff) {
  prefs.setBool(prefKey::SUEnableAutomaticChecks, true);
  dialog.display();
  EXPECT_TRUE(view.controls.checkForUpdates.on);

  edit([](OptionsForm& f) { f.checkForUpdates.on = false; });
  dialog.ok();
  const Value& stored = prefs.objectForKey(prefKey::SUEnableAutomaticChecks);
  ASSERT_TRUE(stored.isBool());
  EXPECT_FALSE(stored.toBool());

  dialog.display();
  EXPECT_FALSE(view.controls.checkForUpdates.on);
}

TEST_F(OptionsDialogTest, PrecisionsShowAndStoreDecimalPlaces) {
  prefs.setInt(prefKey::amountsPrecision, 3);
  prefs.setInt(prefKey::sharesPrecision, 8);
  prefs.setInt(prefKey::pricesPrecision, 5);
  prefs.setInt(prefKey::bccAmountsPrecision, 2);
  dialog.display();
  EXPECT_EQ(view.controls.amountsPrecision, 1);
  EXPECT_EQ(view.controls.sharesPrecision, 6);
  EXPECT_EQ(view.controls.pricesPrecision, 3);
  EXPECT_EQ(view.controls.bccAmountsPrecision, 0);

  edit([](OptionsForm& f) {
    f.amountsPrecision = 0;
    f.sharesPrecision = 4;
    f.pricesPrecision = 6;
    f.bccAmountsPrecision = 1;
  });
  dialog.ok();
  EXPECT_EQ(prefs.intForKey(prefKey::amountsPrecision), 2);
  EXPECT_EQ(prefs.intForKey(prefKey::sharesPrecision), 6);
  EXPECT_EQ(prefs.intForKey(prefKey::pricesPrecision), 8);
  EXPECT_EQ(prefs.intForKey(prefKey::bccAmountsPrecision), 3);
}

TEST_F(OptionsDialogTest, PrecisionsOutsideThePopupSelectTheNearestItem) {
  prefs.setInt(prefKey::amountsPrecision, 0);
  prefs.setInt(prefKey::sharesPrecision, 40);
  prefs.removeObjectForKey(prefKey::pricesPrecision);
  dialog.display();
  EXPECT_EQ(view.controls.amountsPrecision, 0);
  EXPECT_EQ(view.controls.sharesPrecision, kPrecisionItemCount - 1);
  EXPECT_EQ(view.controls.pricesPrecision, 0);
}

TEST_F(OptionsDialogTest, OkStoresTheTemplatesAsTyped) {
  dialog.display();
  edit([](OptionsForm& f) {
    f.descriptionOutput = "%m (%d)";
    f.memoOutput = "";
  });
  dialog.ok();
  EXPECT_EQ(str(prefs.prefs(), prefKey::DescriptionOutput), "%m (%d)");
  EXPECT_EQ(str(prefs.prefs(), prefKey::MemoOutput), "");
}

TEST_F(OptionsDialogTest, OkWritesTheStoreFileAndEndsTheDialog) {
  dialog.display();
  edit([](OptionsForm& f) { f.initialCaps.on = true; });
  dialog.ok();

  EXPECT_TRUE(host.menusEnabled);
  EXPECT_FALSE(view.open);
  CVPrefs reread = CVPrefs::initWithPath(prefs.prefsPath());
  EXPECT_EQ(storedList(reread), (std::vector<std::string>{"initialCaps", "converted2.2"}));
}

TEST_F(OptionsDialogTest, CancelStoresNothing) {
  setList({option::initialCaps});
  prefs.setBool(prefKey::SUEnableAutomaticChecks, true);
  dialog.display();
  edit([](OptionsForm& f) {
    f.initialCaps.on = false;
    f.removeLongNumber.on = true;
    f.checkForUpdates.on = false;
    f.amountsPrecision = 5;
    f.outputEuropeanDates.on = true;
  });
  dialog.cancel();

  EXPECT_EQ(storedList(prefs), (std::vector<std::string>{"initialCaps"}));
  EXPECT_TRUE(prefs.boolForKey(prefKey::SUEnableAutomaticChecks));
  EXPECT_EQ(prefs.intForKey(prefKey::amountsPrecision), 2);
  EXPECT_TRUE(host.monthDayPatterns.empty());
  EXPECT_TRUE(host.menusEnabled);
  EXPECT_FALSE(view.open);
}

}  // namespace
}  // namespace corvela
