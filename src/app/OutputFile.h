#pragma once

#include <string>
#include <string_view>

#include "platform/Status.h"
#include "prefs/AtomicFile.h"

namespace corvela {

// The output file of a run and the path helpers the controller needs.

// Whether `path` names an existing regular file (or a link to one) that this process may
// write.
bool isWritableFile(const std::string& path);

// Whether the file at `path` begins with `prefix`; false when it cannot be read.
bool fileBeginsWith(const std::string& path, std::string_view prefix);

// Writes the run's output to `path` atomically: with `keepExisting`, the file's current bytes
// stay in front of `output` (as they are, whatever their encoding); otherwise the file is
// replaced or created. Either the whole new content is in place afterwards or the file is
// exactly as it was. An error names the file and the reason.
Status writeOutputFile(const std::string& path, std::string_view output, bool keepExisting,
                       FileOps& ops = FileOps::system());

// The last component of `path` ("x.qif" of "/a/x.qif").
std::string lastPathComponent(const std::string& path);
// The folder of `path` ("/a" of "/a/x.qif"), "" when it has none.
std::string directoryOf(const std::string& path);
// The extension of `path` without the point ("qif"), "" when it has none.
std::string extensionOf(const std::string& path);

}  // namespace corvela
