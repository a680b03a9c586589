#include "text/Lines.h"

#include <algorithm>

namespace corvela {
namespace {

std::vector<std::string> split(std::string_view text, std::string_view separator) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t found = text.find(separator, start);
    if (found == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      return lines;
    }
    lines.emplace_back(text.substr(start, found - start));
    start = found + separator.size();
  }
}

}  // namespace

std::vector<std::string> findLines(std::string_view text) {
  std::vector<std::string> crlf = split(text, "\r\n");
  if (crlf.size() > 1) {
    std::vector<std::string> lf = split(text, "\n");
    if (lf.size() <= crlf.size()) return crlf;
    // Some lines end with a bare line feed: every line feed ends a line, and the carriage
    // returns go.
    for (std::string& line : lf)
      line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    return lf;
  }
  std::vector<std::string> cr = split(text, "\r");
  if (cr.size() > 1) return cr;
  return split(text, "\n");
}

}  // namespace corvela
