#include "prefs/CVPrefs.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"

namespace corvela {

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
  struct stat st {};
  bool absent = ::stat(store.prefsPath_.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
  if (!absent) {
    Result<Value> read = readKeyedArchiveFile(store.prefsPath_);
    if (read.ok() && read.value().isDictionary()) {
      store.prefs_ = std::move(read).value();
    } else {
      store.readError_ = read.ok() ? "\"" + store.prefsPath_ +
                                         "\" cannot be read: its root object is not a dictionary."
                                   : read.message();
      store.moveAside(now);
      store.setBool("reconstructedAfterCorruption", true);
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
  readError_ += " It could not be moved aside: " + std::generic_category().message(error) + ".";
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
}

std::string CVPrefs::description() const { return describe(prefs_); }

bool CVPrefs::synchronize() {
  Status written =
      writeKeyedArchiveFile(prefsPath_, prefs_, fileOps_ ? *fileOps_ : FileOps::system());
  writeError_ = written.message();
  return written.ok();
}

}  // namespace corvela
