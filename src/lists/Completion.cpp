#include "lists/Completion.h"

#include <algorithm>

namespace corvela {
namespace {

bool startsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Byte offset of the character at index `index`, or the text's size when it has fewer.
std::size_t byteOffset(std::string_view text, std::size_t index) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (startsCharacter(text[i])) {
      if (seen == index) return i;
      ++seen;
    }
  }
  return text.size();
}

}  // namespace

std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), startsCharacter));
}

std::string_view leadingCharacters(std::string_view text, std::size_t count) {
  return text.substr(0, byteOffset(text, count));
}

std::string_view characterSlice(std::string_view text, std::size_t from, std::size_t to) {
  if (to < from) to = from;
  std::size_t begin = byteOffset(text, from);
  std::size_t end = byteOffset(text, to);
  return text.substr(begin, end - begin);
}

std::optional<std::size_t> shortestCompletionIndex(std::span<const std::string_view> entries,
                                                   std::string_view prefix,
                                                   std::size_t lengthLimit) {
  std::optional<std::size_t> best;
  std::size_t bestLength = lengthLimit;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::size_t length = characterCount(entries[i]);
    if (length < bestLength && beginsWithIgnoringCase(entries[i], prefix)) {
      best = i;
      bestLength = length;
    }
  }
  return best;
}

std::optional<std::size_t> firstCompletionIndex(std::span<const std::string_view> entries,
                                                std::string_view prefix) {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (beginsWithIgnoringCase(entries[i], prefix)) return i;
  return std::nullopt;
}

EditDecision completeTyping(const TextEdit& edit, const Completer& complete) {
  std::optional<std::string> completion = complete(edit.proposedText);
  if (!completion) return EditDecision::refuse();
  std::size_t length = characterCount(*completion);

  const TextRange& before = edit.previousSelection;
  if (edit.key == kBackwardDeleteKey && before.end() == characterCount(edit.previousText)) {
    if (before.location == 0) return EditDecision::refuse();
    // The completion can be shorter than the previous text (another, shorter entry now
    // completes the prefix), so keep the grown selection inside it.
    std::size_t location = std::min(before.location - 1, length);
    std::size_t end = std::min(before.end(), length);
    return EditDecision::replace(std::move(*completion), {location, end - location});
  }
  std::size_t caret = std::min(edit.proposedSelection.location, length);
  return EditDecision::replace(std::move(*completion), {caret, length - caret});
}

std::vector<std::string_view> stringViews(const std::vector<std::string>& list) {
  return std::vector<std::string_view>(list.begin(), list.end());
}

}  // namespace corvela
