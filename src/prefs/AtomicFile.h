#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Status.h"

namespace corvela {

// The system calls that decide whether an atomic write succeeds, behind an interface so that a
// test can make any one of them fail. Each returns what the system call returns and sets errno
// on failure.
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual ssize_t write(int fd, const void* data, std::size_t size);
  virtual int fsync(int fd);
  virtual int rename(const char* from, const char* to);

  // The calls of the running system. The object holds no state.
  static FileOps& system();
};

// How writeFileAtomically treats what is not there yet.
struct AtomicWriteOptions {
  // Create missing folders on the way to the file (with `folderMode`); otherwise a missing
  // folder is an error. The preference store needs its folder made on the first run; an output
  // path with a mistyped folder must not grow one.
  bool createFolders = false;
  mode_t folderMode = 0700;
  // The permissions of a new file (before the umask). A replaced file keeps its own.
  mode_t newFileMode = 0666;
};

// Replaces the file at `path` with `bytes`, so that a reader sees either the old content or the
// new one whole, never a mixture or a shortened file, even after a crash:
//   1. the bytes go to a new temporary file in the same folder (named ".<name>.tmp-<random>"),
//      which takes the permissions of the file it replaces, or `newFileMode` for a new file;
//   2. the temporary is flushed to disk and renamed over `path`;
//   3. temporaries of earlier interrupted writes of the same file are removed.
// When `path` is a symbolic link, the file it points to is replaced and the link kept. A
// character device (/dev/null, /dev/stdout, a terminal) is written through, never replaced by a
// regular file; a folder, a named pipe, a socket or a block device is refused. A regular file
// without any write permission bit (mode 0444) is refused even for root, who could otherwise
// replace it: the person made it read-only on purpose.
//
// On success returns OK. On failure removes the temporary, leaves the file at `path` exactly as
// it was, and returns an error naming the file and the reason:
//   Could not write "/home/a/.config/corvela/org.corvela.Corvela.prefs": No space left on device.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           FileOps& ops = FileOps::system(),
                           const AtomicWriteOptions& options = {});

// The same replacement, its new content written piece by piece: the temporary file is made by
// open(), filled by append() and put in place by commit(). A writer dropped before commit(), or
// one whose append() failed, removes the temporary and leaves the file exactly as it was. A
// character device is written through as each piece comes. Errors are those of
// writeFileAtomically.
class AtomicFileWriter {
 public:
  static Result<AtomicFileWriter> open(const std::string& path, FileOps& ops = FileOps::system(),
                                       const AtomicWriteOptions& options = {});
  AtomicFileWriter(AtomicFileWriter&& other) noexcept;
  AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
  ~AtomicFileWriter();

  Status append(std::span<const std::uint8_t> bytes);
  Status commit();

 private:
  AtomicFileWriter() = default;
  void abandon();
  Status fail(int error);

  std::string path_;      // as given, for messages
  std::string target_;    // the file replaced, links followed
  std::string tempPath_;  // the temporary, beside it
  FileOps* ops_ = nullptr;
  int fd_ = -1;  // the temporary's or the device's; -1 once committed or abandoned
  bool device_ = false;
};

// Makes the missing folders of `folder`, each with `mode`. Returns "" or why it could not:
// the folder "/a/b" could not be created (Permission denied)
std::string createFolders(const std::string& folder, mode_t mode);

// What a file of `mode` is when it is no regular file, as a reason: "it is a folder", "it is a
// named pipe", "it is a socket", "it is a block device", else "it is not a regular file".
std::string kindOf(mode_t mode);

// Reads the open file `fd` to its end into `bytes` (reading on past its size, which may change),
// but stops once `bytes` holds more than `limit`, so the caller can tell a file that is too
// long. Returns "" or the reason it could not be read.
std::string readAll(int fd, std::size_t limit, std::vector<std::uint8_t>* bytes);

// Why a write to the existing file or device `path` (links followed) would be refused, or ""
// when it would not: "it is read-only", "it is a named pipe", ... Missing files give "".
std::string refusedTarget(const std::string& path);

}  // namespace corvela
