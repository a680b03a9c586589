#include "lists/ListCompletion.h"

#include <algorithm>
#include <optional>

namespace corvela {

void TypedCharacters::append(std::string_view typed) {
  if (!valid_) return;
  if (characterCount(text_) + characterCount(typed) > kCapacity) {
    invalidate();
    return;
  }
  text_.append(typed);
}

void TypedCharacters::dropLast() {
  if (!valid_ || text_.empty()) return;
  std::size_t count = characterCount(text_);
  text_.resize(leadingCharacters(text_, count - 1).size());
}

namespace {

// What the field shows when the list offers nothing.
EditDecision fallBack(const TypedCharacters& typed) {
  if (!typed.valid()) return EditDecision::accept();
  return EditDecision::replace(typed.text(), {characterCount(typed.text()), 0});
}

EditDecision showEntry(std::string_view entry, std::size_t selectFrom) {
  std::size_t length = characterCount(entry);
  selectFrom = std::min(selectFrom, length);
  return EditDecision::replace(std::string(entry), {selectFrom, length - selectFrom});
}

}  // namespace

ListEditResult completeListTyping(const TextEdit& edit, const TypedCharacters& typedBefore,
                                  std::span<const std::string_view> entries, bool subcategories) {
  TypedCharacters typed = typedBefore;
  const TextRange& before = edit.previousSelection;
  std::size_t previousLength = characterCount(edit.previousText);
  std::size_t caret = edit.proposedSelection.location;

  if (before.location == 0 && before.length == previousLength) typed.clear();

  if (caret <= before.location) {  // a deletion
    if (before.length == 0) {
      typed.invalidate();
    } else if (typed.valid() && before.end() == previousLength &&
               characterCount(edit.proposedText) < characterCount(typed.text())) {
      typed.dropLast();
    } else {
      typed.invalidate();
    }
    return {EditDecision::accept(), typed};
  }

  typed.append(characterSlice(edit.proposedText, before.location, caret));
  if (typed.valid() && !equalsIgnoringCase(typed.text(), edit.proposedText)) typed.invalidate();

  std::string_view prefix = edit.proposedText;
  bool subcategory = subcategories && prefix.ends_with(':');
  if (subcategory) prefix.remove_suffix(1);

  std::optional<std::size_t> found = shortestCompletionIndex(entries, prefix);
  if (!found) return {fallBack(typed), typed};
  if (!subcategory) return {showEntry(entries[*found], caret), typed};

  std::size_t prefixLength = characterCount(prefix);
  for (std::size_t i = *found; i < entries.size(); ++i) {
    std::string_view entry = entries[i];
    if (beginsWithIgnoringCase(entry, prefix) &&
        characterSlice(entry, prefixLength, prefixLength + 1) == ":")
      return {showEntry(entry, prefixLength + 1), typed};
  }
  return {fallBack(typed), typed};
}

}  // namespace corvela
