// The start-up path of a preference store file, from random bytes: open it as the program does
// (an unreadable file is moved aside), normalise it as start-up does (option list, output
// defaults, output formats), write it, and read it back: what Corvela writes it must read back
// equal. Any refusal must say why.
//
//   scripts/fuzz 60 store_fuzz

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "SilentPlatform.h"
#include "formats/OutputFormats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"

namespace {

using namespace corvela;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "store_fuzz: %s\n", what);
    std::abort();
  }
}

// A folder of this process on a memory file system when there is one, so that the flush of
// every write costs nothing.
const std::filesystem::path& folder() {
  static const std::filesystem::path made = [] {
    std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::filesystem::path path = base / ("corvela-store-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return made;
}

// Stores of real people are large; the fuzzer learns nothing more from megabytes of them.
constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  // Only the store and what a damaged one was moved to come and go; the folder stays.
  const std::string path = (folder() / "store.prefs").string();
  for (const auto& entry : std::filesystem::directory_iterator(folder()))
    if (entry.path().filename() != "store.prefs.lock") ::unlink(entry.path().c_str());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  CVPrefs store = CVPrefs::initWithPath(path, 1765017912);
  check(store.openError().empty(), "a regular file is always usable or moved aside");
  check(store.movedAsidePath().empty() == store.readError().empty(),
        "a moved file comes with its reason");
  // As a command-line run does: start-up's steps ask for writes, one write happens at the end.
  store.setWritesDeferred(true);
  fuzz::SilentPlatform platform;
  Preferences options(store);
  Categories categories(store, platform);
  OutputFormats outputFormats(store, options, categories, Bundle::builtIn());
  options.normalizeOptionList(platform, [&] { categories.updateAccounts(); });
  options.writeOutputDefaults();
  outputFormats.createIfAbsent();

  if (!store.synchronizeNow()) {
    check(!store.writeError().empty(), "a failed write says why");
    return 0;
  }
  CVPrefs again = CVPrefs::initWithPath(path, 1765017912);
  check(again.readError().empty(), "what was written reads back");
  check(again.prefs() == store.prefs(), "what was written reads back equal");
  return 0;
}
