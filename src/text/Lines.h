#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvela {

// The lines of a text, whatever its line ends: CR LF, LF, CR, or CR LF mixed with bare LF (then
// every carriage return is dropped). The line ends are not part of the lines; a final line end
// gives a last, empty line, and an empty text one empty line.
std::vector<std::string> findLines(std::string_view text);

}  // namespace corvela
