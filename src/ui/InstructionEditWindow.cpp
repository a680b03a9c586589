#include "ui/InstructionEditWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/EditInstructions.h"
#include "ui/DialogWidgets.h"
#include "ui/InstructionSplitTable.h"
#include "ui/QtText.h"

namespace corvela::ui {
namespace {

void setText(QLineEdit* field, const std::string& text) {
  if (field->text() != qs(text)) field->setText(qs(text));
}

}  // namespace

QLineEdit* InstructionEditWindow::textField(const char* name, InstructionEditField field) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
    if (!drawing_) act([&](EditInstructions& e) { e.controlTextDidChange(field, utf8(text)); });
  });
  return edit;
}

QCheckBox* InstructionEditWindow::switchBox(const QString& title, const char* name,
                                            InstructionEditSwitch which) {
  auto* box = new QCheckBox(title);
  box->setObjectName(QString::fromLatin1(name));
  connect(box, &QCheckBox::toggled, this, [this, which](bool on) {
    if (!drawing_) act([&](EditInstructions& e) { e.setSwitch(which, on); });
  });
  return box;
}

InstructionEditWindow::InstructionEditWindow(QWidget* parent)
    : QDialog(parent),
      matchLabel_(new QLabel),
      match_(textField("matchField", InstructionEditField::match)),
      matchHelp_(makeWrappingLabel("matchHelp")),
      matchWarning_(makeWarningLabel("matchWarning")),
      tabs_(new QTabWidget),
      amountTab_(new QWidget(this)),
      categoryArea_(new QStackedWidget),
      category_(textField("categoryField", InstructionEditField::category)),
      categoryWarning_(makeWarningLabel("categoryWarning")),
      useDescription_(switchBox(tr("New description:"), "useDescriptionSwitch",
                                InstructionEditSwitch::useDescription)),
      newDescription_(textField("newDescriptionField", InstructionEditField::newDescription)),
      useMemo_(switchBox(tr("New memo:"), "useMemoSwitch", InstructionEditSwitch::useMemo)),
      newMemo_(textField("newMemoField", InstructionEditField::newMemo)),
      categoryConfirm_(switchBox(tr("Confirm transactions it matches"), "categoryConfirmSwitch",
                                 InstructionEditSwitch::categoryConfirm)),
      extractNumber_(switchBox(tr("Take the cheque number from the description"),
                               "extractNumberSwitch", InstructionEditSwitch::extractNumber)),
      splits_(new InstructionSplitTable(QStringLiteral("splitsTable"))),
      amount_(new QComboBox),
      amountDescription_(
          textField("amountDescriptionField", InstructionEditField::amountDescription)),
      amountCategoryArea_(new QStackedWidget),
      amountCategory_(textField("amountCategoryField", InstructionEditField::amountCategory)),
      amountCategoryWarning_(makeWarningLabel("amountCategoryWarning")),
      amountConfirm_(switchBox(tr("Confirm transactions of this amount"), "amountConfirmSwitch",
                               InstructionEditSwitch::amountConfirm)),
      amountUseMemo_(
          switchBox(tr("Memo:"), "amountUseMemoSwitch", InstructionEditSwitch::amountUseMemo)),
      amountMemo_(textField("amountMemoField", InstructionEditField::amountMemo)),
      amountSplits_(new InstructionSplitTable(QStringLiteral("amountSplitsTable"))),
      addRemoveSplits_(new QPushButton),
      save_(new QPushButton(tr("Save"))) {
  setObjectName(QStringLiteral("instructionEditWindow"));
  setModal(true);
  // Owned by the dialog while the tab widget does not hold it.
  amountTab_->hide();
  match_->setAccessibleName(tr("Match"));
  category_->setAccessibleName(tr("Category"));
  newDescription_->setAccessibleName(tr("New description"));
  newMemo_->setAccessibleName(tr("New memo"));
  amountDescription_->setAccessibleName(tr("Amount description"));
  amountCategory_->setAccessibleName(tr("Amount category"));
  amountMemo_->setAccessibleName(tr("Amount memo"));
  addRemoveSplits_->setAccessibleName(tr("Add or remove splits"));
  amount_->setObjectName(QStringLiteral("amountField"));
  amount_->setAccessibleName(tr("Amount"));
  connect(amount_, &QComboBox::activated, this, [this](int index) {
    if (!drawing_)
      act([&](EditInstructions& e) {
        e.controlTextDidChange(InstructionEditField::amount, utf8(amount_->itemText(index)));
      });
  });

  // The regular tab.
  auto* regular = new QWidget;
  auto* categoryPlain = new QWidget;
  auto* plain = new QVBoxLayout(categoryPlain);
  plain->setContentsMargins(0, 0, 0, 0);
  plain->addWidget(category_);
  plain->addWidget(categoryWarning_);
  plain->addStretch();
  categoryArea_->addWidget(categoryPlain);
  categoryArea_->addWidget(splits_);
  auto* regularForm = new QFormLayout(regular);
  regularForm->addRow(tr("Category:"), categoryArea_);
  regularForm->addRow(useDescription_, newDescription_);
  regularForm->addRow(useMemo_, newMemo_);
  regularForm->addRow(categoryConfirm_);
  regularForm->addRow(extractNumber_);
  tabs_->addTab(regular, tr("Instruction"));

  // The amount tab.
  auto* amountPlain = new QWidget;
  auto* amountPlainLayout = new QVBoxLayout(amountPlain);
  amountPlainLayout->setContentsMargins(0, 0, 0, 0);
  amountPlainLayout->addWidget(amountCategory_);
  amountPlainLayout->addWidget(amountCategoryWarning_);
  amountPlainLayout->addStretch();
  amountCategoryArea_->addWidget(amountPlain);
  amountCategoryArea_->addWidget(amountSplits_);
  auto* deleteAmount = new QPushButton(tr("Delete Amount"));
  deleteAmount->setObjectName(QStringLiteral("deleteAmountButton"));
  deleteAmount->setAutoDefault(false);
  connect(deleteAmount, &QPushButton::clicked, this,
          [this] { act([](EditInstructions& e) { e.deleteAmount(); }); });
  auto* amountLine = new QHBoxLayout;
  amountLine->addWidget(amount_, 1);
  amountLine->addWidget(deleteAmount);
  auto* amountForm = new QFormLayout(amountTab_);
  amountForm->addRow(tr("Amount:"), amountLine);
  amountForm->addRow(tr("Description:"), amountDescription_);
  amountForm->addRow(tr("Category:"), amountCategoryArea_);
  amountForm->addRow(amountUseMemo_, amountMemo_);
  amountForm->addRow(amountConfirm_);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (!drawing_)
      act([&](EditInstructions& e) {
        e.selectTab(index == 1 ? InstructionEditTab::amount : InstructionEditTab::regular);
      });
  });

  for (auto [table, tab] : {std::pair{splits_, InstructionEditTab::regular},
                            std::pair{amountSplits_, InstructionEditTab::amount}}) {
    table->setCallbacks({
        .cellEdited =
            [this, tab](std::string_view column, std::size_t row, std::string text) {
              act([&](EditInstructions& e) { e.tableSetCell(tab, column, row, text); });
            },
        .selectionChanged =
            [this, tab](std::vector<std::size_t> rows) {
              act([&](EditInstructions& e) { e.tableSelectionChanged(tab, rows); });
            },
        .addSplit = [this, tab] { act([&](EditInstructions& e) { e.addSplit(tab); }); },
        .deleteSelected = [this,
                           tab] { act([&](EditInstructions& e) { e.deleteSelectedSplit(tab); }); },
    });
  }

  // The buttons.
  addRemoveSplits_->setObjectName(QStringLiteral("addRemoveSplitsButton"));
  auto* deleteButton = new QPushButton(tr("Delete Instruction"));
  deleteButton->setObjectName(QStringLiteral("deleteInstructionButton"));
  auto* cancel = new QPushButton(tr("Cancel"));
  cancel->setObjectName(QStringLiteral("cancelButton"));
  save_->setObjectName(QStringLiteral("saveButton"));
  for (QPushButton* button : {addRemoveSplits_, deleteButton, cancel})
    button->setAutoDefault(false);
  save_->setDefault(true);
  connect(addRemoveSplits_, &QPushButton::clicked, this,
          [this] { act([](EditInstructions& e) { e.addRemoveSplits(); }); });
  connect(deleteButton, &QPushButton::clicked, this,
          [this] { act([](EditInstructions& e) { e.deleteInstruction(); }); });
  connect(cancel, &QPushButton::clicked, this, &InstructionEditWindow::reject);
  connect(save_, &QPushButton::clicked, this,
          [this] { act([](EditInstructions& e) { e.save(); }); });

  auto* matchRow = new QFormLayout;
  matchRow->addRow(matchLabel_, match_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addRemoveSplits_);
  buttons->addWidget(deleteButton);
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(save_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(matchRow);
  layout->addWidget(matchHelp_);
  layout->addWidget(matchWarning_);
  layout->addWidget(tabs_, 1);
  layout->addLayout(buttons);
  resize(600, 460);
}

InstructionEditWindow::~InstructionEditWindow() {
  // Children destroyed after this body (a table's selection, the tabs) must not call back
  // into a window that is no longer one.
  for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
}

void InstructionEditWindow::act(const std::function<void(EditInstructions&)>& action) {
  if (!editor_) return;
  action(*editor_);
  // The editor redraws through updateEditor while the dialog is open; after the dialog ended,
  // there is nothing more to draw.
}

void InstructionEditWindow::showEditor(const InstructionEditForm& form) {
  openedOver_ = QApplication::activeWindow();
  draw(form);
  QDialog::show();
  raise();
  activateWindow();
  if (form.focus == InstructionEditField::match || !form.focus) {
    match_->setFocus();
    match_->end(false);
  }
}

void InstructionEditWindow::updateEditor(const InstructionEditForm& form) { draw(form); }

void InstructionEditWindow::endEditing() {
  splits_->commitEditing();
  amountSplits_->commitEditing();
}

void InstructionEditWindow::closeEditor() {
  QDialog::hide();
  if (openedOver_ && openedOver_ != this && openedOver_->isVisible()) {
    openedOver_->raise();
    openedOver_->activateWindow();
  }
}

void InstructionEditWindow::reject() {
  if (editor_ && editor_->editing()) {
    editor_->cancel();
  } else {
    QDialog::reject();
  }
}

void InstructionEditWindow::draw(const InstructionEditForm& form) {
  drawing_ = true;
  setWindowTitle(qs(form.windowTitle));
  matchLabel_->setText(qs(form.matchLabel));
  setText(match_, form.match);
  match_->setReadOnly(!form.matchEditable);
  matchHelp_->setText(qs(form.matchHelp));
  matchHelp_->setVisible(!form.matchHelp.empty());
  showOptionalText(matchWarning_, form.matchWarning);

  categoryArea_->setCurrentIndex(form.splitsShown ? 1 : 0);
  setText(category_, form.category);
  showOptionalText(categoryWarning_, form.categoryWarning);
  useDescription_->setChecked(form.useDescription);
  setText(newDescription_, form.newDescription);
  newDescription_->setVisible(form.newDescriptionShown);
  useMemo_->setChecked(form.useMemo);
  setText(newMemo_, form.newMemo);
  newMemo_->setVisible(form.newMemoShown);
  categoryConfirm_->setChecked(form.categoryConfirm);
  extractNumber_->setChecked(form.extractNumber);
  splits_->showForm(form.splits);

  const bool amountShown = tabs_->count() > 1;
  if (form.amountTabShown && !amountShown) tabs_->addTab(amountTab_, tr("Amounts"));
  if (!form.amountTabShown && amountShown) tabs_->removeTab(1);
  amount_->clear();
  for (const std::string& amount : form.amounts) amount_->addItem(qs(amount));
  amount_->setCurrentIndex(amount_->findText(qs(form.amount)));
  amount_->setMaxVisibleItems(form.comboBoxVisibleItems);
  amount_->setEnabled(form.amountEnabled);
  setText(amountDescription_, form.amountDescription);
  amountCategoryArea_->setCurrentIndex(form.amountSplitsShown ? 1 : 0);
  setText(amountCategory_, form.amountCategory);
  showOptionalText(amountCategoryWarning_, form.amountCategoryWarning);
  amountConfirm_->setChecked(form.amountConfirm);
  amountConfirm_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
  amountUseMemo_->setChecked(form.amountUseMemo);
  setText(amountMemo_, form.amountMemo);
  amountMemo_->setVisible(form.amountMemoShown);
  amountSplits_->showForm(form.amountSplits);

  tabs_->setCurrentIndex(form.selectedTab == InstructionEditTab::amount && form.amountTabShown ? 1
                                                                                               : 0);
  addRemoveSplits_->setText(qs(form.addRemoveSplitsTitle));
  save_->setEnabled(form.saveEnabled);
  drawing_ = false;

  if (form.focus) {
    switch (*form.focus) {
      case InstructionEditField::newDescription:
        newDescription_->setFocus();
        newDescription_->selectAll();
        break;
      case InstructionEditField::newMemo:
        newMemo_->setFocus();
        break;
      case InstructionEditField::amountMemo:
        amountMemo_->setFocus();
        break;
      default:
        break;
    }
  }
}

}  // namespace corvela::ui
