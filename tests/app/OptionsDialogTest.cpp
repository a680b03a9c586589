#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ControlSettings.h"
#include "app/OptionsDialog.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "support/RecordingOptionsHost.h"
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

// The stored option list, its names parted by spaces.
std::string stored(const CVPrefs& prefs) {
  std::string text;
  for (const Value& name : prefs.objectForKey(prefKey::Preferences).toArray())
    text += (text.empty() ? "" : " ") + name.toString();
  return text;
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

  // Stores the option list `names`, parted by spaces.
  void setList(const std::string& names) {
    Value list = Value::array();
    std::istringstream in(names);
    for (std::string name; in >> name;) list.append(Value(name));
    prefs.setObject(prefKey::Preferences, list);
  }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  Preferences options{prefs};
  ScriptedOptionsView view;
  // The controls of the open dialog, which the person changes before the control's action runs.
  OptionsForm& form = view.controls;
  testing::RecordingOptionsHost host{prefs};
  OptionsDialog dialog{prefs, options, view, host};
};

// OK writes the options in their order; each of them, alone, survives display and OK.
TEST_F(OptionsDialogTest, OkWritesEveryOptionInItsOrderAndDisplayShowsIt) {
  std::vector<std::string> written;
  for (int pass : {1, 2}) {
    setList("accountsInCategories baseSplitCategoriesOnCategories");
    dialog.display();
    for (OptionSwitch* s : testing::everySwitch(form)) s->on = true;
    form.clearedStatusBankTransactions = pass;
    form.clearedStatusCreditCardTransactions = 3 - pass;
    form.clearedStatusInvestmentTransactions = pass;
    form.clearedStatusUnknownTransactions = 3 - pass;
    form.descriptionMemoMatchPopup = 3 - pass;
    form.categoryRadioButtons = pass - 1;
    form.cancelRadioButtons = 2 - pass;
    dialog.ok();
    if (pass == 1) {
      EXPECT_EQ(stored(prefs),
                "append showAllAccountNames markBankTransactionsAsCleared "
                "markCreditCardTransactionsAsUncleared markInvestmentTransactionsAsCleared "
                "markUnknownTransactionsAsUncleared runAutomatically confirmAllTransactions "
                "textConfirmAllTransactions treatMemoAsDescription leaveBlankDescriptionsBlank "
                "matchMemoThenDescription longestInstructionMatch matchDescriptionWithContains "
                "quicken2003 formatFirstMatch useOFXTRNTYPE initialCaps europeanDates "
                "outputEuropeanDates outputEuropeanAmounts outputDashDates justFinishLater "
                "removeLongNumber updateCategoryWhenDescriptionChanged converted2.2");
    }
    std::istringstream names(stored(prefs));
    for (std::string name; names >> name;)
      if (name != "converted2.2") written.push_back(name);
  }
  for (const std::string& alone : written) {
    if (alone == option::showAllAccountNames) continue;  // offered only with append
    setList(alone);
    dialog.display();
    dialog.ok();
    EXPECT_EQ(stored(prefs), alone + " converted2.2");
  }
}

// Where options exclude each other, the dialog shows (and so keeps) the one that wins; options
// it does not show are dropped.
TEST_F(OptionsDialogTest, DisplayThenOkKeepsWhatTheDialogShows) {
  const std::pair<const char*, const char*> cases[] = {
      {"baseCategoriesOnCategories useCategoriesIfPresent", "useCategoriesIfPresent"},
      {"dontAddCategories baseCategoriesOnCategories", "baseCategoriesOnCategories"},
      {"justFinishLater justStop", "justStop"},
      {"showAllAccountNames", ""},
      {"append showAllAccountNames", "append showAllAccountNames"},
      {"dontAddCategories updateCategoryWhenDescriptionChanged", "dontAddCategories"},
      {"accountsInCategories dontConfirmCancel", ""},
  };
  for (auto [list, kept] : cases) {
    setList(list);
    dialog.display();
    dialog.ok();
    EXPECT_EQ(stored(prefs), (*kept ? std::string(kept) + " " : "") + "converted2.2") << list;
  }
  // Both pages show the one European-dates option.
  setList("europeanDates");
  dialog.display();
  EXPECT_TRUE(form.europeanDates.on && form.secondQIFEuropeanDates.on);
}

// The output notation chosen reaches the date patterns, the store file and the investment decimal
// separator, and a dialog made later over the stored list starts with it.
TEST_F(OptionsDialogTest, OkSetsTheOutputNotation) {
  EXPECT_EQ(dialog.decimalSeparator(), ".");
  for (bool european : {true, false}) {
    dialog.display();
    form.outputEuropeanDates.on = european;
    form.outputEuropeanAmounts.on = european;
    dialog.ok();
    const char* monthDay = european ? "%d/%m" : "%m/%d";
    EXPECT_EQ(host.patterns.back(), monthDay);
    // OK ends the dialog and writes the store file itself.
    EXPECT_TRUE(host.menusEnabled && !view.open);
    EXPECT_EQ(str(CVPrefs::initWithPath(prefs.prefsPath()).prefs(), prefKey::OutputDateFormat),
              std::string(monthDay) + "/%Y");
    EXPECT_EQ(str(prefs.prefs(), prefKey::OutputDateFormatShortYear),
              std::string(monthDay) + "/%y");
    ScriptedOptionsView otherView;
    OptionsDialog reopened{prefs, options, otherView, host};
    EXPECT_EQ(dialog.decimalSeparator(), european ? "," : ".");
    EXPECT_EQ(reopened.decimalSeparator(), european ? "," : ".");
  }
}

// The precision popups show decimal places from two on; stored values outside them select the
// nearest item. Update checks switched off stay off, and the second European-dates checkbox
// reaches the option through its mirror.
TEST_F(OptionsDialogTest, OkStoresPrecisionsUpdateChecksAndTheMirroredEuropeanDates) {
  struct Case {
    std::string_view key;
    int OptionsForm::*popUp;
    std::optional<int> stored;
    int shown, chosen, storedAfter;
  };
  const Case cases[] = {
      {prefKey::amountsPrecision, &OptionsForm::amountsPrecision, 3, 1, 0, 2},
      {prefKey::sharesPrecision, &OptionsForm::sharesPrecision, 40, kPrecisionItemCount - 1, 4, 6},
      {prefKey::pricesPrecision, &OptionsForm::pricesPrecision, std::nullopt, 0, 6, 8},
      {prefKey::bccAmountsPrecision, &OptionsForm::bccAmountsPrecision, 0, 0, 1, 3},
  };
  for (const Case& c : cases) {
    if (c.stored) {
      prefs.setInt(c.key, *c.stored);
    } else {
      prefs.removeObjectForKey(c.key);
    }
  }
  prefs.setBool(prefKey::SUEnableAutomaticChecks, true);
  dialog.display();
  for (const Case& c : cases) {
    EXPECT_EQ(form.*c.popUp, c.shown) << c.key;
    form.*c.popUp = c.chosen;
  }
  EXPECT_TRUE(form.checkForUpdates.on);
  form.checkForUpdates.on = false;
  // The two European-dates checkboxes mirror each other (the window's tests click them); only
  // the first is read by OK, so the mirror must have reached it.
  form.secondQIFEuropeanDates.on = true;
  dialog.secondQIFEuropeanDates();
  dialog.ok();
  for (const Case& c : cases) EXPECT_EQ(prefs.intForKey(c.key), c.storedAfter) << c.key;
  EXPECT_EQ(prefs.objectForKey(prefKey::SUEnableAutomaticChecks), Value(false));
  EXPECT_TRUE(options.isOn(option::europeanDates));
  dialog.display();
  EXPECT_FALSE(form.checkForUpdates.on);
}

// Cancel stores none of the controls changed, but checking append forgets the remembered output
// file all the same; without remembered settings, none are created.
TEST_F(OptionsDialogTest, CancelStoresNothingButCheckingAppendForgetsTheOutputFile) {
  dialog.display();
  form.append.on = true;
  dialog.append();
  EXPECT_TRUE(prefs.objectForKey(controllerKey::ControlSettings).isNull());
  dialog.cancel();

  setList("initialCaps");
  prefs.setBool(prefKey::SUEnableAutomaticChecks, true);
  prefs.setObject(controllerKey::ControlSettings,
                  Value{{std::string(controlSettingsKey::whichTransactions), Value(2)},
                        {std::string(controlSettingsKey::outputFilePath), Value("/tmp/out.qif")}});
  dialog.display();
  form.initialCaps.on = false;
  form.removeLongNumber.on = true;
  form.checkForUpdates.on = false;
  form.amountsPrecision = 5;
  form.outputEuropeanDates.on = true;
  form.append.on = true;
  dialog.append();
  EXPECT_EQ(form.showAllAccountNames, (OptionSwitch{false, true}));
  EXPECT_TRUE(form.showAllAccountNamesHelpEnabled);
  dialog.cancel();

  EXPECT_EQ(prefs.objectForKey(controllerKey::ControlSettings),
            (Value{{std::string(controlSettingsKey::whichTransactions), Value(2)}}));
  EXPECT_EQ(stored(prefs), "initialCaps");
  EXPECT_TRUE(prefs.boolForKey(prefKey::SUEnableAutomaticChecks));
  EXPECT_EQ(prefs.intForKey(prefKey::amountsPrecision), 2);
  EXPECT_TRUE(host.patterns.empty());
  EXPECT_TRUE(host.menusEnabled);
  EXPECT_FALSE(view.open);
  EXPECT_FALSE(std::filesystem::exists(prefs.prefsPath()));
}

}  // namespace
}  // namespace corvela
