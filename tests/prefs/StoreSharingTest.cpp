// Two processes on one store: the lock around each read-modify-write, the merge of what each
// changed, and the checks before a store is written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/StoreMerge.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"

namespace corvela {
namespace {

using testing::TempDir;

Value list(std::initializer_list<Value> items) { return Value(Value::Array(items)); }
Value rule(const char* match, const char* category) {
  return Value{{"descriptionMatch", match}, {"category", category}};
}

// Each case of tests/data/prefs/merges.json: a base store, our changes and theirs; "merged" is
// what mergeStores makes of them.
TEST(StoreMergeTest, EachSideKeepsWhatTheOtherDidNotTouch) {
  Result<Value> cases =
      fromJSON(testing::readText(std::string(CORVELA_TEST_DATA) + "/prefs/merges.json"));
  ASSERT_TRUE(cases.ok()) << cases.message();
  Value merged = Value::array();
  for (Value c : cases.value().toArray()) {
    c.set("merged", mergeStores(c["base"], c["ours"], c["theirs"]));
    merged.append(c);
  }
  testing::expectDataFile("prefs/merges.json", toJSON(merged));
}

// Opens a second handle on the store's lock file and tries to take the lock at once.
bool lockIsFree(const std::string& store) {
  int fd = ::open((store + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return true;
  bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

// Runs a step in the middle of a write, between the final re-read and the rename.
class MidWrite : public FileOps {
 public:
  explicit MidWrite(std::function<void()> step) : step_(std::move(step)) {}
  int rename(const char* from, const char* to) override {
    step_();
    return FileOps::rename(from, to);
  }

 private:
  std::function<void()> step_;
};

TEST(StoreSharingTest, TwoProcessesThatInterleaveKeepBothChanges) {
  TempDir folder;
  std::string path = folder.path("store.prefs");
  CVPrefs seed = CVPrefs::initWithPath(path);
  seed.setObject("Categories", list({"Dining"}));
  ASSERT_TRUE(seed.synchronize());

  // Both read the same file; each learns something; each writes.
  CVPrefs desktop = CVPrefs::initWithPath(path);
  CVPrefs command = CVPrefs::initWithPath(path);
  desktop.setObject("Categories", list({"Dining", "Rent"}));
  desktop.setObject("Instructions", list({rule("ACME", "Household")}));
  command.setObject("Categories", list({"Dining", "Fuel"}));
  command.setObject("Accounts", list({"Visa"}));
  ASSERT_TRUE(desktop.synchronize()) << desktop.writeError();
  ASSERT_TRUE(command.synchronize()) << command.writeError();

  Value expected{{"Accounts", list({"Visa"})},
                 {"Categories", list({"Dining", "Fuel", "Rent"})},
                 {"Instructions", list({rule("ACME", "Household")})},
                 {"convertedFromPlist", true}};
  EXPECT_EQ(CVPrefs::initWithPath(path).prefs(), expected);
  // The later writer holds the other's work in memory too, and writes it again unharmed.
  EXPECT_EQ(command.prefs(), expected);
  command.setObject("Categories", list({"Dining", "Fuel", "Rent", "Tax"}));
  ASSERT_TRUE(command.synchronize());
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Instructions"),
            list({rule("ACME", "Household")}));
}

// A writer that ignores the lock (an older Corvela, a hand edit) changes the file between this
// process's read and its write: its change survives, and so does this process's.
TEST(StoreSharingTest, AChangeBetweenReadAndWriteIsKept) {
  TempDir folder;
  std::string path = folder.path("store.prefs");
  CVPrefs prefs = CVPrefs::initWithPath(path);
  prefs.setObject("Categories", list({"Dining"}));
  ASSERT_TRUE(prefs.synchronize());

  prefs.setObject("Categories", list({"Dining", "Rent"}));
  CVPrefs other = CVPrefs::initWithPath(path);
  other.setObject("Categories", list({"Dining", "Fuel"}));
  other.setObject("Descriptions", list({"Shell"}));
  ASSERT_TRUE(other.synchronize());
  ASSERT_TRUE(prefs.synchronize());

  CVPrefs after = CVPrefs::initWithPath(path);
  EXPECT_EQ(after.objectForKey("Categories"), list({"Dining", "Fuel", "Rent"}));
  EXPECT_EQ(after.objectForKey("Descriptions"), list({"Shell"}));

  // Damage put there between read and write is moved aside, not overwritten.
  prefs.setBool("CheckForUpdates", false);
  testing::writeBytes(path, testing::toBytes("damaged meanwhile"));
  ASSERT_TRUE(prefs.synchronize()) << prefs.writeError();
  ASSERT_FALSE(prefs.movedAsidePath().empty());
  EXPECT_EQ(testing::readBytes(prefs.movedAsidePath()), testing::toBytes("damaged meanwhile"));
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Categories"),
            list({"Dining", "Fuel", "Rent"}));
}

TEST(StoreSharingTest, WritesAreDeferredSkippedWhenNothingChangedAndLocked) {
  TempDir folder;
  std::string path = folder.path("store.prefs");
  CVPrefs prefs = CVPrefs::initWithPath(path);
  prefs.setWritesDeferred(true);
  prefs.setBool("a", true);
  EXPECT_TRUE(prefs.synchronize());
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(prefs.synchronizeNow());
  auto written = std::filesystem::last_write_time(path);
  struct stat before {};
  ::stat(path.c_str(), &before);
  ASSERT_TRUE(prefs.synchronizeNow());
  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);  // not replaced
  EXPECT_EQ(std::filesystem::last_write_time(path), written);

  // The lock is held from the re-read to the rename.
  bool heldDuringWrite = false;
  MidWrite check([&] { heldDuringWrite = !lockIsFree(path); });
  prefs.setFileOps(&check);
  prefs.setBool("CheckForUpdates", true);
  ASSERT_TRUE(prefs.synchronizeNow()) << prefs.writeError();
  EXPECT_TRUE(heldDuringWrite);
  EXPECT_TRUE(lockIsFree(path));
  prefs.setFileOps(nullptr);
}

TEST(StoreSharingTest, ANewStoreIsPrivateAndAnOldOneKeepsItsMode) {
  TempDir folder;
  std::string path = folder.path("config/corvela/store.prefs");
  ::umask(022);
  CVPrefs prefs = CVPrefs::initWithPath(path);
  ASSERT_TRUE(prefs.synchronize()) << prefs.writeError();
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(folder.path("config/corvela").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ::chmod(path.c_str(), 0640);
  prefs.setBool("x", true);
  ASSERT_TRUE(prefs.synchronize());
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A read-only store is left alone, root or not.
  ::chmod(path.c_str(), 0444);
  prefs.setBool("y", true);
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_NE(prefs.writeError().find("it is read-only"), std::string::npos) << prefs.writeError();
  EXPECT_FALSE(CVPrefs::initWithPath(path).prefs().contains("y"));
}

// Whatever Corvela writes it can read: a value the reader would refuse is not written.
TEST(StoreSharingTest, AStoreTheReaderWouldRefuseIsNotWritten) {
  TempDir folder;
  std::string path = folder.path("store.prefs");
  CVPrefs prefs = CVPrefs::initWithPath(path);
  prefs.setObject("Categories", list({"Dining"}));
  ASSERT_TRUE(prefs.synchronize());
  const testing::Bytes before = testing::readBytes(path);

  Value deep = list({"bottom"});
  for (int i = 0; i < 300; ++i) deep = list({deep});
  prefs.setObject("Deep", deep);
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_NE(prefs.writeError().find("levels deep"), std::string::npos) << prefs.writeError();
  EXPECT_EQ(testing::readBytes(path), before);

  prefs.removeObjectForKey("Deep");
  Value::Array many(ArchiveLimits{}.maxValues + 1, Value(1));
  prefs.setObject("Many", Value(std::move(many)));
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_NE(prefs.writeError().find("values, more than"), std::string::npos) << prefs.writeError();
  EXPECT_EQ(testing::readBytes(path), before);
}

}  // namespace
}  // namespace corvela
