#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace corvela::testing {

// The real statements of others that the corpus-wide checks run over.
inline const std::filesystem::path kCorpus = CORVELA_CORPUS;

inline std::string lowerExtension(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

inline bool isOFXFile(const std::filesystem::path& path) {
  return lowerExtension(path) == ".ofx" || lowerExtension(path) == ".qfx";
}

// The OFX, QFX and QIF files of the corpus, as paths relative to it, sorted.
inline std::vector<std::string> corpusStatements() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus))
    if (entry.is_regular_file() &&
        (isOFXFile(entry.path()) || lowerExtension(entry.path()) == ".qif"))
      files.push_back(std::filesystem::relative(entry.path(), kCorpus).string());
  std::sort(files.begin(), files.end());
  return files;
}

// A test's name for a corpus file: its path with every character but letters and digits as "_".
inline std::string corpusTestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

}  // namespace corvela::testing
