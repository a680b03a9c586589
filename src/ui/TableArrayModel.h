#pragma once

#include <QAbstractTableModel>

namespace corvela {
class TableArray;
}

namespace corvela::ui {

// The Qt model over a core TableArray: draws its rows, check boxes and choices, and hands every
// change of a cell to it. A refused change is reported with refused(); the cell keeps its value.
// The table is borrowed and must outlive the model.
class TableArrayModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TableArrayModel(TableArray& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The table changed behind the model (a row added, deleted or refilled by the editor).
  void reload();

 signals:
  void refused(const QString& message);

 private:
  TableArray& table_;
};

}  // namespace corvela::ui
