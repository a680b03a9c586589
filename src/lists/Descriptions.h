#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/StoredStringList.h"

namespace corvela {

// The description (payee) texts the person has used, kept under prefKey::Descriptions in
// ascending order ignoring case. The store must outlive the object.
class Descriptions : public StoredStringList {
 public:
  explicit Descriptions(CVPrefs& prefs);

  // A copy of the description list; an empty array when there is none.
  Value getDescriptionsArray() const { return list(); }
  // Stores `descriptions` as the whole list and writes the file.
  void setDescriptionsArray(Value descriptions) { store(std::move(descriptions)); }

  // Adds `text` in sorted position and writes the file; "" and a text already in the list
  // (exactly) change nothing.
  void addDescription(std::string_view text);
  // addDescription for each of `texts`, in order, with one write of the list at the end.
  void addDescriptions(const std::vector<std::string>& texts);
};

}  // namespace corvela
