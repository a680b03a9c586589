#include "prefs/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

std::string temporaryPrefix(const fs::path& target) {
  return "." + target.filename().string() + ".tmp-";
}

fs::path folderOf(const fs::path& target) {
  return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

// Opens a new temporary file next to `target`; returns the descriptor or -1 with errno set.
int openTemporary(const fs::path& target, mode_t mode, std::string* tempPath) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    *tempPath = (folderOf(target) / (temporaryPrefix(target) + randomSuffix())).string();
    int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Flushes the folder entry of a rename. The new file is already in place, so a failure here
// only weakens the promise after a power cut and is not reported.
void syncFolder(const fs::path& target) {
  int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Removes what interrupted writes of `target` left behind (".<name>.tmp-" and 8 hex digits).
// Nothing else in the folder is touched.
void removeLeftovers(const fs::path& target) {
  const std::string prefix = temporaryPrefix(target);
  std::error_code ec;
  for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + 8 || !name.starts_with(prefix)) continue;
    if (name.find_first_not_of("0123456789abcdef", prefix.size()) != std::string::npos) continue;
    std::error_code ignored;
    if (fs::is_regular_file(it->symlink_status(ignored))) fs::remove(it->path(), ignored);
  }
}

}  // namespace

std::string kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a named pipe";
  if (S_ISSOCK(mode)) return "it is a socket";
  if (S_ISBLK(mode)) return "it is a block device";
  return "it is not a regular file";
}

std::string readAll(int fd, std::size_t limit, std::vector<std::uint8_t>* bytes) {
  // Room for the whole file at once: growing step by step would touch about twice its size in
  // fresh memory, which costs more than reading it.
  if (struct stat st{}; ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    bytes->reserve(bytes->size() + std::min(static_cast<std::size_t>(st.st_size), limit));
  std::uint8_t buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::generic_category().message(errno);
    if (n == 0) return "";
    bytes->insert(bytes->end(), buffer, buffer + n);
    if (bytes->size() > limit) return "";
  }
}

std::string createFolders(const std::string& folderName, mode_t mode) {
  const fs::path folder(folderName);
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    if (::mkdir(partial.c_str(), mode) == 0 || errno == EEXIST) continue;
    return "the folder \"" + folder.string() + "\" could not be created (" + errnoText(errno) + ")";
  }
  if (!fs::is_directory(folder))
    return "the folder \"" + folder.string() + "\" could not be created (" + errnoText(ENOTDIR) +
           ")";
  return "";
}

namespace {

// Writes `bytes` into an existing character device (/dev/null, /dev/full, a terminal).
Status writeThrough(const std::string& path, const fs::path& device,
                    std::span<const std::uint8_t> bytes, FileOps& ops) {
  int fd = ::open(device.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return failure(path, errnoText(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ops.write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int error = n < 0 ? errno : ENOSPC;
      ::close(fd);
      return failure(path, errnoText(error));
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) return failure(path, errnoText(errno));
  return Status::OK();
}

}  // namespace

std::string refusedTarget(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return "";
  if (S_ISCHR(st.st_mode)) return "";
  if (!S_ISREG(st.st_mode)) return kindOf(st.st_mode);
  // Root may write anything; a file nobody may write was made so on purpose.
  if ((st.st_mode & 0222) == 0) return "it is read-only";
  if (::access(path.c_str(), W_OK) != 0) return errnoText(errno);
  return "";
}

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           FileOps& ops, const AtomicWriteOptions& options) {
  if (path.empty()) return failure(path, "no file name was given");
  fs::path target = resolveLinks(fs::path(path));
  if (target.filename().empty()) return failure(path, "the name is a folder, not a file");

  struct stat old {};
  bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISCHR(old.st_mode)) return writeThrough(path, target, bytes, ops);
  if (exists) {
    if (std::string refused = refusedTarget(target.string()); !refused.empty())
      return failure(path, refused);
  }

  const fs::path folder = folderOf(target);
  if (options.createFolders) {
    if (std::string error = createFolders(folder.string(), options.folderMode); !error.empty())
      return failure(path, error);
  } else if (std::error_code ec; !fs::is_directory(folder, ec)) {
    return failure(path, "the folder \"" + folder.string() + "\" does not exist");
  }

  std::string tempPath;
  int fd = openTemporary(target, options.newFileMode, &tempPath);
  if (fd < 0) return failure(path, errnoText(errno));

  auto abandon = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(tempPath.c_str());
    return failure(path, errnoText(error));
  };

  if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) return abandon(errno);

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
  removeLeftovers(target);
  return Status::OK();
}

}  // namespace corvela
