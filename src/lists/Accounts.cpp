#include "lists/Accounts.h"

#include <algorithm>

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"

namespace corvela {
namespace {

bool offeredFor(int kind, std::string_view type) {
  switch (kind) {
    case kBankKind:
      return type == accountType::Bank;
    case kCreditCardKind:
      return type == accountType::CCard;
    case kInvestmentKind:
      return type == accountType::Port;
    case kBankOrCreditCardKind:
      return type == accountType::Bank || type == accountType::CCard;
    default:
      return false;
  }
}

}  // namespace

bool isAccountRecord(const Value& entry) {
  return entry.isDictionary() && entry[accountKey::Name].isString() &&
         !str(entry, accountKey::Name).empty();
}

bool Accounts::exists() const { return !prefs_.objectForKey(prefKey::Accounts).isNull(); }

std::string Accounts::typeForAccount(std::string_view name) const {
  Value accounts = getAccountsArray();
  for (const Value& account : accounts.toArray())
    if (isAccountRecord(account) && str(account, accountKey::Name) == name)
      return str(account, accountKey::Type);
  return "";
}

Value Accounts::getAccountsArray() const {
  const Value& accounts = prefs_.objectForKey(prefKey::Accounts);
  return accounts.isArray() ? accounts : Value::array();
}

void Accounts::setAccountsArray(Value accounts) {
  prefs_.setObject(prefKey::Accounts, std::move(accounts));
  prefs_.synchronize();
}

bool Accounts::comboBoxIncludeOnly(int kind, std::string_view fieldText) {
  filteredNames_.clear();
  if (kind == kNoKind) return false;
  Value accounts = getAccountsArray();
  bool fieldNamesAnAccount = false;
  for (const Value& account : accounts.toArray()) {
    if (!isAccountRecord(account)) continue;
    const std::string& name = str(account, accountKey::Name);
    if (offeredFor(kind, str(account, accountKey::Type))) filteredNames_.push_back(name);
    if (!fieldText.empty() && name == fieldText) fieldNamesAnAccount = true;
  }
  return fieldNamesAnAccount &&
         std::find(filteredNames_.begin(), filteredNames_.end(), fieldText) == filteredNames_.end();
}

std::string Accounts::comboBoxObjectValueForItemAtIndex(long index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= filteredNames_.size()) return "";
  return filteredNames_[static_cast<std::size_t>(index)];
}

long Accounts::comboBoxIndexOfItemWithStringValue(std::string_view value) const {
  auto found = std::find(filteredNames_.begin(), filteredNames_.end(), value);
  if (found == filteredNames_.end()) return kComboBoxNotFound;
  return static_cast<long>(found - filteredNames_.begin());
}

std::optional<std::string> Accounts::comboBoxCompletedString(std::string_view prefix) const {
  std::vector<std::string_view> names = stringViews(filteredNames_);
  std::optional<std::size_t> found = firstCompletionIndex(names, prefix);
  if (!found) return std::nullopt;
  return filteredNames_[*found];
}

EditDecision Accounts::isPartialStringValid(const TextEdit& edit) const {
  if (allowAnyName_) return EditDecision::accept();
  return completeTyping(
      edit, [this](std::string_view proposed) { return comboBoxCompletedString(proposed); });
}

}  // namespace corvela
