#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "lists/Completion.h"
#include "lists/ListCompletion.h"
#include "prefs/Value.h"

namespace corvela {

class CVPrefs;

// A list of strings kept under one key of the preference store, with the combo-box data source
// and typing rule that the category and description fields share. The list is read from the
// store on every call (contains() keeps its entries while the store is unchanged) and written
// back (and the file written) on every change. Holds a reference to the store, which must
// outlive it.
class StoredStringList {
 public:
  StoredStringList(CVPrefs& prefs, std::string_view storeKey)
      : prefs_(prefs), storeKey_(storeKey) {}

  // Whether the store holds the list.
  bool exists() const;
  // Whether `entry` is in the list, letter case counting.
  bool contains(std::string_view entry) const;
  // Stores an empty list and writes the file.
  void createEmpty();

  // Combo-box data source over the whole list (combo boxes and combo-box cells of tables; a
  // cell passes its own text when it has no string).
  long numberOfItemsInComboBox() const;
  // The entry at `index`; "" for a negative or too large index.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The index of the entry equal to `value` exactly, or kComboBoxNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view value) const;
  // The shortest entry that begins with `prefix` ignoring case (the earliest of equally short
  // ones), or none.
  std::optional<std::string> comboBoxCompletedString(std::string_view prefix) const;

  // A field of this list was entered: what was typed before no longer counts.
  void comboBoxEntered() { typed_.invalidate(); }
  // The typing rule of completeListTyping over this list; remembers the typed characters.
  EditDecision isPartialStringValid(const TextEdit& edit);

 protected:
  // The stored list; an empty array when absent (or not an array). Valid until the store
  // changes.
  const Value& list() const;
  // Stores `list` and writes the file.
  void store(Value list);

  CVPrefs& prefs_;

 private:
  std::string_view storeKey_;
  TypedCharacters typed_;
  // The list's entries as the store held them at change count entriesRead_: a run asks
  // whether each transaction's category is known, and a category list can be long.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  mutable std::unordered_set<std::string, Hash, std::equal_to<>> entries_;
  mutable std::uint64_t entriesRead_ = UINT64_MAX;
};

}  // namespace corvela
