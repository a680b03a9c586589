#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/ImportQuickenExport.h"
#include "prefs/OptionNames.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"
#include "text/Lines.h"

namespace corvela {
namespace {

constexpr std::size_t kUntouched = 999;

// The three lists as the store holds them: "-" for an absent one, else its entries joined by
// ",", each record as Name/second.
std::string stored(const CVPrefs& prefs) {
  std::string out;
  for (auto [key, second] : {std::pair{prefKey::Accounts, "Type"},
                             {prefKey::Categories, ""},
                             {prefKey::Securities, "Symbol"}}) {
    const Value& list = prefs.objectForKey(key);
    out += out.empty() ? "" : " | ";
    if (list.isNull()) {
      out += "-";
      continue;
    }
    std::string entries;
    for (const Value& entry : list.toArray()) {
      entries += entries.empty() ? "" : ",";
      entries +=
          entry.isString() ? entry.toString() : str(entry, "Name") + "/" + str(entry, second);
    }
    out += "[" + entries + "]";
  }
  return out;
}

TEST(ImportQuickenExportTest, SectionsRecordsAndWhereReadingStops) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<int> answers;  // 0 YES, 1 NO, in the order asked
    int result;
    std::size_t index;
    const char* lists;  // accounts | categories | securities
  };
  // clang-format off
  const Case cases[] = {
    {"emptyCategoryListStillAsked", "!Type:Cat\n^\n", {0}, 2 | 8, 3, "- | [] | -"},
    {"accountListThenAnAccountsTransactions",
     "!Option:AutoSwitch\n!Account\nNChecking\nTBank\n^\n!Account\nNVisa\nDcard\nTCCard\n^\n"
     "!Clear:AutoSwitch\n!Account\nNChecking\n!Type:Bank\nD1/2/24\nT-5\n^",
     {0}, 1 | 8, 11, "[Checking/Bank,Visa/CCard] | - | -"},
    {"textTakenAsItStands", "!Type:Cat\nN Food \nNFood:Dining\nDnot a name\n", {0}, 2 | 8, 5,
     "- | [ Food ,Food:Dining] | -"},
    {"everyAnswerNo", "!Type:Cat\nNFood\n!Type:Security\nNAcme\nSACM\n^\n", {1, 1}, 8, 7,
     "- | - | -"},
    {"noListStillOpen", "!Type:Security\nNAcme\nSACM\n!Type:Memorized\nKD\n^\n", {1}, 0, 7,
     "- | - | -"},
    {"twoNamesInARow", "!Option:AutoSwitch\nNOne\nNTwo\nTBank\n", {}, -1, kUntouched, "- | - | -"},
    {"typeWithoutAName", "!Type:Security\nSX\n", {}, -1, kUntouched, "- | - | -"},
    {"securityWithoutSymbol", "!Type:Security\nNAcme\nTStock\n^\n", {}, -1, 5, "- | - | -"},
    {"securityBlocksAddUp",
     "!Type:Security\nNAcme\nSACM\nTStock\n^\n!Type:Security\nNBeta Fund\nS\nTMutual Fund\n^\n",
     {0}, 4 | 8, 11, "- | - | [Acme/ACM,Beta Fund/]"},
    {"secondAccountListStartsAfresh",
     "!Option:AutoSwitch\nNOld\nTBank\n!Clear:AutoSwitch\n!Option:AutoSwitch\nNNew\nTPort\n",
     {0}, 1 | 8, 8, "[New/Port] | - | -"},
    {"registerAfterAListStopsReading",
     "!Type:Cat\nNFood\n^\n!Type:Bank \nD1/2/24\nNFood\nT-5\n^\n!Type:Cat\nNLost\n",
     {0}, 2 | 8, 3, "- | [Food] | -"},
    {"registerBeforeAnyListIsPassedOver", "!Type:Bank\nD1/2/24\nT-5\n^\n!Type:Cat\nNFood\n",
     {0}, 2 | 8, 7, "- | [Food] | -"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScratchStore store;
    testing::ScriptedPlatform platform;
    for (int answer : c.answers) platform.answerNextAlert(answer);
    ImportQuickenExport import(store.prefs, platform);
    std::size_t index = kUntouched;
    EXPECT_EQ(import.process(findLines(c.text), &index, "File \"x.qif\""), c.result);
    EXPECT_EQ(index, c.index);
    EXPECT_EQ(stored(store.prefs), c.lists);
    EXPECT_TRUE(platform.allAnswersUsed());
  }
}

TEST(ImportQuickenExportTest, QuestionsInOrderAndPricesExplainedOnce) {
  testing::ScratchStore store;
  store.prefs.setObject(prefKey::Categories, Value(Value::Array{Value("Kept")}));
  testing::ScriptedPlatform platform;
  for (int answer : {0, 0, 1, 0}) platform.answerNextAlert(answer);
  ImportQuickenExport import(store.prefs, platform);
  std::size_t index = kUntouched;
  const char* text =
      "!Type:Security\nNAcme\nSACM\n^\n!Type:Prices\n\"ACM\",1.5,\"1/2/24\"\n^\n!Type:Prices\n"
      "\"ACM\",1.6,\"1/3/24\"\n^\n!Type:Cat\nNFood\n^\n!Option:AutoSwitch\nNChecking\nTBank\n^\n";
  EXPECT_EQ(import.process(findLines(text), &index, "File \"all.qif\""), 1 | 4 | 8);
  std::vector<std::string> asked;
  for (const Alert& alert : platform.alerts) {
    EXPECT_EQ(alert.title, "QIF List Import");
    asked.push_back(alert.text.substr(0, alert.text.find("  ")) + " " +
                    std::to_string(alert.buttons.size()));
  }
  EXPECT_EQ(asked, (std::vector<std::string>{
                       "File \"all.qif\" contains a list of securities prices which cannot be "
                       "imported. 1",
                       "File \"all.qif\" contains a list of ACCOUNTS. 2",
                       "File \"all.qif\" contains a list of CATEGORIES. 2",
                       "File \"all.qif\" contains a list of SECURITIES. 2"}));
  EXPECT_EQ(platform.alerts[1].buttons, (std::vector<std::string>{"YES", "NO"}));
  EXPECT_EQ(stored(store.prefs), "[Checking/Bank] | [Kept] | [Acme/ACM]");
}

}  // namespace
}  // namespace corvela
