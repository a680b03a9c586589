#include "app/ControlSettings.h"
#include "app/Controller.h"
#include "app/InputFormatChoice.h"
#include "app/MainView.h"
#include "app/OutputFile.h"
#include "formats/InputFormatKeys.h"
#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "platform/Platform.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "text/Dates.h"

// The main window's control view: filling it from the last run's settings, keeping it
// consistent while the person edits it, and the one-time warnings.

namespace corvela {
namespace {

constexpr std::string_view kInvalidRangeText = "The first date must not be later than the last.";

constexpr std::string_view kFileSelectedLater = "File Selected after \"Process Transactions\"";
constexpr std::string_view kFileSelectedLaterLabel = "File selected after \"Process Transactions\"";

bool extensionFits(const std::string& path, bool commaSeparated) {
  std::string extension = extensionOf(path);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == (commaSeparated ? "csv" : "txt");
}

bool isCommaSeparated(const Value& format) {
  return str(format, outputFormatKey::Separator).starts_with(outputSeparator::Comma);
}

// Whether a delimited format writes the Account column.
bool writesAccount(const Value& format) {
  const Value& order = format[outputFormatKey::Order];
  const Value& present = format[outputFormatKey::Present];
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i].toString() == outputColumn::Account) return present[i].toBool();
  }
  return false;
}

}  // namespace

bool Controller::outputIsQIF() const {
  OutputContext context;
  context.outputFormatText = form_.outputFormatText.text;
  return OutputFormats::QIFOutput(context);
}

std::optional<Value> Controller::currentOutputFormat() const {
  return parts_.outputFormats.formatForName(form_.outputFormatText.text);
}

std::string Controller::formattedDay(const CalendarDay& day) const {
  return day.format(outputDatePattern(parts_.store));
}

void Controller::fillInTransactionPartOfDialog() {
  Value settings = readControlSettings(parts_.store, today());
  form_.qifTypePopUp.select(static_cast<int>(settings[controlSettingsKey::inputQIFType].toInt()));
  int tag = static_cast<int>(settings[controlSettingsKey::whichTransactions].toInt());
  if (tag < kAllTransactions || tag > kDateRange) tag = kAllTransactions;
  state_.whichTransactionsTag = tag;
  form_.whichTransactions = tag;

  auto dateText = [&](const Value& value) {
    return value.isDate() ? formattedDay(dayOfDate(value.toDate())) : value.toString();
  };
  form_.dateFromString.text = dateText(settings[controlSettingsKey::dateFrom]);
  form_.dateToString.text = dateText(settings[controlSettingsKey::dateTo]);
  const Value& outputDate = settings[controlSettingsKey::outputDate];
  form_.outputDateString.text = outputDate.isNull() ? formattedDay(today()) : dateText(outputDate);
  form_.outputNumberString.text = settings[controlSettingsKey::outputNumberString].toString();

  if (tag == kDateRange) {
    radioButtonDateRange();
  } else {
    radioButtonNotDateRange(tag);
  }
  const std::string& outputFormat = settings[controlSettingsKey::outputFormat].toString();
  form_.outputFormatText.text =
      parts_.outputFormats.formatForName(outputFormat) ? outputFormat : std::string("QIF");
  redraw();
}

void Controller::fillInAccountAndOutputPartOfDialog() {
  fillOutputFilePart();
  fillAccountPart();
  redraw();
}

void Controller::fillOutputFilePart() {
  Value settings = readControlSettings(parts_.store, today());
  state_.outputFilePath = settings[controlSettingsKey::outputFilePath].toString();
  const std::string& path = state_.outputFilePath;
  bool writable = isWritableFile(path);

  if (outputIsQIF()) {
    bool canAppend = parts_.options.isOn(option::append) && writable &&
                     parts_.accounts.numberOfItemsInComboBox() > 0 &&
                     fileBeginsWith(path, "!Account");
    state_.doAppend = canAppend;
    form_.outputFileName.visible = canAppend;
    form_.outputFileName.text = canAppend ? lastPathComponent(path) : std::string();
    form_.appendPopUp.visible = false;
    form_.outputFileMessage.visible = !canAppend;
    form_.appendSwitch.visible = canAppend;
    form_.appendSwitch.on = canAppend;
    return;
  }

  state_.doAppend = true;
  std::optional<Value> format = currentOutputFormat();
  bool fits = writable && extensionFits(path, format && isCommaSeparated(*format));
  form_.appendSwitch.visible = true;
  form_.appendSwitch.on = fits;
  form_.outputFileMessage.visible = false;
  if (fits) {
    form_.appendPopUp.items = {{lastPathComponent(path), 0}, {std::string(kFileSelectedLater), 1}};
    form_.appendPopUp.selectedIndex = 0;
    form_.appendPopUp.visible = true;
    form_.outputFileName.visible = false;
  } else {
    // Without a file to offer, appending can only go to a file chosen when the run starts.
    form_.appendPopUp.items.clear();
    form_.appendPopUp.visible = false;
    form_.outputFileName.text = kFileSelectedLaterLabel;
    form_.outputFileName.visible = true;
  }
}

void Controller::fillAccountPart() {
  long entries = parts_.accounts.numberOfItemsInComboBox();
  bool append = parts_.options.isOn(option::append);
  bool showComboBox = false;
  bool anyName = false;
  std::string fixedText;
  if (outputIsQIF()) {
    showComboBox = append && entries >= 1;
    const std::string& type = form_.inputAccountType.text;
    if (type.starts_with("Unknown") || type.starts_with("(Enter")) {
      fixedText.clear();
    } else {
      fixedText = append ? "(ERROR: No account of above type found.)"
                         : "(Specify proper account in your financial software.)";
    }
  } else {
    std::optional<Value> format = currentOutputFormat();
    showComboBox = format && writesAccount(*format);
    anyName = true;
    fixedText = "(Account not specified in output format.)";
  }
  if (showComboBox) {
    form_.quickenAccountText.visible = true;
    form_.quickenAccountText.text.clear();
    form_.quickenAccountText.numberOfVisibleItems = 10;
    form_.quickenAccountText.completes = true;
    parts_.accounts.allowAnyName(anyName);
    form_.quickenAccountFixed.visible = false;
  } else {
    form_.quickenAccountText.visible = false;
    form_.quickenAccountFixed.visible = true;
    form_.quickenAccountFixed.text = fixedText;
  }
  if (parts_.session.account) form_.quickenAccountText.text = *parts_.session.account;
  // The only account of the input's kind is the one meant: shown, so the header names it.
  if (showComboBox && !anyName && form_.quickenAccountText.text.empty() &&
      parts_.accounts.numberOfItemsInComboBox() == 1)
    form_.quickenAccountText.text = parts_.accounts.comboBoxObjectValueForItemAtIndex(0);
  form_.outputFormatText.numberOfVisibleItems = 10;
  form_.outputFormatText.completes = false;
}

void Controller::radioButtonNotDateRange(int tag) {
  state_.whichTransactionsTag = tag;
  form_.whichTransactions = tag;
  form_.dateFromString.visible = false;
  form_.toLabel.visible = false;
  form_.dateToString.visible = false;
  form_.invalidRangeWarning.visible = false;
  checkEverythingFilledIn();
}

void Controller::radioButtonDateRange() {
  state_.whichTransactionsTag = kDateRange;
  form_.whichTransactions = kDateRange;
  form_.dateFromString.visible = true;
  form_.toLabel.visible = true;
  form_.dateToString.visible = true;
  checkDateRange();
  state_.firstResponder = MainControl::dateFromString;
  checkEverythingFilledIn();
}

void Controller::checkDateRange() {
  std::string pattern = outputDatePattern(parts_.store);
  std::string shortYear = outputDateShortYearPattern(parts_.store);
  std::optional<CalendarDay> days[2];
  TextField* fields[2] = {&form_.dateFromString, &form_.dateToString};
  for (int i = 0; i < 2; ++i) {
    TextField& field = *fields[i];
    if (field.text.empty()) field.text = formattedDay(today());
    days[i] = parseDialogDate(field.text, pattern, shortYear);
    if (days[i]) field.text = days[i]->format(pattern);
  }
  state_.dateRangeOK = days[0] && days[1] && *days[0] <= *days[1];
  form_.invalidRangeWarning.visible = !state_.dateRangeOK;
  // Say which date is wrong: a date that cannot be read is no question of order.
  const char* unreadable = !days[0] ? "first" : !days[1] ? "last" : nullptr;
  form_.invalidRangeWarning.text = unreadable ? "The " + std::string(unreadable) +
                                                    " date cannot be read; write it as " +
                                                    formattedDay(today()) + " or as \"today\"."
                                              : std::string(kInvalidRangeText);
  checkEverythingFilledIn();
}

void Controller::checkOutputDate(bool on) {
  form_.sameDateSwitch.on = on;
  if (on) parts_.view.focus(MainControl::outputDateString);
  redraw();
}

void Controller::checkOutputNumber(bool on) {
  form_.sameNumberSwitch.on = on;
  if (on) parts_.view.focus(MainControl::outputNumberString);
  redraw();
}

void Controller::setAppendSwitch(bool on) {
  form_.appendSwitch.on = on;
  redraw();
}

void Controller::selectAppendPopUp(int index) {
  form_.appendPopUp.select(index);
  redraw();
}

void Controller::selectQIFType(int index) {
  form_.qifTypePopUp.select(index);
  redraw();
}

void Controller::selectQFXType(int index) {
  form_.qfxTypePopUp.select(index);
  redraw();
}

void Controller::checkEverythingFilledIn() {
  bool ok = true;
  bool range = state_.whichTransactionsTag == kDateRange;
  if (outputIsQIF()) {
    if (parts_.options.isOn(option::append)) {
      if (parts_.accounts.numberOfItemsInComboBox() < 1) ok = false;
      if (!appendAccountKnown()) ok = false;
    }
    if (range && !state_.dateRangeOK) ok = false;
  } else {
    if (range && !state_.dateRangeOK) ok = false;
    if (!currentOutputFormat()) ok = false;
  }
  if (state_.doingExtract && !inputFormatForName(parts_.store, form_.inputFormatText.text))
    ok = false;
  form_.processTheTransactionsButton.enabled = ok;
  listTabOrder();
  redraw();
}

void Controller::listTabOrder() {
  form_.tabOrder.clear();
  auto add = [&](MainControl control, bool visible) {
    if (visible) form_.tabOrder.push_back(control);
  };
  add(MainControl::inputFormatText, form_.inputFormatText.visible);
  add(MainControl::quickenAccountText, form_.quickenAccountText.visible);
  add(MainControl::dateFromString, form_.dateFromString.visible);
  add(MainControl::dateToString, form_.dateToString.visible);
  add(MainControl::outputFormatText, form_.outputFormatText.visible);
  add(MainControl::outputDateString, form_.outputDateString.visible);
  add(MainControl::outputNumberString, form_.outputNumberString.visible);
}

bool Controller::appendAccountKnown() const {
  if (!outputIsQIF() || !parts_.options.isOn(option::append) || state_.continuationData)
    return true;
  // An account number read from the statement, an empty field or an account of another kind
  // would write a header the finance software cannot place.
  return parts_.accounts.comboBoxIndexOfItemWithStringValue(form_.quickenAccountText.text) !=
         kComboBoxNotFound;
}

void Controller::controlTextDidChange(MainControl control, const std::string& text) {
  switch (control) {
    case MainControl::inputFormatText:
      form_.inputFormatText.text = text;
      inputFormatSet();
      break;
    case MainControl::outputFormatText:
      form_.outputFormatText.text = text;
      outputFormatSet();
      fillInAccountAndOutputPartOfDialog();
      // Filling the account part may have emptied the account field.
      checkEverythingFilledIn();
      break;
    case MainControl::quickenAccountText:
      form_.quickenAccountText.text = text;
      checkEverythingFilledIn();
      break;
    case MainControl::dateFromString:
      form_.dateFromString.text = text;
      checkEverythingFilledIn();
      break;
    case MainControl::dateToString:
      form_.dateToString.text = text;
      checkEverythingFilledIn();
      break;
    case MainControl::outputDateString:
      form_.outputDateString.text = text;
      checkEverythingFilledIn();
      break;
    case MainControl::outputNumberString:
      form_.outputNumberString.text = text;
      checkEverythingFilledIn();
      break;
  }
}

void Controller::inputFormatSet() {
  const std::string& name = form_.inputFormatText.text;
  std::optional<Value> format = inputFormatForName(parts_.store, name);
  int& gType = parts_.session.gType;
  if (format) {
    const std::string& type = str(*format, inputFormatKey::FormatType);
    form_.inputAccountType.text = type;
    form_.extractFormatPrompt.visible = false;
    form_.extractFormatPrompt2.visible = false;
    if (type == "Investment") {
      gType = kInvestmentKind;
      filterAccounts(kInvestmentKind);
    } else {
      gType = type == "Bank" ? kBankKind : kCreditCardKind;
      filterAccounts(parts_.options.isOn(option::showAllAccountNames) ? kBankOrCreditCardKind
                                                                      : gType);
    }
  } else {
    form_.inputAccountType.text = "Unknown";
    form_.extractFormatPrompt.visible = name.empty();
    form_.extractFormatPrompt2.visible = !name.empty();
    gType = kNoKind;
    filterAccounts(kNoKind);
  }
  filterOutputFormats(gType);
  fillInAccountAndOutputPartOfDialog();
  checkEverythingFilledIn();
}

void Controller::outputFormatSet() {
  const std::string& name = form_.outputFormatText.text;
  if (currentOutputFormat()) {
    form_.outputFormatPrompt2.visible = false;
  } else if (!name.empty()) {
    form_.outputFormatPrompt1.visible = false;
    form_.outputFormatPrompt2.visible = true;
  } else {
    form_.outputFormatPrompt1.visible = true;
    form_.outputFormatPrompt2.visible = false;
  }
  checkEverythingFilledIn();
  filterOutputFormats(parts_.session.gType);
  redraw();
}

void Controller::extract() {
  if (parts_.options.isOn(option::append) && !checkAccountsForAppend()) return;
  std::string& text = state_.fileAsString;
  std::size_t start = text.find_first_not_of(" \t\r\n\v\f");
  text.erase(0, start == std::string::npos ? text.size() : start);

  ScanState scan;
  bool hasDate = hasNumericDate(text) || findDateLong(text, dateTables_, scan);
  if (!hasDate) {
    showStatus("Invalid Input",
               "\r\r\rThe input is not in QIF format, and does not appear to contain a date.  It "
               "cannot be processed.");
    return;
  }

  disableMenuItems();
  form_.qifTypePopUp.visible = false;
  form_.qfxTypePopUp.visible = false;
  form_.inputFormatText.visible = true;
  fillInTransactionPartOfDialog();
  form_.outputFormatPrompt2.visible = false;
  form_.extractFormatPrompt2.visible = false;

  form_.inputFormatText.items = inputFormatNames(parts_.store);
  form_.inputFormatText.numberOfVisibleItems = 10;
  std::optional<Value> chosen =
      chooseInputFormat(parts_.store, text, parts_.options.isOn(option::formatFirstMatch));
  if (chosen) {
    form_.inputFormatText.text = str(*chosen, inputFormatKey::Name);
    inputFormatSet();
  } else {
    form_.inputFormatText.text.clear();
    filterAccounts(kNoKind);
    filterOutputFormats(kNoKind);
    parts_.session.gType = kNoKind;
    form_.inputAccountType.text = "Unknown";
  }

  fillInAccountAndOutputPartOfDialog();
  redraw();
  parts_.view.showControlView("Corvela Control");
  parts_.view.focus(MainControl::inputFormatText);
  checkEverythingFilledIn();
}

void Controller::continueFromWhereIStoppedLastTime() {
  Value settings = readControlSettings(parts_.store, today());
  const Value& dateTo = settings[controlSettingsKey::dateTo];
  CalendarDay from = today();
  if (dateTo.isDate() && !isDistantFuture(dateTo.toDate())) {
    CalendarDay lastEnd = dayOfDate(dateTo.toDate());
    if (lastEnd.isValid()) from = lastEnd;
  }
  if (from != today()) from = from.plusDays(1);
  // The fields take their dates before the range is checked, so the check sees them.
  form_.dateFromString.text = formattedDay(from);
  form_.dateToString.text = formattedDay(today());
  radioButtonDateRange();
}

void Controller::setDateFormatters(const std::string& monthDayPattern) {
  parts_.store.setObject(prefKey::OutputDateFormat, Value(monthDayPattern + "/%Y"));
  parts_.store.setObject(prefKey::OutputDateFormatShortYear, Value(monthDayPattern + "/%y"));
}

bool Controller::checkCategories() {
  if (parts_.categories.exists()) return true;
  showStatus("No Categories",
             "\r\rWarning: If you are using financial software that supports categories and you "
             "use categories, you should export your Categories into a QIF file, and then open "
             "the resulting file with Corvela before proceeding. Alternatively you can use the "
             "Edit->Categories function to enter categories yourself. You will receive this "
             "warning only once.");
  parts_.categories.createEmpty();
  return false;
}

bool Controller::checkAccountsForAppend() {
  if (parts_.accounts.exists()) return true;
  showStatus("No Accounts",
             "\rYou specified in the preferences that you wanted the option to append your "
             "transactions to your previous file. To do this Corvela must know the account "
             "names(s) that will be meaningful to your financial software. If possible, you "
             "should export your Accounts from your financial software into a QIF file, and then "
             "open the resulting file with Corvela before proceeding. Alternatively you can use "
             "the Edit->Accounts function to enter account names and types yourself.");
  return false;
}

bool Controller::checkSecurities() {
  if (parts_.store.objectForKey(controllerKey::Securities).isArray()) return true;
  parts_.platform.runAlert(
      {"Need Security Names",
       "In order to process investment transactions, Corvela needs to know the names and "
       "optionally symbols that your financial software uses.\r\rIf your financial software "
       "supports it (Quicken 2007 does), you can export your Securities info into a QIF file, "
       "and then open the resulting file with Corvela before proceeding.\r\rOtherwise, you can "
       "enter each security when prompted, or use Edit->Securities to enter the information "
       "yourself.",
       {"OK"}});
  return true;
}

}  // namespace corvela
