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

}  // namespace

void TextLines::dropFront(std::size_t count) {
  lines_.erase(lines_.begin(),
               lines_.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines_.size())));
}

std::vector<std::string> TextLines::strings() const {
  return std::vector<std::string>(lines_.begin(), lines_.end());
}

LineWalk::LineWalk(std::string_view text) {
  // Counting first decides the line end without cutting the text twice, and tells the number of
  // lines.
  std::string_view walked = text;
  if (const std::size_t crlf = countCRLF(text); crlf > 0) {
    const std::size_t lf = countOf(text, '\n');
    pairs_ = lf <= crlf;
    if (pairs_) {
      separator_ = '\r';
    } else {
      // Some lines end with a bare line feed: every line feed ends a line, and the carriage
      // returns go.
      auto storage = std::make_shared<std::string>(text);
      std::erase(*storage, '\r');
      walked = *storage;
      storage_ = std::move(storage);
    }
    lineCount_ = (pairs_ ? crlf : lf) + 1;
  } else if (const std::size_t cr = countOf(text, '\r'); cr > 0) {
    separator_ = '\r';
    lineCount_ = cr + 1;
  } else {
    lineCount_ = countOf(text, '\n') + 1;
  }
  at_ = walked.data();
  end_ = walked.data() + walked.size();
}

bool LineWalk::next(std::string_view& line) {
  if (done_) return false;
  const auto rest = [this](const char* from) { return static_cast<std::size_t>(end_ - from); };
  // An empty text may have no storage at all, and memchr must not be handed a null pointer.
  const char* found =
      at_ == end_ ? nullptr : static_cast<const char*>(std::memchr(at_, separator_, rest(at_)));
  while (found && pairs_ && (found + 1 == end_ || found[1] != '\n'))
    found = static_cast<const char*>(std::memchr(found + 1, separator_, rest(found + 1)));
  if (!found) {
    line = std::string_view(at_, rest(at_));
    done_ = true;
    return true;
  }
  line = std::string_view(at_, static_cast<std::size_t>(found - at_));
  at_ = found + (pairs_ ? 2 : 1);
  return true;
}

TextLines findLines(std::string_view text) {
  LineWalk walk(text);
  std::vector<std::string_view> lines;
  lines.reserve(walk.lineCount());
  for (std::string_view line; walk.next(line);) lines.push_back(line);
  return TextLines(std::move(lines), std::move(walk.storage_));
}

}  // namespace corvela
