#pragma once

#include <QAbstractTableModel>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/DialogFields.h"

namespace corvela::ui {

// The rows of one split table as the processor's form gives them, for a QTableView. An edit
// of a cell is handed on (cellEdited); the rows change only when the processor's next form
// comes.
class SplitTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // A cell edit: the column's split record key, the row and the text.
  using CellEdited = std::function<void(std::string_view column, std::size_t row, std::string)>;

  // The columns, by the split record key each shows.
  static const std::array<std::string_view, 3>& columnKeys();
  static constexpr int kCategoryColumn = 0;
  static constexpr int kMemoColumn = 1;
  static constexpr int kAmountColumn = 2;

  explicit SplitTableModel(QObject* parent = nullptr);

  void setCellEdited(CellEdited edited) { cellEdited_ = std::move(edited); }
  // Takes the rows of a form. Rows are appended or removed at the end and changed cells
  // reported as changed, so an editor open in a row that stays stays open.
  void setRows(const std::vector<SplitRow>& rows);
  const std::vector<SplitRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  static const std::string& cell(const SplitRow& row, int column);

  std::vector<SplitRow> rows_;
  CellEdited cellEdited_;
};

}  // namespace corvela::ui
