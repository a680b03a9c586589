#include "prefs/CVPrefs.h"

#include <cstdlib>
#include <limits>

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
  // TODO(keyed archive): read the file.
  CVPrefs store(std::move(path));
  store.setBool("convertedFromPlist", true);
  return store;
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
  // TODO(keyed archive): write the file.
  return false;
}

}  // namespace corvela
