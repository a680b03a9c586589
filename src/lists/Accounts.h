#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/Completion.h"
#include "prefs/Value.h"

namespace corvela {

class CVPrefs;

// Keys of an account record in the account list.
namespace accountKey {
inline constexpr std::string_view Name = "Name";
inline constexpr std::string_view Type = "Type";  // the QIF account type text
}  // namespace accountKey

// The QIF account types the program itself writes or filters by. Imported lists may hold
// other type texts (such as "Mutual").
namespace accountType {
inline constexpr std::string_view Bank = "Bank";
inline constexpr std::string_view CCard = "CCard";
inline constexpr std::string_view Port = "Port";
inline constexpr std::string_view OthA = "Oth A";
}  // namespace accountType

// Whether a list entry is an account record: a dictionary with a non-empty `Name`. Other entries
// (plain strings in a hand-written store, say) are skipped wherever the list is read.
bool isAccountRecord(const Value& entry);

// The account kinds of an input, which also filter the account field.
enum AccountKind : int {
  kBankKind = 0,
  kCreditCardKind = 1,
  kInvestmentKind = 2,
  kBankOrCreditCardKind = 3,  // bank or credit card, not yet known
  kNoKind = 4,
};

// The accounts the finance software knows, kept under prefKey::Accounts as records with Name
// and Type, and the account field's filtered names and typing rule. The list is read from the
// store on every call and written back (and the file written) on every change. Holds a
// reference to the store, which must outlive it.
class Accounts {
 public:
  explicit Accounts(CVPrefs& prefs) : prefs_(prefs) {}

  // Whether the store holds an account list.
  bool exists() const;
  // The Type of the first account whose Name equals `name` exactly, or "" when there is none.
  std::string typeForAccount(std::string_view name) const;
  // A copy of the account list; an empty array when there is none.
  Value getAccountsArray() const;
  // Stores `accounts` as the whole list and writes the file.
  void setAccountsArray(Value accounts);

  // Rebuilds the names the account field offers for an input of `kind` (AccountKind): in list
  // order, the accounts of type Port for investment, Bank for bank, CCard for credit card, Bank
  // and CCard for bank-or-credit-card; nothing for kNoKind. Other types are never offered.
  // Returns true when `fieldText` names an account that is no longer offered, so the field
  // must be cleared (the caller also deselects the field's chosen item); for kNoKind the
  // field keeps its text.
  bool comboBoxIncludeOnly(int kind, std::string_view fieldText);
  // With `allow` set the account field accepts any text.
  void allowAnyName(bool allow) { allowAnyName_ = allow; }
  const std::vector<std::string>& filteredNames() const { return filteredNames_; }

  // Combo-box data source over the filtered names.
  long numberOfItemsInComboBox() const { return static_cast<long>(filteredNames_.size()); }
  // The name at `index`; "" for a negative or too large index.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The index of the name equal to `value` exactly, or kComboBoxNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view value) const;
  // The first filtered name that begins with `prefix` ignoring case, or none.
  std::optional<std::string> comboBoxCompletedString(std::string_view prefix) const;

  // The account field's typing rule: any text while any name is allowed, else only names of
  // the filtered list, completed as they are typed (see completeTyping).
  EditDecision isPartialStringValid(const TextEdit& edit) const;

 private:
  CVPrefs& prefs_;
  std::vector<std::string> filteredNames_;
  bool allowAnyName_ = false;
};

}  // namespace corvela
