#pragma once

#include <string_view>

#include "lists/StoredStringList.h"

namespace corvela {

class Platform;

// The categories the finance software knows, kept under prefKey::Categories: the categories
// proper in ascending order ignoring case, then one "[account]" transfer entry per account in
// account-list order. A name beginning with "[" is an account transfer; "[account]/class" is a
// transfer with a class; "parent:sub" a subcategory. Refusals are shown through the Platform;
// the store and the platform must outlive the object.
class Categories : public StoredStringList {
 public:
  static constexpr std::string_view kBadCategoryTitle = "Bad Category \"%@\"";
  // The message of a refused transfer, "%@" standing for the category name.
  static constexpr std::string_view kBracketErrorMsg =
      "Categories starting with \"[\" represent an account transfer.\r\rIf you were intending to "
      "indicate an account transfer, the account represented by \"%@\"  is not in your list of "
      "accounts.  You cannot specify a transfer to an account that Corvela does not know about. "
      " You should make sure this account is created in your financial software, then export "
      "your accounts from your financial software into a QIF file and import them into Corvela "
      "before processing this transaction.";

  Categories(CVPrefs& prefs, Platform& platform);

  // A copy of the category list; an empty array when there is none.
  Value getCategoriesArray() const { return list(); }
  // Stores `categories` as the whole list and writes the file.
  void setCategoriesArray(Value categories) { store(std::move(categories)); }

  // The index of the entry equal to `name` exactly; -1 when there is none, -2 for "".
  long indexOfCategory(std::string_view name) const;

  // Adds a category the person used. Returns whether the name is acceptable: "" and names
  // already in the list are accepted unchanged; a transfer ("[...") is accepted only with a
  // class ("]/") whose "[account]" entry is in the list, and is otherwise refused with the
  // "Bad Category" alert; any other name is inserted in sorted position and the file written.
  bool addCategory(std::string_view name) { return doAddCategory(name, kBracketErrorMsg); }
  // addCategory with another message for the refusal ("%@" stands for the name).
  bool doAddCategory(std::string_view name, std::string_view bracketErrorMsg);

  // Rebuilds the transfer entries after the accounts changed: drops the old "[account]"
  // entries and the "[account]/class" entries whose account is gone, appends "[name]" for
  // every account in account-list order, stores the list and writes the file.
  void updateAccounts();

 private:
  Platform& platform_;
};

}  // namespace corvela
