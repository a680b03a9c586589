#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Status.h"
#include "prefs/AtomicFile.h"

namespace corvela {

// The output file of a run and the path helpers the controller needs.

// A file a run's output must never replace, and what to call it in the refusal.
struct ProtectedFile {
  std::string path;
  std::string role;  // "the input", "the preference store", ...
};

// Whether `path` may receive a run's output, checked before anything is written. Refused, with
// an error naming the path and the reason:
//   - a path that names one of `protectedFiles` (the input, the preference store, the
//     continuation file being resumed), also through a symbolic link, ".." or a hard link;
//   - a symbolic link not owned by the person running Corvela nor by the owner of the folder
//     it lies in (the rule the kernel applies to links in sticky folders such as /tmp, applied
//     everywhere), and a link that points nowhere;
//   - a folder, a named pipe, a socket or a block device (a character device such as
//     /dev/null is written through; /dev/stdout, /dev/stderr and /dev/fd/N name the process's
//     own streams);
//   - a read-only file (no write permission bit: refused for root too), a file this process
//     may not write, and a path whose folder does not exist.
Status checkOutputPath(const std::string& path, std::span<const ProtectedFile> protectedFiles);

// Whether `path` names an existing regular file (or a link to one) that this process may
// write.
bool isWritableFile(const std::string& path);

// Whether the file at `path` begins with `prefix`; false when it cannot be read.
bool fileBeginsWith(const std::string& path, std::string_view prefix);

// Writes the run's output to `path` atomically: with `keepExisting`, the file's current bytes
// stay in front of `output` (as they are, whatever their encoding); otherwise the file is
// replaced or created. Either the whole new content is in place afterwards or the file is
// exactly as it was. /dev/stdout, /dev/stderr and /dev/fd/N are written to the descriptor this
// process already has open, as a shell would. An error names the file and the reason.
Status writeOutputFile(const std::string& path, std::string_view output, bool keepExisting,
                       FileOps& ops = FileOps::system());

// The same, the output written piece by piece as a run makes it: nothing is in place before
// commit(), and a writer dropped before it, or after a failed append(), leaves the file exactly
// as it was. (A standard stream takes each piece as it comes.)
class OutputFileWriter {
 public:
  static Result<OutputFileWriter> open(const std::string& path, bool keepExisting,
                                       FileOps& ops = FileOps::system());
  Status append(std::string_view output);
  Status commit();

 private:
  OutputFileWriter() = default;

  std::string path_;
  FileOps* ops_ = nullptr;
  std::optional<int> stream_;             // the descriptor of a standard stream named
  std::optional<AtomicFileWriter> file_;  // else the file's replacement
};

// The last component of `path` ("x.qif" of "/a/x.qif").
std::string lastPathComponent(const std::string& path);
// The folder of `path` ("/a" of "/a/x.qif"), "" when it has none.
std::string directoryOf(const std::string& path);
// The extension of `path` without the point ("qif"), "" when it has none.
std::string extensionOf(const std::string& path);

}  // namespace corvela
