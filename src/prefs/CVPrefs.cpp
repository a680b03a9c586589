#include "prefs/CVPrefs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <system_error>
#include <vector>

#include "prefs/KeyedArchive.h"
#include "prefs/StoreMerge.h"
#include "prefs/ValueText.h"

namespace corvela {

namespace {

std::string errnoText(int error) { return std::generic_category().message(error); }

// The advisory lock that every read-modify-write of one store holds, so that two processes
// never interleave a read and a write. A lock that cannot be taken (a read-only folder) is
// no lock: reading goes on, and a write fails on its own with its own reason.
class StoreLock {
 public:
  explicit StoreLock(const std::string& storePath) {
    std::string lockPath = storePath + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      ::close(fd_);
      fd_ = -1;
      return;
    }
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  int fd_ = -1;
};

// What is at the store's path.
struct StoreFile {
  enum class Kind { Absent, Read, Invalid, Unreadable } kind = Kind::Absent;
  Value value;                      // Read: the root dictionary, unless `unchanged`
  std::string reason;               // Invalid, Unreadable: why, naming the file
  std::vector<std::uint8_t> bytes;  // Read: the file's bytes
  bool unchanged = false;           // Read: the bytes were the known ones, and were not decoded
};

// The digest is compared within this process only: the library's hash of the bytes serves. Another
// process's write changes many bytes of a store, and no accident gives it the digest of the
// bytes it replaced.
StoreDigest digestOf(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return {bytes.size(), std::hash<std::string_view>{}(text)};
}

// Reads the store at `path`. When the file holds what `known` digests, it is not decoded again.
StoreFile readStoreFile(const std::string& path, const StoreDigest* known = nullptr) {
  auto cannot = [&](StoreFile::Kind kind, const std::string& reason) {
    return StoreFile{kind, Value(), "\"" + path + "\" cannot be read: " + reason + ".", {}, false};
  };
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return StoreFile{};
    return cannot(StoreFile::Kind::Unreadable, errnoText(errno));
  }
  if (S_ISDIR(st.st_mode)) return cannot(StoreFile::Kind::Unreadable, "it is a folder");
  if (!S_ISREG(st.st_mode)) return cannot(StoreFile::Kind::Unreadable, "it is not a regular file");
  // Non-blocking, so that a pipe put there after the check cannot stall the start-up.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return cannot(StoreFile::Kind::Unreadable, errnoText(errno));
  std::vector<std::uint8_t> bytes;
  const ArchiveLimits limits;
  std::string error;
  if (::fstat(fd, &st) != 0) {
    error = errnoText(errno);
  } else if (!S_ISREG(st.st_mode)) {
    error = "it is not a regular file";
  } else {
    // Too large to be a store Corvela wrote is content, not a failure to read: the reading of
    // the bytes says so.
    error = readAll(fd, limits.maxBytes, &bytes);
  }
  ::close(fd);
  if (!error.empty()) return cannot(StoreFile::Kind::Unreadable, error);
  if (known && known->size != 0 && digestOf(bytes) == *known)
    return StoreFile{StoreFile::Kind::Read, Value(), "", std::move(bytes), true};
  Result<Value> value = readKeyedArchive(bytes, limits);
  if (!value.ok()) return cannot(StoreFile::Kind::Invalid, value.message());
  if (!value.value().isDictionary())
    return cannot(StoreFile::Kind::Invalid, "its root object is not a dictionary");
  return StoreFile{StoreFile::Kind::Read, std::move(value).value(), "", std::move(bytes), false};
}

// Counts the values of `value` and its depth as the archive reader counts them.
void measure(const Value& value, std::size_t depth, std::size_t* values, std::size_t* deepest) {
  ++*values;
  if (depth > *deepest) *deepest = depth;
  if (value.isArray()) {
    for (const Value& item : value.toArray()) measure(item, depth + 1, values, deepest);
  } else if (value.isDictionary()) {
    for (const auto& [key, item] : value.toDictionary()) {
      ++*values;  // the key
      measure(item, depth + 1, values, deepest);
    }
  }
}

// Why `root` would be refused when read back, by its shape alone, or "". Sets `values`.
std::string tooLarge(const Value& root, std::size_t* values) {
  const ArchiveLimits limits;
  std::size_t deepest = 0;
  measure(root, 1, values, &deepest);
  if (deepest >= limits.maxDepth)
    return "it would be nested " + std::to_string(deepest) + " levels deep, more than the " +
           std::to_string(limits.maxDepth) + " Corvela reads";
  if (*values > limits.maxValues)
    return "it would hold " + std::to_string(*values) + " values, more than the " +
           std::to_string(limits.maxValues) + " Corvela reads";
  return "";
}

// Why the archive `bytes`, holding `values` values, would be refused when read back, or "".
std::string wouldBeRefused(std::size_t values, const std::vector<std::uint8_t>& bytes) {
  const ArchiveLimits limits;
  // Far below every limit, the counts settle it; near them, only reading back does.
  if (values * 4 > limits.maxPlistNodes || bytes.size() * 2 > limits.maxBytes) {
    Result<Value> again = readKeyedArchive(bytes, limits);
    if (!again.ok()) return "Corvela could not read it back (" + again.message() + ")";
  }
  return "";
}

}  // namespace

std::string CVPrefs::defaultPath() {
  if (const char* explicitPath = std::getenv("CORVELA_PREFS"); explicitPath && *explicitPath)
    return explicitPath;
  std::string dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    dir = xdg;
  } else {
    const char* home = std::getenv("HOME");
    dir = std::string(home ? home : ".") + "/.config";
  }
  return dir + "/corvela/" + std::string(kApplicationID) + ".prefs";
}

CVPrefs::CVPrefs(std::string path) : prefsPath_(std::move(path)) {}

CVPrefs CVPrefs::initWithPath(std::string path) {
  return initWithPath(std::move(path), std::time(nullptr));
}

CVPrefs CVPrefs::initWithPath(std::string path, std::time_t now) {
  CVPrefs store(std::move(path));
  {
    // Held while a damaged file is moved aside too, so that two starts never both move it.
    StoreLock lock(store.prefsPath_);
    StoreFile file = readStoreFile(store.prefsPath_);
    switch (file.kind) {
      case StoreFile::Kind::Absent:
        break;
      case StoreFile::Kind::Read:
        store.prefs_ = std::move(file.value);
        store.changes_.count();
        store.base_ = store.prefs_;
        store.baseOnDisk_ = true;
        store.baseDigest_ = digestOf(file.bytes);
        break;
      case StoreFile::Kind::Unreadable:
        store.readError_ = file.reason;
        store.openError_ = file.reason;
        break;
      case StoreFile::Kind::Invalid:
        store.readError_ = file.reason;
        store.moveAside(now);
        if (store.movedAsidePath_.empty())
          store.openError_ = store.readError_;
        else
          store.setBool("reconstructedAfterCorruption", true);
        break;
    }
  }
  if (!store.prefs_.contains("convertedFromPlist")) store.setBool("convertedFromPlist", true);
  return store;
}

void CVPrefs::moveAside(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
  const std::string base = prefsPath_ + ".unreadable-" + stamp;
  int error = 0;
  for (int n = 1; n <= 100; ++n) {
    std::string candidate = n == 1 ? base : base + "-" + std::to_string(n);
    // Never replace an earlier unreadable file: it may be the one worth recovering.
    if (::renameat2(AT_FDCWD, prefsPath_.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) ==
        0) {
      movedAsidePath_ = candidate;
      return;
    }
    error = errno;
    if (error == EINVAL || error == ENOSYS) {
      // A file system without a no-replace rename: check first, then rename.
      std::error_code ec;
      if (std::filesystem::exists(candidate, ec) || ec) continue;
      if (::rename(prefsPath_.c_str(), candidate.c_str()) == 0) {
        movedAsidePath_ = candidate;
        return;
      }
      error = errno;
    }
    if (error != EEXIST && error != EINVAL && error != ENOSYS) break;
  }
  readError_ += " It could not be moved aside: " + errnoText(error) + ".";
}

int CVPrefs::intForKey(std::string_view key) const {
  std::int64_t i = prefs_[key].toInt();
  if (i > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (i < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(i);
}

float CVPrefs::floatForKey(std::string_view key) const {
  return static_cast<float>(prefs_[key].toDouble());
}

void CVPrefs::setObject(std::string_view key, Value value) {
  if (value.isNull())
    prefs_.erase(key);
  else
    prefs_.set(key, std::move(value));
  changes_.count();
}

std::string CVPrefs::description() const { return describe(prefs_); }

bool CVPrefs::synchronize() {
  if (deferred_) return true;
  return synchronizeNow();
}

bool CVPrefs::synchronizeNow() {
  auto fail = [&](const std::string& reason) {
    writeError_ = "Could not write \"" + prefsPath_ + "\": " + reason;
    if (!writeError_.ends_with('.')) writeError_ += '.';
    return false;
  };
  if (!openError_.empty()) return fail("it was not read, so writing it could destroy it");
  if (baseOnDisk_ && prefs_ == base_) {
    writeError_.clear();
    return true;
  }
  const std::string folder = std::filesystem::path(prefsPath_).parent_path().string();
  if (!folder.empty()) {
    if (std::string error = createFolders(folder, 0700); !error.empty()) return fail(error);
  }

  StoreLock lock(prefsPath_);
  Value merged;
  StoreFile file = readStoreFile(prefsPath_, baseOnDisk_ ? &baseDigest_ : nullptr);
  switch (file.kind) {
    case StoreFile::Kind::Absent:
      merged = prefs_;
      break;
    case StoreFile::Kind::Read:
      merged =
          file.unchanged || file.value == base_ ? prefs_ : mergeStores(base_, prefs_, file.value);
      break;
    case StoreFile::Kind::Unreadable:
      return fail(file.reason);
    case StoreFile::Kind::Invalid: {
      // Damaged by someone else since it was read: keep it for recovery, write ours whole.
      std::string before = readError_;
      moveAside(std::time(nullptr));
      if (movedAsidePath_.empty()) {
        readError_ = before;
        return fail(file.reason + " It could not be moved aside.");
      }
      merged = prefs_;
      break;
    }
  }

  const char* kept = "; the store was not written, so that it can still be read";
  std::size_t values = 0;
  if (std::string refused = tooLarge(merged, &values); !refused.empty())
    return fail(refused + kept);
  Result<std::vector<std::uint8_t>> bytes = writeKeyedArchive(merged);
  if (!bytes.ok()) return fail(bytes.message() + kept);
  if (std::string refused = wouldBeRefused(values, bytes.value()); !refused.empty())
    return fail(refused + kept);
  Status written = writeFileAtomically(
      prefsPath_, bytes.value(), fileOps_ ? *fileOps_ : FileOps::system(),
      AtomicWriteOptions{.createFolders = true, .folderMode = 0700, .newFileMode = 0600});
  if (!written.ok()) {
    writeError_ = written.message();
    return false;
  }
  writeError_.clear();
  prefs_ = merged;
  changes_.count();
  base_ = std::move(merged);
  baseOnDisk_ = true;
  baseDigest_ = digestOf(bytes.value());
  return true;
}

}  // namespace corvela
