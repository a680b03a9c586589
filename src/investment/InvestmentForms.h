#pragma once

#include <string>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

// What each view of the investment confirmation window shows. The presenter (InvestmentQIF)
// fills one form per view and hands it to the view; a view shows it and reports every button
// back as a presenter action. Texts are shown as given; a flag that is false hides or disables
// its control.

// The transaction view, investment or cash variant.
struct InvestmentTransactionForm {
  std::string title;  // "Investment Transaction: Confirm", "Confirm Transaction"
  bool cash = false;  // the cash variant (description, category or splits, number)
  std::string date;   // the date text, or "%@ (will use %@)" with the output date
  bool dateStepperVisible = true;
  std::string type;  // "%@ (%@)": the statement's type text and the type's display name
  bool securityVisible = false;
  std::string security;
  std::string amount;  // formatted, or the "Invalid: ..." text
  std::string price;
  std::string shares;
  bool feesVisible = false;  // the fees field and the adjust-shares switch
  std::string fees;
  bool adjustShares = false;
  std::string memo;
  std::string description;
  bool categoryVisible = false;  // the single category field (no splits)
  std::string category;
  bool instructionChoiceVisible = false;
  bool numberVisible = false;
  std::string number;
  Value splits;  // array of split records (`category`, `memo`, `amount`); empty: none
  std::string splitButtonTitle;  // "Add Splits" or "Remove Splits"; "": the button is hidden
  int editSplitRow = -1;         // the split row whose first cell to open for typing, or -1
  std::vector<std::size_t> selectedSplits;      // ascending
  bool deleteSplitEnabled = false;              // some rows, but not every row, are selected
  bool editInstructionEnabled = false;          // an instruction applied (and can be edited)
  bool addInstructionForAmountEnabled = false;  // it applied without an amount instruction
  bool backVisible = false;
  bool backEnabled = false;
  bool redefineTypeVisible = true;
  bool redefineSecurityVisible = false;
  std::string okTitle;  // "Extract Transaction"
};

// The type-definition view: the statement's type word has no mapping yet.
struct TypeDefinitionForm {
  std::string title;     // "Investment Transaction: Unknown Transaction Type"
  std::string typeWord;  // editable: the word the mapping is stored for
  std::string date;
  std::string security;
  std::string amount;
  std::string price;
  std::string shares;
  bool assumeDollarVisible = false;  // only when the price is 0
  bool assumeDollar = false;
  bool assumeSecurity = false;
  bool assumedSecurityVisible = false;
  std::string assumedSecurity;
  // The choice: item 0 a prompt, 1 and 2 the sign-dependent choices, then the type table.
  std::vector<std::string> choices;
  std::vector<bool> choiceEnabled;  // one per item
  int selectedChoice = 0;
  // The item proposed for this transaction (from a standard OFX type), or 0 for none.
  int proposedChoice = 0;
  // Why the type proposed for this transaction cannot be chosen, or empty.
  std::string proposalRefused;
  std::string okTitle;  // "Define Type"
  bool okEnabled = false;
  bool useTypeEnabled = false;
};

// The security-definition view: the transaction names a security the list does not know.
struct SecurityDefinitionForm {
  std::string title;     // "Investment Transaction: Unknown Security"
  std::string security;  // the security text of the statement
  std::string type;
  std::string date;
  std::string amount;
  std::string quickenSecurity;          // the field; proposed with the statement's security name
  std::vector<std::string> securities;  // the completion list (10 items shown)
  std::string okTitle;                  // "Define Security"
  bool okEnabled = false;
};

// A transaction that cannot be output as it stands.
struct MissingFieldForm {
  std::string title;  // "Investment Transaction: Missing %@ Field" and the like
  std::string field;  // "DATE", "TYPE", ..., "badValue", "quicken2003"
  std::string explanation;
  std::string date;
  std::string type;
  std::string security;
  std::string amount;
  bool redefineTypeVisible = false;
};

// A transaction with neither an amount nor shares.
struct NoAmountOrSharesForm {
  std::string title;  // "Investment Transaction: No Amount or Shares"
  std::string date;
  std::string type;
  std::string security;
};

// The always-skip confirmation: the type word (editable, selected) to skip from now on.
struct AlwaysSkipForm {
  std::string title;  // "Investment Transaction: Always Skip This Transaction Type"
  std::string typeWord;
  std::string okTitle;  // "Confirm Always Skip"
};

// The edit sheet over any view: the transaction's values, editable.
struct EditSheetForm {
  std::string outputDate;  // "(Can't Change)" when a fixed output date is in force
  bool dateEditable = true;
  std::string type;
  std::string security;
  std::string symbol;
  std::string amount;
  std::string shares;
  std::string price;
  std::string description;
  std::string category;
  std::string memo;
  std::string check;
};

}  // namespace corvela
