#include "app/OptionsDialog.h"

#include <algorithm>
#include <array>
#include <span>

#include "app/ControlSettings.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"

namespace corvela {
namespace {

// One option of a choice control and the value (item, tag or row) that selects it.
struct ChoiceOption {
  int value = 0;
  std::string_view option;
};

// How one control maps to the option list: a checkbox to one option, or a popup or radio group
// to one of a few options (or none of them).
struct Binding {
  OptionSwitch OptionsForm::*checkbox = nullptr;
  int OptionsForm::*choice = nullptr;
  std::string_view option;  // checkbox only
  int noneValue = 0;        // choice only: the value that stands for none of its options
  // Choice only: its options in the order the dialog tests them when it opens (the first that
  // is on wins).
  std::array<ChoiceOption, 3> options{};
  std::size_t optionCount = 0;

  std::span<const ChoiceOption> choices() const { return {options.data(), optionCount}; }
};

constexpr Binding checkbox(OptionSwitch OptionsForm::*field, std::string_view option) {
  Binding binding;
  binding.checkbox = field;
  binding.option = option;
  return binding;
}

constexpr Binding choice(int OptionsForm::*field, int noneValue, ChoiceOption first,
                         ChoiceOption second) {
  Binding binding;
  binding.choice = field;
  binding.noneValue = noneValue;
  binding.options = {first, second, {}};
  binding.optionCount = 2;
  return binding;
}

constexpr Binding choice(int OptionsForm::*field, int noneValue, ChoiceOption first,
                         ChoiceOption second, ChoiceOption third) {
  Binding binding = choice(field, noneValue, first, second);
  binding.options[2] = third;
  binding.optionCount = 3;
  return binding;
}

constexpr Binding clearedStatus(int OptionsForm::*field, std::string_view cleared,
                                std::string_view uncleared) {
  return choice(field, 0, {1, cleared}, {2, uncleared});
}

using F = OptionsForm;

// Every control that sets an option, in the order OK writes the options into the new list.
// secondQIFEuropeanDates is left out: it shows the same option as europeanDates.
constexpr std::array kBindings = {
    checkbox(&F::append, option::append),
    checkbox(&F::showAllAccountNames, option::showAllAccountNames),
    clearedStatus(&F::clearedStatusBankTransactions, option::markBankTransactionsAsCleared,
                  option::markBankTransactionsAsUncleared),
    clearedStatus(&F::clearedStatusCreditCardTransactions,
                  option::markCreditCardTransactionsAsCleared,
                  option::markCreditCardTransactionsAsUncleared),
    clearedStatus(&F::clearedStatusInvestmentTransactions,
                  option::markInvestmentTransactionsAsCleared,
                  option::markInvestmentTransactionsAsUncleared),
    clearedStatus(&F::clearedStatusUnknownTransactions, option::markUnknownTransactionsAsCleared,
                  option::markUnknownTransactionsAsUncleared),
    checkbox(&F::runAutomatically, option::runAutomatically),
    checkbox(&F::qifConfirmAllTransactions, option::confirmAllTransactions),
    checkbox(&F::textConfirmAllTransactions, option::textConfirmAllTransactions),
    checkbox(&F::treatMemoAsDescription, option::treatMemoAsDescription),
    checkbox(&F::leaveBlankDescriptionsBlank, option::leaveBlankDescriptionsBlank),
    choice(&F::descriptionMemoMatchPopup, 0, {1, option::matchDescriptionThenMemo},
           {2, option::matchMemoThenDescription}),
    checkbox(&F::longestMatch, option::longestInstructionMatch),
    // A list may hold more than one of the three; useCategoriesIfPresent wins, then
    // baseCategoriesOnCategories.
    choice(&F::categoryRadioButtons, 0, {2, option::useCategoriesIfPresent},
           {1, option::baseCategoriesOnCategories}, {3, option::dontAddCategories}),
    checkbox(&F::matchDescriptionWithContains, option::matchDescriptionWithContains),
    checkbox(&F::quicken2003, option::quicken2003),
    checkbox(&F::formatFirstMatch, option::formatFirstMatch),
    checkbox(&F::useOFXTRNTYPE, option::useOFXTRNTYPE),
    checkbox(&F::initialCaps, option::initialCaps),
    checkbox(&F::europeanDates, option::europeanDates),
    checkbox(&F::outputEuropeanDates, option::outputEuropeanDates),
    checkbox(&F::outputEuropeanAmounts, option::outputEuropeanAmounts),
    checkbox(&F::outputDashDates, option::outputDashDates),
    choice(&F::cancelRadioButtons, 2, {0, option::justStop}, {1, option::justFinishLater}),
    checkbox(&F::removeLongNumber, option::removeLongNumber),
    checkbox(&F::updateCategoryWhenDescriptionChanged,
             option::updateCategoryWhenDescriptionChanged),
};

// A precision setting and its popup.
struct PrecisionBinding {
  std::string_view key;
  int OptionsForm::*field;
};

constexpr std::array kPrecisions = {
    PrecisionBinding{prefKey::amountsPrecision, &F::amountsPrecision},
    PrecisionBinding{prefKey::sharesPrecision, &F::sharesPrecision},
    PrecisionBinding{prefKey::pricesPrecision, &F::pricesPrecision},
    PrecisionBinding{prefKey::bccAmountsPrecision, &F::bccAmountsPrecision},
};

constexpr int kLowestPrecision = 2;

// The popup item for a stored precision. A value the popup does not offer (an edited or damaged
// store) selects the nearest item rather than none.
int precisionItem(int decimalPlaces) {
  return std::clamp(decimalPlaces - kLowestPrecision, 0, kPrecisionItemCount - 1);
}

int decimalPlaces(int precisionItem) {
  return std::clamp(precisionItem, 0, kPrecisionItemCount - 1) + kLowestPrecision;
}

std::string storedText(const CVPrefs& store, std::string_view key) {
  const Value& value = store.objectForKey(key);
  return value.isString() ? value.toString() : std::string();
}

constexpr std::string_view kEuropeanMonthDay = "%d/%m";
constexpr std::string_view kMonthDay = "%m/%d";

}  // namespace

void storeOutputDateFormats(CVPrefs& store, std::string_view monthDayPattern) {
  std::string pattern(monthDayPattern);
  store.setObject(prefKey::OutputDateFormat, Value(pattern + "/%Y"));
  store.setObject(prefKey::OutputDateFormatShortYear, Value(pattern + "/%y"));
}

std::string outputMonthDayPattern(const Preferences& options) {
  return std::string(options.isOn(option::outputEuropeanDates) ? kEuropeanMonthDay : kMonthDay);
}

std::string investmentDecimalSeparator(const Preferences& options) {
  return options.isOn(option::outputEuropeanAmounts) ? "," : ".";
}

OptionsDialog::OptionsDialog(CVPrefs& store, Preferences& options, OptionsDialogView& view,
                             OptionsDialogHost& host)
    : store_(store),
      options_(options),
      view_(view),
      host_(host),
      decimalSeparator_(investmentDecimalSeparator(options)) {}

void OptionsDialog::display() {
  host_.disableMenuItems();
  OptionsForm form;
  form.title = std::string(kTitle);
  for (const Binding& binding : kBindings) {
    if (binding.checkbox) {
      (form.*binding.checkbox).on = options_.isOn(binding.option);
      continue;
    }
    int value = binding.noneValue;
    for (const ChoiceOption& choice : binding.choices()) {
      if (options_.isOn(choice.option)) {
        value = choice.value;
        break;
      }
    }
    form.*binding.choice = value;
  }
  form.secondQIFEuropeanDates.on = form.europeanDates.on;
  for (const PrecisionBinding& precision : kPrecisions)
    form.*precision.field = precisionItem(store_.intForKey(precision.key));
  form.descriptionOutput = storedText(store_, prefKey::DescriptionOutput);
  form.memoOutput = storedText(store_, prefKey::MemoOutput);
  form.checkForUpdates.on = store_.boolForKey(prefKey::SUEnableAutomaticChecks);

  form_ = std::move(form);
  showAppendState();
  applyCategoryRule();
  redraw();
}

void OptionsDialog::append() {
  form_ = view_.read();
  showAppendState();
  if (form_.append.on) {
    // Forget the remembered output file, so the next run asks which file to append to.
    Value settings = store_.objectForKey(controllerKey::ControlSettings);
    if (settings.isDictionary() && settings.contains(controlSettingsKey::outputFilePath)) {
      settings.erase(controlSettingsKey::outputFilePath);
      store_.setObject(controllerKey::ControlSettings, std::move(settings));
    }
  }
  redraw();
}

void OptionsDialog::europeanDates() {
  form_ = view_.read();
  form_.secondQIFEuropeanDates.on = form_.europeanDates.on;
  redraw();
}

void OptionsDialog::secondQIFEuropeanDates() {
  form_ = view_.read();
  form_.europeanDates.on = form_.secondQIFEuropeanDates.on;
  redraw();
}

void OptionsDialog::categoriesRadioChanged() {
  form_ = view_.read();
  applyCategoryRule();
  redraw();
}

void OptionsDialog::ok() {
  form_ = view_.read();
  store_.setBool(prefKey::SUEnableAutomaticChecks, form_.checkForUpdates.on);
  for (const PrecisionBinding& precision : kPrecisions)
    store_.setInt(precision.key, decimalPlaces(form_.*precision.field));

  Value list = Value::array();
  for (const Binding& binding : kBindings) {
    if (binding.checkbox) {
      if ((form_.*binding.checkbox).on) list.append(Value(binding.option));
      continue;
    }
    for (const ChoiceOption& choice : binding.choices())
      if (form_.*binding.choice == choice.value) list.append(Value(choice.option));
  }
  list.append(Value(option::converted2_2));
  store_.setObject(prefKey::DescriptionOutput, Value(form_.descriptionOutput));
  store_.setObject(prefKey::MemoOutput, Value(form_.memoOutput));
  store_.setObject(prefKey::Preferences, std::move(list));

  host_.setDateFormatters(outputMonthDayPattern(options_));
  decimalSeparator_ = investmentDecimalSeparator(options_);

  store_.synchronize();
  host_.enableMenuItems();
  view_.close();
}

void OptionsDialog::cancel() {
  host_.enableMenuItems();
  view_.close();
}

void OptionsDialog::showAppendState() {
  form_.showAllAccountNames.enabled = form_.append.on;
  form_.showAllAccountNamesHelpEnabled = form_.append.on;
  if (!form_.append.on) form_.showAllAccountNames.on = false;
}

void OptionsDialog::applyCategoryRule() {
  bool fromInstructions = form_.categoryRadioButtons == 0;
  form_.updateCategoryWhenDescriptionChanged.enabled = fromInstructions;
  if (!fromInstructions) form_.updateCategoryWhenDescriptionChanged.on = false;
}

void OptionsDialog::redraw() { view_.show(form_); }

}  // namespace corvela
