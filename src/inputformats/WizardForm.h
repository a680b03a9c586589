#pragma once

#include <optional>
#include <string>
#include <vector>

#include "inputformats/WizardTexts.h"
#include "text/TextSpan.h"

namespace corvela {

// A table of the wizard: the transactions of the sample, one row each, cut into columns.
struct WizardTable {
  // One per shown column; "" leaves the header empty. Its size is the number of columns shown.
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;  // a row may hold fewer cells than headers
  int selectedRow = 0;
  std::optional<int> selectedColumn;
};

// What the learning wizard's window shows, page by page. The wizard keeps the form; the view
// draws it and reports every edit back (see InputFormatWizard), so the form always holds what
// the window holds. Selections are byte offsets into the UTF-8 texts.
struct WizardForm {
  // 0: the wizard is not shown; 1 date and match, 2 columns, 3 questions.
  int page = 0;
  std::string title = std::string(kCreateInputFormat);

  // --- page 1
  std::string intro;
  // The date text view: the input from the line of its earliest date on, and the selection in
  // it that should be the date that starts a transaction.
  std::string dateText;
  TextSpan dateSelection;
  // The match text view: the whole input, and the selection in it that identifies this kind of
  // input.
  std::string matchText;
  TextSpan matchSelection;
  // The kind of account (Investment, Bank, Credit Card), and the index chosen.
  std::vector<std::string> kinds{std::string(kKindInvestment), std::string(kKindBank),
                                 std::string(kKindCreditCard)};
  int kind = 0;
  bool europeanDates = false;  // dates are written day before month
  bool firstLineStartsWithTransactionDate = false;

  // --- page 2
  // The separator choices, indexed by their tag (SeparatorTag), and the tag chosen.
  std::vector<std::string> separators;
  int separatorTag = 1;
  bool oneTransactionPerLine = false;
  bool nonUScharacters = false;
  WizardTable preview;  // no headers: only the columns

  // --- page 3
  std::string prompt;
  // The same rows; a column's header names what it was chosen for. A column is selected when
  // the wizard preselects one for the question or the person clicks one.
  WizardTable questions;
  // The current question is answered by a click on a column.
  bool expectingColumnSelection = false;
  // The text selected inside the cell being edited (questions that ask for a piece of text).
  std::string selectedText;
  bool yesNoShown = false;
  bool okShown = true;
  bool okEnabled = true;
  // The assumed-security field and its list, for a statement that names no security.
  bool assumedSecurityShown = false;
  std::string assumedSecurity;
  std::vector<std::string> securities;
};

}  // namespace corvela
