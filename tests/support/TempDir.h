#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvela::testing {

// A fresh folder for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvela-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path(const std::string& name) const { return (root_ / name).string(); }
  const std::filesystem::path& root() const { return root_; }

  // Names of everything in the folder `name` inside this one, sorted.
  std::vector<std::string> entries(const std::string& name = "") const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(root_ / name))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Writes `content` to `name` inside the folder and returns its path.
  std::string write(const std::string& name, const std::string& content) const {
    std::string p = path(name);
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }

 private:
  std::filesystem::path root_;
};

}  // namespace corvela::testing
