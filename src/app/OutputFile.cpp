#include "app/OutputFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace corvela {

bool isWritableFile(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  return ::access(path.c_str(), W_OK) == 0;
}

bool fileBeginsWith(const std::string& path, std::string_view prefix) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string start(prefix.size(), '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  return in.gcount() == static_cast<std::streamsize>(prefix.size()) && start == prefix;
}

Status writeOutputFile(const std::string& path, std::string_view output, bool keepExisting,
                       FileOps& ops) {
  std::vector<std::uint8_t> bytes;
  if (keepExisting) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      return Status::Error("Could not read \"" + path + "\" to append to it: " +
                           std::string(errno ? std::strerror(errno) : "unknown error") + ".");
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return Status::Error("Could not read \"" + path + "\" to append to it.");
  }
  bytes.insert(bytes.end(), output.begin(), output.end());
  return writeFileAtomically(path, bytes, ops);
}

std::string lastPathComponent(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string directoryOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

std::string extensionOf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  return extension.empty() ? extension : extension.substr(1);
}

}  // namespace corvela
