#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "editors/InstructionListView.h"

namespace corvela::ui {

// The rows of the instruction list as the editor's form gives them: Match, Type and Matches
// (how many transactions of the last run the instruction matched). Read-only: editing goes
// through the edit dialog.
class InstructionListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kMatchColumn, kTypeColumn, kMatchesColumn, kColumnCount };

  explicit InstructionListModel(QObject* parent = nullptr);
  void setRows(const std::vector<InstructionListRow>& rows);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<InstructionListRow> rows_;
};

}  // namespace corvela::ui
