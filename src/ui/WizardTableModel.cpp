#include "ui/WizardTableModel.h"

#include "ui/QtText.h"

namespace corvela::ui {

void WizardTableModel::setTable(const WizardTable& table) {
  beginResetModel();
  table_ = table;
  endResetModel();
}

int WizardTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int WizardTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.headers.size());
}

QVariant WizardTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  const auto& row = table_.rows[static_cast<std::size_t>(index.row())];
  auto column = static_cast<std::size_t>(index.column());
  return column < row.size() ? qs(row[column]) : QString();
}

QVariant WizardTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  auto column = static_cast<std::size_t>(section);
  return column < table_.headers.size() ? qs(table_.headers[column]) : QString();
}

Qt::ItemFlags WizardTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

}  // namespace corvela::ui
