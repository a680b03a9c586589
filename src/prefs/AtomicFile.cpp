#include "prefs/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

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

// Writes all of `bytes` to `fd`; 0 or the errno of the failure.
int writeAll(int fd, std::span<const std::uint8_t> bytes, FileOps& ops) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ops.write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;  // a write that makes no progress never will
    done += static_cast<std::size_t>(n);
  }
  return 0;
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

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept { *this = std::move(other); }

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
  if (this == &other) return *this;
  abandon();
  path_ = std::move(other.path_);
  target_ = std::move(other.target_);
  tempPath_ = std::move(other.tempPath_);
  ops_ = other.ops_;
  fd_ = std::exchange(other.fd_, -1);
  device_ = other.device_;
  return *this;
}

AtomicFileWriter::~AtomicFileWriter() { abandon(); }

void AtomicFileWriter::abandon() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  if (!device_) ::unlink(tempPath_.c_str());
}

Status AtomicFileWriter::fail(int error) {
  abandon();
  return failure(path_, errnoText(error));
}

Result<AtomicFileWriter> AtomicFileWriter::open(const std::string& path, FileOps& ops,
                                                const AtomicWriteOptions& options) {
  if (path.empty()) return failure(path, "no file name was given");
  AtomicFileWriter writer;
  writer.path_ = path;
  writer.ops_ = &ops;
  fs::path target = resolveLinks(fs::path(path));
  if (target.filename().empty()) return failure(path, "the name is a folder, not a file");
  writer.target_ = target.string();

  struct stat old {};
  bool exists = ::stat(target.c_str(), &old) == 0;
  // A character device (/dev/null, /dev/full, a terminal) is written through.
  if (exists && S_ISCHR(old.st_mode)) {
    writer.device_ = true;
    writer.fd_ = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (writer.fd_ < 0) return failure(path, errnoText(errno));
    return writer;
  }
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

  writer.fd_ = openTemporary(target, options.newFileMode, &writer.tempPath_);
  if (writer.fd_ < 0) return failure(path, errnoText(errno));
  if (exists && ::fchmod(writer.fd_, old.st_mode & 07777) != 0) return writer.fail(errno);
  return writer;
}

Status AtomicFileWriter::append(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return failure(path_, errnoText(EBADF));
  if (int error = writeAll(fd_, bytes, *ops_); error != 0) return fail(error);
  return Status::OK();
}

Status AtomicFileWriter::commit() {
  if (fd_ < 0) return failure(path_, errnoText(EBADF));
  if (device_) {
    const int closed = ::close(std::exchange(fd_, -1));
    return closed == 0 ? Status::OK() : failure(path_, errnoText(errno));
  }
  if (ops_->fsync(fd_) != 0) return fail(errno);
  // Closed, the temporary is only removed when it cannot be put in place.
  auto discard = [this](int error) {
    ::unlink(tempPath_.c_str());
    return failure(path_, errnoText(error));
  };
  if (::close(std::exchange(fd_, -1)) != 0) return discard(errno);
  if (ops_->rename(tempPath_.c_str(), target_.c_str()) != 0) return discard(errno);
  syncFolder(target_);
  removeLeftovers(target_);
  return Status::OK();
}

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           FileOps& ops, const AtomicWriteOptions& options) {
  Result<AtomicFileWriter> opened = AtomicFileWriter::open(path, ops, options);
  if (!opened.ok()) return opened.status();
  AtomicFileWriter writer = std::move(opened).value();
  if (Status written = writer.append(bytes); !written.ok()) return written;
  return writer.commit();
}

}  // namespace corvela
