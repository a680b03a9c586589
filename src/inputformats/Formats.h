#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"
#include "prefs/Value.h"

namespace corvela {

class CVPrefs;

// The index the format combo box answers for a name it does not hold.
inline constexpr long kFormatNotFound = 0x7fffffff;
// Names this long or longer are never offered as a completion.
inline constexpr std::size_t kLongestCompletedFormatName = 9999;

// The completion of `typed` among the names of `formats` (an array of input format records, in
// order): the shortest name that begins with it without regard to case and is shorter than
// kLongestCompletedFormatName characters; of equally short ones the first. None when no name
// qualifies.
std::optional<std::string> completedFormatName(const Value& formats, std::string_view typed);

// The input-format store: the array of input format records under the store's `Formats` key,
// kept sorted by Name without regard to case, with names unique without regard to case; and the
// OFX investment format under `OFXFormat`. It keeps nothing itself: every call reads the array
// from the store, and every change writes the store (synchronize). The store is borrowed and
// must outlive the object.
class Formats {
 public:
  explicit Formats(CVPrefs& store) : store_(store) {}

  // The first record whose Name equals `name` without regard to case, or none.
  std::optional<Value> formatForName(std::string_view name) const;
  // The record at `index`, or none past the end.
  std::optional<Value> formatAtIndex(std::size_t index) const;
  std::size_t numberOfFormats() const;
  // The Names in array order (the export submenu, the command line's list).
  std::vector<std::string> names() const;

  // Stores `record` and returns its position:
  //  - a record with the key OFX replaces the OFX format and answers 0;
  //  - a record without TypeMappings (SecurityMappings) takes a copy of the store's top-level
  //    TypeMappings (SecurityMappings) when there is one;
  //  - it replaces the first record of the same name (without regard to case) in place, or goes
  //    before the first record whose name sorts after it, or at the end.
  std::size_t addFormat(const Value& record);
  // Removes the record at `index` and writes the store; past the end nothing happens, and
  // nothing is written.
  void deleteFormatAtIndex(std::size_t index);

  // A copy of the array; storing one keeps it as given and writes the store.
  Value getExtractFormatsArray() const;
  void setExtractFormatsArray(Value formats);

  // The main window's format combo box.
  std::size_t numberOfItemsInComboBox() const { return numberOfFormats(); }
  // The Name at `index`; "" for a negative index or one past the end.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The first index whose Name equals `name` exactly (case counts), or kFormatNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view name) const;
  std::optional<std::string> comboBoxCompletedString(std::string_view typed) const;

  // Writes the record named `name` to `path` as a keyed archive whose root is the record, with
  // an atomic write. An error (naming the file) when there is no such format or the write fails;
  // the store is never changed.
  Status exportFormat(std::string_view name, const std::string& path) const;
  // Reads an exported format: a keyed archive whose root is a dictionary. An error naming the
  // file when it cannot be read or holds no input format.
  static Result<Value> readExportedFormat(const std::string& path);

 private:
  CVPrefs& store_;
};

}  // namespace corvela
