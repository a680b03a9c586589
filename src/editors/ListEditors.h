#pragma once

#include <optional>
#include <string>

#include "editors/EditorHost.h"
#include "editors/TableEditor.h"

namespace corvela {

class Accounts;
class Categories;
class Descriptions;
class Securities;

// The editors of the reference lists. Each runs its window modally over a copy of the stored
// list with the controller's menu items disabled, and stores the list when the window closes as
// each says. The lists, host and view are borrowed for the editor's life (view: for one run).

// The description list, one string a row. Whatever closes the window stores the list, sorted
// again without regard to case (new entries go to their place, so later additions still find
// them).
class EditDescriptions : public TableEditor {
 public:
  EditDescriptions(Descriptions& descriptions, EditorHost& host)
      : descriptions_(descriptions), host_(host) {}
  void beginEditing(TableEditorView& view);
  TableEditorForm form() const override;

 private:
  Descriptions& descriptions_;
  EditorHost& host_;
};

// The category list, one string a row. New entries starting with "[" are refused (transfers
// come from the account list). Whatever closes the window stores the list with the categories
// proper sorted without regard to case and the "[account]" entries after them, in their order,
// so that the next rebuild of the transfer entries never drops a category.
class EditCategories : public TableEditor {
 public:
  static constexpr std::string_view kBracketError =
      "Error: You cannot add categories starting with \"[\".";

  EditCategories(Categories& categories, EditorHost& host) : categories_(categories), host_(host) {}
  void beginEditing(TableEditorView& view);
  TableEditorForm form() const override;
  std::optional<std::string> tableArrayAddEntryError(TableArray&,
                                                     const std::string& entry) override;

 private:
  Categories& categories_;
  EditorHost& host_;
  std::string message_;
};

// The account list: Name and a choice of Bank, Credit Card, Investment and Other (TypeNumber).
// OK gives every account whose choice changed (or that is new) the Type of its choice ("Bank",
// "CCard", "Port", "Oth A"); the others keep their type text (such as "Mutual"). Then the list
// is stored and the categories' transfer entries rebuilt. Cancel stores nothing.
class EditAccounts : public TableEditor {
 public:
  static constexpr std::string_view TypeNumber = "TypeNumber";
  static constexpr std::string_view OriginalTypeNumber = "OriginalTypeNumber";

  EditAccounts(Accounts& accounts, Categories& categories, EditorHost& host)
      : accounts_(accounts), categories_(categories), host_(host) {}
  void beginEditing(TableEditorView& view);
  TableEditorForm form() const override;

  // The choice for a stored Type text: "Bank" 0, "CCard" 1, "Port" or "Mutual" 2, else 3.
  static int typeNumberForType(std::string_view type);

 private:
  Accounts& accounts_;
  Categories& categories_;
  EditorHost& host_;
};

// The security list: Name and Symbol. Whatever closes the window stores the list as it stands.
class EditSecurities : public TableEditor {
 public:
  EditSecurities(Securities& securities, EditorHost& host) : securities_(securities), host_(host) {}
  void beginEditing(TableEditorView& view);
  TableEditorForm form() const override;

 private:
  Securities& securities_;
  EditorHost& host_;
};

}  // namespace corvela
