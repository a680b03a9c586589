#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inputformats/QuestionTable.h"
#include "inputformats/WizardForm.h"
#include "inputformats/WizardView.h"
#include "platform/Platform.h"
#include "prefs/Bundle.h"
#include "prefs/Value.h"
#include "text/ScanState.h"

namespace corvela {

// The input-format learning wizard: builds an input format record from a sample of the text
// it is to read, in three pages. Page 1: the person selects a date that starts a transaction
// and a piece of text that identifies this kind of input, and says what kind of account it
// is. Page 2: the person chooses how transactions are cut into columns and sees the result
// (the wizard preselects the choice that cuts the most transactions into the same number of
// columns). Page 3: the person answers the bundle's script of questions (CVExtractBankCreditCard
// or CVExtractInvestment), mostly by clicking the column that holds each item (the wizard
// preselects the column whose values fit, where it can tell).
//
// Nothing is stored until the script's Done entry (or a CheckSharesOrPrice entry that applies)
// is confirmed: then the host gets the record (WizardHost::formatLearnt). Cancel at any page, a
// Stop entry, or a script that runs out without Done ends the wizard with nothing stored
// (WizardHost::learningEnded). A wrong answer shows a sheet and leaves the wizard where it was.
//
// The view, platform, host and bundle are borrowed and must outlive the wizard.
class InputFormatWizard {
 public:
  InputFormatWizard(WizardView& view, Platform& platform, WizardHost& host, const Bundle& bundle);

  // Starts on page 1 with the input `text` and the new format's name.
  void learnFromString(const std::string& text, const std::string& name);

  const WizardForm& form() const { return form_; }
  // The record built so far.
  const Value& format() const { return format_; }

  // --- page 1: edits, then OK
  void selectDate(TextSpan selection) { form_.dateSelection = selection; }
  void selectMatch(TextSpan selection) { form_.matchSelection = selection; }
  void chooseKind(int index) { form_.kind = index; }
  void setEuropeanDates(bool on) { form_.europeanDates = on; }
  void setFirstLineStartsWithTransactionDate(bool on) {
    form_.firstLineStartsWithTransactionDate = on;
  }
  void ok1();

  // --- page 2: any change of the separator choice or the two switches, then OK
  void parseFields(int separatorTag, bool oneTransactionPerLine, bool nonUScharacters);
  void ok2();

  // --- page 3
  // A click on a column: answers the question when a column is expected, else only selects it.
  void selectColumn(int column);
  // The text selected inside the cell being edited.
  void selectCellText(const std::string& text) { form_.selectedText = text; }
  // Typing or choosing in the assumed-security field: OK is enabled while it holds text.
  void setAssumedSecurity(const std::string& text);
  void ok3();
  void yes();
  void no();

  // Leaves the wizard from any page; nothing is stored.
  void cancel();

 private:
  void show() { view_.show(form_); }
  void alert(std::string_view title, const std::string& text);
  std::vector<std::string> chunks();
  void nextQuestion();
  void arrive();
  void displayPrompt();
  void formatOK();
  void formatBad();
  bool hasAnyKey(std::initializer_list<std::string_view> keys) const;

  WizardView& view_;
  Platform& platform_;
  WizardHost& host_;
  const Bundle& bundle_;
  DateTables tables_;

  WizardForm form_;
  Value format_;
  std::string formatName_;
  std::string input_;
  ScanState scan_;
  std::int64_t distanceFromNewline_ = 1;
  QuestionStack questions_;
  bool doneAfterPrompt_ = false;
  bool saveAssumedSecurity_ = false;
  bool okButton3Enabled_ = true;
};

}  // namespace corvela
