#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace corvela::testing {

// Gives the whole test process a home and XDG folders of its own, so no test (nor a library a
// test drives, like Qt's file dialog with its history in ~/.config) reads or writes the real
// ones, and the suite passes the second time as it did the first. Made first thing in main();
// everything under it is removed when the process ends.
class PrivateHome {
 public:
  PrivateHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvela-home-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::perror("corvela tests: cannot make a private home folder");
      std::exit(2);
    }
    root_ = pattern;
    setenv("HOME", root_.c_str(), 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR"}) {
      std::filesystem::path folder = root_ / name;
      std::filesystem::create_directory(folder);
      chmod(folder.c_str(), 0700);
      setenv(name, folder.c_str(), 1);
    }
  }
  ~PrivateHome() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  PrivateHome(const PrivateHome&) = delete;
  PrivateHome& operator=(const PrivateHome&) = delete;

 private:
  std::filesystem::path root_;
};

}  // namespace corvela::testing
