#include "ui/SplitTableModel.h"

#include "readers/TransactionKeys.h"
#include "ui/QtText.h"

namespace corvela::ui {

const std::array<std::string_view, 3>& SplitTableModel::columnKeys() {
  static constexpr std::array<std::string_view, 3> kKeys = {splitKey::category, splitKey::memo,
                                                            splitKey::amount};
  return kKeys;
}

SplitTableModel::SplitTableModel(QObject* parent) : QAbstractTableModel(parent) {}

const std::string& SplitTableModel::cell(const SplitRow& row, int column) {
  switch (column) {
    case kCategoryColumn:
      return row.category;
    case kMemoColumn:
      return row.memo;
    default:
      return row.amount;
  }
}

void SplitTableModel::setRows(const std::vector<SplitRow>& rows) {
  const int before = static_cast<int>(rows_.size());
  const int after = static_cast<int>(rows.size());
  if (after < before) {
    beginRemoveRows({}, after, before - 1);
    rows_.resize(rows.size());
    endRemoveRows();
  }
  for (int row = 0; row < std::min(before, after); ++row) {
    if (rows_[row] == rows[row]) continue;
    rows_[row] = rows[row];
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  }
  if (after > before) {
    beginInsertRows({}, before, after - 1);
    rows_.insert(rows_.end(), rows.begin() + before, rows.end());
    endInsertRows();
  }
}

int SplitTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SplitTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columnKeys().size());
}

QVariant SplitTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole)
    return qs(cell(rows_[static_cast<std::size_t>(index.row())], index.column()));
  if (role == Qt::TextAlignmentRole && index.column() == kAmountColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant SplitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kCategoryColumn:
      return tr("Category");
    case kMemoColumn:
      return tr("Memo");
    case kAmountColumn:
      return tr("Amount");
    default:
      return {};
  }
}

Qt::ItemFlags SplitTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool SplitTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() || !cellEdited_)
    return false;
  cellEdited_(columnKeys()[static_cast<std::size_t>(index.column())],
              static_cast<std::size_t>(index.row()), utf8(value.toString()));
  return true;
}

}  // namespace corvela::ui
