#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/AtomicFile.h"

namespace corvela {
namespace {

using testing::Bytes;
using testing::readBytes;
using testing::TempFolder;
using testing::toBytes;
using testing::writeBytes;

// System calls that fail at a chosen point, the way a full disk or a dying device fails.
class FailingOps : public FileOps {
 public:
  enum class Fail { None, WriteAfter, WriteNoProgress, Fsync, Rename, InterruptOnce };
  FailingOps(Fail fail, std::size_t after = 0) : fail_(fail), after_(after) {}

  ssize_t write(int fd, const void* data, std::size_t size) override {
    if (fail_ == Fail::InterruptOnce && !interrupted_) {
      interrupted_ = true;
      errno = EINTR;
      return -1;
    }
    if (fail_ == Fail::WriteNoProgress) return 0;
    if (fail_ == Fail::WriteAfter) {
      if (written_ >= after_) {
        errno = ENOSPC;
        return -1;
      }
      size = std::min(size, after_ - written_);  // a short write first
    }
    ssize_t n = FileOps::write(fd, data, size);
    if (n > 0) written_ += static_cast<std::size_t>(n);
    return n;
  }
  int fsync(int fd) override {
    if (fail_ == Fail::Fsync) {
      errno = EIO;
      return -1;
    }
    return FileOps::fsync(fd);
  }
  int rename(const char* from, const char* to) override {
    if (fail_ == Fail::Rename) {
      errno = EXDEV;
      return -1;
    }
    return FileOps::rename(from, to);
  }

 private:
  Fail fail_;
  std::size_t after_;
  std::size_t written_ = 0;
  bool interrupted_ = false;
};

TEST(AtomicFileTest, CreatesMissingFoldersAndLeavesNoTemporary) {
  TempFolder folder;
  std::string path = folder.file("a/b/store.prefs");
  // An output path with a mistyped folder must not grow one.
  EXPECT_FALSE(writeFileAtomically(path, toBytes("first")).ok());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "a"));
  ASSERT_TRUE(writeFileAtomically(path, toBytes("first"), FileOps::system(),
                                  AtomicWriteOptions{.createFolders = true})
                  .ok());
  EXPECT_EQ(readBytes(path), toBytes("first"));
  EXPECT_EQ(std::vector<std::string>{"store.prefs"}, [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.path() / "a/b"))
      names.push_back(e.path().filename().string());
    return names;
  }());
}

TEST(AtomicFileTest, ReplacesTheOldContentWholeAndKeepsItsPermissions) {
  TempFolder folder;
  std::string path = folder.file("store.prefs");
  writeBytes(path, Bytes(5000, 'x'));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(writeFileAtomically(path, toBytes("short")).ok());
  EXPECT_EQ(readBytes(path), toBytes("short"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"store.prefs"});
}

TEST(AtomicFileTest, WritesThroughASymbolicLinkAndKeepsTheLink) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "real");
  std::string target = folder.file("real/store.prefs");
  writeBytes(target, toBytes("old"));
  std::string link = folder.file("store.prefs");
  std::filesystem::create_symlink("real/store.prefs", link);
  ASSERT_TRUE(writeFileAtomically(link, toBytes("new")).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(target), toBytes("new"));
}

TEST(AtomicFileTest, AnInterruptedWriteIsRetried) {
  TempFolder folder;
  std::string path = folder.file("store.prefs");
  FailingOps ops(FailingOps::Fail::InterruptOnce);
  ASSERT_TRUE(writeFileAtomically(path, toBytes("content"), ops).ok());
  EXPECT_EQ(readBytes(path), toBytes("content"));
}

TEST(AtomicFileTest, AFailedWriteLeavesTheOldFileByteForByte) {
  struct Case {
    const char* name;
    FailingOps::Fail fail;
    std::size_t after;
    const char* reason;
  };
  const Case cases[] = {
      {"disk full part-way", FailingOps::Fail::WriteAfter, 3000, "No space left on device"},
      {"disk full at once", FailingOps::Fail::WriteAfter, 0, "No space left on device"},
      {"no progress", FailingOps::Fail::WriteNoProgress, 0, "No space left on device"},
      {"flush fails", FailingOps::Fail::Fsync, 0, "Input/output error"},
      {"rename fails", FailingOps::Fail::Rename, 0, "Invalid cross-device link"},
  };
  Bytes old(4096);
  for (std::size_t i = 0; i < old.size(); ++i) old[i] = static_cast<std::uint8_t>(i * 7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    std::string path = folder.file("store.prefs");
    writeBytes(path, old);
    FailingOps ops(c.fail, c.after);
    Status s = writeFileAtomically(path, Bytes(10000, 'n'), ops);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.message(), "Could not write \"" + path + "\": " + c.reason + ".");
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"store.prefs"});
  }
}

TEST(AtomicFileTest, AFolderThatCannotBeMadeIsReported) {
  TempFolder folder;
  writeBytes(folder.file("plain"), toBytes("a file, not a folder"));
  std::string path = folder.file("plain/sub/store.prefs");
  Status s = writeFileAtomically(path, toBytes("x"), FileOps::system(),
                                 AtomicWriteOptions{.createFolders = true});
  ASSERT_FALSE(s.ok());
  EXPECT_TRUE(s.message().starts_with("Could not write \"" + path + "\": the folder \"" +
                                      folder.file("plain/sub") + "\" could not be created ("))
      << s.message();
  EXPECT_EQ(readBytes(folder.file("plain")), toBytes("a file, not a folder"));
}

TEST(AtomicFileTest, AFolderInPlaceOfTheFileIsLeftAlone) {
  TempFolder folder;
  std::filesystem::create_directories(folder.path() / "store.prefs" / "inside");
  Status s = writeFileAtomically(folder.file("store.prefs"), toBytes("x"));
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.message(), "Could not write \"" + folder.file("store.prefs") + "\": it is a folder.");
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "store.prefs" / "inside"));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"store.prefs"});
}

}  // namespace
}  // namespace corvela
