#include <gtest/gtest.h>

#include "instructions/Instructions.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

// A taught instruction is on disk as soon as it is saved, not at some later write that a
// logout may never reach; a command-line run, which defers its writes, still writes once.
TEST(InstructionSavingTest, ATaughtInstructionReachesTheFileAtOnce) {
  testing::TempDir dir;
  const std::string path = dir.path("store.prefs");
  CVPrefs store = CVPrefs::initWithPath(path);
  Preferences options(store);
  Instructions instructions(store, options);

  instructions.setInstruction(Value{{"descriptionMatch", "ACME"}, {"category", "Household"}});
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 1u);
  instructions.removeInstruction(Value{{"descriptionMatch", "acme"}});
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 0u);

  store.setWritesDeferred(true);
  instructions.setInstruction(Value{{"descriptionMatch", "SHELL"}, {"category", "Fuel"}});
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 0u);
  ASSERT_TRUE(store.synchronizeNow());
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions").size(), 1u);
}

}  // namespace
}  // namespace corvela
