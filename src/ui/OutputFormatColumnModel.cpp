#include "ui/OutputFormatColumnModel.h"

#include "ui/QtText.h"

namespace corvela::ui {

OutputFormatColumnModel::OutputFormatColumnModel(OutputFormatDefinitionDialog& presenter,
                                                 QObject* parent)
    : QAbstractTableModel(parent), presenter_(presenter) {}

void OutputFormatColumnModel::reload() {
  beginResetModel();
  endResetModel();
}

int OutputFormatColumnModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

int OutputFormatColumnModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(presenter_.form().columns.size());
}

QVariant OutputFormatColumnModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= columnCount()) return {};
  const OutputFormatColumnCell& cell =
      presenter_.form().columns[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::CheckStateRole:
      return cell.present ? Qt::Checked : Qt::Unchecked;
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
      return tr("%1: %2").arg(qs(cell.title), cell.present ? tr("written") : tr("not written"));
    default:
      return {};
  }
}

bool OutputFormatColumnModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.column() >= columnCount())
    return false;
  presenter_.tableViewSetObjectValue(static_cast<std::size_t>(index.column()),
                                     value.toInt() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags OutputFormatColumnModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

QVariant OutputFormatColumnModel::headerData(int section, Qt::Orientation orientation,
                                             int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return tr("Written");
  if (section < 0 || section >= columnCount()) return {};
  return qs(presenter_.form().columns[static_cast<std::size_t>(section)].title);
}

}  // namespace corvela::ui
