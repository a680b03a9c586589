#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <regex>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/StoreMerge.h"
#include "prefs/ValueText.h"
#include "support/FailingRename.h"
#include "support/FileText.h"

namespace corvela {
namespace {

using testing::Bytes;
using testing::FailingRename;
using testing::readBytes;
using testing::TempDir;
using testing::toBytes;
using testing::writeBytes;

Bytes archiveOf(const Value& v) { return writeKeyedArchive(v).value(); }

// A first start writes nothing; what synchronize wrote is what the next start reads; a store
// from before the conversion gets the flag and keeps its keys.
TEST(CVPrefsTest, WhatSynchronizeWroteIsReadBackByTheNextStart) {
  TempDir folder;
  std::string path = folder.path("corvela/org.corvela.Corvela.prefs");
  CVPrefs first = CVPrefs::initWithPath(path);
  EXPECT_EQ(first.prefs(), (Value{{"convertedFromPlist", true}}));
  EXPECT_TRUE(first.movedAsidePath().empty() && first.readError().empty());
  EXPECT_TRUE(folder.entries().empty());
  first.setObject("Accounts", Value(Value::Array{"Checking", "Visa"}));
  first.setInt("amountsPrecision", 3);
  first.setBool("CheckForUpdates", false);
  first.setDouble("ratio", 0.25);
  first.setObject("ControlSettings", Value{{"from", Value::date(757382400)}});
  ASSERT_TRUE(first.synchronize()) << first.writeError();
  EXPECT_TRUE(first.writeError().empty());

  CVPrefs second = CVPrefs::initWithPath(path);
  EXPECT_EQ(second.prefs(), first.prefs()) << toJSON(second.prefs());
  EXPECT_TRUE(second.readError().empty());
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"corvela"});

  writeBytes(path, archiveOf(Value{{"Categories", Value(Value::Array{"Food"})}}));
  EXPECT_EQ(CVPrefs::initWithPath(path).prefs(),
            (Value{{"Categories", Value(Value::Array{"Food"})}, {"convertedFromPlist", true}}));
}

TEST(CVPrefsTest, AnUnreadableFileIsMovedAsideAndTheStoreStartsAgain) {
  struct Case {
    const char* name;
    Bytes bytes;
    const char* reason;
  };
  Bytes valid = archiveOf(Value{{"Accounts", Value(Value::Array{"Checking"})}});
  const Case cases[] = {
      {"garbage", toBytes("this is not an archive at all"), "not a binary property list"},
      {"zero length", {}, "it is empty"},
      {"truncated", Bytes(valid.begin(), valid.end() - 10),
       "the binary property list is damaged or truncated: "},
      {"xml property list", toBytes("<?xml version=\"1.0\"?><plist><dict/></plist>"),
       "not a binary property list"},
      {"root is a list", archiveOf(Value(Value::Array{"a"})),
       "its root object is not a dictionary"},
      {"root is null", archiveOf(Value()), "its root object is not a dictionary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    std::string path = folder.path("org.corvela.Corvela.prefs");
    writeBytes(path, c.bytes);
    CVPrefs prefs = CVPrefs::initWithPath(path);

    EXPECT_EQ(prefs.prefs(),
              (Value{{"reconstructedAfterCorruption", true}, {"convertedFromPlist", true}}));
    EXPECT_TRUE(prefs.readError().starts_with("\"" + path + "\" cannot be read: "))
        << prefs.readError();
    EXPECT_NE(prefs.readError().find(c.reason), std::string::npos) << prefs.readError();
    EXPECT_TRUE(std::regex_match(prefs.movedAsidePath(),
                                 std::regex(".*/org\\.corvela\\.Corvela\\.prefs\\.unreadable-"
                                            "\\d{4}-\\d{2}-\\d{2}-\\d{6}")))
        << prefs.movedAsidePath();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(readBytes(prefs.movedAsidePath()), c.bytes);

    // The rebuilt store reaches the disk with the first synchronize; the moved file stays.
    ASSERT_TRUE(prefs.synchronize());
    EXPECT_EQ(CVPrefs::initWithPath(path).prefs(), prefs.prefs());
    EXPECT_EQ(readBytes(prefs.movedAsidePath()), c.bytes);
  }
}

// What is no file at all is not a damaged store: it stays where it is, and the store refuses to
// be used or written, so that the program stops instead of running without the person's rules.
TEST(CVPrefsTest, SomethingOtherThanAFileIsRefusedAndLeftAlone) {
  struct Case {
    const char* name;
    void (*make)(const std::string& path);
    const char* reason;
  };
  const Case cases[] = {
      {"folder",
       [](const std::string& path) {
         std::filesystem::create_directories(std::filesystem::path(path) / "inside");
       },
       "it is a folder"},
      // Reading a pipe would wait for a writer that never comes.
      {"pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
       "it is not a regular file"},
      {"a file where a folder should be",
       [](const std::string& path) { writeBytes(std::filesystem::path(path).parent_path(), {}); },
       "Not a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    std::string path = folder.path("sub/store.prefs");
    std::filesystem::create_directory(folder.root() / "sub");
    if (std::string(c.name).starts_with("a file")) std::filesystem::remove(folder.root() / "sub");
    c.make(path);
    CVPrefs prefs = CVPrefs::initWithPath(path);
    EXPECT_EQ(prefs.openError(), "\"" + path + "\" cannot be read: " + c.reason + ".");
    EXPECT_TRUE(prefs.movedAsidePath().empty());
    EXPECT_FALSE(prefs.boolForKey("reconstructedAfterCorruption"));
    prefs.setBool("changed", true);
    EXPECT_FALSE(prefs.synchronize());
    EXPECT_NE(prefs.writeError().find("it was not read"), std::string::npos);
  }
}

// An earlier unreadable file is never replaced: each gets the next free name; when no name is
// left, the file stays and the error says so.
TEST(CVPrefsTest, AnEarlierUnreadableFileIsNeverReplaced) {
  TempDir folder;
  std::string path = folder.path("store.prefs");
  const std::time_t now = 1765017912;
  std::vector<std::string> moved;
  for (const char* damage : {"first damage", "second damage", "third damage"}) {
    writeBytes(path, toBytes(damage));
    moved.push_back(CVPrefs::initWithPath(path, now).movedAsidePath());
    EXPECT_EQ(readBytes(moved.back()), toBytes(damage));
  }
  EXPECT_EQ(moved[1], moved[0] + "-2");
  EXPECT_EQ(moved[2], moved[0] + "-3");
  for (int n = 4; n <= 100; ++n) writeBytes(moved[0] + "-" + std::to_string(n), toBytes("older"));

  writeBytes(path, toBytes("new damage"));
  CVPrefs prefs = CVPrefs::initWithPath(path, now);
  EXPECT_TRUE(prefs.movedAsidePath().empty());
  EXPECT_EQ(prefs.readError(), "\"" + path +
                                   "\" cannot be read: not a binary property list. It could not "
                                   "be moved aside: File exists.");
  // Running on would lose the rules for good with the next write: the store refuses.
  EXPECT_EQ(prefs.openError(), prefs.readError());
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_EQ(readBytes(path), toBytes("new damage"));
  EXPECT_EQ(readBytes(moved[0]), toBytes("first damage"));
}

TEST(CVPrefsTest, AFailedSynchronizeKeepsTheFileAndTheNextOneTriesAgain) {
  TempDir folder;
  std::string path = folder.path("store.prefs");
  CVPrefs prefs = CVPrefs::initWithPath(path);
  prefs.setObject("Accounts", Value(Value::Array{"Checking"}));
  ASSERT_TRUE(prefs.synchronize());
  Bytes before = readBytes(path);

  FailingRename failing;
  prefs.setFileOps(&failing);
  prefs.setObject("Accounts", Value(Value::Array{"Checking", "Savings"}));
  EXPECT_FALSE(prefs.synchronize());
  EXPECT_EQ(prefs.writeError(), "Could not write \"" + path + "\": No space left on device.");
  EXPECT_EQ(readBytes(path), before);
  EXPECT_EQ(prefs.objectForKey("Accounts").size(), 2u);

  prefs.setFileOps(nullptr);
  EXPECT_TRUE(prefs.synchronize());
  EXPECT_TRUE(prefs.writeError().empty());
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Accounts").size(), 2u);
}

TEST(CVPrefsTest, SettersAndGettersFollowTheStoreRules) {
  CVPrefs prefs("/nonexistent/store.prefs");
  EXPECT_TRUE(prefs.empty());
  EXPECT_EQ(prefs.intForKey("absent"), 0);
  EXPECT_FALSE(prefs.boolForKey("absent"));
  EXPECT_EQ(prefs.doubleForKey("absent"), 0.0);

  prefs.setObject("k", "v");
  prefs.setObject("k", Value());
  EXPECT_FALSE(prefs.objectForKey("k").isString());
  EXPECT_TRUE(prefs.empty());

  prefs.setObject("big", Value(5000000000LL));
  EXPECT_EQ(prefs.intForKey("big"), std::numeric_limits<int>::max());
  prefs.setObject("big", Value(-5000000000LL));
  EXPECT_EQ(prefs.intForKey("big"), std::numeric_limits<int>::min());

  Value list(Value::Array{"Checking"});
  prefs.setObject("Accounts", list);
  list.append("Savings");
  list.mutableArray()[0] = "Changed";
  EXPECT_EQ(prefs.objectForKey("Accounts"), Value(Value::Array{"Checking"}));
}

// What is found at the path when writing, after a read that went well: a folder where the
// store's folder should be, a folder in place of the store, a lock file that is a link.
TEST(CVPrefsTest, AWriteChecksThePathAgain) {
  struct Case {
    void (*change)(const TempDir& folder);
    const char* writeError;  // "": the write succeeds
  };
  const Case cases[] = {
      {[](const TempDir& f) { writeBytes(f.path("sub"), toBytes("a file")); }, "\": the folder \""},
      {[](const TempDir& f) { std::filesystem::create_directories(f.path("sub/store.prefs/x")); },
       "\": \""},
      {[](const TempDir& f) {
         std::filesystem::create_directories(f.path("sub"));
         std::filesystem::create_symlink(f.path("elsewhere"), f.path("sub/store.prefs.lock"));
       },
       ""}};
  for (const Case& c : cases) {
    TempDir folder;
    CVPrefs prefs = CVPrefs::initWithPath(folder.path("sub/store.prefs"));
    ASSERT_TRUE(prefs.openError().empty());
    c.change(folder);
    prefs.setBool("CheckForUpdates", true);
    EXPECT_EQ(prefs.synchronize(), *c.writeError == '\0') << prefs.writeError();
    EXPECT_NE(prefs.writeError().find(c.writeError), std::string::npos) << prefs.writeError();
  }
}

TEST(CVPrefsTest, TheDefaultPathFollowsTheEnvironment) {
  struct Case {
    const char* prefs;
    const char* xdg;
    const char* expected;
  };
  const Case cases[] = {{"/x/my.prefs", "/cfg", "/x/my.prefs"},
                        {"", "/cfg", "/cfg/corvela/org.corvela.Corvela.prefs"},
                        {"", "", "/home/anna/.config/corvela/org.corvela.Corvela.prefs"}};
  const std::string home = std::getenv("HOME"), xdg = std::getenv("XDG_CONFIG_HOME");
  for (const Case& c : cases) {
    setenv("CORVELA_PREFS", c.prefs, 1);
    setenv("XDG_CONFIG_HOME", c.xdg, 1);
    setenv("HOME", "/home/anna", 1);
    EXPECT_EQ(CVPrefs::defaultPath(), c.expected);
  }
  unsetenv("CORVELA_PREFS");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
}

// Two processes on one store: the lock around each read-modify-write, the merge of what each
// changed, and the checks before a store is written.
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
TEST(StoreSharingTest, AStoreTheReaderWouldRefuseIsNotWrittenAndDamageIsMovedAside) {
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

  // Damage put there between this process's read and its write (by a writer that ignores the
  // lock, a hand edit) is moved aside, not overwritten. A change put there in the same way is
  // merged, as in TwoProcessesThatInterleaveKeepBothChanges.
  prefs.removeObjectForKey("Many");
  prefs.setBool("CheckForUpdates", false);
  testing::writeBytes(path, testing::toBytes("damaged meanwhile"));
  ASSERT_TRUE(prefs.synchronize()) << prefs.writeError();
  ASSERT_FALSE(prefs.movedAsidePath().empty());
  EXPECT_EQ(testing::readBytes(prefs.movedAsidePath()), testing::toBytes("damaged meanwhile"));
  EXPECT_EQ(CVPrefs::initWithPath(path).objectForKey("Categories"), list({"Dining"}));
}

}  // namespace
}  // namespace corvela
