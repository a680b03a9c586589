// BankingCreditCardQIF: what the person types in the fields of either dialog.
#include <utility>

#include "banking/BankingCreditCardQIF.h"
#include "banking/CategoryWarning.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"

namespace corvela {
namespace {

bool isConfirmField(DialogField field) {
  switch (field) {
    case DialogField::confirmedDescription:
    case DialogField::confirmedMemo:
    case DialogField::confirmedCategory:
    case DialogField::confirmAmount:
    case DialogField::confirmNumber:
      return true;
    default:
      return false;
  }
}

}  // namespace

void BankingCreditCardQIF::controlTextDidChange(DialogField field, std::string text) {
  if (field == DialogField::splitCategoryCell) {
    if (!categoryComboboxCellBeingEdited_) return;
    std::optional<std::string> warning = categoryWarning(text, categories_);
    confirmForm_.categoryWarning = warning;
    if (confirmOpen()) {
      updateConfirm();
    } else if (newInstructionOpen()) {
      newInstructionForm_.categoryWarning = std::move(warning);
      updateNewInstruction();
    }
    return;
  }

  if (isConfirmField(field)) {
    if (!confirmOpen()) return;
    ConfirmForm& form = confirmForm_;
    switch (field) {
      case DialogField::confirmedDescription:
        form.confirmedDescription = std::move(text);
        break;
      case DialogField::confirmedMemo:
        form.confirmedMemo = std::move(text);
        break;
      case DialogField::confirmedCategory:
        form.categoryWarning = categoryWarning(text, categories_);
        form.confirmedCategory = std::move(text);
        break;
      case DialogField::confirmAmount:
        form.amount.text = std::move(text);
        break;
      case DialogField::confirmNumber:
        form.number.text = std::move(text);
        break;
      default:
        break;
    }
    updateConfirm();
    return;
  }

  if (!newInstructionOpen()) return;
  NewInstructionForm& form = newInstructionForm_;
  switch (field) {
    case DialogField::descriptionMatch:
      // A refused edit leaves the field as it was; the view is told so.
      if (descriptionMatchAccepts(text)) form.descriptionMatchText = std::move(text);
      break;
    case DialogField::newDescription:
      form.newDescription = std::move(text);
      break;
    case DialogField::newMemo:
      form.newMemo = std::move(text);
      break;
    case DialogField::category:
      form.categoryWarning = categoryWarning(text, categories_);
      form.category = std::move(text);
      break;
    case DialogField::amountDescription:
      form.amountDescription = std::move(text);
      break;
    case DialogField::amountCategory:
      form.amountCategoryWarning = categoryWarning(text, categories_);
      form.amountCategory = std::move(text);
      break;
    case DialogField::amountMemo:
      form.amountMemo = std::move(text);
      break;
    default:
      break;
  }
  newInstructionOKEnabling();
  updateNewInstruction();
}

void BankingCreditCardQIF::controlTextDidBeginEditing(DialogField field) {
  switch (field) {
    case DialogField::confirmedDescription:
    case DialogField::newDescription:
    case DialogField::amountDescription:
      descriptions_.comboBoxEntered();
      break;
    case DialogField::confirmedCategory:
    case DialogField::category:
    case DialogField::amountCategory:
    case DialogField::splitCategoryCell:
      categories_.comboBoxEntered();
      break;
    default:
      break;
  }
}

void BankingCreditCardQIF::comboBoxSelectionDidChange(DialogField field, std::string text) {
  const FieldFocus chosen{field, true};
  if (isConfirmField(field)) {
    if (!confirmOpen()) return;
    confirmForm_.focus = chosen;
  } else if (field != DialogField::splitCategoryCell) {
    if (!newInstructionOpen()) return;
    newInstructionForm_.focus = chosen;
  }
  controlTextDidChange(field, std::move(text));
}

}  // namespace corvela
