#include "ui/TableArrayModel.h"

#include "editors/TableArray.h"
#include "ui/QtText.h"

namespace corvela::ui {

TableArrayModel::TableArrayModel(TableArray& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int TableArrayModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.numberOfRows();
}

int TableArrayModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.columns().size());
}

QVariant TableArrayModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  ColumnKind kind = table_.columns()[static_cast<std::size_t>(index.column())].kind;
  if (kind == ColumnKind::CheckBox) {
    if (role != Qt::CheckStateRole) return {};
    return table_.valueAt(index.row(), index.column()).toBool() ? Qt::Checked : Qt::Unchecked;
  }
  if (role == Qt::DisplayRole) return qs(table_.textAt(index.row(), index.column()));
  if (role == Qt::EditRole) {
    if (kind == ColumnKind::Choice)
      return static_cast<int>(table_.valueAt(index.row(), index.column()).toInt());
    return qs(table_.textAt(index.row(), index.column()));
  }
  return {};
}

bool TableArrayModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid()) return false;
  ColumnKind kind = table_.columns()[static_cast<std::size_t>(index.column())].kind;
  Value cell;
  if (kind == ColumnKind::CheckBox && role == Qt::CheckStateRole)
    cell = Value(value.toInt() == Qt::Checked);
  else if (kind == ColumnKind::Choice && role == Qt::EditRole)
    cell = Value(value.toInt());
  else if (kind == ColumnKind::Text && role == Qt::EditRole)
    cell = Value(value.toString().toStdString());
  else
    return false;
  std::optional<std::string> error = table_.setValueAt(index.row(), index.column(), cell);
  // The change may have moved or removed rows (a refused new row goes again, an editor keeps
  // its list sorted); the view is still inside this call, so it hears of it afterwards.
  QMetaObject::invokeMethod(this, &TableArrayModel::reload, Qt::QueuedConnection);
  if (error) emit refused(qs(*error));
  return !error;
}

QVariant TableArrayModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return qs(table_.columns()[static_cast<std::size_t>(section)].title);
}

Qt::ItemFlags TableArrayModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const TableColumn& column = table_.columns()[static_cast<std::size_t>(index.column())];
  if (!column.editable) return flags;
  return flags |
         (column.kind == ColumnKind::CheckBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

void TableArrayModel::reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace corvela::ui
