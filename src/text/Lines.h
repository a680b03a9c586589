#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "text/TextLines.h"

namespace corvela {

// The lines of a text, cut one at a time as they are asked for: reading a long register this way
// needs no list of its lines beside the text, which on a statement of a hundred thousand
// transactions is as big again as the text. The lines are those findLines gives, views into the
// text, which must outlive the walk. A copy of a walk goes on from where it was, on its own.
class LineWalk {
 public:
  explicit LineWalk(std::string_view text);

  // Sets `line` to the next line and answers true; answers false once every line was given.
  // Defined here: it is called once a line, and a call would cost as much as the search.
  bool next(std::string_view& line) {
    if (done_) return false;
    const char* const end = lineEnd();
    done_ = end == nullptr;
    const char* const stop = done_ ? end_ : end;
    line = std::string_view(at_, static_cast<std::size_t>(stop - at_));
    at_ = done_ ? end_ : end + (pairs_ ? 2 : 1);
    return true;
  }
  // The text of the lines not walked yet, their line ends included.
  std::string_view rest() const { return {at_, static_cast<std::size_t>(end_ - at_)}; }

 private:
  friend TextLines findLines(std::string_view text);

  // How many lines are not walked yet.
  std::size_t countLines() const;
  // Where the line at `at_` ends, or null when it runs to the end of the text.
  const char* lineEnd() const {
    // An empty text may have no storage at all, and memchr must not be handed a null pointer.
    if (at_ == end_) return nullptr;
    const auto left = [this](const char* from) { return static_cast<std::size_t>(end_ - from); };
    const char* found = static_cast<const char*>(std::memchr(at_, separator_, left(at_)));
    while (found && pairs_ && (found + 1 == end_ || found[1] != '\n'))
      found = static_cast<const char*>(std::memchr(found + 1, separator_, left(found + 1)));
    return found;
  }

  // The text without its carriage returns, when bare line feeds are mixed with CR LF.
  std::shared_ptr<const std::string> storage_;
  const char* at_ = nullptr;
  const char* end_ = nullptr;
  char separator_ = '\n';
  bool pairs_ = false;  // lines end with CR LF: a bare carriage return is part of a line
  bool done_ = false;
};

// The lines of a text, whatever its line ends: CR LF, LF, CR, or CR LF mixed with bare LF (then
// every carriage return is dropped). The line ends are not part of the lines; a final line end
// gives a last, empty line, and an empty text one empty line. The lines are views into `text`
// (see TextLines), which must outlive them.
TextLines findLines(std::string_view text);

}  // namespace corvela
