#include "prefs/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace corvela {

namespace fs = std::filesystem;

ssize_t FileOps::write(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}

int FileOps::fsync(int fd) { return ::fsync(fd); }

int FileOps::rename(const char* from, const char* to) { return ::rename(from, to); }

FileOps& FileOps::system() {
  static FileOps ops;
  return ops;
}

namespace {

std::string errnoText(int error) { return std::generic_category().message(error); }

Status failure(const std::string& path, const std::string& reason) {
  return Status::Error("Could not write \"" + path + "\": " + reason + ".");
}

// The file a write to `path` must replace: `path` itself, or the end of its chain of symbolic
// links, so that renaming over it keeps the link the person made.
fs::path resolveLinks(const fs::path& path) {
  fs::path p = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
    fs::path target = fs::read_symlink(p, ec);
    if (ec) break;
    p = target.is_absolute() ? target : p.parent_path() / target;
  }
  return p;
}

std::string randomSuffix() {
  std::random_device device;
  std::uniform_int_distribution<unsigned> digit(0, 15);
  std::string s;
  for (int i = 0; i < 8; ++i) s += "0123456789abcdef"[digit(device)];
  return s;
}

// Opens a new temporary file next to `target`; returns the descriptor or -1 with errno set.
int openTemporary(const fs::path& target, std::string* tempPath) {
  fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  for (int attempt = 0; attempt < 16; ++attempt) {
    *tempPath = (folder / ("." + target.filename().string() + ".tmp-" + randomSuffix())).string();
    int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Flushes the folder entry of a rename. The new file is already in place, so a failure here
// only weakens the promise after a power cut and is not reported.
void syncFolder(const fs::path& target) {
  fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           FileOps& ops) {
  if (path.empty()) return failure(path, "no file name was given");
  fs::path target = resolveLinks(fs::path(path));
  if (target.filename().empty()) return failure(path, "the name is a folder, not a file");

  if (fs::path folder = target.parent_path(); !folder.empty()) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
      return failure(path, "the folder \"" + folder.string() + "\" could not be created (" +
                               ec.message() + ")");
  }

  std::string tempPath;
  int fd = openTemporary(target, &tempPath);
  if (fd < 0) return failure(path, errnoText(errno));

  auto abandon = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(tempPath.c_str());
    return failure(path, errnoText(error));
  };

  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
      ::fchmod(fd, old.st_mode & 07777) != 0)
    return abandon(errno);

  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ops.write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return abandon(errno);
    if (n == 0) return abandon(ENOSPC);  // a write that makes no progress never will
    done += static_cast<std::size_t>(n);
  }
  if (ops.fsync(fd) != 0) return abandon(errno);
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (ops.rename(tempPath.c_str(), target.c_str()) != 0) return abandon(errno);
  syncFolder(target);
  return Status::OK();
}

}  // namespace corvela
