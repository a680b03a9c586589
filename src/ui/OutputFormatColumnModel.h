#pragma once

#include <QAbstractTableModel>

#include "editors/OutputFormatDefinitionDialog.h"

namespace corvela::ui {

// The output format dialog's column table: one row, one column per output column of the
// presenter's form, headed by its title, whose cell is the column's check box (written or not).
// Checking a box goes to the presenter; the presenter is borrowed for the model's life.
class OutputFormatColumnModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit OutputFormatColumnModel(OutputFormatDefinitionDialog& presenter,
                                   QObject* parent = nullptr);

  // The form's columns changed (order, table or flags): shows them again.
  void reload();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  OutputFormatDefinitionDialog& presenter_;
};

}  // namespace corvela::ui
