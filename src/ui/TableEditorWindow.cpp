#include "ui/TableEditorWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/TableArrayModel.h"

namespace corvela::ui {
namespace {

// Choice columns are edited with a pop-up of the column's choices; other columns as usual.
class ChoiceDelegate : public QStyledItemDelegate {
 public:
  ChoiceDelegate(const TableArray& table, QObject* parent)
      : QStyledItemDelegate(parent), table_(table) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    const TableColumn* column = choiceColumn(index);
    if (!column) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* popUp = new QComboBox(parent);
    for (const std::string& choice : column->choices) popUp->addItem(qs(choice));
    return popUp;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* popUp = qobject_cast<QComboBox*>(editor); popUp && choiceColumn(index))
      popUp->setCurrentIndex(index.data(Qt::EditRole).toInt());
    else
      QStyledItemDelegate::setEditorData(editor, index);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    if (auto* popUp = qobject_cast<QComboBox*>(editor); popUp && choiceColumn(index))
      model->setData(index, popUp->currentIndex(), Qt::EditRole);
    else
      QStyledItemDelegate::setModelData(editor, model, index);
  }

 private:
  const TableColumn* choiceColumn(const QModelIndex& index) const {
    const TableColumn& column = table_.columns()[static_cast<std::size_t>(index.column())];
    return column.kind == ColumnKind::Choice ? &column : nullptr;
  }
  const TableArray& table_;
};

}  // namespace

void EditorTableView::commitOpenEditor() {
  if (!isEditing()) return;
  QWidget* editor = indexWidget(currentIndex());
  if (!editor) return;
  emit itemDelegate()->commitData(editor);
  emit itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void EditorTableView::keyPressEvent(QKeyEvent* event) {
  if (!isEditing()) {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (currentIndex().isValid()) {
          emit editRequested(currentIndex());
          return;
        }
        break;
      case Qt::Key_Delete:
      case Qt::Key_Backspace:
        emit deleteRequested();
        return;
      case Qt::Key_Insert:
        emit addRequested();
        return;
      default:
        break;
    }
  }
  QTableView::keyPressEvent(event);
}

TableEditorWindow::TableEditorWindow(TableEditor& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("tableEditorWindow"));
  setModal(true);
  resize(520, 420);
  TableArray& array = editor_.table();
  model_ = new TableArrayModel(array, this);
  table_ = new EditorTableView;
  table_->setObjectName(QStringLiteral("editorTable"));
  table_->setModel(model_);
  table_->setItemDelegate(new ChoiceDelegate(array, table_));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Return (or F2) edits; other keys move and select, Space included.
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  table_->setTabKeyNavigation(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();

  add_ = new QPushButton(tr("&Add"));
  add_->setObjectName(QStringLiteral("addButton"));
  delete_ = new QPushButton(tr("&Delete"));
  delete_->setObjectName(QStringLiteral("deleteButton"));
  message_ = new QLabel;
  message_->setObjectName(QStringLiteral("editorMessage"));
  message_->setWordWrap(true);
  ok_ = new QPushButton(tr("OK"));
  ok_->setObjectName(QStringLiteral("okButton"));
  // Return closes the window unless the table (editing a row) or a focused button takes it.
  ok_->setDefault(true);
  cancel_ = new QPushButton(tr("Cancel"));
  cancel_->setObjectName(QStringLiteral("cancelButton"));

  auto* actions = new QHBoxLayout;
  actions->addWidget(add_);
  actions->addWidget(delete_);
  const TableEditorForm form = editor_.form();
  for (const EditorButton& button : form.buttons) {
    auto* push = new QPushButton(qs(button.title));
    push->setObjectName(qs(button.action));
    actions->addWidget(push);
    buttons_[button.action] = push;
    connect(push, &QPushButton::clicked, this, [this, action = button.action] {
      table_->commitOpenEditor();
      refusal_.clear();
      editor_.perform(action);
      model_->reload();
      draw();
    });
  }
  actions->addStretch();
  actions->addWidget(cancel_);
  actions->addWidget(ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(message_);
  layout->addLayout(actions);
  // Tab goes through the window as it reads, left to right.
  QWidget* previous = table_;
  for (int i = 0; i < actions->count(); ++i) {
    QWidget* next = actions->itemAt(i)->widget();
    if (!next) continue;
    setTabOrder(previous, next);
    previous = next;
  }

  connect(add_, &QPushButton::clicked, this, &TableEditorWindow::addEntry);
  connect(delete_, &QPushButton::clicked, this, &TableEditorWindow::deleteRows);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(table_, &EditorTableView::addRequested, this, &TableEditorWindow::addEntry);
  connect(table_, &EditorTableView::deleteRequested, this, &TableEditorWindow::deleteRows);
  connect(table_, &EditorTableView::editRequested, this, &TableEditorWindow::edit);
  connect(model_, &TableArrayModel::refused, this, &TableEditorWindow::refused);
  connect(model_, &QAbstractItemModel::modelReset, this, &TableEditorWindow::showSelection);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TableEditorWindow::selectionChanged);
  // Typing into a new row abandoned with Escape leaves no blank entry behind.
  connect(table_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
    if (editor_.table().pendingNewRow() < 0) return;
    editor_.table().cancelNewEntry();
    model_->reload();
    draw();
  });
  draw();
  table_->setFocus();
}

QPushButton* TableEditorWindow::button(const std::string& action) const {
  auto found = buttons_.find(action);
  return found == buttons_.end() ? nullptr : found->second;
}

void TableEditorWindow::draw() {
  TableEditorForm form = editor_.form();
  setWindowTitle(qs(form.title));
  add_->setVisible(form.canAdd);
  delete_->setEnabled(editor_.table().numberOfSelectedRows() > 0);
  cancel_->setVisible(form.canCancel);
  ok_->setText(form.canCancel ? tr("OK") : tr("Done"));
  for (const EditorButton& button : form.buttons)
    if (QPushButton* push = this->button(button.action)) push->setEnabled(button.enabled);
  QString text = refusal_.isEmpty() ? qs(form.message) : refusal_;
  message_->setText(text);
  message_->setVisible(!text.isEmpty());
}

void TableEditorWindow::addEntry() {
  if (!editor_.form().canAdd) return;
  table_->commitOpenEditor();
  refusal_.clear();
  int row = editor_.table().addEntry();
  model_->reload();
  draw();
  if (row < 0) return;
  QModelIndex cell = model_->index(row, 0);
  table_->setCurrentIndex(cell);
  table_->edit(cell);
}

void TableEditorWindow::deleteRows() {
  table_->commitOpenEditor();
  refusal_.clear();
  editor_.table().deleteSelectedRows();
  model_->reload();
  draw();
}

void TableEditorWindow::edit(const QModelIndex& index) {
  refusal_.clear();
  if (editor_.table().editEntryAtIndex(index.row())) {
    model_->reload();
    draw();
    return;
  }
  table_->edit(index);
}

void TableEditorWindow::showSelection() {
  drawing_ = true;
  QItemSelection selection;
  for (int row : editor_.table().selectedRows())
    selection.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
  table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (int row = editor_.table().selectedRow(); row >= 0) {
    table_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
    table_->scrollTo(model_->index(row, 0));
  }
  drawing_ = false;
}

void TableEditorWindow::selectionChanged() {
  if (drawing_) return;
  std::vector<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    rows.push_back(index.row());
  editor_.table().setSelectedRows(std::move(rows));
  draw();
}

void TableEditorWindow::refused(const QString& text) {
  refusal_ = text;
  draw();
}

void TableEditorWindow::done(int result) {
  table_->commitOpenEditor();
  QDialog::done(result);
}

bool TableEditorWindows::runModal(TableEditor& editor) {
  // A window opened from an editor window stands over that one.
  QWidget* parent = QApplication::activeModalWidget();
  TableEditorWindow window(editor, parent ? parent : parent_);
  return window.exec() == QDialog::Accepted;
}

}  // namespace corvela::ui
