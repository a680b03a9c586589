// BankingCreditCardQIF: opening the new-instruction dialog, its OK rule, switches and tabs.
#include <utility>

#include "banking/BankingCreditCardQIF.h"
#include "banking/CategoryWarning.h"
#include "banking/RecordText.h"
#include "instructions/CVDescriptionMatchFormatter.h"
#include "instructions/InstructionKeys.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/TransactionKeys.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

namespace tk = transactionKey;

// The key equivalent the amount confirm switch gets while the amount switch is on.
constexpr std::string_view kAmountConfirmKeyEquivalent = "2";

}  // namespace

void BankingCreditCardQIF::updateNewInstruction() {
  refreshSplitRows();
  newInstructionView_.update(newInstructionForm_);
  newInstructionForm_.focus.reset();
  newInstructionForm_.instructionSplits.editRow.reset();
  newInstructionForm_.amountSplits.editRow.reset();
}

void BankingCreditCardQIF::addNewInstructionForAmount(std::optional<std::string> amount,
                                                      std::optional<std::string> prompt,
                                                      bool newAmountForInstruction,
                                                      std::string description,
                                                      std::optional<std::string> category) {
  if (!running_) return;
  openNewInstruction(std::move(amount), std::move(prompt), newAmountForInstruction,
                     std::move(description), std::move(category));
}

void BankingCreditCardQIF::investmentBankingAddNewInstructionForAmount(
    std::string amount, const Value& instruction, std::optional<std::string> prompt,
    bool newAmountForInstruction, std::string date, std::string description,
    InvestmentBankingDelegate& delegate) {
  if (running_) return;
  instruction_ = instruction.isDictionary() ? instruction : Value::dictionary();
  Value line = Value::dictionary();
  line.set(tk::date, date);
  line.set(tk::description, description);
  line.set(tk::amount, amount);
  line.set(tk::memo, description);
  qif_ = RecordList();
  qif_.append(line);
  currentTransactionIndex_ = 0;
  maxTransactionIndex_ = 1;
  doingInvestmentBankingTransaction_ = true;
  investmentDelegate_ = &delegate;
  backButtonShown_ = delegate.canGoBack();
  backButtonEnabled_ = backButtonShown_;
  cancelReturnsToConfirm_ = false;
  extractedCheckNumber_.reset();
  splits_.reset();
  openNewInstruction(std::move(amount), std::move(prompt), newAmountForInstruction,
                     std::move(description), std::nullopt);
}

void BankingCreditCardQIF::openNewInstruction(std::optional<std::string> amount,
                                              std::optional<std::string> prompt,
                                              bool newAmountForInstruction, std::string description,
                                              std::optional<std::string> category) {
  const Value& transaction = currentTransaction();
  const Value& instruction = instruction_;
  // The category-confirm and extract-number switches keep the states of the last use.
  NewInstructionForm& form = newInstructionForm_;
  form.windowTitle = std::string(kCreateNewInstructionTitle);
  form.focus.reset();
  form.notContainedWarningShown = false;
  form.instructionSplitsShown = false;
  form.amountSplitsShown = false;
  form.instructionSplits = SplitTableForm{};
  form.amountSplits = SplitTableForm{};
  instructionSplits_.reset();
  amountSplits_.reset();
  form.addRemoveSplitsTitle = std::string(kAddSplitsTitle);
  form.categoryWarning.reset();
  form.amountCategoryWarning.reset();
  form.selectedTab = newAmountForInstruction ? InstructionTab::amount : InstructionTab::instruction;

  if (!prompt) {
    form.categoryForm = true;
    form.matchCategoryText = category.value_or("");
    form.prompt.clear();
    newInstructionForCategory_ = form.matchCategoryText;
  } else {
    form.categoryForm = false;
    form.matchCategoryText.clear();
    form.prompt = std::move(*prompt);
    newInstructionForCategory_.reset();
  }

  form.dateText = str(transaction, tk::date);
  form.descriptionText = description;
  transactionNumberShown_ = settings_.outputNumber.empty()
                                ? optionalString(transaction, tk::number)
                                : std::optional<std::string>(settings_.outputNumber);
  if (transactionNumberShown_ && transactionNumberShown_->empty()) transactionNumberShown_.reset();
  form.number = transactionNumberShown_ ? ShownText{*transactionNumberShown_, true} : ShownText{};
  const Value* memo = transaction.find(tk::memo);
  form.memo = memo ? ShownText{memo->toString(), true} : ShownText{};
  form.amount = amount ? ShownText{*amount, true} : ShownText{};
  newInstructionAmount_ = amount;

  if (options_.isOn(option::matchDescriptionWithContains)) {
    form.matchLabel = std::string(kContainsMatchLabel);
    form.matchHelp = std::string(kContainsMatchHelp);
    form.matchRestriction.reset();
  } else {
    form.matchLabel = std::string(kStartsWithMatchLabel);
    form.matchHelp = std::string(kStartsWithMatchHelp);
    form.matchRestriction = description;
  }

  // The instruction's own splits are shown on its tab and saved again unless the person
  // removes them: teaching an amount, or the same match text, must not drop them unseen.
  const Value& ownSplits = instruction[instructionKey::splits];
  if (ownSplits.isArray() && ownSplits.size() > 0) {
    instructionSplits_ = ownSplits;
    form.instructionSplitsShown = true;
    if (!newAmountForInstruction) form.addRemoveSplitsTitle = std::string(kRemoveSplitsTitle);
  }

  const Value* newDescription = instruction.find(instructionKey::newDescription);
  form.useDescription = newDescription != nullptr;
  form.newDescription = newDescription ? newDescription->toString() : std::string();
  const Value* newMemo = instruction.find(instructionKey::newMemo);
  form.useMemo = newMemo != nullptr;
  form.newMemo = newMemo ? newMemo->toString() : std::string();

  form.amountSwitchEnabled = amount.has_value() && !newAmountForInstruction;
  form.amountConfirm = false;
  form.amountUseMemo = false;
  form.amountMemo.clear();
  if (newAmountForInstruction) {
    form.descriptionMatchText = str(instruction, instructionKey::descriptionMatch);
    form.category = str(instruction, instructionKey::category);
    form.categoryConfirm = has(instruction, instructionKey::categoryConfirm);
    form.extractNumber = has(instruction, instructionKey::number);
    form.amountSwitchFixed = true;
    setAmountSwitch(true);
    form.windowTitle = std::string(kAddInstructionForAmountTitle);
    form.focus = FieldFocus{DialogField::amountDescription, false};
  } else {
    form.category = str(transaction, tk::category);
    if (has(transaction, tk::category))
      form.categoryWarning = categoryWarning(form.category, categories_);
    form.amountSwitchFixed = false;
    form.amountSwitch = false;
    form.amountFieldsEnabled = false;
    form.amountDescription.clear();
    form.amountCategory.clear();
    form.amountConfirmKeyEquivalent.clear();
    if (form.categoryForm) {
      form.focus = FieldFocus{DialogField::category, true};
    } else {
      form.descriptionMatchText = description;
      form.focus = FieldFocus{DialogField::descriptionMatch, false};
    }
  }
  showExtractedNumberPreview();

  form.cancelToolTip = std::string(cancelReturnsToConfirm_ || doingInvestmentBankingTransaction_
                                       ? kCancelReturnsToConfirmToolTip
                                       : kCancelStopsToolTip);
  form.backButtonShown = backButtonShown_;
  form.backButtonEnabled = backButtonEnabled_;
  form.amountNumberFormat = newInstructionAmountNumberFormat_;
  form.amountDecimalSeparator = options_.isOn(option::outputEuropeanAmounts) ? "," : ".";
  categoryComboboxCellBeingEdited_ = false;
  newInstructionOKEnabling();

  refreshSplitRows();
  openDialog_ = Dialog::newInstruction;
  form.progress = progressText();
  newInstructionView_.show(form);
  form.focus.reset();
}

// The match is checked against the description the dialog shows: that is the text the
// transaction is matched with when it is processed again, also when the person typed it in the
// confirmation dialog.
void BankingCreditCardQIF::newInstructionOKEnabling() {
  NewInstructionForm& form = newInstructionForm_;
  const bool contains = options_.isOn(option::matchDescriptionWithContains);
  const bool matches =
      !contains || containsIgnoringCase(form.descriptionText, form.descriptionMatchText);
  form.notContainedWarningShown = !matches;
  if (!matches && !(hasText(currentTransaction(), tk::category) &&
                    options_.isOn(option::baseCategoriesOnCategories))) {
    form.okEnabled = false;
    form.okDisabledReason =
        "The match text must occur in the transaction's description: instructions match "
        "descriptions that contain it.";
  } else {
    form.okEnabled = !form.amountSwitch || !form.amountDescription.empty();
    form.okDisabledReason =
        form.okEnabled ? "" : "The instruction for this amount needs a description.";
  }
  form.newDescriptionShown = form.useDescription;
  form.newMemoShown = form.useMemo;
  form.amountMemoShown = form.amountSwitch && form.amountUseMemo;
}

bool BankingCreditCardQIF::descriptionMatchAccepts(std::string_view proposed) const {
  CVDescriptionMatchFormatter rule;
  const std::optional<std::string>& restriction = newInstructionForm_.matchRestriction;
  rule.shortenOnly(restriction ? std::optional<std::string_view>(*restriction) : std::nullopt);
  return rule.isPartialStringValid(proposed);
}

void BankingCreditCardQIF::showExtractedNumberPreview() {
  // The transaction's own number (or the run's fixed one) stays in view.
  if (transactionNumberShown_) return;
  std::optional<std::string> digits;
  if (newInstructionForm_.extractNumber)
    digits = checkNumberIn(str(currentTransaction(), tk::description));
  newInstructionForm_.number = digits ? ShownText{*digits, true} : ShownText{};
}

void BankingCreditCardQIF::setAmountSwitch(bool on) {
  NewInstructionForm& form = newInstructionForm_;
  form.amountSwitch = on;
  form.amountFieldsEnabled = on;
  form.amountCategoryWarning.reset();
  if (on) {
    form.amountDescription.clear();
    form.amountCategory.clear();
    form.amountConfirmKeyEquivalent = std::string(kAmountConfirmKeyEquivalent);
    form.amountUseMemo = false;
  } else {
    form.amountConfirmKeyEquivalent.clear();
    form.focus = FieldFocus{DialogField::category, false};
  }
  newInstructionOKEnabling();
}

// --- switches and tabs

void BankingCreditCardQIF::useDescription(bool on) {
  if (!newInstructionOpen()) return;
  NewInstructionForm& form = newInstructionForm_;
  form.useDescription = on;
  if (on) {
    form.newDescription = form.descriptionText;
    form.focus = FieldFocus{DialogField::newDescription, false};
  }
  newInstructionOKEnabling();
  updateNewInstruction();
}

void BankingCreditCardQIF::useMemo(bool on) {
  if (!newInstructionOpen()) return;
  NewInstructionForm& form = newInstructionForm_;
  form.useMemo = on;
  if (on) {
    form.newMemo.clear();
    form.focus = FieldFocus{DialogField::newMemo, false};
  }
  newInstructionOKEnabling();
  updateNewInstruction();
}

void BankingCreditCardQIF::amountUseMemo(bool on) {
  if (!newInstructionOpen()) return;
  NewInstructionForm& form = newInstructionForm_;
  form.amountUseMemo = on;
  if (on) {
    form.amountMemo.clear();
    form.focus = FieldFocus{DialogField::amountMemo, false};
  }
  newInstructionOKEnabling();
  updateNewInstruction();
}

void BankingCreditCardQIF::extractNumberSwitch(bool on) {
  if (!newInstructionOpen()) return;
  newInstructionForm_.extractNumber = on;
  showExtractedNumberPreview();
  updateNewInstruction();
}

void BankingCreditCardQIF::amountSwitch(bool on) {
  if (!newInstructionOpen()) return;
  const NewInstructionForm& form = newInstructionForm_;
  // A fixed switch, or one without an amount to apply to, keeps its state.
  if (!form.amountSwitchFixed && form.amountSwitchEnabled) setAmountSwitch(on);
  updateNewInstruction();
}

void BankingCreditCardQIF::categoryConfirmSwitch(bool on) {
  if (!newInstructionOpen()) return;
  newInstructionForm_.categoryConfirm = on;
  updateNewInstruction();
}

void BankingCreditCardQIF::amountConfirmSwitch(bool on) {
  if (!newInstructionOpen()) return;
  newInstructionForm_.amountConfirm = on;
  updateNewInstruction();
}

// Selecting a tab only names the shared button after that tab's splits: the amount switch's
// set-up is run when the dialog opens, never here, so that fields the person filled in are
// not emptied by looking at another tab.
void BankingCreditCardQIF::tabViewDidSelectTabViewItem(InstructionTab tab) {
  if (!newInstructionOpen()) return;
  NewInstructionForm& form = newInstructionForm_;
  form.selectedTab = tab;
  const bool withSplits = tab == InstructionTab::instruction ? instructionSplits_.has_value()
                                                             : amountSplits_.has_value();
  form.addRemoveSplitsTitle = std::string(withSplits ? kRemoveSplitsTitle : kAddSplitsTitle);
  updateNewInstruction();
}

}  // namespace corvela
