#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/TextSpan.h"

namespace corvela {

// Comparing "without regard to case", and capitalising words: the one place that decides what
// case means, for every list, store and matcher. Texts are UTF-8. Case is Unicode simple case
// folding (ICU), character by character, so "É" equals "é" and a match found in a text has as
// many characters as the text searched for. A byte that is not valid UTF-8 equals only itself.

// Negative, 0 or positive as `a` sorts before, together with, or after `b` (ascending without
// regard to case: by folded characters, a shorter text before its continuations).
int caseInsensitiveCompare(std::string_view a, std::string_view b);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Whether `text` begins with `prefix`; every text begins with "".
bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Whether `part` occurs in `text`; "" occurs in every text.
bool containsIgnoringCase(std::string_view text, std::string_view part);

// The first occurrence of `target` in `text` that starts at byte `from` or later, as a byte
// span of `text`; none when there is none or `target` is empty.
std::optional<TextSpan> findIgnoringCase(std::string_view text, std::string_view target,
                                         std::size_t from = 0);

// The case-folded characters of `text`, one per character (a byte that is not valid UTF-8
// stands for itself, above every code point). `text` begins with `prefix` ignoring case exactly
// when foldedCharacters(text) begins with foldedCharacters(prefix), so folded texts can serve as
// keys of a lookup table.
std::u32string foldedCharacters(std::string_view text);

// One character of foldedCharacters: the folded character that starts at byte `at` (which must
// be inside `text`) and how many bytes it takes, so a matcher can fold a text only as far as it
// needs to.
struct FoldedCharacter {
  char32_t folded;
  std::size_t length;
};
FoldedCharacter foldedCharacterAt(std::string_view text, std::size_t at);

// Ordering for sorted containers and std::sort: ascending without regard to case.
struct LessIgnoringCase {
  bool operator()(std::string_view a, std::string_view b) const {
    return caseInsensitiveCompare(a, b) < 0;
  }
};

// Replaces every occurrence of `target` in `text`, searching again right after each inserted
// replacement (so replacing a quote by two quotes doubles each quote once). An empty target
// replaces nothing.
void caseInsensitiveReplace(std::string& text, std::string_view target,
                            std::string_view replacement);

// Each word with its first letter in title case and the rest in lower case, by Unicode word
// boundaries: "ACME HARDWARE #123" gives "Acme Hardware #123", "CAFÉ DU MONDE" "Café Du Monde".
std::string capitalizedWords(std::string_view text);

}  // namespace corvela
