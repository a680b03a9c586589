#include "ui/TransactionDialog.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QStackedWidget>

#include "banking/BankingCreditCardQIF.h"

namespace corvela::ui {

TransactionDialog::TransactionDialog(QWidget* parent)
    : QDialog(parent),
      panes_(new QStackedWidget(this)),
      confirmPane_(nullptr),
      newInstructionPane_(nullptr),
      backButton_(new QPushButton(this)),
      skipTransactionButton_(new QPushButton(this)),
      skipRemainingButton_(new QPushButton(this)),
      cancelButton_(new QPushButton(this)),
      okButton_(new QPushButton(this)) {}

TransactionDialog::~TransactionDialog() = default;

void TransactionDialog::attach(BankingCreditCardQIF& processor) { processor_ = &processor; }

void TransactionDialog::show(const ConfirmForm& form) { update(form); }
void TransactionDialog::update(const ConfirmForm&) {}
void TransactionDialog::show(const NewInstructionForm& form) { update(form); }
void TransactionDialog::update(const NewInstructionForm&) {}
void TransactionDialog::endEditing() {}

void TransactionDialog::reject() {
  act([](BankingCreditCardQIF& p) { p.cancel(); });
}

void TransactionDialog::closeEvent(QCloseEvent* event) {
  reject();
  if (isVisible()) event->ignore();
}

void TransactionDialog::act(const std::function<void(BankingCreditCardQIF&)>& action) {
  if (!processor_) return;
  action(*processor_);
  if (processor_->openDialog() == BankingCreditCardQIF::Dialog::none) hide();
}

void TransactionDialog::showPane(QWidget*, const std::string&) {}
void TransactionDialog::okClicked() {}

}  // namespace corvela::ui
