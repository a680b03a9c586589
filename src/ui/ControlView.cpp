#include "ui/ControlView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Application.h"
#include "platform/Platform.h"
#include "ui/CompletingComboBox.h"
#include "ui/ElidedLabel.h"

// Building the control view and sending what the person does to the controller. Drawing the
// form is in ControlViewForm.cpp.

namespace corvela::ui {
namespace {

template <typename W>
W* named(W* widget, const char* role) {
  widget->setObjectName(QLatin1String(role));
  return widget;
}

QLabel* note(const QString& text, const char* role) {
  auto* label = named(new QLabel(text), role);
  label->setWordWrap(true);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 0.92);
  label->setFont(font);
  label->setForegroundRole(QPalette::PlaceholderText);
  return label;
}

QGroupBox* group(const QString& title) {
  auto* box = new QGroupBox(title);
  return box;
}

// A row of widgets, packed to the left.
QWidget* row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* holder = new QWidget;
  auto* layout = new QHBoxLayout(holder);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  if (stretch) layout->addStretch(1);
  return holder;
}

// A group's layout: its fields with the help button at the bottom right. The fields get a widget
// of their own, so that a form row can be hidden with its caption (see setShown).
QHBoxLayout* withHelp(QLayout* fields, QToolButton* help) {
  auto* layout = new QHBoxLayout;
  auto* holder = new QWidget;
  fields->setContentsMargins(0, 0, 0, 0);
  holder->setLayout(fields);
  layout->addWidget(holder, 1);
  // At the foot of the group: Tab reaches it after the group's fields, where it stands.
  auto* helpColumn = new QVBoxLayout;
  helpColumn->addStretch(1);
  helpColumn->addWidget(help);
  layout->addLayout(helpColumn);
  return layout;
}

QFormLayout* formLayout() {
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return form;
}

}  // namespace

ControlView::ControlView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("controlView"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildInputPart());
  layout->addWidget(buildTransactionsPart());
  layout->addWidget(buildAccountPart());
  layout->addWidget(buildOutputPart());
  layout->addStretch(1);
  layout->addWidget(buildButtons());
  connectActions();
  setReadingTabOrder();
  // Fields that share a line with others have no caption of their own to be named by.
  const std::pair<QWidget*, QString> names[] = {
      {dateFromString_, tr("First date")},
      {dateToString_, tr("Last date")},
      {quickenAccountText_, tr("Account")},
      {outputFormatText_, tr("Output format")},
      {appendPopUp_, tr("File to append to")},
      {outputDateString_, tr("Date for every transaction")},
      {outputNumberString_, tr("Number for every transaction")},
  };
  for (const auto& [widget, name] : names) widget->setAccessibleName(name);
  // The controls a new form hides take no room before the controller's first drawing either.
  showForm(MainForm());
}

void ControlView::setReadingTabOrder() {
  // Top to bottom as the window reads, each switch before the field it governs; hidden
  // controls are passed over.
  QWidget* order[] = {
      inputFormatText_,
      qifTypePopUp_,
      qfxTypePopUp_,
      inputHelp_,
      whichTransactions_->button(kAllTransactions),
      whichTransactions_->button(kLastMonth),
      whichTransactions_->button(kDateRange),
      dateFromString_,
      dateToString_,
      continueFromLastRun_,
      transactionsHelp_,
      quickenAccountText_,
      accountHelp_,
      outputFormatText_,
      appendSwitch_,
      appendPopUp_,
      sameDateSwitch_,
      outputDateString_,
      sameNumberSwitch_,
      outputNumberString_,
      outputHelp_,
      continuationHelp_,
      cancel_,
      processTheTransactionsButton_,
  };
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void ControlView::keyPressEvent(QKeyEvent* event) {
  // Escape reaches the view only when no control used it: an open drop-down closes itself
  // and the statement stays loaded.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (app_) app_->controller.cancel();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

QToolButton* ControlView::helpButton(const char* role, const char* anchor) {
  auto* button = named(new QToolButton, role);
  button->setText(QStringLiteral("?"));
  button->setToolTip(tr("Help"));
  button->setAccessibleName(tr("Help"));
  button->setFocusPolicy(Qt::TabFocus);
  connect(button, &QToolButton::clicked, this, [this, anchor] {
    if (!app_) return;
    if (anchor) {
      app_->platform.openHelpPage(anchor);
    } else {
      app_->controller.controlHelp();
    }
  });
  return button;
}

QWidget* ControlView::buildInputPart() {
  inputFrom_ = named(new ElidedLabel, "inputFrom");
  QFont bold = inputFrom_->font();
  bold.setBold(true);
  inputFrom_->setFont(bold);
  inputAccountType_ = named(new QLabel, "inputAccountType");
  inputFormatText_ = named(new CompletingComboBox, "inputFormatText");
  extractFormatPrompt_ =
      note(tr("Choose the format of this text, or type a name for a new one and press Return to "
              "teach it to Corvela."),
           "extractFormatPrompt");
  extractFormatPrompt2_ =
      note(tr("No input format has this name yet. Press Return to teach Corvela a new format "
              "with it."),
           "extractFormatPrompt2");
  qifTypePopUp_ = named(new QComboBox, "qifTypePopUp");
  qfxTypePopUp_ = named(new QComboBox, "qfxTypePopUp");
  inputHelp_ = helpButton("inputHelp", nullptr);

  auto* form = formLayout();
  form->addRow(tr("Input:"), inputFrom_);
  form->addRow(tr("Account type:"), inputAccountType_);
  form->addRow(tr("Input format:"), inputFormatText_);
  form->addRow(QString(), extractFormatPrompt_);
  form->addRow(QString(), extractFormatPrompt2_);
  form->addRow(tr("QIF type:"), qifTypePopUp_);
  form->addRow(tr("QFX type:"), qfxTypePopUp_);
  QGroupBox* box = group(tr("Input"));
  box->setLayout(withHelp(form, inputHelp_));
  return box;
}

QWidget* ControlView::buildTransactionsPart() {
  whichTransactions_ = new QButtonGroup(this);
  whichTransactions_->setObjectName(QStringLiteral("whichTransactions"));
  auto* all = named(new QRadioButton(tr("All transactions")), "allTransactions");
  auto* lastMonth = named(new QRadioButton(tr("Last month")), "lastMonth");
  auto* range = named(new QRadioButton(tr("Date range")), "dateRange");
  whichTransactions_->addButton(all, kAllTransactions);
  whichTransactions_->addButton(lastMonth, kLastMonth);
  whichTransactions_->addButton(range, kDateRange);

  dateFromString_ = named(new QLineEdit, "dateFromString");
  toLabel_ = named(new QLabel(tr("to")), "toLabel");
  dateToString_ = named(new QLineEdit, "dateToString");
  for (QLineEdit* field : {dateFromString_, dateToString_}) {
    field->setPlaceholderText(tr("date or \"today\""));
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                           24);
  }
  invalidRangeWarning_ = named(new QLabel(tr("The first date must not be later than the last.")),
                               "invalidRangeWarning");
  invalidRangeWarning_->setWordWrap(true);
  QPalette warning = invalidRangeWarning_->palette();
  warning.setColor(QPalette::WindowText, warningTextColor(warning));
  invalidRangeWarning_->setPalette(warning);
  continueFromLastRun_ =
      named(new QPushButton(tr("Since Last Run")), "continueFromWhereIStoppedLastTime");
  continueFromLastRun_->setToolTip(
      tr("The days from the one after the last run's range up to today."));

  transactionsNormal_ = named(new QWidget, "transactionsNormal");
  auto* normal = new QVBoxLayout(transactionsNormal_);
  normal->setContentsMargins(0, 0, 0, 0);
  normal->addWidget(row({all, lastMonth}));
  normal->addWidget(row({range, dateFromString_, toLabel_, dateToString_, continueFromLastRun_}));
  normal->addWidget(invalidRangeWarning_);

  transactionsContinuation_ = note(tr("The transactions of the interrupted run that are not "
                                      "finished yet, from where it stopped."),
                                   "transactionsContinuation");
  transactionsHelp_ = helpButton("transactionsHelp", "run");

  auto* fields = new QVBoxLayout;
  fields->addWidget(transactionsNormal_);
  fields->addWidget(transactionsContinuation_);
  QGroupBox* box = group(tr("Transactions"));
  box->setLayout(withHelp(fields, transactionsHelp_));
  return box;
}

QWidget* ControlView::buildAccountPart() {
  quickenAccountText_ = named(new CompletingComboBox, "quickenAccountText");
  quickenAccountText_->setMinimumContentsLength(24);
  quickenAccountFixed_ = named(new QLabel, "quickenAccountFixed");
  quickenAccountFixed_->setWordWrap(true);
  accountHelp_ = helpButton("accountHelp", "run");

  auto* form = formLayout();
  form->addRow(tr("Account:"), row({quickenAccountText_, quickenAccountFixed_}, false));
  QGroupBox* box = group(tr("Account"));
  box->setLayout(withHelp(form, accountHelp_));
  return box;
}

QWidget* ControlView::buildOutputPart() {
  outputFormatText_ = named(new CompletingComboBox, "outputFormatText");
  outputFormatText_->setMinimumContentsLength(24);
  outputFormatFixed_ = named(new ElidedLabel, "outputFormatFixed");
  outputFormatPrompt1_ = note(tr("QIF, or one of your output formats. Type a new name and press "
                                 "Return to define a new format."),
                              "outputFormatPrompt1");
  outputFormatPrompt2_ = note(tr("No output format has this name yet. Press Return to define "
                                 "a new format with it."),
                              "outputFormatPrompt2");
  continuationWarning_ = note(tr("This run continues an interrupted one: it keeps the output "
                                 "format, account, date and number it was started with."),
                              "continuationWarning");

  outputFileMessage_ = named(new QLabel(tr("You choose the output file after \"Process "
                                           "Transactions\".")),
                             "outputFileMessage");
  appendSwitch_ = named(new QCheckBox(tr("Append to")), "appendSwitch");
  outputFileName_ = named(new ElidedLabel, "outputFileName");
  appendPopUp_ = named(new QComboBox, "appendPopUp");

  sameDateSwitch_ = named(new QCheckBox(tr("Same date for every transaction:")), "sameDateSwitch");
  outputDateString_ = named(new QLineEdit, "outputDateString");
  outputDateString_->setPlaceholderText(tr("date or \"today\""));
  sameNumberSwitch_ =
      named(new QCheckBox(tr("Same number for every transaction:")), "sameNumberSwitch");
  outputNumberString_ = named(new QLineEdit, "outputNumberString");
  for (QLineEdit* field : {outputDateString_, outputNumberString_})
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                           24);
  outputHelp_ = helpButton("outputHelp", "run");

  auto* form = formLayout();
  form->addRow(tr("Output format:"), row({outputFormatText_, outputFormatFixed_}, false));
  form->addRow(QString(), outputFormatPrompt1_);
  form->addRow(QString(), outputFormatPrompt2_);
  form->addRow(QString(), continuationWarning_);
  form->addRow(tr("Output file:"),
               row({outputFileMessage_, appendSwitch_, outputFileName_, appendPopUp_}));
  auto* same = new QWidget;
  auto* sameLayout = new QGridLayout(same);
  sameLayout->setContentsMargins(0, 0, 0, 0);
  sameLayout->addWidget(sameDateSwitch_, 0, 0);
  sameLayout->addWidget(outputDateString_, 0, 1);
  sameLayout->addWidget(sameNumberSwitch_, 1, 0);
  sameLayout->addWidget(outputNumberString_, 1, 1);
  sameLayout->setColumnStretch(2, 1);
  form->addRow(QString(), same);
  QGroupBox* box = group(tr("Output"));
  box->setLayout(withHelp(form, outputHelp_));
  return box;
}

QWidget* ControlView::buildButtons() {
  continuationHelp_ = helpButton("continuationHelp", "later");
  cancel_ = named(new QPushButton(tr("Cancel")), "cancel");
  processTheTransactionsButton_ =
      named(new QPushButton(tr("Process Transactions")), "processTheTransactionsButton");
  processTheTransactionsButton_->setDefault(true);
  auto* buttons = new QWidget;
  auto* layout = new QHBoxLayout(buttons);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(continuationHelp_);
  layout->addStretch(1);
  layout->addWidget(cancel_);
  layout->addWidget(processTheTransactionsButton_);
  return buttons;
}

void ControlView::attach(Application* app) {
  app_ = app;
  setTypingRules();
}

void ControlView::setTypingRules() {
  if (!app_) {
    quickenAccountText_->setCompletion(CompletingComboBox::Completion::none);
    outputFormatText_->setCompletion(CompletingComboBox::Completion::none);
    return;
  }
  Accounts& accounts = app_->accounts;
  OutputFormats& outputFormats = app_->outputFormats;
  quickenAccountText_->setTypingRule(
      [&accounts](const TextEdit& edit) { return accounts.isPartialStringValid(edit); });
  outputFormatText_->setTypingRule(
      [&outputFormats](const TextEdit& edit) { return outputFormats.isPartialStringValid(edit); },
      [&outputFormats] { outputFormats.comboBoxEntered(); });
  // Any name may be typed (a new one starts the learning of a format); a known one completes.
  inputFormatText_->setCompletion(CompletingComboBox::Completion::anyText);
}

}  // namespace corvela::ui
