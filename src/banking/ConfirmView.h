#pragma once

#include <string>

#include "formats/OutputFormats.h"

namespace corvela {

// What the confirmation dialog shows when the transaction loop stops on a transaction.
struct ConfirmForm {
  std::string windowTitle = "Confirm Transaction";
  // The Back button: shown when the run confirms every transaction, enabled except on the
  // first transaction.
  bool backButtonShown = false;
  bool backButtonEnabled = false;
  // The transaction as confirming it unchanged would output it.
  BankCCOutput proposed;
};

// The confirm view of the processor's dialog window. The desktop program implements it with a
// window, the tests with a scripted fake; the person's buttons call the processor's actions
// (confirmOK, skipTransaction, skipRemaining, back, cancel, ...).
class ConfirmView {
 public:
  virtual ~ConfirmView() = default;

  // Fills the confirm view from `form` and shows it in the dialog window, titled by the form.
  virtual void show(const ConfirmForm& form) = 0;
  // Shows the confirm view again with its fields as the person left them (coming back from the
  // new-instruction view), titled "Confirm Transaction".
  virtual void showAgain() = 0;

  // The text of the confirmed description field as it stands.
  virtual std::string confirmedDescriptionText() const = 0;
  // Empties the confirmed description field (a transaction is started afresh).
  virtual void emptyConfirmedDescriptionText() = 0;
  // Commits the edit in progress in the dialog window's fields.
  virtual void endEditing() = 0;
};

}  // namespace corvela
