// The input-format store: its order and uniqueness without regard to case, what reaches the
// store file, completion, and formats shared through .cvef files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inputformats/FormatRename.h"
#include "inputformats/FormatTransfer.h"
#include "inputformats/Formats.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

using Names = std::vector<std::string>;

Value named(std::string name) { return Value{{"Name", std::move(name)}, {"Fields", "CSV"}}; }

TEST(FormatsTest, AddKeepsNamesSortedAndUniqueWithoutRegardToCase) {
  testing::ScratchStore store;
  Formats formats(store.prefs);
  struct Step {
    std::string name;
    std::size_t position;
    Names after;
  };
  const Step steps[] = {
      {"Visa", 0, {"Visa"}},
      {"bank", 0, {"bank", "Visa"}},
      {"Zürich", 2, {"bank", "Visa", "Zürich"}},
      {"ING", 1, {"bank", "ING", "Visa", "Zürich"}},
      {"VISA", 2, {"bank", "ING", "VISA", "Zürich"}},
      {"zÜRICH", 3, {"bank", "ING", "VISA", "zÜRICH"}},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(formats.addFormat(named(step.name)), step.position) << step.name;
    EXPECT_EQ(formats.names(), step.after) << step.name;
  }
  EXPECT_EQ(str(*formats.formatForName("visa"), "Name"), "VISA");
  EXPECT_EQ(formats.comboBoxIndexOfItemWithStringValue("visa"), kFormatNotFound);
  EXPECT_EQ(formats.comboBoxIndexOfItemWithStringValue("VISA"), 2);
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(1), "ING");
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(4), "");
  EXPECT_EQ(formats.comboBoxCompletedString("v"), "VISA");
  EXPECT_EQ(formats.comboBoxCompletedString("x"), std::nullopt);

  Value ofx{{"Name", "OFX"}, {"OFX", true}};
  EXPECT_EQ(formats.addFormat(ofx), 0u);
  EXPECT_EQ(formats.numberOfFormats(), 4u);
  EXPECT_EQ(store.prefs.objectForKey("OFXFormat"), ofx);

  // Everything reached the file.
  CVPrefs reopened = CVPrefs::initWithPath(store.prefs.prefsPath());
  for (const char* key : {"Formats", "OFXFormat"})
    EXPECT_EQ(reopened.objectForKey(key), store.prefs.objectForKey(key)) << key;

  formats.deleteFormatAtIndex(9);
  formats.deleteFormatAtIndex(0);
  EXPECT_EQ(formats.names(), (Names{"ING", "VISA", "zÜRICH"}));
}

TEST(FormatsTest, AddGivesFormatsWithoutMappingsTheSharedOnes) {
  testing::ScratchStore store;
  Value shared = Value(Value::Array{Value{{"formatType", "Buy"}, {"quickenType", 0}}});
  store.prefs.setObject("TypeMappings", shared);
  Formats formats(store.prefs);
  Value own = named("Own");
  own.set("TypeMappings", Value::array());
  formats.addFormat(own);
  formats.addFormat(named("Plain"));
  EXPECT_EQ((*formats.formatForName("Own"))["TypeMappings"], Value::array());
  EXPECT_EQ((*formats.formatForName("Plain"))["TypeMappings"], shared);
  EXPECT_FALSE(formats.formatForName("Plain")->contains("SecurityMappings"));
  EXPECT_EQ(store.prefs.objectForKey("TypeMappings"), shared);
}

// The rename window as a person uses it: type each text in turn, then press OK or cancel.
class TypedRename : public FormatRenameView {
 public:
  std::vector<std::string> typing;
  bool ok = true;
  std::vector<FormatRenameForm> shown;

  bool runRenameWindow(FormatRename& presenter) override {
    shown.push_back(presenter.form());
    for (const std::string& text : typing) {
      presenter.controlTextDidChange(text);
      shown.push_back(presenter.form());
    }
    return ok;
  }
};

TEST(FormatsTest, ExportedFormatsComeBackUnderTheNameChosen) {
  testing::ScratchStore store;
  testing::ScriptedPlatform platform;
  TypedRename rename;
  Formats formats(store.prefs);
  FormatTransfer transfer(formats, store.prefs, platform, rename);
  Value mine = named("My Bank");
  mine.set("Date", 0);
  mine.set("DayBeforeMonth", true);
  formats.addFormat(mine);
  formats.addFormat(named("Other"));
  const std::string path = ::testing::TempDir() + "corvela-my-bank.cvef";

  platform.answerNextSavePanel(path);
  platform.answerNextAlert(0);
  transfer.exportFormat("my bank");
  EXPECT_EQ(platform.savePanels.back().suggestedName, "my bank.cvef");
  EXPECT_EQ(platform.alerts.back().text, "Input format \"my bank\" saved in file \"" + path + "'.");

  // Cancelled: nothing changes. Then imported under a taken name: it replaces that format.
  rename.ok = false;
  platform.answerNextOpenPanel(OpenPanelChoice{path});
  transfer.import();
  EXPECT_EQ(formats.names(), (Names{"My Bank", "Other"}));
  rename.ok = true;
  rename.typing = {"", "OTHER"};
  platform.answerNextAlert(0);
  transfer.importFile(path);
  ASSERT_EQ(rename.shown.size(), 4u);
  EXPECT_TRUE(rename.shown[1].duplicateMsgVisible);  // "My Bank" is taken as it comes
  EXPECT_FALSE(rename.shown[2].okEnabled);
  EXPECT_TRUE(rename.shown[3].okEnabled && rename.shown[3].duplicateMsgVisible);
  Value expected = mine;
  expected.set("Name", "OTHER");
  EXPECT_EQ(formats.getExtractFormatsArray(), Value(Value::Array{mine, expected}));

  // A file that holds no format is refused with the reason; no window opens.
  platform.answerNextAlert(0);
  transfer.importFile(store.prefs.prefsPath() + ".missing");
  EXPECT_EQ(platform.alerts.back().title, "Input Format Not Imported");
  EXPECT_EQ(rename.shown.size(), 4u);
  EXPECT_TRUE(platform.allAnswersUsed());
  std::remove(path.c_str());
}

}  // namespace
}  // namespace corvela
