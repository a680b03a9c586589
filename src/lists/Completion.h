#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/CaseInsensitive.h"

namespace corvela {

// Names are compared without regard to case through text/CaseInsensitive.h. Positions and
// lengths below count characters (Unicode code points), not bytes.

// The number of characters of a UTF-8 text (bytes that start a character).
std::size_t characterCount(std::string_view text);
// The first `count` characters of `text` (all of it when it is shorter).
std::string_view leadingCharacters(std::string_view text, std::size_t count);
// The characters [from, to) of `text`, clamped to its length.
std::string_view characterSlice(std::string_view text, std::size_t from, std::size_t to);

// --- One edit of a text field ----------------------------------------------------------------

// A selection in a field, in characters; length 0 is a plain caret.
struct TextRange {
  std::size_t location = 0;
  std::size_t length = 0;
  std::size_t end() const { return location + length; }
  bool operator==(const TextRange&) const = default;
};

// The key code of backward delete (Backspace), as the first character of a key event.
inline constexpr char32_t kBackwardDeleteKey = 127;

// What a field is about to do: its text and selection before the keystroke, the text and
// selection it proposes after it, and the key that caused it (0 for a paste or no key).
// The views must outlive the call.
struct TextEdit {
  std::string_view previousText;
  TextRange previousSelection;
  std::string_view proposedText;
  TextRange proposedSelection;
  char32_t key = 0;
};

// The answer of a field rule: take the proposed text, keep the previous one, or show another
// text with another selection.
struct EditDecision {
  enum class Verdict { Accept, Refuse, Replace };
  Verdict verdict = Verdict::Accept;
  std::string text;     // Replace only
  TextRange selection;  // Replace only; always within `text`

  static EditDecision accept() { return {}; }
  static EditDecision refuse() { return {Verdict::Refuse, {}, {}}; }
  static EditDecision replace(std::string text, TextRange selection) {
    return {Verdict::Replace, std::move(text), selection};
  }
  bool operator==(const EditDecision&) const = default;
};

// The index a combo box's data source answers for a string that is not in its list.
inline constexpr long kComboBoxNotFound = -1;

// --- Completion over a list of entries -------------------------------------------------------

inline constexpr std::size_t kNoLengthLimit = std::numeric_limits<std::size_t>::max();

// The index of the shortest entry that begins with `prefix` ignoring case; of equally short
// ones the earliest. Only entries shorter than `lengthLimit` characters qualify. None when no
// entry qualifies.
std::optional<std::size_t> shortestCompletionIndex(std::span<const std::string_view> entries,
                                                   std::string_view prefix,
                                                   std::size_t lengthLimit = kNoLengthLimit);
// The index of the first entry that begins with `prefix` ignoring case, or none.
std::optional<std::size_t> firstCompletionIndex(std::span<const std::string_view> entries,
                                                std::string_view prefix);

// Answers the completion of a proposed text, or none when no entry continues it.
using Completer = std::function<std::optional<std::string>(std::string_view proposed)>;

// The typing rule of the fields that accept only names of their list (instruction, amount and
// account fields):
//  - no completion of the proposed text: refuse;
//  - backward delete while the selection reaches the end of the previous text: refuse at the
//    start of the field, else show the completion with the selection grown one character to
//    the left (the typed prefix shrinks, the suggestion stays selected);
//  - otherwise show the completion with everything after the proposed caret selected.
EditDecision completeTyping(const TextEdit& edit, const Completer& complete);

// Views of the strings of `list` (valid while the list is), for the functions above.
std::vector<std::string_view> stringViews(const std::vector<std::string>& list);

}  // namespace corvela
