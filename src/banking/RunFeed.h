#pragma once

#include <functional>
#include <string>

#include "readers/RecordList.h"

namespace corvela {

// Feeds a bank run its records a window at a time, so that it never holds them all, nor all it
// writes. For a front end that never goes back past a window, stops a run or finishes it later
// (the command line): the records behind are gone, and what they wrote is gone from the output
// buffer. When the records the run was given are used up, `drain` is handed the buffer, once a
// transaction was written to it, and empties it; then `next` fills the list it is handed with the
// next records, and answers whether it found any.
struct RunFeed {
  std::function<bool(RecordList& records)> next;
  std::function<void(std::string& written)> drain;
};

}  // namespace corvela
