#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "editors/OutputFormatColumns.h"
#include "editors/OutputFormatDefinitionView.h"
#include "lists/Accounts.h"
#include "prefs/Value.h"

namespace corvela {

class OutputFormats;
class Preferences;

// The output format definition dialog's logic: the person names a delimited layout, chooses the
// kind of account, comma or tab, one amount column or credit and debit columns, which columns
// are written and in which order, how splits are written and whether dates are rewritten. OK
// stores the record in the output format list (in name order, replacing the record edited);
// Cancel stores nothing.
//
// The dialog is modal: editFormatAtIndex returns once the view's run has ended. The actions
// below are called by the view while it runs; each updates form(). The format list, the options
// and the view are borrowed and must outlive the presenter.
class OutputFormatDefinitionDialog {
 public:
  OutputFormatDefinitionDialog(OutputFormats& formats, const Preferences& options,
                               OutputFormatDefinitionView& view);

  // Edits the record at `index` of the output format list, or defines a new one when `index` is
  // -1: named `name`, or name + "2", "3", ... when that name is taken, for the kind of account
  // `kind` (an AccountKind; bank when it is neither credit card nor investment). With
  // `forceType` the kind of account cannot be changed, so that a format defined for the input
  // at hand stays one the main window offers for it.
  //
  // Answers where the stored format now stands among the formats without the built-in "QIF"
  // entry (the list editor's rows), or `index` itself when the dialog was cancelled. An index
  // that names no record, or the built-in entry, opens nothing and is answered as it is.
  int editFormatAtIndex(int index, std::string_view name, bool forceType, int kind = kBankKind);

  const OutputFormatDefinitionForm& form() const { return form_; }

  // --- the person's actions while the dialog runs

  // The name field changed: OK and the error text follow whether the name is free.
  void controlTextDidChange(std::string name);
  // The type and amount choices swap the column table, and every present flag returns to the
  // new table's default. A locked type choice changes nothing.
  void selectType(int tag);
  void selectAmount(int tag);
  void selectSeparator(int tag);
  void selectSplitsOutput(int item);
  void setReformatDate(bool on);
  void setReformatDateFormat(std::string pattern);
  // The check box of the column at `column` (its current position) was set or cleared.
  void tableViewSetObjectValue(std::size_t column, bool present);
  // The column at position `from` was dragged to position `to`, the columns between shifting
  // over. A blank column placed this way is written from then on.
  void tableViewColumnDidMove(std::size_t from, std::size_t to);

 private:
  void typeChanged();
  void checkItemsFor(const ColumnTableChoice& choice);
  void applyRecord(const Value& record);
  bool nameAcceptable(std::string_view name) const;
  Value record() const;
  int ok();

  OutputFormats& formats_;
  const Preferences& options_;
  OutputFormatDefinitionView& view_;
  OutputFormatDefinitionForm form_;
  // The record being edited: its index in the list (-1 for a new one) and its stored name.
  int index_ = -1;
  std::string editedName_;
};

}  // namespace corvela
