#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editors/EditInstructions.h"
#include "editors/InstructionEditorHarness.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "support/CliRun.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace corvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(CORVELA_TEST_DATA) / "../../examples";

// Edits the instruction `match` of the store at `path` with the editor's presenter, as the
// desktop program would, and writes the store.
void editStore(const std::string& path, const std::string& match,
               const std::function<void(EditInstructions&)>& edits) {
  CVPrefs store = CVPrefs::initWithPath(path);
  ScriptedPlatform platform;
  Preferences options(store);
  Categories categories(store, platform);
  Descriptions descriptions(store);
  Instructions instructions(store, options);
  QIFReader reader(store, options, Bundle::builtIn());
  InstructionMatches noRun;
  ScriptedInstructionWindows windows;
  EditInstructions editor(store, options, instructions, categories, descriptions, reader, platform,
                          noRun, windows, windows);
  editor.beginEditingInstruction(*instructions.instructionFor(match), std::nullopt, {});
  edits(editor);
  ASSERT_FALSE(editor.editing());
  ASSERT_TRUE(store.synchronize()) << store.writeError();
}

// A conversion after an edit differs from the one before exactly where the edited
// instruction (and its amount instruction) applied.
TEST(ConvertEditedStoreTest, TheNextConversionUsesTheEditedInstruction) {
  TempDir dir;
  const std::string store = dir.path("store.prefs");
  ASSERT_EQ(
      runCli({"prefs", "import", (kExamples / "example-store.json").string(), "--prefs", store})
          .status,
      0);
  const std::string input = (kExamples / "checking-2024-03.ofx").string();
  const CliRun before = runCli({"convert", input, "--prefs", store});
  ASSERT_EQ(before.status, 0) << before.err;

  editStore(store, "CORNER GROC", [](EditInstructions& editor) {
    editor.controlTextDidChange(InstructionEditField::amountCategory, "Household");
    editor.controlTextDidChange(InstructionEditField::category, "Dining");
    editor.save();
  });
  const CliRun after = runCli({"convert", input, "--prefs", store});
  ASSERT_EQ(after.status, 0) << after.err;

  std::string expected = before.out;
  for (auto [from, to] : {std::pair{"T-64.27\nLGroceries\n", "T-64.27\nLDining\n"},
                          std::pair{"(party)\nMPOS PURCHASE\nT-120.00\nLDining\n",
                                    "(party)\nMPOS PURCHASE\nT-120.00\nLHousehold\n"}}) {
    const std::size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, std::string_view(from).size(), to);
  }
  EXPECT_EQ(after.out, expected);
}

}  // namespace
}  // namespace corvela::testing
