#pragma once

#include <cstddef>
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
  bool next(std::string_view& line);
  // The text of the lines not walked yet, their line ends included.
  std::string_view rest() const { return {at_, static_cast<std::size_t>(end_ - at_)}; }

 private:
  friend TextLines findLines(std::string_view text);

  // How many lines are not walked yet.
  std::size_t countLines() const;

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
