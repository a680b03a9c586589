#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "prefs/Value.h"
#include "readers/RecordList.h"
#include "readers/RecordWindows.h"
#include "text/CalendarDay.h"
#include "text/DateTables.h"

namespace corvela {

class CVPrefs;
class ErrorWarning;

// The button of the reading-error warning of a formatted text.
inline constexpr std::string_view kSkipTransactionButton = "Skip Transaction";

// Reads bank and credit-card text (a CSV file, a web page's text) with an input format into
// transaction records, through the extractor (inputformats/Extract.h). Everything is borrowed
// and must outlive the reader; the store's OutputDateFormat and bccAmountsPrecision are read on
// every reading.
class FormattedTextReader {
 public:
  FormattedTextReader(const CVPrefs& store, const DateTables& tables, ErrorWarning& errorWarning)
      : store_(store), tables_(tables), errorWarning_(errorWarning) {}

  // The records of the transactions of `text` dated from `fromDate` to `toDate` (both
  // included), in text order: `date` in the store's OutputDateFormat; `number`, `description`,
  // `memo` and `category` from the format's Check, Description, Memo and Category columns when
  // the format names them and the transaction has them; and always `amount`, with
  // bccAmountsPrecision decimals (2 when unset) and a point:
  //  - Credit: that column, signed as written ("-", "(" or a trailing "-" make it negative;
  //    a decimal comma is read as such);
  //  - else Debit/Credit: that column, made negative by the Indicator column: when it does not
  //    hold DebitIndicator, or, with only a CreditIndicator, when it holds it;
  //  - Debit: when the amount is still 0, that column made negative;
  //  - InvertAmount reverses every sign. An amount column the transaction lacks counts as 0.
  // Each unreadable transaction goes to the reading-error warning (reset first), with the
  // "Skip Transaction" button: skip goes on, cancel ends the reading with none. None too when
  // the text holds no transaction date at all. `today` completes dates without a year.
  std::optional<RecordList> fromFormattedText(std::string_view text, const Value& format,
                                              CalendarDay fromDate, CalendarDay toDate,
                                              CalendarDay today);
  // The same records, read a window at a time: each unreadable transaction goes to the warning
  // as its window is read, and a cancel there gives the reading up. None when the text holds no
  // transaction date at all. The format is copied; the text must outlive the reading.
  std::unique_ptr<RecordWindows> windows(std::string_view text, const Value& format,
                                         CalendarDay fromDate, CalendarDay toDate,
                                         CalendarDay today);

 private:
  const CVPrefs& store_;
  const DateTables& tables_;
  ErrorWarning& errorWarning_;
};

}  // namespace corvela
