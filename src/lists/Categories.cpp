#include "lists/Categories.h"

#include <algorithm>
#include <vector>

#include "lists/Accounts.h"
#include "platform/Platform.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"

namespace corvela {
namespace {

constexpr std::string_view kClassSeparator = "]/";

// "[account]": the transfer entry of an account, kept at the end of the list.
bool isAccountEntry(std::string_view entry) {
  return entry.starts_with('[') && entry.find(kClassSeparator) == std::string_view::npos;
}

// Fills the first "%@" of a message pattern.
std::string fill(std::string_view pattern, std::string_view argument) {
  std::string text(pattern);
  if (std::size_t at = text.find("%@"); at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace

Categories::Categories(CVPrefs& prefs, Platform& platform)
    : StoredStringList(prefs, prefKey::Categories), platform_(platform) {}

long Categories::indexOfCategory(std::string_view name) const {
  if (name.empty()) return -2;
  Value categories = list();
  for (std::size_t i = 0; i < categories.size(); ++i)
    if (categories[i].isString() && categories[i].toString() == name) return static_cast<long>(i);
  return -1;
}

bool Categories::doAddCategory(std::string_view name, std::string_view bracketErrorMsg) {
  if (name.empty() || contains(name)) return true;
  if (name.starts_with('[')) {
    // Only a class on a known account can be new: "[account]" itself is in the list already.
    std::size_t close = name.find(kClassSeparator);
    if (close == std::string_view::npos || indexOfCategory(name.substr(0, close + 1)) < 0) {
      platform_.runAlert({fill(kBadCategoryTitle, name), fill(bracketErrorMsg, name), {"OK"}});
      return false;
    }
  }
  // Case-insensitive order puts "[" before letters, so a plain sorted walk would put new
  // categories after the account entries, where the next updateAccounts drops them. The walk
  // therefore ends at the first account entry.
  Value categories = list();
  std::size_t position = 0;
  for (; position < categories.size(); ++position) {
    std::string_view entry = categories[position].toString();
    if (isAccountEntry(entry) || caseInsensitiveCompare(entry, name) > 0) break;
  }
  categories.insert(position, Value(name));
  store(std::move(categories));
  return true;
}

void Categories::updateAccounts() {
  Value accounts = Accounts(prefs_).getAccountsArray();
  std::vector<std::string_view> names;
  for (const Value& account : accounts.toArray()) {
    // An entry that is no account record would give the transfer category "[]".
    if (isAccountRecord(account)) names.push_back(str(account, accountKey::Name));
  }
  auto known = [&names](std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };

  Value categories = list();
  Value updated = Value::array();
  for (const Value& entry : categories.toArray()) {
    std::string_view text = entry.toString();
    if (isAccountEntry(text)) break;
    if (text.starts_with('[')) {
      std::size_t close = text.find(kClassSeparator);
      if (!known(text.substr(1, close - 1))) continue;
    }
    updated.append(entry);
  }
  for (std::string_view name : names) updated.append(Value("[" + std::string(name) + "]"));
  store(std::move(updated));
}

}  // namespace corvela
