#include <gtest/gtest.h>

#include "app/ControlSettings.h"
#include "app/ControllerPorts.h"
#include "app/StartUp.h"
#include "formats/OutputFormats.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "prefs/Bundle.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela::testing {
namespace {

// Records the formats handed to it, and what start-up had done by then.
class RecordingFormats : public InputFormatTools {
 public:
  explicit RecordingFormats(const CVPrefs& store) : store_(store) {}
  Status available() const override { return Status::OK(); }
  void importFile(const std::string&) override {}
  void learnFromString(const std::string&, const std::string&, const std::string&) override {}
  void addFormat(const Value& format) override {
    names.push_back(str(format, "Name"));
    // The questions and defaults come first, the description list after.
    questionsDone = questionsDone && !store_.objectForKey("CheckForUpdates").isNull() &&
                    !store_.objectForKey("DescriptionOutput").isNull();
    descriptionsBefore = descriptionsBefore || !store_.objectForKey("Descriptions").isNull();
  }
  std::vector<std::string> names;
  bool questionsDone = true;
  bool descriptionsBefore = false;

 private:
  const CVPrefs& store_;
};

struct StartUpHarness {
  ScratchStore scratch;
  CVPrefs& store = scratch.prefs;
  ScriptedPlatform platform;
  Preferences options{store};
  Categories categories{store, platform};
  Descriptions descriptions{store};
  Instructions instructions{store, options};
  OutputFormats outputFormats{store, options, categories, Bundle::builtIn()};
  RecordingFormats formats{store};

  void startUp() {
    corvela::startUp(
        {store, options, platform, categories, descriptions, instructions, outputFormats, formats});
  }
};

// A new store asks the first-run question, then the update question; the answers are kept, so
// the next start asks nothing (the scripted platform fails on an unexpected alert).
TEST(StartUp, AsksEachQuestionOnceInOrder) {
  for (int answer : {0, 1}) {
    StartUpHarness h;
    h.platform.answerNextAlert(1);
    h.platform.answerNextAlert(answer);
    h.startUp();
    ASSERT_EQ(h.platform.alerts.size(), 2u);
    EXPECT_EQ(h.platform.alerts[0].title, "Corvela First Run");
    EXPECT_EQ(h.platform.alerts[1].title, kUpdateQuestionTitle);
    EXPECT_EQ(h.platform.alerts[1].buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(h.store.boolForKey("CheckForUpdates"), answer == 0);
    // The option the preferences window shows follows the answer.
    EXPECT_EQ(h.store.boolForKey("SUEnableAutomaticChecks"), answer == 0);
    h.startUp();
    EXPECT_EQ(h.platform.alerts.size(), 2u);
  }
}

// The stored formats are added again in order, after the questions and before the description
// list is made from the instructions (when there is none).
TEST(StartUp, DescriptionListIsMadeFromInstructionsOnlyWhenAbsent) {
  const Value instructions = Value::Array{
      Value{{"descriptionMatch", "shop"}, {"newDescription", "Corner Shop"}, {"category", "Food"}},
      Value{{"categoryMatch", "Gifts"}, {"category", "Gifts"}},
      Value{{"descriptionMatch", "RENT"},
            {"category", "Housing"},
            {"amounts", Value::Array{Value{{"amount", "-500.00"}, {"amountDescription", "Garage"}},
                                     Value{{"amount", "-9.00"}}}}}};
  struct Case {
    Value stored;  // the description list before start-up; null for none
    Value expected;
  };
  const Case cases[] = {
      {Value(), Value::Array{"Corner Shop", "Garage", "RENT", "shop"}},
      {Value::Array{}, Value::Array{}},
      {Value::Array{"Bakery"}, Value::Array{"Bakery"}},
  };
  for (const Case& c : cases) {
    StartUpHarness h;
    h.store.setObject("Preferences", Value::Array{Value("converted2.2")});
    h.store.setObject("CheckForUpdates", true);
    h.store.setObject("Instructions", instructions);
    h.store.setObject("Descriptions", c.stored);
    h.store.setObject("Formats", Value::Array{Value{{"Name", "Zeta"}}, Value{{"Name", "Alpha"}}});
    h.startUp();
    EXPECT_EQ(h.store.objectForKey("Descriptions"), c.expected);
    EXPECT_EQ(h.formats.names, (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_TRUE(h.formats.questionsDone);
    EXPECT_EQ(h.formats.descriptionsBefore, !c.stored.isNull());
  }
}

TEST(StartUp, OlderControlSettingsDatesBecomeDates) {
  struct Case {
    const char* name;
    Value stored;
    Value expected;
  };
  const Value jan31(dateOfDay({2009, 1, 31}));
  const Value jul4(dateOfDay({2010, 7, 4}));
  const Case cases[] = {
      {"one date of an older version",
       Value{{"dateFromString", "01/31/2009"}, {"whichTransactions", 2}},
       Value{{"dateFrom", jan31}, {"whichTransactions", 2}, {"inputQIFType", 0}}},
      {"all three",
       Value{{"dateFromString", "01/31/2009"},
             {"dateToString", "07/04/2010"},
             {"outputDateString", "7/4/2010"},
             {"inputQIFType", 2}},
       Value{{"dateFrom", jan31}, {"dateTo", jul4}, {"outputDate", jul4}, {"inputQIFType", 2}}},
      {"texts that are no dates",
       Value{{"dateFromString", "31/01/2009"}, {"outputDateString", "end of June"}},
       Value{{"outputDate", "end of June"}, {"inputQIFType", 0}}},
      {"a text date replaces a date", Value{{"dateTo", jan31}, {"dateToString", "07/04/2010"}},
       Value{{"dateTo", jul4}, {"inputQIFType", 0}}},
  };
  for (const Case& c : cases) {
    ScratchStore scratch;
    scratch.prefs.setObject("ControlSettings", c.stored);
    convertOlderControlSettings(scratch.prefs);
    EXPECT_EQ(scratch.prefs.objectForKey("ControlSettings"), c.expected) << c.name;
  }
  ScratchStore none;
  convertOlderControlSettings(none.prefs);
  EXPECT_TRUE(none.prefs.objectForKey("ControlSettings").isNull());
}

}  // namespace
}  // namespace corvela::testing
