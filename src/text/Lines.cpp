#include "text/Lines.h"


namespace corvela {
namespace {

// Whether some line feed of `text` has no carriage return in front of it.
bool hasBareLineFeed(std::string_view text) {
  // A search from one to the next passes over the bytes between many at a time; a line is dozens.
  for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
    if (at == 0 || text[at - 1] != '\r') return true;
  return false;
}

}  // namespace

std::vector<std::string> TextLines::strings() const {
  return std::vector<std::string>(lines_.begin(), lines_.end());
}

LineWalk::LineWalk(std::string_view text) {
  // Which line end the text uses is settled before the first line is cut; the searches stop as
  // soon as they know, so that a text of line feeds alone is not gone through line by line.
  std::string_view walked = text;
  if (text.find("\r\n") != std::string_view::npos) {
    pairs_ = !hasBareLineFeed(text);
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
  } else if (text.find('\r') != std::string_view::npos) {
    separator_ = '\r';
  }
  at_ = walked.data();
  end_ = walked.data() + walked.size();
}

std::size_t LineWalk::countLines() const {
  const std::string_view text = rest();
  std::size_t ends = 0;
  for (std::size_t at = text.find(separator_); at != std::string_view::npos;
       at = text.find(separator_, at + 1))
    ends += !pairs_ || (at + 1 < text.size() && text[at + 1] == '\n');
  return ends + !done_;
}

TextLines findLines(std::string_view text) {
  LineWalk walk(text);
  std::vector<std::string_view> lines;
  lines.reserve(walk.countLines());
  for (std::string_view line; walk.next(line);) lines.push_back(line);
  return TextLines(std::move(lines), std::move(walk.storage_));
}

}  // namespace corvela
