#include "editors/ListEditors.h"

#include <algorithm>
#include <array>

#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "lists/Securities.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

constexpr std::array<std::string_view, 4> kTypeChoices = {"Bank", "Credit Card", "Investment",
                                                          "Other"};
constexpr std::array<std::string_view, 4> kTypeForChoice = {accountType::Bank, accountType::CCard,
                                                            accountType::Port, accountType::OthA};

void sortIgnoringCase(Value::Array& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const Value& a, const Value& b) {
    return caseInsensitiveCompare(a.toString(), b.toString()) < 0;
  });
}

// An "[account]" entry (a transfer without a class).
bool isAccountEntry(const Value& entry) {
  const std::string& text = entry.toString();
  return text.starts_with('[') && text.find("]/") == std::string::npos;
}

// Runs `edit` with the menu items disabled around it.
template <typename Edit>
void withMenusDisabled(EditorHost& host, Edit edit) {
  host.disableMenuItems();
  edit();
  host.enableMenuItems();
}

}  // namespace

void EditDescriptions::beginEditing(TableEditorView& view) {
  withMenusDisabled(host_, [&] {
    runTable(view, descriptions_.getDescriptionsArray(), {{"", "Description"}});
    Value::Array entries = table().array().toArray();
    sortIgnoringCase(entries);
    descriptions_.setDescriptionsArray(Value(std::move(entries)));
  });
}

TableEditorForm EditDescriptions::form() const {
  return TableEditorForm("Edit Descriptions", true, false);
}

void EditCategories::beginEditing(TableEditorView& view) {
  message_.clear();
  withMenusDisabled(host_, [&] {
    runTable(view, categories_.getCategoriesArray(), {{"", "Category"}});
    Value::Array proper;
    Value::Array accounts;
    for (const Value& entry : table().array().toArray())
      (isAccountEntry(entry) ? accounts : proper).push_back(entry);
    sortIgnoringCase(proper);
    proper.insert(proper.end(), accounts.begin(), accounts.end());
    categories_.setCategoriesArray(Value(std::move(proper)));
  });
}

TableEditorForm EditCategories::form() const {
  TableEditorForm form("Edit Categories", true, false);
  form.message = message_;
  return form;
}

std::optional<std::string> EditCategories::tableArrayAddEntryError(TableArray&,
                                                                   const std::string& entry) {
  message_.clear();
  if (!entry.starts_with('[')) return std::nullopt;
  message_ = std::string(kBracketError);
  return message_;
}

int EditAccounts::typeNumberForType(std::string_view type) {
  if (type == accountType::Bank) return 0;
  if (type == accountType::CCard) return 1;
  if (type == accountType::Port || type == "Mutual") return 2;
  return 3;
}

void EditAccounts::beginEditing(TableEditorView& view) {
  withMenusDisabled(host_, [&] {
    Value accounts = accounts_.getAccountsArray();
    for (Value& account : accounts.mutableArray()) {
      if (!account.isDictionary()) continue;
      int number = typeNumberForType(str(account, accountKey::Type));
      account.set(TypeNumber, Value(number));
      account.set(OriginalTypeNumber, Value(number));
    }
    std::vector<TableColumn> columns = {{std::string(accountKey::Name), "Name"},
                                        {std::string(TypeNumber),
                                         "Type",
                                         ColumnKind::Choice,
                                         {kTypeChoices.begin(), kTypeChoices.end()}}};
    if (!runTable(view, std::move(accounts), std::move(columns))) return;
    Value edited = table().array();
    for (Value& account : edited.mutableArray()) {
      if (!account.isDictionary()) continue;
      const Value* original = account.find(OriginalTypeNumber);
      auto number =
          static_cast<std::size_t>(std::clamp<std::int64_t>(account[TypeNumber].toInt(), 0, 3));
      if (!original || original->toInt() != account[TypeNumber].toInt())
        account.set(accountKey::Type, Value(kTypeForChoice[number]));
      account.erase(TypeNumber);
      account.erase(OriginalTypeNumber);
    }
    accounts_.setAccountsArray(std::move(edited));
    categories_.updateAccounts();
  });
}

TableEditorForm EditAccounts::form() const { return TableEditorForm("Edit Accounts"); }

void EditSecurities::beginEditing(TableEditorView& view) {
  withMenusDisabled(host_, [&] {
    runTable(
        view, securities_.getSecuritiesArray(),
        {{std::string(securityKey::Name), "Name"}, {std::string(securityKey::Symbol), "Symbol"}});
    securities_.setSecuritiesArray(table().array());
  });
}

TableEditorForm EditSecurities::form() const {
  return TableEditorForm("Edit Securities", true, false);
}

}  // namespace corvela
