#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
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

TEST_F(PreferencesTest, FindWithoutAListAnswersNotFound) {
  EXPECT_EQ(Preferences::kNotFound, 2147483647);
  EXPECT_EQ(preferences.find(option::append), Preferences::kNotFound);
  EXPECT_FALSE(preferences.isOn(option::append));
}

TEST_F(PreferencesTest, AddSwitchesAnOptionOnOnce) {
  preferences.add(option::append);
  preferences.add(option::initialCaps);
  preferences.add(option::append);

  EXPECT_EQ(prefs.objectForKey(prefKey::Preferences),
            optionList({option::append, option::initialCaps}));
  EXPECT_EQ(preferences.find(option::append), 0);
  EXPECT_EQ(preferences.find(option::initialCaps), 1);
  EXPECT_EQ(preferences.find(option::outputDashDates), Preferences::kNotFound);
}

TEST_F(PreferencesTest, FirstRunAsksHowCorvelaWillBeUsed) {
  platform.answerNextAlert(kCategorize);
  normalize();

  ASSERT_EQ(platform.alerts.size(), 1u);
  const Alert& alert = platform.alerts[0];
  EXPECT_EQ(alert.title, "Corvela First Run");
  EXPECT_EQ(alert.text,
            "Will your primary use of Corvela be to convert data from one format to another "
            "without modification, or to categorize transactions?\r\rYour answer will be used to "
            "default the preferences, which can later be changed to customize Corvela in many "
            "different ways.");
  EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Just Convert", "Categorize"}));
}

struct FirstRunCase {
  int answer;
  std::vector<std::string_view> expected;
};
void PrintTo(const FirstRunCase& c, std::ostream* os) { *os << "answer " << c.answer; }

class FirstRunTest : public PreferencesTest, public ::testing::WithParamInterface<FirstRunCase> {};

TEST_P(FirstRunTest, TheAnswerDecidesTheStartingOptions) {
  platform.answerNextAlert(GetParam().answer);
  normalize();
  EXPECT_EQ(prefs.objectForKey(prefKey::Preferences), optionList(GetParam().expected));
  EXPECT_FALSE(preferences.isOn(option::quicken2003));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FirstRunTest,
    ::testing::Values(FirstRunCase{kJustConvert,
                                   {option::dontAddCategories, option::textConfirmAllTransactions,
                                    option::converted2_2, option::accountsInCategories}},
                      FirstRunCase{kCategorize,
                                   {option::textConfirmAllTransactions, option::converted2_2,
                                    option::accountsInCategories}}));

TEST_F(PreferencesTest, AnOlderListIsBroughtUpToDateWithoutAsking) {
  prefs.setObject(prefKey::Preferences, optionList({option::append, option::dontConfirmCancel}));
  prefs.setBool(prefKey::qifCancelDontAsk, true);
  prefs.setBool(prefKey::invCancelDontAsk, true);
  normalize();

  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(prefs.objectForKey(prefKey::Preferences),
            optionList({option::append, option::quicken2003, option::textConfirmAllTransactions,
                        option::converted2_2, option::accountsInCategories}));
  EXPECT_FALSE(prefs.prefs().contains(prefKey::qifCancelDontAsk));
  EXPECT_FALSE(prefs.prefs().contains(prefKey::invCancelDontAsk));
}

TEST_F(PreferencesTest, EitherOldCancelKeyRemovesBoth) {
  for (std::string_view present : {prefKey::qifCancelDontAsk, prefKey::invCancelDontAsk}) {
    SCOPED_TRACE(present);
    prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
    prefs.setBool(present, false);
    normalize();
    EXPECT_FALSE(prefs.prefs().contains(prefKey::qifCancelDontAsk));
    EXPECT_FALSE(prefs.prefs().contains(prefKey::invCancelDontAsk));
  }
}

TEST_F(PreferencesTest, ACurrentListOnlyLosesDontConfirmCancel) {
  prefs.setObject(prefKey::Preferences,
                  optionList({option::converted2_2, option::dontConfirmCancel,
                              option::accountsInCategories, option::justStop}));
  normalize();
  EXPECT_EQ(prefs.objectForKey(prefKey::Preferences),
            optionList({option::converted2_2, option::accountsInCategories, option::justStop}));
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

TEST_F(PreferencesTest, DefaultsAreWrittenWhenAbsent) {
  prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
  normalize();
  EXPECT_EQ(prefs.intForKey(prefKey::amountsPrecision), 2);
  EXPECT_EQ(prefs.intForKey(prefKey::pricesPrecision), 4);
  EXPECT_EQ(prefs.intForKey(prefKey::sharesPrecision), 2);
  EXPECT_EQ(prefs.intForKey(prefKey::bccAmountsPrecision), 2);
  EXPECT_EQ(prefs.objectForKey(prefKey::OutputDateFormat), Value("%m/%d/%Y"));
  EXPECT_EQ(prefs.objectForKey(prefKey::OutputDateFormatShortYear), Value("%m/%d/%y"));
  EXPECT_EQ(prefs.objectForKey(prefKey::DescriptionOutput), Value("%d"));
  EXPECT_EQ(prefs.objectForKey(prefKey::MemoOutput), Value("%m"));
  EXPECT_FALSE(prefs.prefs().contains(prefKey::SUEnableAutomaticChecks));
}

TEST_F(PreferencesTest, StoredSettingsAreKept) {
  prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
  prefs.setInt(prefKey::amountsPrecision, 3);
  prefs.setObject(prefKey::OutputDateFormat, "%d/%m/%Y");
  prefs.setObject(prefKey::DescriptionOutput, "%d (%m)");
  prefs.setObject(prefKey::MemoOutput, "");
  prefs.setInt(prefKey::bccAmountsPrecision, 0);
  normalize();

  EXPECT_EQ(prefs.intForKey(prefKey::amountsPrecision), 3);
  // The three precisions and the two date patterns are written as groups, keyed on the first.
  EXPECT_FALSE(prefs.prefs().contains(prefKey::pricesPrecision));
  EXPECT_FALSE(prefs.prefs().contains(prefKey::OutputDateFormatShortYear));
  EXPECT_EQ(prefs.objectForKey(prefKey::OutputDateFormat), Value("%d/%m/%Y"));
  EXPECT_EQ(prefs.objectForKey(prefKey::DescriptionOutput), Value("%d (%m)"));
  EXPECT_EQ(prefs.objectForKey(prefKey::MemoOutput), Value(""));
  EXPECT_EQ(prefs.intForKey(prefKey::bccAmountsPrecision), 0);
}

struct UpdateCheckCase {
  Value checkForUpdates;
  Value enableBefore;
  Value expected;
};
void PrintTo(const UpdateCheckCase& c, std::ostream* os) {
  *os << "CheckForUpdates " << describe(c.checkForUpdates) << ", SUEnableAutomaticChecks "
      << describe(c.enableBefore);
}

class UpdateCheckTest : public PreferencesTest,
                        public ::testing::WithParamInterface<UpdateCheckCase> {};

TEST_P(UpdateCheckTest, TheUpdateAnswerIsTakenOverOnce) {
  prefs.setObject(prefKey::Preferences, optionList({option::converted2_2}));
  prefs.setObject(prefKey::CheckForUpdates, GetParam().checkForUpdates);
  prefs.setObject(prefKey::SUEnableAutomaticChecks, GetParam().enableBefore);
  normalize();
  EXPECT_EQ(prefs.objectForKey(prefKey::SUEnableAutomaticChecks), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Answers, UpdateCheckTest,
                         ::testing::Values(UpdateCheckCase{true, {}, true},
                                           UpdateCheckCase{false, {}, {}},
                                           UpdateCheckCase{{}, {}, {}},
                                           UpdateCheckCase{true, false, false}));

}  // namespace
}  // namespace corvela
