#pragma once

#include <optional>
#include <string>

namespace corvela {

// What the new-instruction dialog shows when a transaction matches no instruction, or when the
// person asks to teach one from the confirmation dialog.
struct NewInstructionForm {
  std::string windowTitle = "Create New Instruction";
  // The Back button, as in the confirmation dialog.
  bool backButtonShown = false;
  bool backButtonEnabled = false;
  // The transaction's normalised amount, or none.
  std::optional<std::string> amount;
  // The prompt over the match field; none when a category instruction is taught for `category`.
  std::optional<std::string> prompt;
  // The dialog adds an amount instruction to the instruction that applied.
  bool newAmountForInstruction = false;
  // The description the match field starts from.
  std::string description;
  // The transaction's input category, or none.
  std::optional<std::string> category;
};

// The new-instruction view of the processor's dialog window. Saving calls the processor's
// saveNewInstruction; the shared buttons call skipTransaction, skipRemaining, back and cancel.
class NewInstructionView {
 public:
  virtual ~NewInstructionView() = default;

  // Fills the view from `form` and shows it in the dialog window, titled by the form.
  virtual void show(const NewInstructionForm& form) = 0;
  // Commits the edit in progress in the dialog window's fields.
  virtual void endEditing() = 0;
};

}  // namespace corvela
