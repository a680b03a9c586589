#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "prefs/ArchiveTestSupport.h"
#include "prefs/AtomicFile.h"

namespace corvela {
namespace {

using testing::Bytes;
using testing::readBytes;
using testing::TempDir;
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
      return failWith(EINTR);
    }
    if (fail_ == Fail::WriteNoProgress) return 0;
    if (fail_ == Fail::WriteAfter) {
      if (written_ >= after_) return failWith(ENOSPC);
      size = std::min(size, after_ - written_);  // a short write first
    }
    ssize_t n = FileOps::write(fd, data, size);
    if (n > 0) written_ += static_cast<std::size_t>(n);
    return n;
  }
  int fsync(int fd) override { return fail_ == Fail::Fsync ? failWith(EIO) : FileOps::fsync(fd); }
  int rename(const char* from, const char* to) override {
    return fail_ == Fail::Rename ? failWith(EXDEV) : FileOps::rename(from, to);
  }

 private:
  static int failWith(int error) {
    errno = error;
    return -1;
  }

  Fail fail_;
  std::size_t after_;
  std::size_t written_ = 0;
  bool interrupted_ = false;
};

// A write replaces the old content whole, keeps its permissions, goes through a symbolic link
// (which stays), retries an interrupted call, and leaves no temporary behind.
TEST(AtomicFileTest, AWriteReplacesTheFileWhole) {
  TempDir folder;
  std::filesystem::create_directory(folder.root() / "real");
  std::string target = folder.path("real/store.prefs");
  writeBytes(target, Bytes(5000, 'x'));
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  std::string link = folder.path("store.prefs");
  std::filesystem::create_symlink("real/store.prefs", link);
  FailingOps interrupted(FailingOps::Fail::InterruptOnce);
  ASSERT_TRUE(writeFileAtomically(link, toBytes("short"), interrupted).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(target), toBytes("short"));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.entries("real"), std::vector<std::string>{"store.prefs"});

  // An output path with a mistyped folder must not grow one, unless asked to.
  std::string deep = folder.path("a/b/store.prefs");
  EXPECT_FALSE(writeFileAtomically(deep, toBytes("first")).ok());
  EXPECT_FALSE(std::filesystem::exists(folder.root() / "a"));
  ASSERT_TRUE(writeFileAtomically(deep, toBytes("first"), FileOps::system(),
                                  AtomicWriteOptions{.createFolders = true})
                  .ok());
  EXPECT_EQ(readBytes(deep), toBytes("first"));
  EXPECT_EQ(folder.entries("a/b"), std::vector<std::string>{"store.prefs"});
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
    TempDir folder;
    std::string path = folder.path("store.prefs");
    writeBytes(path, old);
    FailingOps ops(c.fail, c.after);
    Status s = writeFileAtomically(path, Bytes(10000, 'n'), ops);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.message(), "Could not write \"" + path + "\": " + c.reason + ".");
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"store.prefs"});
  }
}

// Written piece by piece, the new content is in place only once committed: a writer dropped
// before that, or one whose later piece fails, leaves the old file byte for byte and no temporary.
TEST(AtomicFileTest, APieceByPieceWriteIsInPlaceOnlyWhenCommitted) {
  const Bytes old = toBytes("the old content\n");
  const Bytes piece(5000, 'p');
  struct Case {
    const char* name;
    std::size_t failAfter;  // bytes written before the disk is full; 0: never
    bool commit;
  };
  for (const Case& c : {Case{"committed", 0, true}, Case{"dropped", 0, false},
                        Case{"third piece fails", 12000, true}}) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const std::string path = folder.path("out.qif");
    writeBytes(path, old);
    FailingOps ops(c.failAfter ? FailingOps::Fail::WriteAfter : FailingOps::Fail::None,
                   c.failAfter);
    {
      Result<AtomicFileWriter> opened = AtomicFileWriter::open(path, ops);
      ASSERT_TRUE(opened.ok()) << opened.message();
      AtomicFileWriter writer = std::move(opened).value();
      Status written = Status::OK();
      for (int i = 0; i < 3 && written.ok(); ++i) written = writer.append(piece);
      EXPECT_EQ(written.ok(), c.failAfter == 0);
      if (written.ok() && c.commit) {
        EXPECT_TRUE(writer.commit().ok());
      } else {
        // Nothing is in place before the commit.
        EXPECT_EQ(readBytes(path), old);
      }
    }
    Bytes all;
    for (int i = 0; i < 3; ++i) all.insert(all.end(), piece.begin(), piece.end());
    EXPECT_EQ(readBytes(path), c.commit && c.failAfter == 0 ? all : old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.qif"});
  }
}

// A folder that cannot be made, and a folder where the file should be: both reported, both left.
TEST(AtomicFileTest, FoldersInTheWayAreReportedAndLeftAlone) {
  TempDir folder;
  writeBytes(folder.path("plain"), toBytes("a file, not a folder"));
  std::string path = folder.path("plain/sub/store.prefs");
  Status s = writeFileAtomically(path, toBytes("x"), FileOps::system(),
                                 AtomicWriteOptions{.createFolders = true});
  EXPECT_TRUE(s.message().starts_with("Could not write \"" + path + "\": the folder \"" +
                                      folder.path("plain/sub") + "\" could not be created ("))
      << s.message();
  EXPECT_EQ(readBytes(folder.path("plain")), toBytes("a file, not a folder"));

  std::filesystem::create_directories(folder.root() / "store.prefs" / "inside");
  s = writeFileAtomically(folder.path("store.prefs"), toBytes("x"));
  EXPECT_EQ(s.message(), "Could not write \"" + folder.path("store.prefs") + "\": it is a folder.");
  EXPECT_TRUE(std::filesystem::is_directory(folder.root() / "store.prefs" / "inside"));
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"plain", "store.prefs"}));
}

// Names that are no file to replace, devices written through, chains of links, and what an
// interrupted write left behind (only its own temporaries are removed).
TEST(AtomicFileTest, OddTargetsAndLeftovers) {
  TempDir folder;
  std::filesystem::create_directory(folder.root() / "real");
  std::filesystem::create_symlink(folder.path("real/store.prefs"), folder.path("absolute"));
  std::filesystem::create_symlink("absolute", folder.path("relative"));
  std::filesystem::create_symlink("loop2", folder.path("loop1"));
  std::filesystem::create_symlink("loop1", folder.path("loop2"));
  FailingOps interrupted(FailingOps::Fail::InterruptOnce);
  struct Case {
    std::string path;
    FileOps& ops;
    const char* error;  // "": written
  };
  const Case cases[] = {
      {"", FileOps::system(), "no file name was given"},
      {folder.path("real/"), FileOps::system(), "the name is a folder, not a file"},
      {"/dev/null", interrupted, ""},
      {"/dev/full", FileOps::system(), "No space left on device"},
      {folder.path("relative"), FileOps::system(), ""},
      {folder.path("loop1"), FileOps::system(), ""}};
  for (const Case& c : cases) {
    Status s = writeFileAtomically(c.path, toBytes("x"), c.ops);
    EXPECT_EQ(s.ok(), *c.error == '\0') << c.path;
    EXPECT_NE(s.message().find(c.error), std::string::npos) << s.message();
  }
  EXPECT_EQ(readBytes(folder.path("real/store.prefs")), toBytes("x"));

  for (const char* name :
       {".store.prefs.tmp-0123abcd", ".store.prefs.tmp-0123abcX", ".store.prefs.tmp-01", "keep"})
    writeBytes(folder.path(std::string("real/") + name), toBytes("old"));
  std::filesystem::create_directory(folder.path("real/.store.prefs.tmp-89abcdef"));
  ASSERT_TRUE(writeFileAtomically(folder.path("real/store.prefs"), toBytes("y")).ok());
  EXPECT_EQ(folder.entries("real"),
            (std::vector<std::string>{".store.prefs.tmp-01", ".store.prefs.tmp-0123abcX",
                                      ".store.prefs.tmp-89abcdef", "keep", "store.prefs"}));
}

TEST(AtomicFileTest, KindsOfFilesAndWhyAWriteWouldBeRefused) {
  EXPECT_EQ(kindOf(S_IFDIR), "it is a folder");
  EXPECT_EQ(kindOf(S_IFIFO), "it is a named pipe");
  EXPECT_EQ(kindOf(S_IFSOCK), "it is a socket");
  EXPECT_EQ(kindOf(S_IFBLK), "it is a block device");
  EXPECT_EQ(kindOf(S_IFLNK), "it is not a regular file");
  TempDir folder;
  writeBytes(folder.path("plain"), toBytes("0123456789"));
  writeBytes(folder.path("locked"), toBytes("x"));
  ::chmod(folder.path("locked").c_str(), 0444);
  const std::pair<std::string, const char*> cases[] = {{"", ""},
                                                       {"/dev/null", ""},
                                                       {folder.path("plain"), ""},
                                                       {folder.path("missing"), ""},
                                                       {folder.path("locked"), "it is read-only"},
                                                       {folder.root().string(), "it is a folder"}};
  for (const auto& [path, reason] : cases) EXPECT_EQ(refusedTarget(path), reason) << path;

  // Reading stops once more than the limit is held, so that a caller can tell.
  int fd = ::open(folder.path("plain").c_str(), O_RDONLY);
  Bytes bytes;
  EXPECT_EQ(readAll(fd, 4, &bytes), "");
  EXPECT_EQ(bytes.size(), 10u);
  ::close(fd);
  EXPECT_NE(readAll(-1, 4, &bytes), "");
}

}  // namespace
}  // namespace corvela
