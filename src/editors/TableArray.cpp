#include "editors/TableArray.h"

#include <algorithm>

namespace corvela {

TableArray::TableArray(Value array, TableArrayDelegate& delegate, std::vector<TableColumn> columns)
    : array_(array.isArray() ? std::move(array) : Value::array()),
      delegate_(delegate),
      columns_(std::move(columns)) {
  if (columns_.empty()) columns_.push_back({});
}

void TableArray::setArray(Value array) {
  array_ = array.isArray() ? std::move(array) : Value::array();
  pendingNew_ = -1;
  setSelectedRows({});
}

Value TableArray::valueAt(int row, int column) const {
  if (row < 0 || row >= numberOfRows() || column < 0 || column >= static_cast<int>(columns_.size()))
    return {};
  const Value& entry = array_[static_cast<std::size_t>(row)];
  const TableColumn& col = columns_[static_cast<std::size_t>(column)];
  const Value& value = col.key.empty() ? entry : entry[col.key];
  switch (col.kind) {
    case ColumnKind::CheckBox:
      return Value(value.toBool());
    case ColumnKind::Choice:
      return Value(static_cast<long long>(value.toInt()));
    case ColumnKind::Text:
      break;
  }
  return Value(value.toString());
}

std::string TableArray::textAt(int row, int column) const {
  Value value = valueAt(row, column);
  const TableColumn* col =
      column >= 0 && column < static_cast<int>(columns_.size()) ? &columns_[column] : nullptr;
  if (col && col->kind == ColumnKind::Choice) {
    auto index = static_cast<std::size_t>(value.toInt());
    return index < col->choices.size() ? col->choices[index] : std::string();
  }
  return value.toString();
}

std::optional<std::string> TableArray::setValueAt(int row, int column, const Value& value) {
  if (row < 0 || row >= numberOfRows() || column < 0 ||
      column >= static_cast<int>(columns_.size()) || !columns_[column].editable)
    return std::nullopt;
  const TableColumn& col = columns_[static_cast<std::size_t>(column)];
  Value stored;
  switch (col.kind) {
    case ColumnKind::CheckBox:
      stored = Value(value.toBool());
      break;
    case ColumnKind::Choice:
      stored = Value(static_cast<long long>(value.toInt()));
      break;
    case ColumnKind::Text:
      stored = Value(value.toString());
      break;
  }
  if (row == pendingNew_ && column == 0) {
    const std::string& typed = stored.toString();
    // A new row that was left empty was never an entry.
    if (typed.empty()) {
      cancelNewEntry();
      return std::nullopt;
    }
    auto error = delegate_.tableArrayAddEntryError(*this, typed);
    if (!error) error = delegate_.tableArrayEditError(*this, row, column, stored);
    if (error) {
      cancelNewEntry();
      return error;
    }
    pendingNew_ = -1;
  } else if (auto error = delegate_.tableArrayEditError(*this, row, column, stored)) {
    return error;
  }
  Value& entry = array_.mutableArray()[static_cast<std::size_t>(row)];
  if (col.key.empty())
    entry = stored;
  else
    entry.set(col.key, stored);
  if (pendingNew_ != row) delegate_.tableArrayChanged(*this);
  return std::nullopt;
}

Value TableArray::blankEntry() const {
  if (strings()) return Value("");
  Value entry = Value::dictionary();
  for (const TableColumn& col : columns_) {
    if (col.key.empty()) continue;
    if (col.kind == ColumnKind::Text) entry.set(col.key, Value(""));
    // A new row gets the first choice; it has no original one to compare with.
    if (col.kind == ColumnKind::Choice) entry.set(col.key, Value(0));
  }
  return entry;
}

int TableArray::addEntry() {
  if (pendingNew_ >= 0) cancelNewEntry();
  if (delegate_.tableArrayAddEntry(*this)) return -1;
  array_.append(blankEntry());
  pendingNew_ = numberOfRows() - 1;
  selectRow(pendingNew_);
  return pendingNew_;
}

void TableArray::cancelNewEntry() {
  if (pendingNew_ < 0) return;
  int row = pendingNew_;
  pendingNew_ = -1;
  removeRow(row);
  setSelectedRows({});
}

bool TableArray::editEntryAtIndex(int index) {
  if (index < 0 || index >= numberOfRows()) return false;
  return delegate_.tableArrayEditEntryAtIndex(*this, index);
}

void TableArray::deleteSelectedRows() {
  if (selected_.empty()) return;
  std::vector<int> rows = selected_;
  bool committed = false;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it == pendingNew_)
      pendingNew_ = -1;
    else
      committed = true;
    if (pendingNew_ > *it) --pendingNew_;
    removeRow(*it);
  }
  selected_.clear();
  if (committed) delegate_.tableArrayChanged(*this);
  delegate_.tableArraySelectionDidChange(*this);
}

void TableArray::removeRow(int row) { array_.removeAt(static_cast<std::size_t>(row)); }

void TableArray::setSelectedRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [this](int row) { return row < 0 || row >= numberOfRows(); });
  if (rows == selected_) return;
  selected_ = std::move(rows);
  delegate_.tableArraySelectionDidChange(*this);
}

}  // namespace corvela
