#include "lists/StoredStringList.h"

#include <vector>

#include "prefs/CVPrefs.h"

namespace corvela {
namespace {

std::vector<std::string_view> entriesOf(const Value& list) {
  std::vector<std::string_view> entries;
  entries.reserve(list.size());
  for (const Value& entry : list.toArray()) entries.push_back(entry.toString());
  return entries;
}

}  // namespace

bool StoredStringList::exists() const { return !prefs_.objectForKey(storeKey_).isNull(); }

void StoredStringList::createEmpty() { store(Value::array()); }

bool StoredStringList::contains(std::string_view entry) const {
  if (entriesRead_ != prefs_.changeCount()) {
    entries_.clear();
    for (const Value& item : list().toArray())
      if (item.isString()) entries_.insert(item.toString());
    entriesRead_ = prefs_.changeCount();
  }
  return entries_.find(entry) != entries_.end();
}

const Value& StoredStringList::list() const {
  static const Value kNoList = Value::array();
  const Value& list = prefs_.objectForKey(storeKey_);
  return list.isArray() ? list : kNoList;
}

void StoredStringList::store(Value list) {
  prefs_.setObject(storeKey_, std::move(list));
  prefs_.synchronize();
}

long StoredStringList::numberOfItemsInComboBox() const { return static_cast<long>(list().size()); }

std::string StoredStringList::comboBoxObjectValueForItemAtIndex(long index) const {
  if (index < 0) return "";
  return list()[static_cast<std::size_t>(index)].toString();
}

long StoredStringList::comboBoxIndexOfItemWithStringValue(std::string_view value) const {
  Value entries = list();
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].isString() && entries[i].toString() == value) return static_cast<long>(i);
  return kComboBoxNotFound;
}

std::optional<std::string> StoredStringList::comboBoxCompletedString(
    std::string_view prefix) const {
  Value stored = list();
  std::vector<std::string_view> entries = entriesOf(stored);
  std::optional<std::size_t> found = shortestCompletionIndex(entries, prefix);
  if (!found) return std::nullopt;
  return std::string(entries[*found]);
}

EditDecision StoredStringList::isPartialStringValid(const TextEdit& edit) {
  Value stored = list();
  ListEditResult result = completeListTyping(edit, typed_, entriesOf(stored));
  typed_ = std::move(result.typed);
  return std::move(result.decision);
}

}  // namespace corvela
