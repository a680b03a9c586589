#include "lists/Completion.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace corvela {
namespace {

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string asciiLowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = asciiLower(c);
  return lowered;
}

icu::UnicodeString unicode(std::string_view text) {
  return icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

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

int caseInsensitiveCompare(std::string_view a, std::string_view b) {
  // Case folding of ASCII is lowering its capitals, so the cheap path orders exactly as ICU.
  if (isAscii(a) && isAscii(b)) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      char x = asciiLower(a[i]), y = asciiLower(b[i]);
      if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  return unicode(a).caseCompare(unicode(b), U_FOLD_CASE_DEFAULT);
}

bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  std::size_t count = characterCount(prefix);
  if (characterCount(text) < count) return false;
  return equalsIgnoringCase(leadingCharacters(text, count), prefix);
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  if (isAscii(text) && isAscii(part))
    return asciiLowered(text).find(asciiLowered(part)) != std::string::npos;
  icu::UnicodeString foldedText = unicode(text).foldCase();
  icu::UnicodeString foldedPart = unicode(part).foldCase();
  return foldedText.indexOf(foldedPart) >= 0;
}

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
