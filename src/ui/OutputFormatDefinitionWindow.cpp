#include "ui/OutputFormatDefinitionWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "ui/OutputFormatColumnModel.h"
#include "ui/QtText.h"

namespace corvela::ui {
namespace {

constexpr int kWidestTable = 860;

// A row of radio buttons titled as the core names the choices; a click hands its tag on.
template <std::size_t N>
QWidget* choiceRow(const std::array<std::string_view, N>& titles,
                   std::array<QRadioButton*, N>& buttons, const QString& accessibleName,
                   QObject* owner, std::function<void(int)> chosen) {
  auto* row = new QWidget;
  row->setAccessibleName(accessibleName);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* group = new QButtonGroup(owner);
  for (std::size_t tag = 0; tag < N; ++tag) {
    buttons[tag] = new QRadioButton(qs(titles[tag]));
    group->addButton(buttons[tag], static_cast<int>(tag));
    layout->addWidget(buttons[tag]);
  }
  layout->addStretch();
  QObject::connect(group, &QButtonGroup::idClicked, owner, std::move(chosen));
  return row;
}

}  // namespace

OutputFormatDefinitionWindow::OutputFormatDefinitionWindow(OutputFormatDefinitionDialog& presenter,
                                                           QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      name_(new QLineEdit),
      error_(new QLabel(qs(kOutputFormatNameTaken))),
      splitsLabel_(new QLabel(tr("Splits:"))),
      splits_(new QComboBox),
      reformat_(new QCheckBox(tr("Rewrite dates as"))),
      pattern_(new QLineEdit),
      table_(new QTableView),
      model_(new OutputFormatColumnModel(presenter, this)),
      ok_(new QPushButton) {
  setModal(true);
  name_->setObjectName(QStringLiteral("nameField"));
  name_->setAccessibleName(tr("Name of the output format"));
  error_->setObjectName(QStringLiteral("errorText"));
  error_->setWordWrap(true);
  ok_->setObjectName(QStringLiteral("okButton"));
  ok_->setDefault(true);
  auto* cancel = new QPushButton(tr("Cancel"));
  cancel->setObjectName(QStringLiteral("cancelButton"));

  auto redrawAfter = [this](auto action) {
    return [this, action](auto... arguments) {
      action(arguments...);
      draw();
    };
  };
  QWidget* typeRow = choiceRow(kOutputFormatTypeTitles, types_, tr("Kind of account"), this,
                               redrawAfter([this](int tag) { presenter_.selectType(tag); }));
  QWidget* separatorRow =
      choiceRow(kSeparatorTitles, separators_, tr("Field separator"), this,
                redrawAfter([this](int tag) { presenter_.selectSeparator(tag); }));
  QWidget* amountRow = choiceRow(kAmountTitles, amounts_, tr("Amount columns"), this,
                                 redrawAfter([this](int tag) { presenter_.selectAmount(tag); }));
  for (std::string_view item : kSplitsOutputItems) splits_->addItem(qs(item));
  splits_->setAccessibleName(tr("How splits are written"));
  pattern_->setAccessibleName(tr("Date pattern"));
  pattern_->setToolTip(tr("strftime codes such as %m, %d, %Y and %y"));

  table_->setObjectName(QStringLiteral("columnTable"));
  table_->setAccessibleName(tr("Output columns"));
  table_->setModel(model_);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectItems);
  table_->setTabKeyNavigation(false);
  table_->horizontalHeader()->setSectionsMovable(true);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  table_->installEventFilter(this);
  connect(table_->horizontalHeader(), &QHeaderView::sectionMoved, this,
          [this](int, int from, int to) { columnDragged(from, to); });

  connect(name_, &QLineEdit::textEdited, this, redrawAfter([this](const QString& text) {
            presenter_.controlTextDidChange(utf8(text));
          }));
  connect(splits_, &QComboBox::activated, this,
          redrawAfter([this](int item) { presenter_.selectSplitsOutput(item); }));
  connect(reformat_, &QCheckBox::toggled, this,
          redrawAfter([this](bool on) { presenter_.setReformatDate(on); }));
  connect(pattern_, &QLineEdit::textEdited, this, redrawAfter([this](const QString& text) {
            presenter_.setReformatDateFormat(utf8(text));
          }));
  connect(ok_, &QPushButton::clicked, this, [this] {
    if (presenter_.form().okEnabled) accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(tr("Name:"), name_);
  form->addRow(QString(), error_);
  form->addRow(tr("Account:"), typeRow);
  form->addRow(tr("Separator:"), separatorRow);
  form->addRow(tr("Amount:"), amountRow);
  form->addRow(splitsLabel_, splits_);
  auto* dates = new QHBoxLayout;
  dates->addWidget(reformat_);
  dates->addWidget(pattern_, 1);
  form->addRow(tr("Dates:"), dates);
  auto* hint = new QLabel(
      tr("Columns in output order. Drag a heading to move it (Ctrl+Left and Ctrl+Right move the "
         "current one); a checked column is written, Space or Delete changes that. A blank "
         "column is an empty field."));
  hint->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(hint);
  layout->addWidget(table_);
  layout->addLayout(buttons);

  setTabOrder(name_, types_[0]);
  draw();
  table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() + table_->rowHeight(0) +
                         2 * table_->frameWidth() +
                         table_->horizontalScrollBar()->sizeHint().height());
  // Wide enough to show every column of the table, within reason.
  int width = table_->verticalHeader()->sizeHint().width() + 2 * table_->frameWidth();
  for (int column = 0; column < model_->columnCount(); ++column)
    width += table_->horizontalHeader()->sectionSizeHint(column);
  table_->setMinimumWidth(std::min(width, kWidestTable));
  name_->selectAll();
  name_->setFocus();
}

void OutputFormatDefinitionWindow::draw() {
  const OutputFormatDefinitionForm& form = presenter_.form();
  setWindowTitle(qs(form.windowTitle));
  ok_->setText(qs(form.okTitle));
  ok_->setEnabled(form.okEnabled);
  if (utf8(name_->text()) != form.name) name_->setText(qs(form.name));
  error_->setVisible(form.errorTextVisible);
  for (std::size_t tag = 0; tag < types_.size(); ++tag) {
    types_[tag]->setChecked(static_cast<int>(tag) == form.typeTag);
    types_[tag]->setEnabled(form.typeEnabled);
  }
  separators_[static_cast<std::size_t>(form.separatorTag)]->setChecked(true);
  amounts_[static_cast<std::size_t>(form.amountTag)]->setChecked(true);
  {
    QSignalBlocker blocker(splits_);
    splits_->setCurrentIndex(form.splitsOutput);
  }
  splits_->setVisible(form.splitsVisible);
  splitsLabel_->setVisible(form.splitsVisible);
  {
    QSignalBlocker blocker(reformat_);
    reformat_->setChecked(form.reformatDate);
  }
  if (utf8(pattern_->text()) != form.reformatDateFormat)
    pattern_->setText(qs(form.reformatDateFormat));

  const int current = table_->currentIndex().column();
  model_->reload();
  if (current >= 0 && current < model_->columnCount())
    table_->setCurrentIndex(model_->index(0, current));
}

void OutputFormatDefinitionWindow::columnDragged(int fromVisual, int toVisual) {
  if (undoingDrag_) return;
  // The heading is put back where it was and the presenter's new order drawn instead, so the
  // table's columns always stand in the form's order.
  undoingDrag_ = true;
  table_->horizontalHeader()->moveSection(toVisual, fromVisual);
  undoingDrag_ = false;
  presenter_.tableViewColumnDidMove(static_cast<std::size_t>(fromVisual),
                                    static_cast<std::size_t>(toVisual));
  draw();
  table_->setCurrentIndex(model_->index(0, toVisual));
}

void OutputFormatDefinitionWindow::moveCurrentColumn(int step) {
  const int from = table_->currentIndex().column();
  const int to = from + step;
  if (from < 0 || to < 0 || to >= model_->columnCount()) return;
  presenter_.tableViewColumnDidMove(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
  draw();
  table_->setCurrentIndex(model_->index(0, to));
}

bool OutputFormatDefinitionWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != table_ || event->type() != QEvent::KeyPress)
    return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const bool control = key->modifiers().testFlag(Qt::ControlModifier);
  if (control && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
    moveCurrentColumn(key->key() == Qt::Key_Left ? -1 : 1);
    return true;
  }
  if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) &&
      table_->currentIndex().isValid()) {
    presenter_.tableViewSetObjectValue(static_cast<std::size_t>(table_->currentIndex().column()),
                                       false);
    draw();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool OutputFormatDefinitionWindows::runDefinitionDialog(OutputFormatDefinitionDialog& presenter) {
  OutputFormatDefinitionWindow window(presenter, parent_);
  return window.exec() == QDialog::Accepted && presenter.form().okEnabled;
}

}  // namespace corvela::ui
