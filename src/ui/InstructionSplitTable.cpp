#include "ui/InstructionSplitTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/SplitTableModel.h"

namespace corvela::ui {

// A table view that can commit the editor open in it on request (the dialog's Save).
class InstructionSplitTable::View : public QTableView {
 public:
  using QTableView::QTableView;
  bool editing() const { return state() == QAbstractItemView::EditingState; }
  // Commits the editor open at the current cell. The view's state is not asked: a redraw of
  // the rows can leave it at NoState while an editor stays open with what the person typed.
  void commit() {
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }
};

InstructionSplitTable::InstructionSplitTable(const QString& name, QWidget* parent)
    : QWidget(parent),
      table_(new View),
      model_(new SplitTableModel(this)),
      add_(new QPushButton(tr("Add Split"))),
      delete_(new QPushButton(tr("Delete Split"))) {
  table_->setObjectName(name);
  table_->setAccessibleName(tr("Splits"));
  table_->setModel(model_);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->installEventFilter(this);
  add_->setObjectName(name + QStringLiteral("AddSplitButton"));
  delete_->setObjectName(name + QStringLiteral("DeleteSelectedSplitButton"));
  for (QPushButton* button : {add_, delete_}) button->setAutoDefault(false);

  model_->setCellEdited([this](std::string_view column, std::size_t row, std::string text) {
    if (callbacks_.cellEdited) callbacks_.cellEdited(column, row, std::move(text));
  });
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (drawing_ || !callbacks_.selectionChanged) return;
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
      rows.push_back(static_cast<std::size_t>(index.row()));
    callbacks_.selectionChanged(std::move(rows));
  });
  connect(add_, &QPushButton::clicked, this, [this] {
    if (callbacks_.addSplit) callbacks_.addSplit();
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    if (callbacks_.deleteSelected) callbacks_.deleteSelected();
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(add_);
  buttons->addWidget(delete_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_);
  layout->addLayout(buttons);
}

void InstructionSplitTable::showForm(const SplitTableForm& form) {
  drawing_ = true;
  model_->setRows(form.rows);
  QItemSelection selection;
  for (std::size_t row : form.selectedRows) {
    const int at = static_cast<int>(row);
    selection.select(model_->index(at, 0), model_->index(at, SplitTableModel::kAmountColumn));
  }
  table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  delete_->setEnabled(form.deleteButtonEnabled);
  drawing_ = false;
  if (form.editRow) {
    const QModelIndex cell =
        model_->index(static_cast<int>(*form.editRow), SplitTableModel::kCategoryColumn);
    table_->setCurrentIndex(cell);
    table_->edit(cell);
  }
}

void InstructionSplitTable::commitEditing() { table_->commit(); }

QTableView* InstructionSplitTable::table() const { return table_; }

bool InstructionSplitTable::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && !table_->editing()) {
    if (callbacks_.deleteSelected) callbacks_.deleteSelected();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace corvela::ui
