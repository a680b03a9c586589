#include "text/Lines.h"

#include <algorithm>
#include <cstring>

namespace corvela {
namespace {

std::size_t countOf(std::string_view text, char c) {
  // A search from one to the next passes over the bytes between many at a time; a line is dozens.
  std::size_t count = 0;
  for (std::size_t at = text.find(c); at != std::string_view::npos; at = text.find(c, at + 1))
    ++count;
  return count;
}

std::size_t countCRLF(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
       at = text.find("\r\n", at + 2))
    ++count;
  return count;
}

// Cuts at every `separator` (one or two characters); `pieces` is the number there will be.
std::vector<std::string_view> split(std::string_view text, std::string_view separator,
                                    std::size_t pieces) {
  std::vector<std::string_view> lines;
  lines.reserve(pieces);
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (true) {
    const char* found =
        static_cast<const char*>(std::memchr(at, separator[0], static_cast<std::size_t>(end - at)));
    while (found && separator.size() == 2 && (found + 1 == end || found[1] != separator[1]))
      found = static_cast<const char*>(
          std::memchr(found + 1, separator[0], static_cast<std::size_t>(end - found - 1)));
    if (!found) {
      lines.emplace_back(at, static_cast<std::size_t>(end - at));
      return lines;
    }
    lines.emplace_back(at, static_cast<std::size_t>(found - at));
    at = found + separator.size();
  }
}

}  // namespace

void TextLines::dropFront(std::size_t count) {
  lines_.erase(lines_.begin(),
               lines_.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines_.size())));
}

std::vector<std::string> TextLines::strings() const {
  return std::vector<std::string>(lines_.begin(), lines_.end());
}

TextLines findLines(std::string_view text) {
  // Counting first decides the line end without cutting the text twice, and sizes the list.
  const std::size_t crlf = countCRLF(text);
  if (crlf > 0) {
    const std::size_t lf = countOf(text, '\n');
    if (lf <= crlf) return TextLines(split(text, "\r\n", crlf + 1));
    // Some lines end with a bare line feed: every line feed ends a line, and the carriage
    // returns go.
    auto storage = std::make_shared<std::string>(text);
    std::erase(*storage, '\r');
    std::vector<std::string_view> lines = split(*storage, "\n", lf + 1);
    return TextLines(std::move(lines), std::move(storage));
  }
  if (const std::size_t cr = countOf(text, '\r'); cr > 0)
    return TextLines(split(text, "\r", cr + 1));
  return TextLines(split(text, "\n", countOf(text, '\n') + 1));
}

}  // namespace corvela
