#include "lists/Descriptions.h"

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"

namespace corvela {

Descriptions::Descriptions(CVPrefs& prefs) : StoredStringList(prefs, prefKey::Descriptions) {}

namespace {

// Inserts `text` in sorted position; false when it is empty or there already.
bool insertSorted(Value& descriptions, std::string_view text) {
  if (text.empty()) return false;
  std::size_t position = 0;
  for (; position < descriptions.size(); ++position) {
    std::string_view entry = descriptions[position].toString();
    if (entry == text) return false;
    if (caseInsensitiveCompare(entry, text) > 0) break;
  }
  descriptions.insert(position, Value(text));
  return true;
}

}  // namespace

void Descriptions::addDescription(std::string_view text) {
  Value descriptions = list();
  if (insertSorted(descriptions, text)) store(std::move(descriptions));
}

void Descriptions::addDescriptions(const std::vector<std::string>& texts) {
  Value descriptions = list();
  for (const std::string& text : texts) insertSorted(descriptions, text);
  store(std::move(descriptions));
}

}  // namespace corvela
