#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "lists/Completion.h"

namespace corvela {

// The characters the person actually typed in a category or description field (at most
// kCapacity of them), or the mark that they are not known. A completion may change the case of
// what was typed; when nothing in the list continues the text, the field goes back to these.
class TypedCharacters {
 public:
  static constexpr std::size_t kCapacity = 255;

  // A new buffer holds no valid typed text (as after entering a field).
  TypedCharacters() = default;

  bool valid() const { return valid_; }
  // The typed characters; empty when not valid.
  const std::string& text() const { return text_; }

  void invalidate() {
    valid_ = false;
    text_.clear();
  }
  void clear() {
    valid_ = true;
    text_.clear();
  }
  // Appends while there is room; past the capacity the buffer becomes invalid. Does nothing
  // to an invalid buffer.
  void append(std::string_view typed);
  // Drops the last typed character (nothing when empty or invalid).
  void dropLast();

  bool operator==(const TypedCharacters&) const = default;

 private:
  bool valid_ = false;
  std::string text_;
};

// The outcome of one edit of a category or description field: what the field shows and the
// buffer to keep for the next edit.
struct ListEditResult {
  EditDecision decision;
  TypedCharacters typed;
};

// The typing rule of the category and description fields, over `entries` (the list in stored
// order). Unlike the instruction fields, any text can be typed:
//  - replacing the whole previous text empties the buffer;
//  - a deletion (the caret does not pass the start of the previous selection) is accepted as
//    proposed; the buffer loses its last character when a selected tail was deleted and the
//    text became shorter than the buffer, and is invalid otherwise;
//  - an insertion appends the newly typed characters to the buffer; a buffer that no longer
//    matches the proposed text (a caret moved by the arrow keys, a paste in the middle) is
//    invalid, so a stale buffer never overwrites what the field holds;
//  - the prefix is the proposed text without a trailing ":"; the shortest entry beginning with
//    it is shown with the part after the caret selected; after ":" the first following entry
//    that has a ":" right after the prefix is shown with its subcategory selected;
//  - with no such entry the field shows the buffer (caret at its end), or, with an invalid
//    buffer, the proposed text as typed.
// Security names have no subcategories: `subcategories` false leaves out the ":" step.
ListEditResult completeListTyping(const TextEdit& edit, const TypedCharacters& typed,
                                  std::span<const std::string_view> entries,
                                  bool subcategories = true);

}  // namespace corvela
