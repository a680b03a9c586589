#pragma once

#include <string_view>

#include "text/TextLines.h"

namespace corvela {

// The lines of a text, whatever its line ends: CR LF, LF, CR, or CR LF mixed with bare LF (then
// every carriage return is dropped). The line ends are not part of the lines; a final line end
// gives a last, empty line, and an empty text one empty line. The lines are views into `text`
// (see TextLines), which must outlive them.
TextLines findLines(std::string_view text);

}  // namespace corvela
