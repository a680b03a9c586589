#include "ui/InvestmentConfirmWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "banking/ConfirmView.h"
#include "investment/InvestmentQIF.h"
#include "ui/CompletingComboBox.h"
#include "ui/DialogWidgets.h"
#include "ui/InstructionSplitTable.h"
#include "ui/InvestmentEditSheet.h"
#include "ui/QtText.h"

namespace corvela::ui {
namespace {

// A row of a page: a caption and the widget it names (its buddy, for screen readers).
QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field) {
  auto* label = new QLabel(caption);
  label->setBuddy(field);
  form->addRow(label, field);
  return label;
}

QLineEdit* lineEdit(const char* objectName, const QString& accessibleName) {
  auto* field = new QLineEdit;
  field->setObjectName(QLatin1String(objectName));
  field->setAccessibleName(accessibleName);
  return field;
}

QPushButton* button(const QString& title, const char* objectName) {
  auto* b = new QPushButton(title);
  b->setObjectName(QLatin1String(objectName));
  b->setAutoDefault(false);
  return b;
}

// Shows a caption and its value, or hides both.
void showRow(QLabel* caption, QLabel* value, bool shown, const std::string& text) {
  caption->setVisible(shown);
  value->setVisible(shown);
  value->setText(qs(text));
}

void setText(QLineEdit* field, const std::string& text) {
  if (field->text() != qs(text)) field->setText(qs(text));
}

}  // namespace

InvestmentConfirmWindow::InvestmentConfirmWindow(QWidget* parent)
    : QDialog(parent), pages_(new QStackedWidget), editSheet_(new InvestmentEditSheet(this)) {
  setObjectName(QStringLiteral("investmentConfirmWindow"));
  setWindowTitle(qs(InvestmentQIF::kConfirmTitle));
  setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  transactionPage_ = makeTransactionPage();
  typePage_ = makeTypePage();
  securityPage_ = makeSecurityPage();
  missingPage_ = makeMissingPage();
  noAmountPage_ = makeNoAmountPage();
  alwaysSkipPage_ = makeAlwaysSkipPage();
  for (QWidget* page :
       {transactionPage_, typePage_, securityPage_, missingPage_, noAmountPage_, alwaysSkipPage_})
    pages_->addWidget(page);
  makeButtons();
  auto* cancelKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period), this);
  connect(cancelKey, &QShortcut::activated, this, &InvestmentConfirmWindow::reject);
}

InvestmentConfirmWindow::~InvestmentConfirmWindow() = default;

void InvestmentConfirmWindow::attach(InvestmentQIF* processor) {
  processor_ = processor;
  editSheet_->attach(processor);
}

QWidget* InvestmentConfirmWindow::makeTransactionPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("investmentTransactionView"));
  auto* form = new QFormLayout(page);
  dateText_ = valueLabel("investmentDateText");
  dateStepper_ = new DateStepper;
  dateStepper_->setObjectName(QStringLiteral("investmentDateStepper"));
  auto* date = new QWidget;
  auto* dateRow = new QHBoxLayout(date);
  dateRow->setContentsMargins(0, 0, 0, 0);
  dateRow->addWidget(dateText_);
  dateRow->addWidget(dateStepper_);
  dateRow->addStretch(1);
  form->addRow(new QLabel(tr("Date:")), date);
  typeText_ = valueLabel("investmentTypeText");
  form->addRow(new QLabel(tr("Type:")), typeText_);
  securityText_ = valueLabel("investmentSecurityText");
  securityLabel_ = new QLabel(tr("Security:"));
  form->addRow(securityLabel_, securityText_);
  amountText_ = valueLabel("investmentAmountText");
  form->addRow(new QLabel(tr("Amount:")), amountText_);
  priceText_ = valueLabel("investmentPriceText");
  priceLabel_ = new QLabel(tr("Price:"));
  form->addRow(priceLabel_, priceText_);
  sharesText_ = valueLabel("investmentSharesText");
  sharesLabel_ = new QLabel(tr("Shares:"));
  form->addRow(sharesLabel_, sharesText_);
  feesText_ = valueLabel("investmentFeesText");
  feesLabel_ = new QLabel(tr("Fees:"));
  form->addRow(feesLabel_, feesText_);
  adjustShares_ = new QCheckBox(tr("Shares are in hundredths"));
  adjustShares_->setObjectName(QStringLiteral("adjustSharesSwitch"));
  form->addRow(QString(), adjustShares_);
  descriptionField_ = lineEdit("investmentDescriptionField", tr("Description"));
  descriptionLabel_ = addRow(form, tr("Description:"), descriptionField_);
  memoField_ = lineEdit("investmentMemoField", tr("Memo"));
  addRow(form, tr("Memo:"), memoField_);
  categoryField_ = lineEdit("investmentCategoryField", tr("Category"));
  categoryLabel_ = addRow(form, tr("Category:"), categoryField_);
  numberField_ = lineEdit("investmentNumberField", tr("Number"));
  numberLabel_ = addRow(form, tr("Number:"), numberField_);
  splitTable_ = new InstructionSplitTable(QStringLiteral("splitsTable"));
  splitsLabel_ = new QLabel(tr("Splits:"));
  form->addRow(splitsLabel_, splitTable_);
  addRemoveSplitsButton_ = button(tr("Add Splits"), "addRemoveSplitsButton");
  instructionButton_ = button(qs(kInstructionPopUpTitle), "instructionPopUp");
  auto* instructionMenu = new QMenu(instructionButton_);
  for (std::string_view title : {kEditThisInstruction, kAddNewInstructionForThisAmount}) {
    QAction* item = instructionMenu->addAction(qs(title));
    item->setObjectName(qs(title));
    connect(item, &QAction::triggered, this, [this, title] {
      act([title](InvestmentQIF& p) {
        if (title == kEditThisInstruction)
          p.editInstructionButton();
        else
          p.addInstructionForAmountButton();
      });
    });
  }
  connect(instructionMenu, &QMenu::aboutToShow, this, [this, instructionMenu] {
    for (QAction* item : instructionMenu->actions())
      item->setEnabled(processor_ && processor_->validateMenuItem(utf8(item->text())));
  });
  instructionButton_->setMenu(instructionMenu);
  cashButtonsRow_ = new QWidget;
  auto* cashButtons = new QHBoxLayout(cashButtonsRow_);
  cashButtons->setContentsMargins(0, 0, 0, 0);
  cashButtons->addWidget(addRemoveSplitsButton_);
  cashButtons->addWidget(instructionButton_);
  cashButtons->addStretch(1);
  form->addRow(QString(), cashButtonsRow_);
  connect(addRemoveSplitsButton_, &QPushButton::clicked, this, [this] {
    splitTable_->commitEditing();
    act([](InvestmentQIF& p) { p.addRemoveSplits(); });
  });
  splitTable_->setCallbacks(InstructionSplitTable::Callbacks{
      .cellEdited =
          [this](std::string_view column, std::size_t row, std::string text) {
            act([&](InvestmentQIF& p) { p.splitChanged(row, column, std::move(text)); });
          },
      .selectionChanged =
          [this](std::vector<std::size_t> rows) {
            act([&](InvestmentQIF& p) { p.splitSelectionChanged(std::move(rows)); });
            if (processor_)
              splitTable_->deleteButton()->setEnabled(
                  processor_->transactionForm().deleteSplitEnabled);
          },
      .addSplit = [this] { act([](InvestmentQIF& p) { p.addSplit(); }); },
      .deleteSelected = [this] { act([](InvestmentQIF& p) { p.deleteSelectedSplit(); }); },
  });

  connect(dateStepper_, &DateStepper::stepped, this,
          [this](int days) { act([days](InvestmentQIF& p) { p.stepDate(days); }); });
  connect(adjustShares_, &QCheckBox::clicked, this,
          [this](bool on) { act([on](InvestmentQIF& p) { p.adjustShares(on); }); });
  auto forward = [this](QLineEdit* field, void (InvestmentQIF::*changed)(std::string)) {
    connect(field, &QLineEdit::textEdited, this, [this, changed](const QString& text) {
      act([changed, text = utf8(text)](InvestmentQIF& p) { (p.*changed)(text); });
    });
  };
  forward(memoField_, &InvestmentQIF::memoChanged);
  forward(descriptionField_, &InvestmentQIF::descriptionChanged);
  forward(categoryField_, &InvestmentQIF::categoryChanged);
  forward(numberField_, &InvestmentQIF::numberChanged);
  return page;
}

QWidget* InvestmentConfirmWindow::makeTypePage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("typeDefinitionView"));
  auto* layout = new QVBoxLayout(page);
  auto* prompt = makeWrappingLabel("typeDefinitionPrompt");
  prompt->setText(
      tr("Corvela does not know this transaction type yet. Choose what it means; Define Type "
         "remembers the choice for this word from now on, Use Type Once applies it to this "
         "transaction only."));
  layout->addWidget(prompt);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  typeWordField_ = lineEdit("typeWordField", tr("Transaction type word"));
  addRow(form, tr("Type word:"), typeWordField_);
  typeDateText_ = valueLabel("typeDateText");
  form->addRow(new QLabel(tr("Date:")), typeDateText_);
  typeSecurityText_ = valueLabel("typeSecurityText");
  form->addRow(new QLabel(tr("Security:")), typeSecurityText_);
  typeAmountText_ = valueLabel("typeAmountText");
  form->addRow(new QLabel(tr("Amount:")), typeAmountText_);
  typePriceText_ = valueLabel("typePriceText");
  form->addRow(new QLabel(tr("Price:")), typePriceText_);
  typeSharesText_ = valueLabel("typeSharesText");
  form->addRow(new QLabel(tr("Shares:")), typeSharesText_);
  typeChoice_ = new QComboBox;
  typeChoice_->setObjectName(QStringLiteral("quickenTypeChoice"));
  typeChoice_->setAccessibleName(tr("Transaction type"));
  typeChoice_->setModel(new QStandardItemModel(typeChoice_));
  addRow(form, tr("Means:"), typeChoice_);
  assumeDollar_ = new QCheckBox(tr("Assume a price of 1 (amount equals shares)"));
  assumeDollar_->setObjectName(QStringLiteral("assumeDollarSwitch"));
  form->addRow(QString(), assumeDollar_);
  assumeSecurity_ = new QCheckBox(tr("Always use this security for this type"));
  assumeSecurity_->setObjectName(QStringLiteral("assumeSecuritySwitch"));
  form->addRow(QString(), assumeSecurity_);
  assumedSecurityField_ = lineEdit("assumedSecurityField", tr("Assumed security"));
  form->addRow(QString(), assumedSecurityField_);
  layout->addStretch(1);

  connect(typeChoice_, &QComboBox::activated, this, [this](int item) {
    act([item](InvestmentQIF& p) { p.quickenTypeChosen(item); });
    refreshEnabled();
  });
  connect(typeWordField_, &QLineEdit::textEdited, this, [this](const QString& text) {
    act([text = utf8(text)](InvestmentQIF& p) { p.typeWordChanged(text); });
  });
  connect(assumeDollar_, &QCheckBox::clicked, this,
          [this](bool on) { act([on](InvestmentQIF& p) { p.assumeDollar(on); }); });
  connect(assumeSecurity_, &QCheckBox::clicked, this,
          [this](bool on) { act([on](InvestmentQIF& p) { p.assumeSecurity(on); }); });
  connect(assumedSecurityField_, &QLineEdit::textEdited, this, [this](const QString& text) {
    act([text = utf8(text)](InvestmentQIF& p) { p.assumedSecurityChanged(text); });
    refreshEnabled();
  });
  return page;
}

QWidget* InvestmentConfirmWindow::makeSecurityPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("securityDefinitionView"));
  auto* layout = new QVBoxLayout(page);
  auto* prompt = makeWrappingLabel("securityDefinitionPrompt");
  prompt->setText(
      tr("Corvela does not know the security of this transaction. Name the security "
         "your finance software knows it by."));
  layout->addWidget(prompt);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  securityStatementText_ = valueLabel("securityStatementText");
  form->addRow(new QLabel(tr("Statement's security:")), securityStatementText_);
  securityTypeText_ = valueLabel("securityTypeText");
  form->addRow(new QLabel(tr("Type:")), securityTypeText_);
  securityDateText_ = valueLabel("securityDateText");
  form->addRow(new QLabel(tr("Date:")), securityDateText_);
  securityAmountText_ = valueLabel("securityAmountText");
  form->addRow(new QLabel(tr("Amount:")), securityAmountText_);
  quickenSecurityField_ = new CompletingComboBox;
  quickenSecurityField_->setObjectName(QStringLiteral("quickenSecurityField"));
  quickenSecurityField_->setAccessibleName(tr("Security"));
  quickenSecurityField_->setCompletion(CompletingComboBox::Completion::anyText);
  addRow(form, tr("Security:"), quickenSecurityField_);
  layout->addStretch(1);
  connect(quickenSecurityField_, &CompletingComboBox::textDidChange, this,
          [this](const QString& text) {
            act([text = utf8(text)](InvestmentQIF& p) { p.quickenSecurityChanged(text); });
            refreshEnabled();
          });
  return page;
}

QWidget* InvestmentConfirmWindow::makeMissingPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("missingFieldView"));
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  missingDateText_ = valueLabel("missingDateText");
  form->addRow(new QLabel(tr("Date:")), missingDateText_);
  missingTypeText_ = valueLabel("missingTypeText");
  form->addRow(new QLabel(tr("Type:")), missingTypeText_);
  missingSecurityText_ = valueLabel("missingSecurityText");
  form->addRow(new QLabel(tr("Security:")), missingSecurityText_);
  missingAmountText_ = valueLabel("missingAmountText");
  form->addRow(new QLabel(tr("Amount:")), missingAmountText_);
  missingExplanation_ = makeWrappingLabel("missingFieldExplanation");
  layout->addWidget(missingExplanation_);
  layout->addStretch(1);
  return page;
}

QWidget* InvestmentConfirmWindow::makeNoAmountPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("noAmountOrSharesView"));
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  noAmountDateText_ = valueLabel("noAmountDateText");
  form->addRow(new QLabel(tr("Date:")), noAmountDateText_);
  noAmountTypeText_ = valueLabel("noAmountTypeText");
  form->addRow(new QLabel(tr("Type:")), noAmountTypeText_);
  noAmountSecurityText_ = valueLabel("noAmountSecurityText");
  form->addRow(new QLabel(tr("Security:")), noAmountSecurityText_);
  auto* explanation = makeWrappingLabel("noAmountOrSharesExplanation");
  explanation->setText(
      tr("The transaction shown above has neither an amount nor shares, so it "
         "must be skipped unless you edit the input to provide them."));
  layout->addWidget(explanation);
  layout->addStretch(1);
  return page;
}

QWidget* InvestmentConfirmWindow::makeAlwaysSkipPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("alwaysSkipView"));
  auto* layout = new QVBoxLayout(page);
  auto* prompt = makeWrappingLabel("alwaysSkipPrompt");
  prompt->setText(
      tr("Transactions of this type will be skipped from now on. The type word can "
         "be shortened to the part that all such transactions share."));
  layout->addWidget(prompt);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  alwaysSkipWordField_ = lineEdit("alwaysSkipWordField", tr("Type word to skip"));
  addRow(form, tr("Type word:"), alwaysSkipWordField_);
  layout->addStretch(1);
  connect(alwaysSkipWordField_, &QLineEdit::textEdited, this, [this](const QString& text) {
    act([text = utf8(text)](InvestmentQIF& p) { p.alwaysSkipWordChanged(text); });
  });
  return page;
}

void InvestmentConfirmWindow::makeButtons() {
  backButton_ = button(tr("Back"), "backButton");
  editInputButton_ = button(tr("Edit Input…"), "editInputButton");
  alwaysSkipButton_ = button(tr("Always Skip…"), "alwaysSkipButton");
  redefineTypeButton_ = button(tr("Redefine Type"), "redefineTypeButton");
  redefineSecurityButton_ = button(tr("Redefine Security"), "redefineSecurityButton");
  useTypeButton_ = button(tr("Use Type Once"), "useTypeButton");
  dontAlwaysSkipButton_ = button(tr("Don't Always Skip"), "dontAlwaysSkipButton");
  skipTransactionButton_ = button(tr("Skip Transaction"), "skipTransactionButton");
  skipRemainingButton_ = button(tr("Skip Remaining"), "skipRemainingButton");
  cancelButton_ = button(tr("Cancel"), "cancelButton");
  okButton_ = button(tr("OK"), "okButton");

  auto* tools = new QHBoxLayout;
  for (QPushButton* b : {backButton_, editInputButton_, alwaysSkipButton_, redefineTypeButton_,
                         redefineSecurityButton_})
    tools->addWidget(b);
  tools->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(skipTransactionButton_);
  buttons->addWidget(skipRemainingButton_);
  buttons->addStretch(1);
  for (QPushButton* b : {dontAlwaysSkipButton_, useTypeButton_, cancelButton_, okButton_})
    buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_, 1);
  layout->addLayout(tools);
  layout->addLayout(buttons);

  auto on = [this](QPushButton* b, void (InvestmentQIF::*action)()) {
    connect(b, &QPushButton::clicked, this,
            [this, action] { act([action](InvestmentQIF& p) { (p.*action)(); }); });
  };
  on(backButton_, &InvestmentQIF::back);
  on(editInputButton_, &InvestmentQIF::editInputButton);
  on(alwaysSkipButton_, &InvestmentQIF::alwaysSkipTransactionType);
  on(redefineTypeButton_, &InvestmentQIF::redefineType);
  on(redefineSecurityButton_, &InvestmentQIF::redefineSecurity);
  on(useTypeButton_, &InvestmentQIF::useType);
  on(dontAlwaysSkipButton_, &InvestmentQIF::dontAlwaysSkip);
  on(skipTransactionButton_, &InvestmentQIF::skipTransaction);
  on(skipRemainingButton_, &InvestmentQIF::skipRemaining);
  // A split cell still being typed in counts before the transaction is written.
  connect(okButton_, &QPushButton::clicked, this, [this] {
    splitTable_->commitEditing();
    act([](InvestmentQIF& p) { p.ok(); });
  });
  connect(cancelButton_, &QPushButton::clicked, this, &InvestmentConfirmWindow::reject);
}

void InvestmentConfirmWindow::act(const std::function<void(InvestmentQIF&)>& action) {
  if (processor_) action(*processor_);
}

void InvestmentConfirmWindow::showPage(QWidget* page, const std::string& title,
                                       const Buttons& buttons) {
  setWindowTitle(qs(title));
  backButton_->setVisible(buttons.back);
  backButton_->setEnabled(buttons.backEnabled);
  editInputButton_->setVisible(buttons.editInput);
  alwaysSkipButton_->setVisible(buttons.alwaysSkip);
  redefineTypeButton_->setVisible(buttons.redefineType);
  redefineSecurityButton_->setVisible(buttons.redefineSecurity);
  useTypeButton_->setVisible(buttons.useType);
  useTypeButton_->setEnabled(buttons.useTypeEnabled);
  dontAlwaysSkipButton_->setVisible(buttons.dontAlwaysSkip);
  const bool skipping = page != alwaysSkipPage_;
  skipTransactionButton_->setVisible(skipping);
  skipRemainingButton_->setVisible(skipping);
  okButton_->setVisible(!buttons.okTitle.empty());
  okButton_->setText(qs(buttons.okTitle));
  okButton_->setEnabled(buttons.okEnabled);
  // Return presses OK, or skips a transaction that cannot be output.
  okButton_->setDefault(!buttons.okTitle.empty());
  skipTransactionButton_->setDefault(buttons.okTitle.empty());
  pages_->setCurrentWidget(page);
  if (!isVisible()) {
    QDialog::show();
    raise();
    activateWindow();
  }
}

void InvestmentConfirmWindow::refreshEnabled() {
  if (!processor_) return;
  if (pages_->currentWidget() == typePage_) {
    const TypeDefinitionForm& form = processor_->typeForm();
    okButton_->setEnabled(form.okEnabled);
    useTypeButton_->setEnabled(form.useTypeEnabled);
    // A typed assumed security changes which types may be chosen.
    auto* items = static_cast<QStandardItemModel*>(typeChoice_->model());
    for (int i = 0; i < items->rowCount(); ++i)
      items->item(i)->setEnabled(static_cast<std::size_t>(i) < form.choiceEnabled.size() &&
                                 form.choiceEnabled[static_cast<std::size_t>(i)]);
    if (typeChoice_->currentIndex() != form.selectedChoice)
      typeChoice_->setCurrentIndex(form.selectedChoice);
  } else if (pages_->currentWidget() == securityPage_) {
    okButton_->setEnabled(processor_->securityForm().okEnabled);
  }
}

void InvestmentConfirmWindow::showTransaction(const InvestmentTransactionForm& form) {
  dateText_->setText(qs(form.date));
  dateStepper_->setVisible(form.dateStepperVisible);
  typeText_->setText(qs(form.type));
  showRow(securityLabel_, securityText_, form.securityVisible, form.security);
  amountText_->setText(qs(form.amount));
  showRow(priceLabel_, priceText_, !form.cash, form.price);
  showRow(sharesLabel_, sharesText_, !form.cash, form.shares);
  showRow(feesLabel_, feesText_, form.feesVisible, form.fees);
  adjustShares_->setVisible(form.feesVisible);
  adjustShares_->setChecked(form.adjustShares);
  setText(memoField_, form.memo);
  descriptionLabel_->setVisible(form.cash);
  descriptionField_->setVisible(form.cash);
  setText(descriptionField_, form.description);
  categoryLabel_->setVisible(form.categoryVisible);
  categoryField_->setVisible(form.categoryVisible);
  setText(categoryField_, form.category);
  numberLabel_->setVisible(form.numberVisible);
  numberField_->setVisible(form.numberVisible);
  setText(numberField_, form.number);
  const bool splits = form.splits.isArray() && form.splits.size() > 0;
  splitsLabel_->setVisible(splits);
  splitTable_->setVisible(splits);
  SplitTableForm table;
  if (splits)
    for (const Value& split : form.splits.toArray())
      table.rows.push_back(
          SplitRow{str(split, "category"), str(split, "memo"), str(split, "amount")});
  table.selectedRows = form.selectedSplits;
  table.deleteButtonEnabled = form.deleteSplitEnabled;
  if (form.editSplitRow >= 0) table.editRow = static_cast<std::size_t>(form.editSplitRow);
  splitTable_->showForm(table);
  addRemoveSplitsButton_->setVisible(form.cash && !form.splitButtonTitle.empty());
  addRemoveSplitsButton_->setText(qs(form.splitButtonTitle));
  instructionButton_->setVisible(form.cash && form.instructionChoiceVisible);
  cashButtonsRow_->setVisible(addRemoveSplitsButton_->isVisibleTo(cashButtonsRow_) ||
                              instructionButton_->isVisibleTo(cashButtonsRow_));
  Buttons buttons;
  buttons.back = form.backVisible;
  buttons.backEnabled = form.backEnabled;
  buttons.alwaysSkip = true;
  buttons.redefineType = form.redefineTypeVisible;
  buttons.redefineSecurity = form.redefineSecurityVisible;
  buttons.okTitle = form.okTitle;
  const bool opening = pages_->currentWidget() != transactionPage_ || !isVisible();
  showPage(transactionPage_, form.title, buttons);
  if (opening) focusField(form.cash ? static_cast<QWidget*>(descriptionField_) : memoField_, true);
}

void InvestmentConfirmWindow::showTypeDefinition(const TypeDefinitionForm& form) {
  setText(typeWordField_, form.typeWord);
  typeDateText_->setText(qs(form.date));
  typeSecurityText_->setText(qs(form.security));
  typeAmountText_->setText(qs(form.amount));
  typePriceText_->setText(qs(form.price));
  typeSharesText_->setText(qs(form.shares));
  auto* items = static_cast<QStandardItemModel*>(typeChoice_->model());
  items->clear();
  for (std::size_t i = 0; i < form.choices.size(); ++i) {
    auto* item = new QStandardItem(qs(form.choices[i]));
    item->setEnabled(i < form.choiceEnabled.size() && form.choiceEnabled[i]);
    items->appendRow(item);
  }
  typeChoice_->setCurrentIndex(form.selectedChoice);
  assumeDollar_->setVisible(form.assumeDollarVisible);
  assumeDollar_->setChecked(form.assumeDollar);
  assumeSecurity_->setChecked(form.assumeSecurity);
  assumedSecurityField_->setVisible(form.assumedSecurityVisible);
  setText(assumedSecurityField_, form.assumedSecurity);
  Buttons buttons;
  buttons.back = true;
  buttons.backEnabled = processor_ && processor_->canGoBack();
  buttons.alwaysSkip = true;
  buttons.useType = true;
  buttons.useTypeEnabled = form.useTypeEnabled;
  buttons.okTitle = form.okTitle;
  buttons.okEnabled = form.okEnabled;
  const bool opening = pages_->currentWidget() != typePage_ || !isVisible();
  showPage(typePage_, form.title, buttons);
  if (opening) typeChoice_->setFocus();
}

void InvestmentConfirmWindow::showSecurityDefinition(const SecurityDefinitionForm& form) {
  securityStatementText_->setText(qs(form.security));
  securityTypeText_->setText(qs(form.type));
  securityDateText_->setText(qs(form.date));
  securityAmountText_->setText(qs(form.amount));
  quickenSecurityField_->setEntries(form.securities);
  quickenSecurityField_->setMaxVisibleItems(10);
  quickenSecurityField_->setText(form.quickenSecurity);
  Buttons buttons;
  buttons.back = true;
  buttons.backEnabled = processor_ && processor_->canGoBack();
  buttons.okTitle = form.okTitle;
  buttons.okEnabled = form.okEnabled;
  showPage(securityPage_, form.title, buttons);
  focusField(quickenSecurityField_, true);
}

void InvestmentConfirmWindow::showMissingField(const MissingFieldForm& form) {
  missingDateText_->setText(qs(form.date));
  missingTypeText_->setText(qs(form.type));
  missingSecurityText_->setText(qs(form.security));
  missingAmountText_->setText(qs(form.amount));
  missingExplanation_->setText(qs(form.explanation));
  Buttons buttons;
  buttons.back = true;
  buttons.backEnabled = processor_ && processor_->canGoBack();
  buttons.alwaysSkip = true;
  buttons.redefineType = form.redefineTypeVisible;
  showPage(missingPage_, form.title, buttons);
  skipTransactionButton_->setFocus();
}

void InvestmentConfirmWindow::showNoAmountOrShares(const NoAmountOrSharesForm& form) {
  noAmountDateText_->setText(qs(form.date));
  noAmountTypeText_->setText(qs(form.type));
  noAmountSecurityText_->setText(qs(form.security));
  Buttons buttons;
  buttons.back = true;
  buttons.backEnabled = processor_ && processor_->canGoBack();
  buttons.alwaysSkip = true;
  showPage(noAmountPage_, form.title, buttons);
  skipTransactionButton_->setFocus();
}

void InvestmentConfirmWindow::showAlwaysSkip(const AlwaysSkipForm& form) {
  setText(alwaysSkipWordField_, form.typeWord);
  Buttons buttons;
  buttons.editInput = false;
  buttons.dontAlwaysSkip = true;
  buttons.okTitle = form.okTitle;
  showPage(alwaysSkipPage_, form.title, buttons);
  focusField(alwaysSkipWordField_, true);
}

void InvestmentConfirmWindow::showEditSheet(const EditSheetForm& form) {
  editSheet_->showForm(form);
}

void InvestmentConfirmWindow::closeEditSheet() { editSheet_->hide(); }

void InvestmentConfirmWindow::close() {
  editSheet_->hide();
  hide();
}

void InvestmentConfirmWindow::reject() {
  act([](InvestmentQIF& p) { p.cancel(); });
}

void InvestmentConfirmWindow::closeEvent(QCloseEvent* event) {
  // The window goes away only when the processor is done with it.
  event->ignore();
  reject();
}

}  // namespace corvela::ui
