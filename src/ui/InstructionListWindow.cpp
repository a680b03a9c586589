#include "ui/InstructionListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editors/EditInstructions.h"
#include "ui/InstructionListModel.h"
#include "ui/QtText.h"

namespace corvela::ui {

InstructionListWindow::InstructionListWindow(QWidget* parent)
    : QDialog(parent),
      filter_(new QLineEdit),
      table_(new QTableView),
      model_(new InstructionListModel(this)),
      matchedTitle_(new QLabel(tr("Transactions of the last run it matched:"))),
      matched_(new QTreeWidget),
      edit_(new QPushButton(tr("Edit..."))),
      delete_(new QPushButton(tr("Delete"))) {
  setObjectName(QStringLiteral("instructionListWindow"));
  setModal(true);
  filter_->setObjectName(QStringLiteral("instructionFilter"));
  filter_->setPlaceholderText(tr("Type to filter the instructions"));
  filter_->setAccessibleName(tr("Filter"));
  filter_->setClearButtonEnabled(true);
  table_->setObjectName(QStringLiteral("instructionTable"));
  table_->setAccessibleName(tr("Instructions"));
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(InstructionListModel::kMatchColumn,
                                                   QHeaderView::Stretch);
  table_->installEventFilter(this);
  matched_->setObjectName(QStringLiteral("matchedTransactions"));
  matched_->setAccessibleName(tr("Matched transactions"));
  matched_->setHeaderLabels({tr("Date"), tr("Amount"), tr("Description")});
  matched_->setRootIsDecorated(false);
  matched_->setMaximumHeight(140);
  matched_->setFocusPolicy(Qt::NoFocus);
  edit_->setObjectName(QStringLiteral("editButton"));
  delete_->setObjectName(QStringLiteral("deleteButton"));
  auto* closeButton = new QPushButton(tr("Close"));
  closeButton->setObjectName(QStringLiteral("closeButton"));
  // Return in the table edits; no button takes it from there.
  for (QPushButton* button : {edit_, delete_, closeButton}) button->setAutoDefault(false);

  connect(filter_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (editor_) editor_->listFilterChanged(utf8(text));
  });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (drawing_ || !editor_) return;
            editor_->listSelectionChanged(
                current.isValid() ? std::optional<std::size_t>(current.row()) : std::nullopt);
            draw(editor_->listForm());
          });
  connect(table_, &QTableView::doubleClicked, this, [this] { editSelected(); });
  connect(edit_, &QPushButton::clicked, this, [this] { editSelected(); });
  connect(delete_, &QPushButton::clicked, this, [this] {
    if (editor_) editor_->deleteSelectedInstruction();
  });
  connect(closeButton, &QPushButton::clicked, this, &InstructionListWindow::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(delete_);
  buttons->addStretch();
  buttons->addWidget(edit_);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(filter_);
  layout->addWidget(table_, 1);
  layout->addWidget(matchedTitle_);
  layout->addWidget(matched_);
  layout->addLayout(buttons);
  resize(560, 480);
}

InstructionListWindow::~InstructionListWindow() {
  // Children destroyed after this body (a table's selection, the tabs) must not call back
  // into a window that is no longer one.
  for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
}

void InstructionListWindow::showList(const InstructionListForm& form) {
  draw(form);
  QDialog::show();
  raise();
  activateWindow();
  table_->setFocus();
}

void InstructionListWindow::updateList(const InstructionListForm& form) { draw(form); }

void InstructionListWindow::closeList() { QDialog::hide(); }

void InstructionListWindow::draw(const InstructionListForm& form) {
  drawing_ = true;
  setWindowTitle(qs(form.title));
  if (filter_->text() != qs(form.filter)) filter_->setText(qs(form.filter));
  model_->setRows(form.rows);
  if (form.selectedRow) {
    const QModelIndex index = model_->index(static_cast<int>(*form.selectedRow), 0);
    table_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(index);
  } else {
    table_->selectionModel()->clear();
  }
  matched_->clear();
  for (const InstructionMatch& match : form.matchedTransactions) {
    auto* item = new QTreeWidgetItem({qs(match.date), qs(match.amount), qs(match.description)});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    matched_->addTopLevelItem(item);
  }
  edit_->setEnabled(form.editEnabled);
  delete_->setEnabled(form.deleteEnabled);
  drawing_ = false;
}

void InstructionListWindow::editSelected() {
  if (!editor_ || !editor_->listForm().selectedRow) return;
  editor_->editEntryAtIndex(*editor_->listForm().selectedRow);
}

bool InstructionListWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != table_ || event->type() != QEvent::KeyPress || !editor_)
    return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      editSelected();
      return true;
    case Qt::Key_Delete:
      editor_->deleteSelectedInstruction();
      return true;
    case Qt::Key_Backspace: {
      QString text = filter_->text();
      text.chop(1);
      editor_->listFilterChanged(utf8(text));
      return true;
    }
    default:
      break;
  }
  // Typing over the list filters it, as the person expects of a long list.
  const QString typed = key->text();
  if (!typed.isEmpty() && typed.at(0).isPrint() &&
      !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    editor_->listFilterChanged(utf8(filter_->text() + typed));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void InstructionListWindow::reject() {
  if (editor_) {
    editor_->closeList();
  } else {
    QDialog::reject();
  }
}

}  // namespace corvela::ui
