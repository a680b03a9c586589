#include "lists/Descriptions.h"

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"

namespace corvela {

Descriptions::Descriptions(CVPrefs& prefs) : StoredStringList(prefs, prefKey::Descriptions) {}

void Descriptions::addDescription(std::string_view text) {
  if (text.empty()) return;
  Value descriptions = list();
  std::size_t position = 0;
  for (; position < descriptions.size(); ++position) {
    std::string_view entry = descriptions[position].toString();
    if (entry == text) return;
    if (caseInsensitiveCompare(entry, text) > 0) break;
  }
  descriptions.insert(position, Value(text));
  store(std::move(descriptions));
}

}  // namespace corvela
