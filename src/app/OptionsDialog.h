#pragma once

#include <string>
#include <string_view>

namespace corvela {

class CVPrefs;
class Preferences;

// A checkbox of the options dialog.
struct OptionSwitch {
  bool on = false;
  bool enabled = true;
  bool operator==(const OptionSwitch&) const = default;
};

// The precision popups offer this many items; item i stands for i + 2 decimal places.
inline constexpr int kPrecisionItemCount = 7;

// What the options dialog shows: every control under its name in the window layout. A popup
// holds its selected item index, a radio group its selected tag (category group) or row
// (cancel group).
struct OptionsForm {
  std::string title;

  OptionSwitch append;
  OptionSwitch showAllAccountNames;             // enabled only while append is checked
  bool showAllAccountNamesHelpEnabled = false;  // its explanatory text: black when true, else grey

  // Cleared-status popups: 0 neither, 1 cleared, 2 uncleared.
  int clearedStatusBankTransactions = 0;
  int clearedStatusCreditCardTransactions = 0;
  int clearedStatusInvestmentTransactions = 0;
  int clearedStatusUnknownTransactions = 0;

  OptionSwitch runAutomatically;
  OptionSwitch qifConfirmAllTransactions;
  OptionSwitch textConfirmAllTransactions;
  OptionSwitch treatMemoAsDescription;
  OptionSwitch leaveBlankDescriptionsBlank;
  // 0 description only, 1 description then memo, 2 memo then description.
  int descriptionMemoMatchPopup = 0;
  OptionSwitch longestMatch;
  // 0 categories from instructions, 1 base categories on categories, 2 use categories if
  // present, 3 don't add categories.
  int categoryRadioButtons = 0;
  OptionSwitch matchDescriptionWithContains;
  OptionSwitch quicken2003;
  OptionSwitch formatFirstMatch;
  OptionSwitch useOFXTRNTYPE;
  OptionSwitch initialCaps;
  OptionSwitch europeanDates;           // always in the same state as secondQIFEuropeanDates
  OptionSwitch secondQIFEuropeanDates;  // the same option, shown on a second page
  OptionSwitch outputEuropeanDates;
  OptionSwitch outputEuropeanAmounts;
  OptionSwitch outputDashDates;
  // 0 just stop, 1 just finish later, 2 ask each time.
  int cancelRadioButtons = 2;
  OptionSwitch removeLongNumber;
  OptionSwitch updateCategoryWhenDescriptionChanged;  // enabled only for category tag 0

  // Precision popups: item index = decimal places - 2, within [0, kPrecisionItemCount).
  int amountsPrecision = 0;
  int sharesPrecision = 0;
  int pricesPrecision = 2;
  int bccAmountsPrecision = 0;

  std::string descriptionOutput;  // the DescriptionOutput template, as typed
  std::string memoOutput;         // the MemoOutput template, as typed

  OptionSwitch checkForUpdates;

  bool operator==(const OptionsForm&) const = default;
};

// The options window as the presenter sees it. The desktop program draws it with Qt; tests use
// a scripted fake.
class OptionsDialogView {
 public:
  virtual ~OptionsDialogView() = default;

  // Sets every control from `form` and puts the window on screen (brings it forward when it is
  // there already).
  virtual void show(const OptionsForm& form) = 0;
  // What the controls hold now, as the person left them (title included).
  virtual OptionsForm read() const = 0;
  // Takes the window off screen.
  virtual void close() = 0;
};

// What the options dialog asks of the application controller.
class OptionsDialogHost {
 public:
  virtual ~OptionsDialogHost() = default;

  // While the dialog is open nothing else may change stored lists or settings.
  virtual void disableMenuItems() = 0;
  virtual void enableMenuItems() = 0;
  // The output dates are written with `monthDayPattern` ("%m/%d" or "%d/%m"): the store's
  // output date patterns take it (storeOutputDateFormats does that) and the main window's date
  // fields take the four-digit one.
  virtual void setDateFormatters(const std::string& monthDayPattern) = 0;
};

// Stores OutputDateFormat as `monthDayPattern` + "/%Y" and OutputDateFormatShortYear as
// `monthDayPattern` + "/%y". The file is not written.
void storeOutputDateFormats(CVPrefs& store, std::string_view monthDayPattern);

// The month-and-day pattern of output dates for the option list as it stands: "%d/%m" while
// outputEuropeanDates is on, else "%m/%d".
std::string outputMonthDayPattern(const Preferences& options);
// The decimal separator of investment amounts for the option list as it stands: "," while
// outputEuropeanAmounts is on, else ".".
std::string investmentDecimalSeparator(const Preferences& options);

// The options dialog's logic: fills the window from the option list and the store, keeps its
// controls consistent while the person edits them, and on OK writes a new option list and the
// numeric and text settings, and writes the store file. Borrows everything it is given, which
// must outlive it; one instance lives as long as the program.
class OptionsDialog {
 public:
  static constexpr std::string_view kTitle = "Corvela Preferences";

  OptionsDialog(CVPrefs& store, Preferences& options, OptionsDialogView& view,
                OptionsDialogHost& host);
  OptionsDialog(const OptionsDialog&) = delete;
  OptionsDialog& operator=(const OptionsDialog&) = delete;

  // Opens the dialog (menu "Preferences..."): disables the host's menu items and shows every
  // control as the option list and the store hold it.
  void display();

  // Control actions, each reading the window's current state first.
  // The append checkbox: checking it enables showAllAccountNames and forgets the remembered
  // output file (ControlSettings' outputFilePath), so the next run asks which file to append
  // to; unchecking disables and unchecks showAllAccountNames. Neither writes the file.
  void append();
  // The two European-dates checkboxes show one option: each copies its state to the other.
  void europeanDates();
  void secondQIFEuropeanDates();
  // The category group: updateCategoryWhenDescriptionChanged is offered only for tag 0; any
  // other tag disables and unchecks it.
  void categoriesRadioChanged();

  // OK: stores the precisions, the templates and SUEnableAutomaticChecks, replaces the option
  // list by the options the controls set (with converted2.2; names the dialog does not show
  // are dropped), has the host take the output date patterns, sets the investment decimal
  // separator, writes the store file, re-enables the menu items and closes the window. A
  // store file that cannot be written keeps the new settings in memory (the next write of
  // any operation tries again); its reason is in CVPrefs::writeError().
  void ok();
  // Cancel, or the window closed by other means: re-enables the menu items and closes the
  // window; nothing is stored (what append() forgot stays forgotten).
  void cancel();

  // The decimal separator the investment processor's amount formatter is to use: set by the
  // last OK, else as the option list stood when this object was made.
  const std::string& decimalSeparator() const { return decimalSeparator_; }
  // The form the window was last given.
  const OptionsForm& form() const { return form_; }

 private:
  void showAppendState();
  void applyCategoryRule();
  void redraw();

  CVPrefs& store_;
  Preferences& options_;
  OptionsDialogView& view_;
  OptionsDialogHost& host_;
  OptionsForm form_;
  std::string decimalSeparator_;
};

}  // namespace corvela
