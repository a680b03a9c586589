#pragma once

namespace corvela {

// What the bank processor's new-instruction dialog needs of the investment processor when it
// serves a banking line of an investment statement
// (BankingCreditCardQIF::investmentBankingAddNewInstructionForAmount): where each button of the
// dialog hands the run back. The bank processor calls exactly one of the hand-back methods per
// opening, after it has closed the dialog and released its one-transaction list.
class InvestmentBankingDelegate {
 public:
  virtual ~InvestmentBankingDelegate() = default;

  // Whether the dialog offers Back (and it is enabled).
  virtual bool canGoBack() const = 0;

  // Save (the instruction is stored; with false) and Cancel (with true, back to the
  // investment confirmation as it was).
  virtual void processTransaction(bool backToConfirm) = 0;
  virtual void skipTransaction() = 0;
  virtual void skipRemaining() = 0;
  virtual void back() = 0;
};

}  // namespace corvela
