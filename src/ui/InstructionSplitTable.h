#pragma once

#include <QTableView>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/DialogFields.h"

class QPushButton;

namespace corvela::ui {

class SplitTableModel;

// A split table of the instruction edit dialog with its add and delete buttons. It shows the
// rows of the editor's form and reports cell edits, the selection and the buttons through the
// callbacks; Delete in the table deletes the selected splits.
class InstructionSplitTable : public QWidget {
  Q_OBJECT

 public:
  struct Callbacks {
    std::function<void(std::string_view column, std::size_t row, std::string text)> cellEdited;
    std::function<void(std::vector<std::size_t> rows)> selectionChanged;
    std::function<void()> addSplit;
    std::function<void()> deleteSelected;
  };

  InstructionSplitTable(const QString& name, QWidget* parent = nullptr);
  void setCallbacks(Callbacks callbacks) { callbacks_ = std::move(callbacks); }

  // Draws a form's table: rows, selection, the delete button, and the category cell of its
  // editRow opened for typing.
  void showForm(const SplitTableForm& form);
  // Commits the cell being typed in, if any.
  void commitEditing();

  QTableView* table() const;
  QPushButton* addButton() const { return add_; }
  QPushButton* deleteButton() const { return delete_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class View;
  View* table_;
  SplitTableModel* model_;
  QPushButton* add_;
  QPushButton* delete_;
  Callbacks callbacks_;
  bool drawing_ = false;
};

}  // namespace corvela::ui
