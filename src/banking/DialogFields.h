#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvela {

// What the confirmation and new-instruction views have in common: the names of their editable
// fields, the split tables and the pieces of a form that both use. The processor's dialog
// window hosts both views, one at a time.

// The editable fields of the dialog window. The views name them when they report an edit
// (controlTextDidChange and friends) and the forms name them for the keyboard focus.
enum class DialogField {
  // Confirmation dialog: what OK outputs.
  confirmedDescription,  // combo box over the description list
  confirmedMemo,
  confirmedCategory,  // combo box over the category list
  confirmAmount,
  confirmNumber,
  // New-instruction dialog.
  descriptionMatch,  // the match field, under the match field rule (matchRestriction)
  newDescription,    // combo box over the description list
  newMemo,
  category,           // combo box over the category list
  amountDescription,  // combo box over the description list
  amountCategory,     // combo box over the category list
  amountMemo,
  // The category cell of a split table while it is being edited (any of the three tables).
  splitCategoryCell,
};

// The three split tables: the confirmation dialog's, and the instruction tab's and amount tab's
// of the new-instruction dialog. Their columns are identified by the split record keys
// "category", "memo" and "amount" (splitKey); every cell may be edited.
enum class SplitTable { confirm, instruction, amountInstruction };

// A text shown with its label, or hidden (and then empty).
struct ShownText {
  std::string text;
  bool shown = false;
  bool operator==(const ShownText&) const = default;
};

// One row of a split table.
struct SplitRow {
  std::string category;
  std::string memo;
  std::string amount;
  bool operator==(const SplitRow&) const = default;
};

// A split table as a form shows it. The rows are also served one cell at a time by the
// processor's table data source (numberOfRowsInTableView, tableViewObjectValue), for views that
// prefer to ask.
struct SplitTableForm {
  std::vector<SplitRow> rows;
  std::vector<std::size_t> selectedRows;  // ascending
  // A row whose category cell the view starts editing when it shows this form (once: the next
  // form the view receives has none unless the processor asks again).
  std::optional<std::size_t> editRow;
  // The table's delete button: enabled only while at least one row, but not every row, is
  // selected.
  bool deleteButtonEnabled = false;
  bool operator==(const SplitTableForm&) const = default;
};

// Where the keyboard focus goes when the view shows a form (once, like editRow).
struct FieldFocus {
  DialogField field = DialogField::confirmedDescription;
  // The whole text selected; otherwise the caret goes to the end of the text.
  bool selectAll = false;
  bool operator==(const FieldFocus&) const = default;
};

// The number of items every combo box of the two dialogs shows at once.
inline constexpr int kComboBoxVisibleItems = 10;

inline constexpr std::string_view kAddSplitsTitle = "Add Splits";
inline constexpr std::string_view kRemoveSplitsTitle = "Remove Splits";

}  // namespace corvela
