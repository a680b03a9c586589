#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "prefs/CVPrefs.h"
#include "prefs/CancelConfirm.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

constexpr int kJustConvert = 0;
constexpr int kCategorize = 1;

Value optionList(std::vector<std::string_view> names) {
  Value list = Value::array();
  for (std::string_view name : names) list.append(Value(name));
  return list;
}

class PreferencesTest : public ::testing::Test {
 protected:
  void normalize() {
    preferences.normalizeOptionList(platform, [this] { categories.updateAccounts(); });
    preferences.writeOutputDefaults();
  }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  testing::ScriptedPlatform platform;
  Preferences preferences{prefs};
  Categories categories{prefs, platform};
};

TEST_F(PreferencesTest, AddSwitchesAnOptionOnOnce) {
  EXPECT_EQ(preferences.find(option::append), Preferences::kNotFound);
  preferences.add(option::append);
  preferences.add(option::initialCaps);
  preferences.add(option::append);
  EXPECT_EQ(prefs.objectForKey(prefKey::Preferences),
            optionList({option::append, option::initialCaps}));
  EXPECT_EQ(preferences.find(option::initialCaps), 1);
  EXPECT_FALSE(preferences.isOn(option::outputDashDates));
}

// Answers worked out from the store (is an option on, is a category known) follow every way
// the store can change: values set or removed, the whole store assigned, another process's
// write merged in. Each case asks first, so that an answer kept from before would show.
TEST(StoreAnswersTest, FollowEveryChangeOfTheStore) {
  const Value on = optionList({option::append});
  const Value food = Value(Value::Array{Value("Food")});
  struct Case {
    const char* how;
    std::function<void(CVPrefs&)> before, change;
    bool answersAfter;  // whether "append" is on and "Food" known after the change
  };
  auto setBoth = [&](CVPrefs& prefs) {
    prefs.setObject(prefKey::Preferences, on);
    prefs.setObject(prefKey::Categories, food);
  };
  const Case cases[] = {
      {"set", [](CVPrefs&) {}, setBoth, true},
      {"removed", setBoth,
       [](CVPrefs& prefs) {
         prefs.removeObjectForKey(prefKey::Preferences);
         prefs.removeObjectForKey(prefKey::Categories);
       },
       false},
      // As many changes on each side: a count copied with the store would hide the new one.
      {"assigned",
       [](CVPrefs& prefs) {
         prefs.setObject("one", 1);
         prefs.setObject("two", 2);
       },
       [&](CVPrefs& prefs) {
         CVPrefs other(prefs.prefsPath() + ".other");
         setBoth(other);
         prefs = other;
       },
       true},
      {"merged",
       [](CVPrefs& prefs) {
         prefs.setObject("written", true);
         ASSERT_TRUE(prefs.synchronizeNow());
         prefs.setObject("changedHere", true);
       },
       [&](CVPrefs& prefs) {
         CVPrefs other = CVPrefs::initWithPath(prefs.prefsPath());
         setBoth(other);
         ASSERT_TRUE(other.synchronizeNow());
         ASSERT_TRUE(prefs.synchronizeNow());
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    testing::ScratchStore store;
    testing::ScriptedPlatform platform;
    Preferences options(store.prefs);
    Categories categories(store.prefs, platform);
    c.before(store.prefs);
    EXPECT_EQ(options.isOn(option::append), !c.answersAfter);
    EXPECT_EQ(categories.contains("Food"), !c.answersAfter);
    c.change(store.prefs);
    EXPECT_EQ(options.isOn(option::append), c.answersAfter);
    EXPECT_EQ(categories.contains("Food"), c.answersAfter);
  }
}

// A first run asks how Corvela will be used and starts from the answer's options; an older list
// is brought up to date without asking, losing dontConfirmCancel and the old cancel keys.
TEST_F(PreferencesTest, TheOptionListIsBroughtUpToDate) {
  struct Case {
    std::vector<std::string_view> before;  // empty: a first run
    int answer;
    std::vector<std::string_view> after;
  };
  const Case cases[] = {
      {{},
       kJustConvert,
       {option::dontAddCategories, option::textConfirmAllTransactions, option::converted2_2,
        option::accountsInCategories}},
      {{},
       kCategorize,
       {option::textConfirmAllTransactions, option::converted2_2, option::accountsInCategories}},
      {{option::append, option::dontConfirmCancel},
       -1,
       {option::append, option::quicken2003, option::textConfirmAllTransactions,
        option::converted2_2, option::accountsInCategories}},
      {{option::converted2_2, option::dontConfirmCancel, option::accountsInCategories,
        option::justStop},
       -1,
       {option::converted2_2, option::accountsInCategories, option::justStop}}};
  for (const Case& c : cases) {
    testing::ScratchStore scratch;
    testing::ScriptedPlatform asked;
    Preferences options{scratch.prefs};
    Categories list{scratch.prefs, asked};
    if (!c.before.empty()) scratch.prefs.setObject(prefKey::Preferences, optionList(c.before));
    // Either old cancel key removes both.
    if (!c.before.empty())
      scratch.prefs.setBool(
          c.before.size() == 2 ? prefKey::qifCancelDontAsk : prefKey::invCancelDontAsk, false);
    if (c.answer >= 0) asked.answerNextAlert(c.answer);
    options.normalizeOptionList(asked, [&] { list.updateAccounts(); });
    EXPECT_EQ(scratch.prefs.objectForKey(prefKey::Preferences), optionList(c.after));
    EXPECT_EQ(asked.alerts.size(), c.answer >= 0 ? 1u : 0u);
    if (c.answer >= 0) {
      EXPECT_EQ(asked.alerts[0].title, "Corvela First Run");
      EXPECT_EQ(asked.alerts[0].buttons, (std::vector<std::string>{"Just Convert", "Categorize"}));
    }
    EXPECT_FALSE(scratch.prefs.prefs().contains(prefKey::qifCancelDontAsk));
    EXPECT_FALSE(scratch.prefs.prefs().contains(prefKey::invCancelDontAsk));
  }
}

TEST_F(PreferencesTest, AccountsJoinTheCategoriesOnce) {
  Accounts(prefs).setAccountsArray(Value(Value::Array{Value{{"Name", "Checking"}, {"Type", "Bank"}},
                                                      Value{{"Name", "Visa"}, {"Type", "CCard"}}}));
  categories.setCategoriesArray(Value(Value::Array{"Auto"}));
  prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
  normalize();
  EXPECT_EQ(categories.getCategoriesArray(), Value(Value::Array{"Auto", "[Checking]", "[Visa]"}));
  EXPECT_TRUE(preferences.isOn(option::accountsInCategories));

  // Once marked, later start-ups leave the categories alone.
  categories.setCategoriesArray(Value(Value::Array{"Auto"}));
  normalize();
  EXPECT_EQ(categories.getCategoriesArray(), Value(Value::Array{"Auto"}));
}

// The three precisions and the two date patterns are written as groups, keyed on the first;
// stored settings are kept.
TEST_F(PreferencesTest, DefaultsAreWrittenWhereAbsent) {
  prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
  normalize();

  testing::ScratchStore stored;
  Preferences options{stored.prefs};
  Value mine{{"Preferences", optionList({option::converted2_2})},
             {"amountsPrecision", 3},
             {"OutputDateFormat", "%d/%m/%Y"},
             {"DescriptionOutput", "%d (%m)"},
             {"MemoOutput", ""},
             {"bccAmountsPrecision", 0}};
  for (const auto& [key, value] : mine.toDictionary()) stored.prefs.setObject(key, value);
  options.writeOutputDefaults();
  // The whole of both stores: the defaults of a new one, and what a store with settings kept.
  testing::expectDataFile("prefs/output-defaults.json",
                          toJSON(Value{{"new", prefs.prefs()}, {"stored", stored.prefs.prefs()}}));
}

// The update answer is taken over once: CheckForUpdates, SUEnableAutomaticChecks -> after.
TEST_F(PreferencesTest, TheUpdateAnswerIsTakenOverOnce) {
  const Value cases[][3] = {{true, {}, true}, {false, {}, {}}, {{}, {}, {}}, {true, false, false}};
  for (const auto& [check, before, after] : cases) {
    testing::ScratchStore scratch;
    Preferences options{scratch.prefs};
    scratch.prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
    scratch.prefs.setObject(prefKey::CheckForUpdates, check);
    scratch.prefs.setObject(prefKey::SUEnableAutomaticChecks, before);
    options.normalizeOptionList(platform, [] {});
    options.writeOutputDefaults();
    EXPECT_EQ(scratch.prefs.objectForKey(prefKey::SUEnableAutomaticChecks), after)
        << describe(check) << describe(before);
  }
}

// The answer, whether the sheet was shown, and the two switches after it. A switch chosen on
// the sheet is remembered whichever button closed it.
TEST(CancelConfirmTest, AnswersAndRemembers) {
  using A = CancelConfirm::Answer;
  using R = CancelRemember;
  struct Case {
    std::vector<std::string_view> optionsOn;
    int button;  // -1: the sheet is not shown
    CancelRemember remember;
    A answer;
    bool justStopAfter, justFinishLaterAfter;
  };
  const Case cases[] = {
      {{}, 0, R::askEveryTime, A::stop, false, false},
      {{}, 1, R::askEveryTime, A::finishLater, false, false},
      {{}, 2, R::askEveryTime, A::finishNow, false, false},
      {{}, 7, R::askEveryTime, A::finishNow, false, false},  // an unknown button goes on
      {{}, 0, R::alwaysStop, A::stop, true, false},
      {{}, 1, R::alwaysFinishLater, A::finishLater, false, true},
      {{}, 2, R::alwaysStop, A::finishNow, true, false},
      {{option::justStop}, -1, {}, A::stop, true, false},
      {{option::justFinishLater}, -1, {}, A::finishLater, false, true},
      {{option::justFinishLater, option::justStop}, -1, {}, A::stop, true, true}};
  for (const Case& c : cases) {
    testing::ScratchStore store;
    Preferences options(store.prefs);
    testing::ScriptedPlatform platform;
    for (std::string_view name : c.optionsOn) options.add(name);
    if (c.button >= 0) platform.answerNextCancelConfirm(c.button, c.remember);
    EXPECT_EQ(CancelConfirm(options, platform).cancelConfirm(), c.answer) << c.button;
    EXPECT_EQ(platform.cancelConfirms, c.button >= 0 ? 1 : 0);
    EXPECT_EQ(options.isOn(option::justStop), c.justStopAfter);
    EXPECT_EQ(options.isOn(option::justFinishLater), c.justFinishLaterAfter);
  }
}

}  // namespace
}  // namespace corvela
