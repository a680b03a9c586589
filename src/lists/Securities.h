#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "lists/Completion.h"
#include "lists/ListCompletion.h"
#include "lists/SecurityKeys.h"
#include "prefs/Value.h"

namespace corvela {

class CVPrefs;

// Saves an input format record through the input-format store (which lives above this layer).
using FormatSaver = std::function<void(const Value& format)>;

// The securities the finance software knows (the "Quicken securities"), kept under
// prefKey::Securities as records with Name and Symbol, and the security mappings inside an input
// format record (its SecurityMappings: formatName, the text a statement uses, to quickenName,
// the security it stands for). The list is read from the store on every call and written back
// (and the file written) on every change. Holds a reference to the store, which must outlive it.
//
// The lookups remember where they found their answer (lastFoundIndex): the symbol lookup an
// index into the list, the mapping lookup an index into the format's mappings, -1 after a
// failed lookup of either. deleteSecurityInFormat uses it as a mapping index, so it removes the
// mapping that the latest mapping lookup found.
class Securities {
 public:
  explicit Securities(CVPrefs& prefs) : prefs_(prefs) {}

  // Whether the store holds a security list with at least one entry.
  bool exists() const;
  // A copy of the list; an empty array when there is none.
  Value getSecuritiesArray() const;
  // Stores `securities` as the whole list, in the order given, and writes the file.
  void setSecuritiesArray(Value securities);

  // The Name of the first entry whose Symbol equals `symbol` exactly (letter case counts), or
  // none; an empty symbol finds nothing.
  std::optional<std::string> quickenSecurityForSymbol(std::string_view symbol);
  // Whether an entry's Name equals `name` exactly.
  bool securityFound(std::string_view name) const;
  // The quickenName of the first mapping of `format` whose formatName equals `text` exactly, or
  // none; an empty text finds nothing.
  std::optional<std::string> quickenSecurityFromMappingFor(std::string_view text,
                                                           const Value& format);
  long lastFoundIndex() const { return lastFound_; }

  // Appends the mapping `text` -> `quickenSecurity` to `format`'s SecurityMappings (after the
  // ones already there, so an earlier mapping of the same text still wins) and saves the format
  // with `save`. When no entry of the list has the Name `quickenSecurity`, inserts one with an
  // empty Symbol before the first name that sorts after it ignoring case, and writes the file.
  void addSecurity(std::string_view text, std::string_view quickenSecurity, Value& format,
                   const FormatSaver& save);
  // Removes the mapping that the latest lookup found from `format` and saves it; nothing when
  // that lookup failed or the index lies beyond the format's mappings.
  void deleteSecurityInFormat(Value& format, const FormatSaver& save);

  // Combo-box data source over the names, in list order.
  long numberOfItemsInComboBox() const;
  // The Name at `index`; "" for a negative or too large index.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The index of the Name equal to `value` exactly, or kComboBoxNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view value) const;
  // Of the non-empty names beginning with `prefix` ignoring case, the shortest (the earliest of
  // equally short ones), or none.
  std::optional<std::string> comboBoxCompletedString(std::string_view prefix) const;
  // A field of this list was entered: what was typed before no longer counts.
  void comboBoxEntered() { typed_.invalidate(); }
  // The category fields' typing rule without subcategories; remembers the typed characters.
  EditDecision isPartialStringValid(const TextEdit& edit);

 private:
  CVPrefs& prefs_;
  long lastFound_ = -1;
  TypedCharacters typed_;
};

}  // namespace corvela
