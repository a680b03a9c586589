#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

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

// Replaces the file at `path` with `bytes`, so that a reader sees either the old content or the
// new one whole, never a mixture or a shortened file, even after a crash:
//   1. missing folders on the way to `path` are created;
//   2. the bytes go to a new temporary file in the same folder (named ".<name>.tmp-<random>"),
//      which takes the permissions of the file it replaces, or the usual ones for a new file;
//   3. the temporary is flushed to disk and renamed over `path`.
// When `path` is a symbolic link, the file it points to is replaced and the link kept.
//
// On success returns OK. On failure removes the temporary, leaves the file at `path` exactly as
// it was, and returns an error naming the file and the reason:
//   Could not write "/home/a/.config/corvela/org.corvela.Corvela.prefs": No space left on device.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           FileOps& ops = FileOps::system());

}  // namespace corvela
