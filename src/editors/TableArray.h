#pragma once

#include <optional>
#include <string>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

class TableArray;

// What a table's owner is told as the person works in it. Every callback has a default that
// does nothing (or declines), so an editor implements only the ones it needs.
class TableArrayDelegate {
 public:
  virtual ~TableArrayDelegate() = default;
  // An entry was added, deleted or edited in place.
  virtual void tableArrayChanged(TableArray&) {}
  // The selected rows changed.
  virtual void tableArraySelectionDidChange(TableArray&) {}
  // The person asks to edit the entry at `index` (Return on a row). True when the delegate
  // handled it itself (its own dialog); false lets the table edit the cell in place.
  virtual bool tableArrayEditEntryAtIndex(TableArray&, int /*index*/) { return false; }
  // The person asks for a new entry. True when the delegate added it itself; false lets the
  // table add a blank row for the person to type into.
  virtual bool tableArrayAddEntry(TableArray&) { return false; }
  // The person typed a new entry (its first column). None accepts it; a message refuses it.
  virtual std::optional<std::string> tableArrayAddEntryError(TableArray&,
                                                             const std::string& /*entry*/) {
    return std::nullopt;
  }
  // The person changed a cell (a new entry's first column is asked tableArrayAddEntryError
  // first). None accepts the value; a message refuses it and the cell keeps what it held.
  virtual std::optional<std::string> tableArrayEditError(TableArray&, int /*row*/, int /*column*/,
                                                         const Value& /*value*/) {
    return std::nullopt;
  }
};

// How one column shows its key.
enum class ColumnKind {
  Text,      // a string, edited in place
  CheckBox,  // a Boolean; an absent key reads as unchecked
  Choice,    // an integer index into `choices`, chosen from a pop-up
};

struct TableColumn {
  TableColumn(std::string key = {}, std::string title = {}, ColumnKind kind = ColumnKind::Text,
              std::vector<std::string> choices = {}, bool editable = true)
      : key(std::move(key)),
        title(std::move(title)),
        kind(kind),
        choices(std::move(choices)),
        editable(editable) {}

  std::string key;    // empty for a table of plain strings
  std::string title;  // the column's heading
  ColumnKind kind = ColumnKind::Text;
  std::vector<std::string> choices;  // the pop-up's items for ColumnKind::Choice
  bool editable = true;
};

// The logic of the table through which every list and format editor edits an array: plain
// strings (one column) or dictionaries (one column per key), added, deleted and edited in place,
// with a selection. It edits its own copy of the array; the owner reads it back with array().
// The delegate is borrowed and must outlive the table. Views only draw rows() and hand the
// person's actions to the methods below.
class TableArray {
 public:
  TableArray(Value array, TableArrayDelegate& delegate, std::vector<TableColumn> columns);

  const Value& array() const { return array_; }
  // Replaces the whole array (an editor refilling it from the store); keeps no selection.
  void setArray(Value array);
  const std::vector<TableColumn>& columns() const { return columns_; }
  int numberOfRows() const { return static_cast<int>(array_.size()); }
  // The column's value in `row`: a string for text, a bool for a check box, an int for a
  // choice; null out of range.
  Value valueAt(int row, int column) const;
  // What a text cell shows (a choice's title for a choice).
  std::string textAt(int row, int column) const;

  // Sets a cell, unless the delegate refuses the value. A blank row just added is committed
  // here: its first column is checked with the delegate, and a refused or empty entry removes
  // the row again. Answers the refusal
  // message, or none. Every accepted change tells the delegate.
  std::optional<std::string> setValueAt(int row, int column, const Value& value);
  // The person asks for a new entry; answers the row to type into, or -1 when the delegate
  // added the entry itself (or no row could be added).
  int addEntry();
  // Typing into the row just added was abandoned: the row goes again.
  void cancelNewEntry();
  int pendingNewRow() const { return pendingNew_; }
  // Asks the delegate to edit the entry; false when the table should edit it in place.
  bool editEntryAtIndex(int index);
  // Removes the selected rows; nothing when none is selected.
  void deleteSelectedRows();

  // Selection, in ascending row order; rows out of range are dropped.
  void setSelectedRows(std::vector<int> rows);
  void selectRow(int row) { setSelectedRows({row}); }
  void deselectAll() { setSelectedRows({}); }
  const std::vector<int>& selectedRows() const { return selected_; }
  // The first selected row, -1 when none.
  int selectedRow() const { return selected_.empty() ? -1 : selected_.front(); }
  int numberOfSelectedRows() const { return static_cast<int>(selected_.size()); }

 private:
  bool strings() const { return columns_.size() == 1 && columns_.front().key.empty(); }
  Value blankEntry() const;
  void removeRow(int row);

  Value array_;
  TableArrayDelegate& delegate_;
  std::vector<TableColumn> columns_;
  std::vector<int> selected_;
  int pendingNew_ = -1;
};

}  // namespace corvela
