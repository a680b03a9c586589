#include "app/OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <system_error>

namespace corvela {

namespace fs = std::filesystem;

namespace {

Status refused(const std::string& path, const std::string& reason) {
  return Status::Error("Could not write \"" + path + "\": " + reason + ".");
}

// The descriptor a name of the process's own streams stands for, or none.
std::optional<int> standardStream(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!path.starts_with(prefix)) continue;
    int fd = -1;
    const char* begin = path.data() + prefix.size();
    const char* end = path.data() + path.size();
    auto [rest, error] = std::from_chars(begin, end, fd);
    if (error == std::errc() && rest == end && begin != end) return fd;
  }
  return std::nullopt;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

Status checkOutputPath(const std::string& path, std::span<const ProtectedFile> protectedFiles) {
  if (path.empty()) return refused(path, "no file name was given");
  if (standardStream(path)) return Status::OK();

  // Follow the links one by one, each under the sticky-folder rule.
  fs::path p(path);
  for (int hops = 0;; ++hops) {
    struct stat link {};
    if (::lstat(p.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    if (hops >= 40) return refused(path, "it is a chain of too many symbolic links");
    fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    struct stat folderStat {};
    bool ownLink = link.st_uid == ::geteuid();
    bool folderOwners =
        ::stat(folder.c_str(), &folderStat) == 0 && folderStat.st_uid == link.st_uid;
    if (!ownLink && !folderOwners)
      return refused(path, "it is a symbolic link owned by someone else (user " +
                               std::to_string(link.st_uid) + "), which Corvela does not follow");
    std::error_code ec;
    fs::path target = fs::read_symlink(p, ec);
    if (ec) return refused(path, ec.message());
    p = target.is_absolute() ? target : folder / target;
    struct stat end {};
    if (::stat(p.c_str(), &end) != 0 && errno == ENOENT)
      return refused(path, "it is a symbolic link to \"" + p.string() + "\", which does not exist");
  }

  struct stat target {};
  const bool exists = ::stat(p.c_str(), &target) == 0;
  for (const ProtectedFile& file : protectedFiles) {
    if (file.path.empty()) continue;
    struct stat other {};
    bool same = false;
    if (exists && ::stat(file.path.c_str(), &other) == 0) {
      same = sameFile(target, other);
    } else if (!exists) {
      std::error_code a, b;
      same = fs::weakly_canonical(p, a) == fs::weakly_canonical(file.path, b) && !a && !b;
    }
    if (same)
      return refused(path,
                     "it is " + file.role + " (\"" + file.path + "\"); choose another output file");
  }
  if (exists) {
    if (S_ISCHR(target.st_mode)) return Status::OK();
    if (!S_ISREG(target.st_mode)) return refused(path, kindOf(target.st_mode));
    if (std::string why = refusedTarget(p.string()); !why.empty()) return refused(path, why);
  }
  fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  std::error_code ec;
  if (!fs::is_directory(folder, ec))
    return refused(path, "the folder \"" + folder.string() + "\" does not exist");
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return refused(
        path, "the folder \"" + folder.string() + "\" cannot be written: " + std::strerror(errno));
  return Status::OK();
}

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

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

Result<OutputFileWriter> OutputFileWriter::open(const std::string& path, bool keepExisting,
                                                FileOps& ops) {
  OutputFileWriter writer;
  writer.path_ = path;
  writer.ops_ = &ops;
  if ((writer.stream_ = standardStream(path))) return writer;
  Result<AtomicFileWriter> file = AtomicFileWriter::open(path, ops);
  if (!file.ok()) return file.status();
  writer.file_.emplace(std::move(file).value());
  if (!keepExisting) return writer;
  // The file's bytes go in front as they are, read a piece at a time.
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Status::Error("Could not read \"" + path + "\" to append to it: " +
                         std::string(errno ? std::strerror(errno) : "unknown error") + ".");
  }
  char piece[65536];
  while (in.read(piece, sizeof piece) || in.gcount() > 0) {
    Status kept = writer.file_->append(
        bytesOf(std::string_view(piece, static_cast<std::size_t>(in.gcount()))));
    if (!kept.ok()) return kept;
  }
  if (in.bad()) return Status::Error("Could not read \"" + path + "\" to append to it.");
  return writer;
}

Status OutputFileWriter::append(std::string_view output) {
  if (file_) return file_->append(bytesOf(output));
  std::size_t done = 0;
  while (done < output.size()) {
    ssize_t n = ops_->write(*stream_, output.data() + done, output.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return refused(path_, std::strerror(n < 0 ? errno : ENOSPC));
    done += static_cast<std::size_t>(n);
  }
  return Status::OK();
}

Status OutputFileWriter::commit() { return file_ ? file_->commit() : Status::OK(); }

Status writeOutputFile(const std::string& path, std::string_view output, bool keepExisting,
                       FileOps& ops) {
  Result<OutputFileWriter> opened = OutputFileWriter::open(path, keepExisting, ops);
  if (!opened.ok()) return opened.status();
  OutputFileWriter writer = std::move(opened).value();
  if (Status written = writer.append(output); !written.ok()) return written;
  return writer.commit();
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
