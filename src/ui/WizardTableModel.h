#pragma once

#include <QAbstractTableModel>

#include "inputformats/WizardForm.h"

namespace corvela::ui {

// The learning wizard's preview and question tables: the transactions of the sample, one row
// each, under the headers the wizard gives the columns. Cells are editable only so that the
// person can select a piece of their text; nothing typed is kept.
class WizardTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Shows a copy of `table`.
  void setTable(const WizardTable& table);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex&, const QVariant&, int) override { return false; }

 private:
  WizardTable table_;
};

}  // namespace corvela::ui
