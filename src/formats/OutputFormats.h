#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/Completion.h"
#include "lists/ListCompletion.h"
#include "prefs/Value.h"

namespace corvela {

class Bundle;
class CVPrefs;
class Categories;
class Preferences;

// What a run tells the output about itself: the text of the main window's output-format field
// and the account of the run.
struct OutputContext {
  // "QIF" in any letter case for QIF output; any other text names a delimited format, looked up
  // without regard to case.
  std::string outputFormatText = "QIF";
  // The account named by the input, else the one chosen in the main window; empty when none.
  std::string account;
};

// One bank or credit-card transaction to write. Every field but the date may be absent; an
// absent field writes no QIF line and an empty delimited column.
struct BankCCOutput {
  std::string date;  // in the store's OutputDateFormat
  std::optional<std::string> description;
  std::optional<std::string> memo;
  std::optional<std::string> amount;  // already normalised, sign included
  std::optional<std::string> number;
  std::optional<std::string> category;
  // The cleared mark; "" writes a bare "C" line, which is how a run marks transactions uncleared.
  std::optional<std::string> cleared;
  // An array of split records (`category`, `memo`, `amount`). An empty array counts as none.
  std::optional<Value> splits;
};

// One investment transaction for a delimited line; empty texts give empty columns.
struct InvestmentOutput {
  std::string type;  // the QIF action name
  std::string date;
  std::string description;
  std::string memo;
  std::string amount;
  std::string number;
  std::string category;
  std::string shares;
  std::string security;
  std::string price;
  std::string fees;
};

// The list of output formats kept in the preference store, and the production of QIF and
// delimited output text for finished transactions.
//
// The list is read afresh from the store on every call and every change writes the list back
// and the store to disk, so nothing is cached except the names the output-format field offers.
// The store, options, categories and bundle are borrowed and must outlive this object.
class OutputFormats {
 public:
  OutputFormats(CVPrefs& store, const Preferences& options, Categories& categories,
                const Bundle& bundle);

  // --- list upkeep

  // Start-up: when the store has no `OutputFormats`, creates the list holding only the
  // built-in "QIF" entry and writes the store. Returns whether the list was created.
  bool createIfAbsent();

  // Entries in the list, the "QIF" entry included.
  int numberOfFormats() const;
  // The first record whose `Name` equals `name` without regard to case, or nothing.
  std::optional<Value> formatForName(std::string_view name) const;
  // The record at `index`, or nothing when the index is negative or past the end.
  std::optional<Value> formatAtIndex(int index) const;
  // Replaces the entry of the same name (without regard to case) where it stands, or inserts the
  // record before the first entry whose name sorts after it (ascending, case-insensitive), or
  // appends it. Returns the index at which the record now stands. Writes the store.
  int addFormat(const Value& record);
  // Removes the entry at `index`; an index out of range does nothing. Writes the store.
  void deleteFormatAtIndex(int index);
  // `name` when no entry has it (without regard to case), else the first of name + "2",
  // name + "3", ... that no entry has.
  std::string uniqueNameForName(std::string_view name) const;
  // A copy of the list without the "QIF" entry, for the list editor.
  Value getOutputFormatsArray() const;
  // Stores `array` with a new "QIF" entry appended at its end, and writes the store.
  void setOutputFormatsArray(const Value& array);

  // --- the output-format field of the main window

  // Rebuilds the names the field offers for the account kind (0 bank, 1 credit card,
  // 2 investment, 3 bank or credit card not yet known): in list order, the "QIF" entry and the
  // formats whose `Type` fits the kind. Returns the text the field should show: `fieldText`, or
  // "QIF" when `fieldText` names an entry (without regard to case) that is not offered.
  std::string comboBoxIncludeOnly(int kind, std::string_view fieldText);
  // The offered names, in order.
  const std::vector<std::string>& filteredNames() const { return filteredNames_; }

  // Combo-box data source over the offered names.
  long numberOfItemsInComboBox() const { return static_cast<long>(filteredNames_.size()); }
  // The offered name at `index`; "" for a negative or too large index.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The index of the offered name equal to `value` exactly, or kComboBoxNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view value) const;
  // The shortest offered name that begins with `prefix` without regard to case (the earliest of
  // equally short ones), or none.
  std::optional<std::string> comboBoxCompletedString(std::string_view prefix) const;
  // The field was entered: what was typed before no longer counts.
  void comboBoxEntered();
  // The field's typing rule: any text may be typed (a new name starts the definition of a
  // format); an offered name that continues the text is proposed with its tail selected.
  EditDecision isPartialStringValid(const TextEdit& edit);

  // --- production

  // Whether output is QIF: the field's text is "QIF" in any letter case.
  static bool QIFOutput(const OutputContext& context);

  // Appends one bank or credit-card transaction to `buffer`: a QIF record, or one delimited line
  // (plus one line per split when the format writes splits on lines of their own). Adds the
  // category to the category list. A delimited format name that names no record appends nothing.
  void produceBankCCOutput(std::string& buffer, const OutputContext& context,
                           const BankCCOutput& transaction);

  // Appends one delimited investment line to `buffer`; nothing when the format is unknown. Adds
  // the category to the category list. Investment QIF is written with the record texts below.
  void produceInvestmentOutput(std::string& buffer, const OutputContext& context,
                               const InvestmentOutput& transaction);

  // Appends one delimited field, preceded by the separator when `position` (the column's index
  // in `Order`) is 1 or more. Comma-separated fields holding a comma, a double quote or a line
  // break are quoted with inner quotes doubled; in tab-separated fields every tab becomes five
  // blanks.
  static void produceNonQIFOutputField(std::string field, bool csv, std::string& buffer,
                                       int position);

  // The text of a delimited `Date` column for the format named by `context`: `date` as it stands
  // unless the format asks for dates to be reformatted and the text reads as a real calendar
  // day, in which case it is rewritten with the format's `ReformatDateFormat`.
  std::string convertedDate(const OutputContext& context, std::string_view date) const;

 private:
  // The stored list, or an empty one when there is none; valid until the store changes.
  const Value& list() const;
  void storeList(Value list);
  std::string convertedDate(const Value& format, std::string_view date) const;
  void produceDelimitedBankCC(std::string& buffer, const OutputContext& context,
                              const Value& format, const BankCCOutput& transaction,
                              const std::string& description, const std::string& memo,
                              const std::optional<std::string>& number);

  // What every bank or credit-card record written reads from the store, read again only when
  // the store changed: a statement writes hundreds of thousands of records.
  struct BankCCStyle {
    std::string descriptionTemplate;
    std::string memoTemplate;
    bool dashDates = false;         // option outputDashDates
    bool removeLongNumber = false;  // option removeLongNumber
  };
  const BankCCStyle& bankCCStyle();
  // QIFOutput(context), kept for the last format name asked about: a run asks for every record.
  bool writesQIF(const OutputContext& context);

  CVPrefs& store_;
  const Preferences& options_;
  Categories& categories_;
  const Bundle& bundle_;
  std::vector<std::string> filteredNames_;
  TypedCharacters typed_;
  BankCCStyle style_;
  std::uint64_t styleRead_ = UINT64_MAX;    // the store's change count style_ was read at
  std::optional<std::string> qifAskedFor_;  // the format name writesQIF last answered for
  bool qifAnswer_ = false;
};

// A new output format record, before the person changes anything: comma-separated, for a bank
// account, one signed amount column, the columns Date, Number, Description, Category, Amount
// and Memo present and three blank columns absent.
Value newOutputFormat(std::string_view name);

}  // namespace corvela
