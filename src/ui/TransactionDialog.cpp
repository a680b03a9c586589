#include "ui/TransactionDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "banking/BankingCreditCardQIF.h"
#include "ui/ConfirmPane.h"
#include "ui/NewInstructionPane.h"
#include "ui/QtText.h"

namespace corvela::ui {

TransactionDialog::TransactionDialog(QWidget* parent)
    : QDialog(parent),
      panes_(new QStackedWidget),
      confirmPane_(new ConfirmPane),
      newInstructionPane_(new NewInstructionPane),
      backButton_(new QPushButton(tr("Back"))),
      skipTransactionButton_(new QPushButton(qs(BankingCreditCardQIF::kSkipTransactionTitle))),
      skipRemainingButton_(new QPushButton(tr("Skip Remaining"))),
      cancelButton_(new QPushButton(tr("Cancel"))),
      okButton_(new QPushButton(tr("OK"))) {
  setObjectName(QStringLiteral("transactionDialog"));
  setWindowTitle(qs(kConfirmTransactionTitle));
  // It stays over the main window, which takes no input while it shows, yet showing it
  // returns at once: the processor goes on when a button calls it.
  setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  confirmPane_->setObjectName(QStringLiteral("confirmView"));
  newInstructionPane_->setObjectName(QStringLiteral("newInstructionView"));
  // Both views keep their size policies, so the window is as large as the larger of them
  // whichever one shows: its buttons stay where they are when the view changes.
  panes_->addWidget(confirmPane_);
  panes_->addWidget(newInstructionPane_);
  progress_ = new QLabel;
  progress_->setObjectName(QStringLiteral("progressLabel"));

  backButton_->setObjectName(QStringLiteral("backButton"));
  skipTransactionButton_->setObjectName(QStringLiteral("skipTransactionButton"));
  skipRemainingButton_->setObjectName(QStringLiteral("skipRemainingButton"));
  cancelButton_->setObjectName(QStringLiteral("cancelButton"));
  okButton_->setObjectName(QStringLiteral("okButton"));
  skipTransactionButton_->setToolTip(tr("Leaves this transaction out of the output."));
  skipRemainingButton_->setToolTip(
      tr("Leaves this and the remaining transactions out and ends the run."));
  for (QPushButton* button :
       {backButton_, skipTransactionButton_, skipRemainingButton_, cancelButton_, okButton_}) {
    button->setAutoDefault(false);
    // Clicking leaves the keyboard focus in the field being edited; the processor ends the
    // editing itself when an action needs it.
    button->setFocusPolicy(Qt::TabFocus);
  }
  okButton_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(backButton_);
  buttons->addWidget(progress_);
  buttons->addStretch(1);
  buttons->addWidget(skipTransactionButton_);
  buttons->addWidget(skipRemainingButton_);
  buttons->addSpacing(12);
  buttons->addWidget(cancelButton_);
  buttons->addWidget(okButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panes_, 1);
  layout->addLayout(buttons);

  connect(backButton_, &QPushButton::clicked, this,
          [this] { act([](BankingCreditCardQIF& p) { p.back(); }); });
  connect(skipTransactionButton_, &QPushButton::clicked, this,
          [this] { act([](BankingCreditCardQIF& p) { p.skipTransaction(); }); });
  connect(skipRemainingButton_, &QPushButton::clicked, this,
          [this] { act([](BankingCreditCardQIF& p) { p.skipRemaining(); }); });
  connect(cancelButton_, &QPushButton::clicked, this, &TransactionDialog::reject);
  connect(okButton_, &QPushButton::clicked, this, &TransactionDialog::okClicked);
  auto* cancelKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period), this);
  connect(cancelKey, &QShortcut::activated, this, &TransactionDialog::reject);
}

TransactionDialog::~TransactionDialog() = default;

void TransactionDialog::attach(BankingCreditCardQIF& processor) {
  processor_ = &processor;
  ActOnProcessor act = [this](const ProcessorAction& action) { this->act(action); };
  confirmPane_->attach(processor, act);
  newInstructionPane_->attach(processor, act);
}

void TransactionDialog::show(const ConfirmForm& form) {
  showPane(confirmPane_, form.windowTitle);
  confirmPane_->showForm(form, true);
  fitToScreen();
  showButtons(form.backButtonShown, form.backButtonEnabled, true, "", kCancelStopsToolTip,
              form.progress);
}

void TransactionDialog::update(const ConfirmForm& form) {
  showPane(confirmPane_, form.windowTitle);
  confirmPane_->showForm(form, false);
  fitToScreen();
  showButtons(form.backButtonShown, form.backButtonEnabled, true, "", kCancelStopsToolTip,
              form.progress);
}

void TransactionDialog::show(const NewInstructionForm& form) {
  showPane(newInstructionPane_, form.windowTitle);
  newInstructionPane_->showForm(form, true);
  fitToScreen();
  showButtons(form.backButtonShown, form.backButtonEnabled, form.okEnabled, form.okDisabledReason,
              form.cancelToolTip, form.progress);
}

void TransactionDialog::update(const NewInstructionForm& form) {
  showPane(newInstructionPane_, form.windowTitle);
  newInstructionPane_->showForm(form, false);
  fitToScreen();
  showButtons(form.backButtonShown, form.backButtonEnabled, form.okEnabled, form.okDisabledReason,
              form.cancelToolTip, form.progress);
}

void TransactionDialog::showButtons(bool backShown, bool backEnabled, bool okEnabled,
                                    std::string_view okDisabledReason,
                                    std::string_view cancelToolTip, std::string_view progress) {
  backButton_->setVisible(backShown);
  backButton_->setEnabled(backEnabled);
  okButton_->setEnabled(okEnabled);
  // A disabled button shows its tooltip too: it says what OK waits for.
  okButton_->setToolTip(okEnabled ? QString() : qs(okDisabledReason));
  cancelButton_->setToolTip(qs(cancelToolTip));
  progress_->setText(qs(progress));
  progress_->setVisible(!progress.empty());
}

void TransactionDialog::endEditing() {
  if (panes_->currentWidget() == confirmPane_)
    confirmPane_->endEditing();
  else
    newInstructionPane_->endEditing();
}

void TransactionDialog::reject() {
  act([](BankingCreditCardQIF& p) { p.cancel(); });
}

void TransactionDialog::closeEvent(QCloseEvent* event) {
  // The window goes away only when the processor is done with it.
  event->ignore();
  reject();
}

void TransactionDialog::act(const std::function<void(BankingCreditCardQIF&)>& action) {
  if (!processor_) return;
  action(*processor_);
  if (processor_->openDialog() == BankingCreditCardQIF::Dialog::none && isVisible()) hide();
}

void TransactionDialog::showPane(QWidget* pane, const std::string& title) {
  setWindowTitle(qs(title));
  if (panes_->currentWidget() != pane) panes_->setCurrentWidget(pane);
  if (!isVisible()) {
    QDialog::show();
    raise();
    activateWindow();
  }
}

void TransactionDialog::fitToScreen() {
  // The size both views need for what they show (wrapped texts included), never more than the
  // screen holds. The window only grows, so its buttons stay where they are from one view and
  // one transaction to the next, and a person's own resizing is kept.
  layout()->invalidate();
  const QSize screenSize =
      screen() ? screen()->availableGeometry().size() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  QSize wanted = sizeHint().expandedTo(minimumSizeHint());
  if (sized_) wanted = wanted.expandedTo(size());
  wanted.setWidth(std::min(wanted.width(), screenSize.width()));
  if (layout()->hasHeightForWidth())
    wanted.setHeight(std::max(wanted.height(), layout()->totalHeightForWidth(wanted.width())));
  wanted.setHeight(std::min(wanted.height(), screenSize.height()));
  sized_ = true;
  if (wanted != size()) resize(wanted);
}

void TransactionDialog::okClicked() {
  if (panes_->currentWidget() == confirmPane_)
    act([](BankingCreditCardQIF& p) { p.confirmOK(); });
  else
    act([](BankingCreditCardQIF& p) { p.saveNewInstruction(); });
}

}  // namespace corvela::ui
