#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "instructions/InstructionIndex.h"
#include "instructions/InstructionKeys.h"
#include "lists/Completion.h"
#include "prefs/Value.h"

namespace corvela {

class CVPrefs;
class Preferences;

// The instruction store: the person's categorisation rules, kept under prefKey::Instructions
// sorted by match string ignoring case, at most one per match string. Finds the rule for a
// text, inserts, replaces and removes rules, and feeds the combo box of match strings. The
// list is read from the store on every call and written back on every change, and the store
// is synchronized right away. A missing list behaves as an empty one.
// The store and the options must outlive the object.
class Instructions {
 public:
  // Match strings this long or longer are never offered as a completion.
  static constexpr std::size_t kCompletionLengthLimit = 9999;

  Instructions(CVPrefs& prefs, const Preferences& preferences)
      : prefs_(prefs), preferences_(preferences) {}

  // The record at `index`; a null Value when the index is out of range.
  Value instructionAtIndex(std::size_t index) const;
  std::size_t numberOfInstructions() const;
  // The first record whose match string equals `match` ignoring case, or none.
  std::optional<Value> instructionFor(std::string_view match) const;
  // The record that applies to `text` under `key` (instructionKey::descriptionMatch or
  // categoryMatch), or none. An absent text is passed as "". An empty text matches only an
  // empty match string. Otherwise a match string matches when the text begins with it ignoring
  // case, or, for descriptionMatch with the option matchDescriptionWithContains on, when it
  // occurs anywhere in the text. The first match in stored order wins; with the option
  // longestInstructionMatch on, the longest one (the earlier of equally long ones).
  std::optional<Value> instructionMatching(std::string_view text, std::string_view key) const;
  // Replaces the record with the same match string (ignoring case) in place, or inserts
  // `instruction` in sorted position. Returns the position at which it now stands.
  std::size_t setInstruction(const Value& instruction);
  // Removes the first record whose match string equals that of `instruction` ignoring case;
  // nothing when there is none.
  void removeInstruction(const Value& instruction);
  // Removes the record at `index`; nothing when the index is out of range.
  void removeInstructionAtIndex(std::size_t index);
  // A copy of the whole list, or none when the store has none.
  std::optional<Value> getInstructionsArray() const;
  // Stores `instructions` as the whole list, in the order given.
  void setInstructionsArray(Value instructions);

  // Combo-box data source over the stored list of match strings.
  long numberOfItemsInComboBox() const { return static_cast<long>(numberOfInstructions()); }
  // The match string at `index`; "" for a negative or too large index.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The first index whose descriptionMatch, or failing that categoryMatch, equals `value`
  // exactly (case matters), or kComboBoxNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view value) const;
  // The shortest match string beginning with `prefix` ignoring case (the earliest of equally
  // short ones), or none.
  std::optional<std::string> comboBoxCompletedString(std::string_view prefix) const;
  // The match field's typing rule: only match strings of the list can be typed, completed as
  // they are typed (see completeTyping).
  EditDecision isPartialStringValid(const TextEdit& edit) const;

 private:
  // The stored list, or a null Value when there is none.
  Value stored() const;
  void store(Value list);

  CVPrefs& prefs_;
  const Preferences& preferences_;
  // Matching is asked once or twice per transaction; the index spares a walk over every rule.
  mutable InstructionIndex index_;
};

}  // namespace corvela
