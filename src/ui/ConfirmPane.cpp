#include "ui/ConfirmPane.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "banking/BankingCreditCardQIF.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "ui/CompletingComboBox.h"
#include "ui/FormattedAmountEdit.h"
#include "ui/QtText.h"
#include "ui/SplitTableView.h"

namespace corvela::ui {

ConfirmPane::ConfirmPane(QWidget* parent)
    : QWidget(parent),
      dateText_(valueLabel("confirmDateText")),
      dateStepper_(new DateStepper),
      amountLabel_(fieldLabel(tr("Amount:"), "confirmAmountLabel")),
      amountText_(new FormattedAmountEdit),
      numberLabel_(fieldLabel(tr("Number:"), "confirmNumberLabel")),
      numberText_(new QLineEdit),
      descriptionText_(valueLabel("confirmDescriptionText")),
      memoLabel_(fieldLabel(tr("Memo:"), "confirmMemoLabel")),
      memoText_(valueLabel("confirmMemoText")),
      descriptionPrompt_(makeWrappingLabel("matchDescriptionPrompt")),
      categoryPromptView_(new QWidget),
      categoryPrompt_(makeWrappingLabel("matchCategoryPrompt")),
      inputCategoryText_(valueLabel("confirmCategoryText")),
      instructionPopUp_(new QComboBox),
      swapButton_(new QPushButton(tr("Swap Description and Memo"))),
      confirmedDescription_(makeListComboBox("confirmedDescriptionText")),
      confirmedMemo_(new QLineEdit),
      categoryLabel_(fieldLabel(tr("Category:"))),
      confirmedCategory_(makeListComboBox("confirmedCategoryText")),
      splitsTable_(new SplitTableView(SplitTable::confirm, QStringLiteral("splitsTable"))),
      categoryWarning_(makeWarningLabel("confirmCategoryNewLabel")),
      addRemoveSplitsButton_(new QPushButton),
      splitRemainder_(valueLabel("splitRemainderText")),
      splitsDoNotAddUp_(makeWarningLabel("splitsDoNotAddUpLabel")) {
  dateStepper_->setObjectName(QStringLiteral("dateStepper"));
  amountText_->setObjectName(QStringLiteral("confirmAmountText"));
  amountText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  amountText_->setMaximumWidth(140);
  amountText_->setAccessibleName(tr("Amount"));
  numberText_->setAccessibleName(tr("Number"));
  instructionPopUp_->setAccessibleName(tr("Instructions"));
  confirmedDescription_->setAccessibleName(tr("Description"));
  confirmedMemo_->setAccessibleName(tr("Memo"));
  confirmedCategory_->setAccessibleName(tr("Category"));
  addRemoveSplitsButton_->setAccessibleName(tr("Add or remove splits"));
  numberText_->setObjectName(QStringLiteral("confirmNumberText"));
  numberText_->setMaximumWidth(100);
  instructionPopUp_->setObjectName(QStringLiteral("confirmInstructionPopUp"));
  instructionPopUp_->setModel(new QStandardItemModel(instructionPopUp_));
  instructionPopUp_->setFocusPolicy(Qt::TabFocus);
  instructionPopUp_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  instructionPopUp_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  swapButton_->setObjectName(QStringLiteral("swapButton"));
  confirmedMemo_->setObjectName(QStringLiteral("confirmedMemoText"));
  addRemoveSplitsButton_->setObjectName(QStringLiteral("addRemoveSplitsButton"));
  for (QPushButton* button : {swapButton_, addRemoveSplitsButton_}) {
    button->setAutoDefault(false);
    // Clicking a button leaves the keyboard focus where it is, so the field being edited
    // reports the end of its editing when the processor asks for it, not before the click.
    button->setFocusPolicy(Qt::TabFocus);
  }

  auto* transaction = new QGroupBox(tr("Transaction"));
  auto* grid = new QGridLayout(transaction);
  auto* date = new QWidget;
  auto* dateRow = new QHBoxLayout(date);
  dateRow->setContentsMargins(0, 0, 0, 0);
  dateRow->addWidget(dateText_);
  dateRow->addWidget(dateStepper_);
  dateRow->addStretch(1);
  layOutTransaction(grid, {date, amountLabel_, amountText_, descriptionText_, numberLabel_,
                           numberText_, memoLabel_, memoText_});

  auto* categoryPromptLayout = new QGridLayout(categoryPromptView_);
  categoryPromptLayout->setContentsMargins(0, 0, 0, 0);
  categoryPromptLayout->addWidget(categoryPrompt_, 0, 0, 1, 2);
  categoryPromptLayout->addWidget(fieldLabel(tr("Category:")), 1, 0);
  categoryPromptLayout->addWidget(inputCategoryText_, 1, 1);
  categoryPromptLayout->setColumnStretch(1, 1);

  auto* actions = new QHBoxLayout;
  actions->addWidget(instructionPopUp_);
  actions->addStretch(1);
  actions->addWidget(swapButton_);

  auto* outputs = new QGridLayout;
  outputs->addWidget(fieldLabel(tr("Description:")), 0, 0);
  outputs->addWidget(confirmedDescription_, 0, 1);
  outputs->addWidget(fieldLabel(tr("Memo:")), 1, 0);
  outputs->addWidget(confirmedMemo_, 1, 1);
  outputs->addWidget(categoryLabel_, 2, 0);
  outputs->addWidget(confirmedCategory_, 2, 1);
  outputs->addWidget(splitsTable_, 3, 0, 1, 2);
  outputs->addWidget(categoryWarning_, 4, 1);
  outputs->addWidget(splitRemainder_, 5, 1);
  outputs->addWidget(splitsDoNotAddUp_, 6, 1);
  outputs->setColumnStretch(1, 1);

  auto* splitsRow = new QHBoxLayout;
  splitsRow->addWidget(addRemoveSplitsButton_);
  splitsRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(transaction);
  layout->addWidget(descriptionPrompt_);
  layout->addWidget(categoryPromptView_);
  layout->addLayout(actions);
  layout->addLayout(outputs);
  layout->addLayout(splitsRow);
  layout->addStretch(1);

  splitsTable_->hide();
  categoryPromptView_->hide();
  instructionPopUp_->hide();
  confirmedDescription_->lineEdit()->installEventFilter(this);
}

ConfirmPane::~ConfirmPane() = default;

void ConfirmPane::attach(BankingCreditCardQIF& processor, ActOnProcessor act) {
  processor_ = &processor;
  act_ = act;
  bindListComboBox(confirmedDescription_, DialogField::confirmedDescription,
                   processor.descriptions(), act);
  bindListComboBox(confirmedCategory_, DialogField::confirmedCategory, processor.categories(), act);
  connect(confirmedDescription_, &CompletingComboBox::textDidChange, this,
          [this] { descriptionEdited_ = true; });
  auto forward = [act](DialogField field) {
    return [act, field](const QString& text) {
      act([field, text = utf8(text)](BankingCreditCardQIF& p) {
        p.controlTextDidChange(field, text);
      });
    };
  };
  connect(confirmedMemo_, &QLineEdit::textEdited, this, forward(DialogField::confirmedMemo));
  connect(amountText_, &QLineEdit::textEdited, this, forward(DialogField::confirmAmount));
  connect(numberText_, &QLineEdit::textEdited, this, forward(DialogField::confirmNumber));
  connect(dateStepper_, &DateStepper::stepped, this,
          [act](int days) { act([days](BankingCreditCardQIF& p) { p.stepDate(days); }); });
  connect(swapButton_, &QPushButton::clicked, this,
          [act] { act([](BankingCreditCardQIF& p) { p.swapDescriptionAndMemo(); }); });
  connect(addRemoveSplitsButton_, &QPushButton::clicked, this,
          [act] { act([](BankingCreditCardQIF& p) { p.addRemoveSplits(); }); });
  connect(instructionPopUp_, &QComboBox::activated, this, &ConfirmPane::instructionPopUpActivated);
  splitsTable_->attach(
      processor, act, [](BankingCreditCardQIF& p) { p.addSplit(); },
      [](BankingCreditCardQIF& p) { p.deleteSelectedSplit(); });
}

void ConfirmPane::showForm(const ConfirmForm& form, bool opening) {
  if (opening && processor_) {
    reloadEntries(confirmedDescription_, processor_->descriptions(), form.comboBoxVisibleItems);
    reloadEntries(confirmedCategory_, processor_->categories(), form.comboBoxVisibleItems);
    descriptionEdited_ = false;
    splitsTable_->discardEditing();
  }
  dateText_->setText(qs(form.dateText));
  dateStepper_->setVisible(form.dateStepperShown);
  amountText_->setAmount(form.amount.text, form.amountNumberFormat, form.amountDecimalSeparator);
  amountLabel_->setVisible(form.amount.shown);
  amountText_->setVisible(form.amount.shown);
  showText(numberLabel_, numberText_, form.number);
  descriptionText_->setText(qs(form.descriptionText));
  showText(memoLabel_, memoText_, form.memo);

  descriptionPrompt_->setVisible(!form.categoryPrompt);
  categoryPromptView_->setVisible(form.categoryPrompt);
  (form.categoryPrompt ? categoryPrompt_ : descriptionPrompt_)->setText(qs(form.prompt));
  inputCategoryText_->setText(qs(form.inputCategory));

  if (form.instructionPopUpMenuItems != popUpItems_) {
    popUpItems_ = form.instructionPopUpMenuItems;
    auto* items = static_cast<QStandardItemModel*>(instructionPopUp_->model());
    items->clear();
    for (const PopUpMenuItem& entry : popUpItems_) {
      auto* item = new QStandardItem(qs(entry.title));
      item->setEnabled(entry.enabled && (!processor_ || processor_->validateMenuItem(entry.title)));
      items->appendRow(item);
    }
  }
  instructionPopUp_->setCurrentIndex(0);
  instructionPopUp_->setVisible(form.instructionPopUpShown);

  setFieldText(confirmedDescription_, form.confirmedDescription);
  setFieldText(confirmedMemo_, form.confirmedMemo);
  setFieldText(confirmedCategory_, form.confirmedCategory);
  confirmedDescription_->setMaxVisibleItems(form.comboBoxVisibleItems);
  confirmedCategory_->setMaxVisibleItems(form.comboBoxVisibleItems);
  categoryLabel_->setVisible(!form.splitsShown);
  confirmedCategory_->setVisible(!form.splitsShown);
  splitsTable_->setVisible(form.splitsShown);
  splitsTable_->showForm(form.splits);
  showOptionalText(categoryWarning_, form.categoryWarning);
  splitRemainder_->setText(qs(form.splitRemainder.text));
  splitRemainder_->setVisible(form.splitRemainder.shown);
  showOptionalText(splitsDoNotAddUp_, form.splitsDoNotAddUp);
  addRemoveSplitsButton_->setVisible(form.addRemoveSplitsShown);
  addRemoveSplitsButton_->setText(qs(form.addRemoveSplitsTitle));

  if (form.focus) {
    if (QWidget* field = fieldWidget(form.focus->field)) focusField(field, form.focus->selectAll);
  } else if (opening && !form.splits.editRow) {
    // The keyboard loop starts at the description the transaction is output with.
    focusField(confirmedDescription_, true);
  }
}

void ConfirmPane::endEditing() {
  splitsTable_->commitEditing();
  if (descriptionEdited_ && processor_) {
    descriptionEdited_ = false;
    processor_->confirmDescriptionTextChanged();
  }
}

QWidget* ConfirmPane::fieldWidget(DialogField field) const {
  switch (field) {
    case DialogField::confirmedDescription:
      return confirmedDescription_;
    case DialogField::confirmedMemo:
      return confirmedMemo_;
    case DialogField::confirmedCategory:
      return confirmedCategory_;
    case DialogField::confirmAmount:
      return amountText_;
    case DialogField::confirmNumber:
      return numberText_;
    default:
      return nullptr;
  }
}

void ConfirmPane::instructionPopUpActivated(int index) {
  const std::string title = utf8(instructionPopUp_->itemText(index));
  instructionPopUp_->setCurrentIndex(0);
  if (title == kAddNewInstructionForThisTransaction) {
    act_([](BankingCreditCardQIF& p) { p.confirmAddInstruction(); });
  } else if (title == kAddNewInstructionForThisAmount) {
    act_([](BankingCreditCardQIF& p) { p.confirmAddInstructionForAmount(); });
  } else if (title == kEditThisInstruction) {
    act_([](BankingCreditCardQIF& p) { p.confirmEditInstruction(); });
  }
}

void ConfirmPane::descriptionEditingEnded() {
  if (!descriptionEdited_ || !act_) return;
  descriptionEdited_ = false;
  act_([](BankingCreditCardQIF& p) { p.confirmDescriptionTextChanged(); });
}

bool ConfirmPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == confirmedDescription_->lineEdit() && event->type() == QEvent::FocusOut) {
    // Opening the field's own pop-up or switching windows does not end the editing.
    Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && isVisible())
      descriptionEditingEnded();
  }
  return QWidget::eventFilter(watched, event);
}

bool ConfirmPane::focusNextPrevChild(bool next) {
  std::vector<QWidget*> loop = {confirmedDescription_, confirmedMemo_};
  if (confirmedCategory_->isVisible()) loop.push_back(confirmedCategory_);
  QWidget* focused = QApplication::focusWidget();
  for (std::size_t i = 0; i < loop.size(); ++i) {
    if (focused != loop[i] && !loop[i]->isAncestorOf(focused)) continue;
    std::size_t to = next ? (i + 1) % loop.size() : (i + loop.size() - 1) % loop.size();
    loop[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    if (auto* box = qobject_cast<QComboBox*>(loop[to])) box->lineEdit()->selectAll();
    if (auto* line = qobject_cast<QLineEdit*>(loop[to])) line->selectAll();
    return true;
  }
  return QWidget::focusNextPrevChild(next);
}

}  // namespace corvela::ui
