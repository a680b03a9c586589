#pragma once

#include <cerrno>

#include "prefs/AtomicFile.h"

namespace corvela::testing {

// System calls whose rename fails, as on a full disk: every write that replaces a file fails at
// its last step, after the new bytes were written to the temporary.
class FailingRename : public FileOps {
 public:
  int rename(const char*, const char*) override {
    errno = ENOSPC;
    return -1;
  }
};

}  // namespace corvela::testing
