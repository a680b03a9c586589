#include "ui/NewInstructionPane.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "banking/BankingCreditCardQIF.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "ui/CompletingComboBox.h"
#include "ui/FormattedAmountEdit.h"
#include "ui/QtText.h"
#include "ui/SplitTableView.h"

namespace corvela::ui {
namespace {

QCheckBox* makeSwitch(const QString& text, const char* objectName) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(objectName));
  return box;
}

QLineEdit* makeLineEdit(const char* objectName) {
  auto* field = new QLineEdit;
  field->setObjectName(QLatin1String(objectName));
  return field;
}

void setSwitch(QCheckBox* box, bool on) {
  if (box->isChecked() != on) box->setChecked(on);
}

}  // namespace

NewInstructionPane::NewInstructionPane(QWidget* parent)
    : QWidget(parent),
      dateText_(valueLabel("dateText")),
      descriptionText_(valueLabel("descriptionText")),
      numberLabel_(fieldLabel(tr("Number:"), "numberLabel")),
      numberText_(valueLabel("numberText")),
      memoLabel_(fieldLabel(tr("Memo:"), "memoLabel")),
      memoText_(valueLabel("memoText")),
      amountLabel_(fieldLabel(tr("Amount:"), "amountLabel")),
      amountText_(valueLabel("amountText")),
      matchArea_(new QStackedWidget),
      descriptionMatchView_(new QWidget),
      prompt_(makeWrappingLabel("newInstructionPrompt")),
      matchLabel_(valueLabel("matchLabel")),
      descriptionMatchText_(makeLineEdit("descriptionMatchText")),
      matchHelp_(makeWrappingLabel("matchDescriptionHelp")),
      notContainedLabel_(makeWarningLabel("notContainedLabel")),
      categoryMatchView_(new QWidget),
      matchCategoryText_(valueLabel("matchCategoryText")),
      tabs_(new QTabWidget),
      useDescriptionSwitch_(makeSwitch(tr("Change the description to:"), "useDescriptionSwitch")),
      newDescriptionText_(makeListComboBox("newDescriptionText")),
      useMemoSwitch_(makeSwitch(tr("Change the memo to:"), "useMemoSwitch")),
      newMemoText_(makeLineEdit("newMemoText")),
      instructionNonSplitsView_(new QWidget),
      categoryText_(makeListComboBox("categoryText")),
      categoryNewLabel_(makeWarningLabel("categoryNewLabel")),
      instructionSplitsTable_(
          new SplitTableView(SplitTable::instruction, QStringLiteral("instructionSplitsTable"))),
      categoryConfirmSwitch_(makeSwitch(tr("Confirm transactions that match this instruction"),
                                        "categoryConfirmSwitch")),
      extractNumberSwitch_(
          makeSwitch(tr("Take the check number from the description"), "extractNumberSwitch")),
      amountSwitch_(makeSwitch(tr("Add an instruction for this amount"), "amountSwitch")),
      amountSwitchFixed_(new QLabel(tr("An instruction for this amount:"))),
      amountFields_(new QWidget),
      amountDescriptionText_(makeListComboBox("amountDescriptionText")),
      amountInstructionNonSplitsView_(new QWidget),
      amountCategoryText_(makeListComboBox("amountCategoryText")),
      amountCategoryNewLabel_(makeWarningLabel("amountCategoryNewLabel")),
      amountSplitsTable_(new SplitTableView(SplitTable::amountInstruction,
                                            QStringLiteral("amountInstructionSplitsTable"))),
      amountConfirmSwitch_(
          makeSwitch(tr("Confirm transactions of this amount"), "amountConfirmSwitch")),
      amountUseMemoSwitch_(makeSwitch(tr("Change the memo to:"), "amountUseMemoSwitch")),
      amountMemoText_(makeLineEdit("amountMemoText")),
      addRemoveSplitsButton_(new QPushButton) {
  amountSwitchFixed_->setObjectName(QStringLiteral("amountSwitchFixed"));
  addRemoveSplitsButton_->setObjectName(QStringLiteral("instructionAddRemoveSplitsButton"));
  addRemoveSplitsButton_->setAccessibleName(tr("Add or remove splits"));
  addRemoveSplitsButton_->setAutoDefault(false);
  addRemoveSplitsButton_->setFocusPolicy(Qt::TabFocus);
  matchArea_->setObjectName(QStringLiteral("matchArea"));
  tabs_->setObjectName(QStringLiteral("instructionTabView"));

  auto* transaction = new QGroupBox(tr("Transaction"));
  auto* grid = new QGridLayout(transaction);
  layOutTransaction(grid, {dateText_, amountLabel_, amountText_, descriptionText_, numberLabel_,
                           numberText_, memoLabel_, memoText_});
  amountText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto* descriptionMatch = new QVBoxLayout(descriptionMatchView_);
  descriptionMatch->setContentsMargins(0, 0, 0, 0);
  descriptionMatch->addWidget(prompt_);
  descriptionMatch->addWidget(matchLabel_);
  descriptionMatch->addWidget(descriptionMatchText_);
  descriptionMatch->addWidget(matchHelp_);
  descriptionMatch->addWidget(notContainedLabel_);
  notContainedLabel_->setText(tr("The description above does not contain this text."));
  // The longest texts the view shows from the start, so the window is sized for this view
  // too while it shows the other one, and keeps its size when the view changes.
  prompt_->setText(qs(BankingCreditCardQIF::kNoInstructionPrompt));
  matchLabel_->setText(qs(kStartsWithMatchLabel));
  matchHelp_->setText(qs(kContainsMatchHelp));
  auto* categoryMatch = new QHBoxLayout(categoryMatchView_);
  categoryMatch->setContentsMargins(0, 0, 0, 0);
  categoryMatch->addWidget(new QLabel(tr("When the category is:")));
  categoryMatch->addWidget(matchCategoryText_, 1);
  matchArea_->addWidget(descriptionMatchView_);
  matchArea_->addWidget(categoryMatchView_);

  tabs_->addTab(buildInstructionTab(), tr("Instruction"));
  tabs_->addTab(buildAmountTab(), tr("Amount"));
  tabs_->tabBar()->setAccessibleName(tr("Instruction or amount instruction"));
  // The fields beside switches and captions that are not their buddies get names of their own.
  const std::pair<QWidget*, QString> names[] = {
      {descriptionMatchText_, tr("Match text")},
      {newDescriptionText_, tr("New description")},
      {newMemoText_, tr("New memo")},
      {categoryText_, tr("Category")},
      {amountDescriptionText_, tr("Description for this amount")},
      {amountCategoryText_, tr("Category for this amount")},
      {amountMemoText_, tr("Memo for this amount")},
  };
  for (const auto& [widget, name] : names) widget->setAccessibleName(name);

  auto* splitsRow = new QHBoxLayout;
  splitsRow->addWidget(addRemoveSplitsButton_);
  splitsRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(transaction);
  layout->addWidget(matchArea_);
  layout->addWidget(tabs_, 1);
  layout->addLayout(splitsRow);
}

QWidget* NewInstructionPane::buildInstructionTab() {
  auto* tab = new QWidget;
  auto* plain = new QHBoxLayout(instructionNonSplitsView_);
  plain->setContentsMargins(0, 0, 0, 0);
  plain->addWidget(fieldLabel(tr("Category:")));
  plain->addWidget(categoryText_, 1);

  auto* grid = new QGridLayout;
  grid->addWidget(useDescriptionSwitch_, 0, 0);
  grid->addWidget(newDescriptionText_, 0, 1);
  grid->addWidget(useMemoSwitch_, 1, 0);
  grid->addWidget(newMemoText_, 1, 1);
  grid->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(tab);
  layout->addLayout(grid);
  layout->addWidget(instructionNonSplitsView_);
  layout->addWidget(instructionSplitsTable_, 1);
  layout->addWidget(categoryNewLabel_);
  layout->addWidget(categoryConfirmSwitch_);
  layout->addWidget(extractNumberSwitch_);
  layout->addStretch(0);
  instructionSplitsTable_->hide();
  newDescriptionText_->hide();
  newMemoText_->hide();
  return tab;
}

QWidget* NewInstructionPane::buildAmountTab() {
  auto* tab = new QWidget;
  auto* plain = new QHBoxLayout(amountInstructionNonSplitsView_);
  plain->setContentsMargins(0, 0, 0, 0);
  plain->addWidget(fieldLabel(tr("Category:")));
  plain->addWidget(amountCategoryText_, 1);

  auto* description = new QHBoxLayout;
  description->addWidget(fieldLabel(tr("Description:")));
  description->addWidget(amountDescriptionText_, 1);
  auto* memo = new QHBoxLayout;
  memo->addWidget(amountUseMemoSwitch_);
  memo->addWidget(amountMemoText_, 1);

  auto* fields = new QVBoxLayout(amountFields_);
  fields->setContentsMargins(0, 0, 0, 0);
  fields->addLayout(description);
  fields->addLayout(memo);
  fields->addWidget(amountInstructionNonSplitsView_);
  fields->addWidget(amountSplitsTable_, 1);
  fields->addWidget(amountCategoryNewLabel_);
  fields->addWidget(amountConfirmSwitch_);

  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(amountSwitch_);
  layout->addWidget(amountSwitchFixed_);
  layout->addWidget(amountFields_, 1);
  layout->addStretch(0);
  amountSwitchFixed_->hide();
  amountSplitsTable_->hide();
  amountMemoText_->hide();
  return tab;
}

NewInstructionPane::~NewInstructionPane() = default;

void NewInstructionPane::attach(BankingCreditCardQIF& processor, ActOnProcessor act) {
  processor_ = &processor;
  act_ = act;
  bindListComboBox(newDescriptionText_, DialogField::newDescription, processor.descriptions(), act);
  bindListComboBox(categoryText_, DialogField::category, processor.categories(), act);
  bindListComboBox(amountDescriptionText_, DialogField::amountDescription, processor.descriptions(),
                   act);
  bindListComboBox(amountCategoryText_, DialogField::amountCategory, processor.categories(), act);

  BankingCreditCardQIF* p = &processor;
  descriptionMatchText_->setValidator(new RuleValidator(
      [p](std::string_view proposed) { return p->descriptionMatchAccepts(proposed); },
      descriptionMatchText_));
  auto forward = [act](DialogField field) {
    return [act, field](const QString& text) {
      act([field, text = utf8(text)](BankingCreditCardQIF& q) {
        q.controlTextDidChange(field, text);
      });
    };
  };
  connect(descriptionMatchText_, &QLineEdit::textEdited, this,
          forward(DialogField::descriptionMatch));
  connect(newMemoText_, &QLineEdit::textEdited, this, forward(DialogField::newMemo));
  connect(amountMemoText_, &QLineEdit::textEdited, this, forward(DialogField::amountMemo));

  using Switch = void (BankingCreditCardQIF::*)(bool);
  auto bindSwitch = [this, act](QCheckBox* box, Switch action) {
    connect(box, &QCheckBox::clicked, this, [act, action](bool on) {
      act([action, on](BankingCreditCardQIF& q) { (q.*action)(on); });
    });
  };
  bindSwitch(useDescriptionSwitch_, &BankingCreditCardQIF::useDescription);
  bindSwitch(useMemoSwitch_, &BankingCreditCardQIF::useMemo);
  bindSwitch(amountUseMemoSwitch_, &BankingCreditCardQIF::amountUseMemo);
  bindSwitch(extractNumberSwitch_, &BankingCreditCardQIF::extractNumberSwitch);
  bindSwitch(amountSwitch_, &BankingCreditCardQIF::amountSwitch);
  bindSwitch(categoryConfirmSwitch_, &BankingCreditCardQIF::categoryConfirmSwitch);
  bindSwitch(amountConfirmSwitch_, &BankingCreditCardQIF::amountConfirmSwitch);

  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (applying_) return;
    InstructionTab tab = index == 1 ? InstructionTab::amount : InstructionTab::instruction;
    act_([tab](BankingCreditCardQIF& q) { q.tabViewDidSelectTabViewItem(tab); });
  });
  connect(addRemoveSplitsButton_, &QPushButton::clicked, this,
          [act] { act([](BankingCreditCardQIF& q) { q.instructionAddRemoveSplits(); }); });
  instructionSplitsTable_->attach(
      processor, act, [](BankingCreditCardQIF& q) { q.instructionAddSplit(); },
      [](BankingCreditCardQIF& q) { q.instructionDeleteSelectedSplit(); });
  amountSplitsTable_->attach(
      processor, act, [](BankingCreditCardQIF& q) { q.amountInstructionAddSplit(); },
      [](BankingCreditCardQIF& q) { q.amountInstructionDeleteSelectedSplit(); });
}

void NewInstructionPane::showForm(const NewInstructionForm& form, bool opening) {
  applying_ = true;
  if (opening && processor_) {
    for (CompletingComboBox* box : {newDescriptionText_, amountDescriptionText_})
      reloadEntries(box, processor_->descriptions(), form.comboBoxVisibleItems);
    for (CompletingComboBox* box : {categoryText_, amountCategoryText_})
      reloadEntries(box, processor_->categories(), form.comboBoxVisibleItems);
    instructionSplitsTable_->discardEditing();
    amountSplitsTable_->discardEditing();
  }
  dateText_->setText(qs(form.dateText));
  descriptionText_->setText(qs(form.descriptionText));
  showText(numberLabel_, numberText_, form.number);
  showText(memoLabel_, memoText_, form.memo);
  showText(amountLabel_, amountText_, form.amount);
  amountText_->setText(
      qs(formattedAmount(form.amount.text, form.amountNumberFormat, form.amountDecimalSeparator)));

  matchArea_->setCurrentWidget(form.categoryForm ? categoryMatchView_ : descriptionMatchView_);
  matchCategoryText_->setText(qs(form.matchCategoryText));
  prompt_->setText(qs(form.prompt));
  matchLabel_->setText(qs(form.matchLabel));
  matchHelp_->setText(qs(form.matchHelp));
  setFieldText(descriptionMatchText_, form.descriptionMatchText);
  notContainedLabel_->setVisible(form.notContainedWarningShown);

  tabs_->setCurrentIndex(form.selectedTab == InstructionTab::amount ? 1 : 0);

  setSwitch(useDescriptionSwitch_, form.useDescription);
  newDescriptionText_->setVisible(form.newDescriptionShown);
  setFieldText(newDescriptionText_, form.newDescription);
  setSwitch(useMemoSwitch_, form.useMemo);
  newMemoText_->setVisible(form.newMemoShown);
  setFieldText(newMemoText_, form.newMemo);
  instructionNonSplitsView_->setVisible(!form.instructionSplitsShown);
  setFieldText(categoryText_, form.category);
  showOptionalText(categoryNewLabel_, form.categoryWarning);
  instructionSplitsTable_->setVisible(form.instructionSplitsShown);
  instructionSplitsTable_->showForm(form.instructionSplits);
  setSwitch(categoryConfirmSwitch_, form.categoryConfirm);
  setSwitch(extractNumberSwitch_, form.extractNumber);

  setSwitch(amountSwitch_, form.amountSwitch);
  amountSwitch_->setVisible(!form.amountSwitchFixed);
  amountSwitch_->setEnabled(form.amountSwitchEnabled);
  amountSwitchFixed_->setVisible(form.amountSwitchFixed);
  amountFields_->setEnabled(form.amountFieldsEnabled);
  setFieldText(amountDescriptionText_, form.amountDescription);
  amountInstructionNonSplitsView_->setVisible(!form.amountSplitsShown);
  setFieldText(amountCategoryText_, form.amountCategory);
  showOptionalText(amountCategoryNewLabel_, form.amountCategoryWarning);
  amountSplitsTable_->setVisible(form.amountSplitsShown);
  amountSplitsTable_->showForm(form.amountSplits);
  setSwitch(amountConfirmSwitch_, form.amountConfirm);
  amountConfirmSwitch_->setShortcut(
      form.amountConfirmKeyEquivalent.empty()
          ? QKeySequence()
          : QKeySequence(QStringLiteral("Ctrl+") + qs(form.amountConfirmKeyEquivalent)));
  setSwitch(amountUseMemoSwitch_, form.amountUseMemo);
  amountMemoText_->setVisible(form.amountMemoShown);
  setFieldText(amountMemoText_, form.amountMemo);
  for (CompletingComboBox* box :
       {newDescriptionText_, categoryText_, amountDescriptionText_, amountCategoryText_})
    box->setMaxVisibleItems(form.comboBoxVisibleItems);

  addRemoveSplitsButton_->setText(qs(form.addRemoveSplitsTitle));
  if (form.focus) {
    if (QWidget* field = fieldWidget(form.focus->field)) focusField(field, form.focus->selectAll);
  }
  applying_ = false;
}

void NewInstructionPane::endEditing() {
  instructionSplitsTable_->commitEditing();
  amountSplitsTable_->commitEditing();
}

QWidget* NewInstructionPane::fieldWidget(DialogField field) const {
  switch (field) {
    case DialogField::descriptionMatch:
      return descriptionMatchText_;
    case DialogField::newDescription:
      return newDescriptionText_;
    case DialogField::newMemo:
      return newMemoText_;
    case DialogField::category:
      return categoryText_;
    case DialogField::amountDescription:
      return amountDescriptionText_;
    case DialogField::amountCategory:
      return amountCategoryText_;
    case DialogField::amountMemo:
      return amountMemoText_;
    default:
      return nullptr;
  }
}

}  // namespace corvela::ui
