#include "ui/SplitTableView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "banking/BankingCreditCardQIF.h"
#include "instructions/CVDollarAmountFormatter.h"
#include "lists/Categories.h"
#include "ui/CompletingComboBox.h"
#include "ui/CompletingLineEdit.h"
#include "ui/QtText.h"
#include "ui/SplitTableModel.h"

namespace corvela::ui {

// The editors of the split cells. It remembers the editor open, so the dialog can commit it
// when the processor ends editing.
class SplitCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void attach(BankingCreditCardQIF& processor, ActOnProcessor act, SplitTable table) {
    processor_ = &processor;
    act_ = std::move(act);
    table_ = table;
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    if (!processor_) return nullptr;
    const std::string_view column = SplitTableModel::columnKeys()[index.column()];
    const auto row = static_cast<std::size_t>(index.row());
    if (!processor_->tableViewShouldEditTableColumn(table_, column, row)) return nullptr;
    QWidget* editor = nullptr;
    switch (index.column()) {
      case SplitTableModel::kCategoryColumn:
        editor = categoryEditor(parent);
        break;
      case SplitTableModel::kAmountColumn: {
        auto* field = new QLineEdit(parent);
        field->setObjectName(QStringLiteral("splitAmountCell"));
        field->setValidator(new RuleValidator(&CVDollarAmountFormatter::isPartialStringValid, field,
                                              index.data(Qt::EditRole).toString()));
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        editor = field;
        break;
      }
      default:
        editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName(QStringLiteral("splitMemoCell"));
        break;
    }
    open_ = editor;
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<CompletingComboBox*>(editor)) {
      box->setText(utf8(text));
      box->lineEdit()->selectAll();
    } else if (auto* field = qobject_cast<QLineEdit*>(editor)) {
      if (field->text() != text) field->setText(text);
    }
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    if (auto* box = qobject_cast<CompletingComboBox*>(editor)) {
      model->setData(index, qs(box->text()), Qt::EditRole);
    } else if (auto* field = qobject_cast<QLineEdit*>(editor)) {
      model->setData(index, field->text(), Qt::EditRole);
    }
  }

  void closeOpenEditor(bool commit) {
    QWidget* editor = open_;
    if (!editor) return;
    open_ = nullptr;
    if (commit) emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
  }

 private:
  QWidget* categoryEditor(QWidget* parent) const {
    auto* box = new CompletingComboBox(parent);
    box->setObjectName(QStringLiteral("splitCategoryCell"));
    Categories& categories = processor_->categories();
    box->setEntries(entriesOf(categories));
    box->setMaxVisibleItems(kComboBoxVisibleItems);
    box->setTypingRule(
        [&categories](const TextEdit& edit) { return categories.isPartialStringValid(edit); });
    chooseOnlyFromPopUp(box);
    ActOnProcessor act = act_;
    auto* line = static_cast<CompletingLineEdit*>(box->lineEdit());
    connect(line, &CompletingLineEdit::editedByPerson, box, [act](const QString& text) {
      act([text = utf8(text)](BankingCreditCardQIF& p) {
        p.controlTextDidChange(DialogField::splitCategoryCell, text);
      });
    });
    connect(box, &QComboBox::activated, box, [box, act](int item) {
      act([text = utf8(box->itemText(item))](BankingCreditCardQIF& p) {
        p.comboBoxSelectionDidChange(DialogField::splitCategoryCell, text);
      });
    });
    return box;
  }

  BankingCreditCardQIF* processor_ = nullptr;
  ActOnProcessor act_;
  SplitTable table_ = SplitTable::confirm;
  mutable QPointer<QWidget> open_;
};

SplitTableView::SplitTableView(SplitTable table, const QString& name, QWidget* parent)
    : QWidget(parent),
      which_(table),
      model_(new SplitTableModel(this)),
      delegate_(new SplitCellDelegate(this)),
      table_(new QTableView),
      addButton_(new QPushButton(tr("Add Split"))),
      deleteButton_(new QPushButton(tr("Delete Split"))) {
  table_->setObjectName(name);
  table_->setAccessibleName(tr("Splits"));
  addButton_->setObjectName(name + QStringLiteral("AddSplitButton"));
  deleteButton_->setObjectName(name + QStringLiteral("DeleteSelectedSplitButton"));
  table_->setModel(model_);
  table_->setItemDelegate(delegate_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setMinimumSectionSize(kRowHeight);
  table_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* columns = table_->horizontalHeader();
  columns->setSectionResizeMode(SplitTableModel::kCategoryColumn, QHeaderView::Stretch);
  columns->setSectionResizeMode(SplitTableModel::kMemoColumn, QHeaderView::Stretch);
  columns->setSectionResizeMode(SplitTableModel::kAmountColumn, QHeaderView::Fixed);
  columns->resizeSection(SplitTableModel::kAmountColumn, 100);
  table_->setMinimumHeight(kRowHeight * 5);
  for (QPushButton* button : {addButton_, deleteButton_}) {
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
  }
  deleteButton_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addButton_);
  buttons->addWidget(deleteButton_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);

  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &SplitTableView::selectionChanged);
}

SplitTableView::~SplitTableView() = default;

void SplitTableView::attach(BankingCreditCardQIF& processor, ActOnProcessor act,
                            ProcessorAction addSplit, ProcessorAction deleteSelectedSplit) {
  processor_ = &processor;
  act_ = act;
  delegate_->attach(processor, act, which_);
  const SplitTable table = which_;
  model_->setCellEdited([act, table](std::string_view column, std::size_t row, std::string text) {
    act([table, column, row, text = std::move(text)](BankingCreditCardQIF& p) {
      p.tableViewSetObjectValue(table, column, row, text);
    });
  });
  connect(addButton_, &QPushButton::clicked, this, [act, addSplit] { act(addSplit); });
  connect(deleteButton_, &QPushButton::clicked, this,
          [act, deleteSelectedSplit] { act(deleteSelectedSplit); });
}

void SplitTableView::showForm(const SplitTableForm& form) {
  applying_ = true;
  model_->setRows(form.rows);
  QItemSelectionModel* selection = table_->selectionModel();
  std::vector<std::size_t> shown;
  for (const QModelIndex& index : selection->selectedRows())
    shown.push_back(static_cast<std::size_t>(index.row()));
  std::sort(shown.begin(), shown.end());
  if (shown != form.selectedRows) {
    QItemSelection wanted;
    for (std::size_t row : form.selectedRows) {
      if (row >= form.rows.size()) continue;
      const int r = static_cast<int>(row);
      wanted.select(model_->index(r, 0), model_->index(r, model_->columnCount() - 1));
    }
    selection->select(wanted, QItemSelectionModel::ClearAndSelect);
  }
  deleteButton_->setEnabled(form.deleteButtonEnabled);
  if (form.editRow && *form.editRow < form.rows.size()) {
    QModelIndex cell =
        model_->index(static_cast<int>(*form.editRow), SplitTableModel::kCategoryColumn);
    selection->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    table_->setFocus(Qt::OtherFocusReason);
    table_->edit(cell);
  }
  applying_ = false;
}

void SplitTableView::commitEditing() { delegate_->closeOpenEditor(true); }

void SplitTableView::discardEditing() { delegate_->closeOpenEditor(false); }

void SplitTableView::selectionChanged() {
  if (applying_ || !act_) return;
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    rows.push_back(static_cast<std::size_t>(index.row()));
  const SplitTable table = which_;
  act_([table, rows = std::move(rows)](BankingCreditCardQIF& p) {
    p.tableViewSelectionDidChange(table, rows);
  });
}

}  // namespace corvela::ui
