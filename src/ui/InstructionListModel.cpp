#include "ui/InstructionListModel.h"

#include "ui/QtText.h"

namespace corvela::ui {

InstructionListModel::InstructionListModel(QObject* parent) : QAbstractTableModel(parent) {}

void InstructionListModel::setRows(const std::vector<InstructionListRow>& rows) {
  if (rows == rows_) return;
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

int InstructionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int InstructionListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant InstructionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const InstructionListRow& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole && index.column() == kMatchesColumn)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
  switch (index.column()) {
    case kMatchColumn:
      return qs(row.match);
    case kTypeColumn:
      return qs(row.type);
    default:
      return row.matches;
  }
}

QVariant InstructionListModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kMatchColumn:
      return tr("Match");
    case kTypeColumn:
      return tr("Type");
    case kMatchesColumn:
      return tr("Matches");
    default:
      return {};
  }
}

}  // namespace corvela::ui
