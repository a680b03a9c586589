#include "prefs/StoreMerge.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "prefs/ValueText.h"
#include "text/CaseInsensitive.h"

namespace corvela {

namespace {

// The record fields that name an entry of a stored list. The store itself knows no keys; these
// are the ones under which the lists keep one entry per name (instructions per match string
// ignoring case, accounts and formats per name).
constexpr std::string_view kMatchKeys[] = {"descriptionMatch", "categoryMatch"};
constexpr std::string_view kNameKey = "Name";

// The text an entry is sorted by, when it has one.
const std::string* sortText(const Value& entry) {
  if (entry.isString()) return &entry.toString();
  if (!entry.isDictionary()) return nullptr;
  for (std::string_view key : kMatchKeys)
    if (const Value* v = entry.find(key); v && v->isString()) return &v->toString();
  if (const Value* v = entry.find(kNameKey); v && v->isString()) return &v->toString();
  return nullptr;
}

std::string identity(const Value& entry) {
  if (entry.isString()) return "s" + entry.toString();
  if (entry.isDictionary()) {
    for (std::string_view key : kMatchKeys) {
      if (const Value* v = entry.find(key); v && v->isString()) {
        std::u32string folded = foldedCharacters(v->toString());
        return "m" + std::string(reinterpret_cast<const char*>(folded.data()),
                                 folded.size() * sizeof(char32_t));
      }
    }
    if (const Value* v = entry.find(kNameKey); v && v->isString()) return "n" + v->toString();
  }
  return "v" + toJSON(entry);
}

bool sortedIgnoringCase(const Value::Array& list) {
  for (std::size_t i = 1; i < list.size(); ++i) {
    const std::string* a = sortText(list[i - 1]);
    const std::string* b = sortText(list[i]);
    if (!a || !b || caseInsensitiveCompare(*a, *b) > 0) return false;
  }
  return true;
}

Value mergeLists(const Value& base, const Value& ours, const Value& theirs) {
  const Value::Array empty;
  const Value::Array& baseList = base.isArray() ? base.toArray() : empty;
  const Value::Array& ourList = ours.toArray();
  if (!theirs.isArray()) return ours;

  std::unordered_map<std::string, const Value*> before;
  for (const Value& entry : baseList) before.emplace(identity(entry), &entry);
  std::unordered_map<std::string, const Value*> now;
  for (const Value& entry : ourList) now.emplace(identity(entry), &entry);

  Value::Array result;
  for (const Value& entry : theirs.toArray()) {
    std::string id = identity(entry);
    // What this process removed goes, even when the other process changed it meanwhile.
    if (before.contains(id) && !now.contains(id)) continue;
    result.push_back(entry);
  }
  const bool sorted = sortedIgnoringCase(ourList);
  for (const Value& entry : ourList) {
    std::string id = identity(entry);
    auto was = before.find(id);
    if (was != before.end() && *was->second == entry) continue;  // not changed here
    bool replaced = false;
    for (Value& existing : result) {
      if (identity(existing) == id) {
        existing = entry;
        replaced = true;
        break;
      }
    }
    if (replaced) continue;
    std::size_t position = result.size();
    if (const std::string* text = sortText(entry); sorted && text) {
      for (position = 0; position < result.size(); ++position) {
        const std::string* other = sortText(result[position]);
        if (other && caseInsensitiveCompare(*other, *text) > 0) break;
      }
    }
    result.insert(result.begin() + static_cast<std::ptrdiff_t>(position), entry);
  }
  return Value(std::move(result));
}

}  // namespace

Value mergeStores(const Value& base, const Value& ours, const Value& theirs) {
  Value result = theirs.isDictionary() ? theirs : Value::dictionary();
  const Value::Dictionary empty;
  const Value::Dictionary& baseKeys = base.isDictionary() ? base.toDictionary() : empty;
  const Value::Dictionary& ourKeys = ours.isDictionary() ? ours.toDictionary() : empty;

  for (const auto& [key, was] : baseKeys)
    if (!ourKeys.contains(key)) result.erase(key);
  for (const auto& [key, value] : ourKeys) {
    const Value& was = base[key];
    if (was == value) continue;
    const Value& other = result[key];
    if (other == was || !value.isArray() || !other.isArray() || !(was.isArray() || was.isNull()))
      result.set(key, value);
    else
      result.set(key, mergeLists(was, value, other));
  }
  return result;
}

}  // namespace corvela
