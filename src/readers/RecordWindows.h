#pragma once

#include <cstddef>

#include "readers/RecordList.h"

namespace corvela {

// The records of an input, read a window at a time: a run that writes out each window before it
// reads the next never holds them all. A reading borrows its input's text, which must outlive it.
class RecordWindows {
 public:
  virtual ~RecordWindows() = default;
  // Appends the next records, `most` at most, to `records`; answers whether it appended any.
  virtual bool next(RecordList& records, std::size_t most) = 0;
  // Whether the reading was given up (the person cancelled it at a transaction that could not be
  // read): the input then counts as unreadable.
  virtual bool givenUp() const { return false; }
};

}  // namespace corvela
