#include "text/CaseInsensitive.h"

#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace corvela {
namespace {

// Above every code point, so a byte that is not valid UTF-8 equals only the same byte.
constexpr UChar32 kInvalidByteBase = 0x110000;

struct Character {
  UChar32 folded;
  std::size_t length;  // bytes
};

// The character at byte `i`, case-folded.
Character characterAt(std::string_view text, std::size_t i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) {
    UChar32 c = (lead >= 'A' && lead <= 'Z') ? lead + 32 : lead;
    return {c, 1};
  }
  // A UTF-8 character has at most four bytes; looking at no more keeps the offsets small.
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data() + i);
  const auto available = static_cast<int32_t>(std::min<std::size_t>(4, text.size() - i));
  int32_t next = 0;
  UChar32 c;
  U8_NEXT(bytes, next, available, c);
  if (c < 0) return {kInvalidByteBase + lead, 1};
  return {u_foldCase(c, U_FOLD_CASE_DEFAULT), static_cast<std::size_t>(next)};
}

// Whether `target` matches `text` at byte `at`; its length in `text` when it does.
std::optional<std::size_t> matchAt(std::string_view text, std::size_t at, std::string_view target) {
  std::size_t i = at;
  std::size_t j = 0;
  while (j < target.size()) {
    if (i >= text.size()) return std::nullopt;
    Character a = characterAt(text, i);
    Character b = characterAt(target, j);
    if (a.folded != b.folded) return std::nullopt;
    i += a.length;
    j += b.length;
  }
  return i - at;
}

struct CaseMapCloser {
  void operator()(UCaseMap* map) const { ucasemap_close(map); }
};

}  // namespace

int caseInsensitiveCompare(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    Character x = characterAt(a, i);
    Character y = characterAt(b, j);
    if (x.folded != y.folded) return x.folded < y.folded ? -1 : 1;
    i += x.length;
    j += y.length;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::u32string foldedCharacters(std::string_view text) {
  std::u32string folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    Character c = characterAt(text, i);
    folded += static_cast<char32_t>(c.folded);
    i += c.length;
  }
  return folded;
}

FoldedCharacter foldedCharacterAt(std::string_view text, std::size_t at) {
  Character c = characterAt(text, at);
  return {static_cast<char32_t>(c.folded), c.length};
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return caseInsensitiveCompare(a, b) == 0;
}

bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return matchAt(text, 0, prefix).has_value();
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
  return part.empty() || findIgnoringCase(text, part).has_value();
}

std::optional<TextSpan> findIgnoringCase(std::string_view text, std::string_view target,
                                         std::size_t from) {
  if (target.empty()) return std::nullopt;
  for (std::size_t at = from; at < text.size();) {
    if (std::optional<std::size_t> length = matchAt(text, at, target)) return TextSpan{at, *length};
    at += characterAt(text, at).length;
  }
  return std::nullopt;
}

void caseInsensitiveReplace(std::string& text, std::string_view target,
                            std::string_view replacement) {
  std::size_t from = 0;
  while (std::optional<TextSpan> found = findIgnoringCase(text, target, from)) {
    text.replace(found->start, found->length, replacement);
    from = found->start + replacement.size();
  }
}

std::string capitalizedWords(std::string_view text) {
  if (text.empty() || text.size() > (1u << 28)) return std::string(text);
  UErrorCode status = U_ZERO_ERROR;
  // The root locale: the same words whatever language the desktop is set to.
  std::unique_ptr<UCaseMap, CaseMapCloser> map(ucasemap_open("", 0, &status));
  if (U_FAILURE(status)) return std::string(text);
  const auto length = static_cast<int32_t>(text.size());
  std::vector<char> out(text.size() + 16);
  int32_t needed = ucasemap_utf8ToTitle(map.get(), out.data(), static_cast<int32_t>(out.size()),
                                        text.data(), length, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    status = U_ZERO_ERROR;
    out.resize(static_cast<std::size_t>(needed) + 1);
    needed = ucasemap_utf8ToTitle(map.get(), out.data(), static_cast<int32_t>(out.size()),
                                  text.data(), length, &status);
  }
  if (U_FAILURE(status)) return std::string(text);
  return std::string(out.data(), static_cast<std::size_t>(needed));
}

}  // namespace corvela
