#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Value.h"
#include "readers/RecordList.h"
#include "readers/RecordWindows.h"
#include "text/CalendarDay.h"
#include "text/DateTables.h"
#include "text/Lines.h"

namespace corvela {

class Bundle;
class CVPrefs;
class Preferences;

// What reading a QIF register gives the bank and credit-card processor.
struct QIFReadResult {
  // The transaction records in input order. On failure it holds the records read before the
  // bad line.
  RecordList qif;
  // 0 when the whole register was read; otherwise the one-based index, within the lines given,
  // of the line whose date could not be read.
  int failedLine = 0;
  // The option "europeanDates" was off, yet the register was read day before month: every "D"
  // line reads that way and at least one does not read month first.
  bool readDayFirst = false;
  // On failure with the option off: the bad date line does read day before month (other lines
  // do not, or the register would have been read so), so the person may need the option.
  bool mayBeDayFirst = false;

  bool ok() const { return failedLine == 0; }
};

// The bit of the QIF type pop-up's tag that asks for the signs of amounts to be reversed.
inline constexpr int kQIFTypeReverseSigns = 4;
// The bit of the same tag that asks for description and memo to be exchanged (used by the
// transaction loop, not by the reader).
inline constexpr int kQIFTypeSwapDescriptionAndMemo = 1;

// Reads the transactions of a QIF bank or credit-card register into transaction records, and
// brings amounts into the form in which they are written out.
//
// Options are tested when each operation runs, so a change in the options dialog takes effect
// at once. The store, options and bundle are borrowed and must outlive the reader.
class QIFReader {
 public:
  QIFReader(const CVPrefs& store, const Preferences& options, const Bundle& bundle);

  // Reads the lines of `text` after its first `skippedLines` (the register without its header
  // lines; line numbers below count from there) and keeps the records dated from
  // `fromDate` to `toDate`, both included. A record dated out of range is dropped whole, the
  // lines before its "D" line included, up to its "^". Every record starts empty: a record
  // closed without a date is dropped and passes nothing on. Dates are written with the store's
  // `OutputDateFormat`; day before month is read when the option "europeanDates" is on, and also
  // when it is off but every "D" line reads day first and some line does not read month first
  // (the result says so). A record not closed by "^" is dropped. "T" and "$" amounts written with
  // a decimal comma are converted to a decimal point.
  //
  // Reading stops at the first "D" line whose date cannot be read or names no real calendar day
  // (month 13, February 30, day 0): the result then carries that line's one-based index and the
  // records read before it.
  // A date without a year (a bare month/day) falls within the twelve months up to `today`.
  QIFReadResult fromQIFText(std::string_view text, std::size_t skippedLines, CalendarDay fromDate,
                            CalendarDay toDate, CalendarDay today = CalendarDay::today()) const;
  // The same records, given a window at a time. What fromQIFText's result says of the register
  // besides its records (where reading stops, the order of day and month) is settled first, from
  // the date lines alone, and set in `outcome`: a register that cannot be read is known before
  // any record is made.
  std::unique_ptr<RecordWindows> windows(std::string_view text, std::size_t skippedLines,
                                         CalendarDay fromDate, CalendarDay toDate,
                                         CalendarDay today, QIFReadResult& outcome) const;

  // Normalises the `amount` of a transaction or split record for output and stores it back:
  // removes the bundle's `CVRemoveFromAmounts` characters, writes European notation when the
  // option "outputEuropeanAmounts" is on, turns "(12.50)" and "12.50-" into "-12.50", and reverses
  // the sign when `qifTypeTag` (the selected QIF type entry's tag) has kQIFTypeReverseSigns set.
  // Sets `amountAlreadyConverted`; a record that already has it is returned unchanged.
  // Returns the amount, or nothing when the record has no `amount`.
  std::optional<std::string> normalizeQIFAmountIn(Value& record, int qifTypeTag) const;

 private:
  const CVPrefs& store_;
  const Preferences& options_;
  const Bundle& bundle_;
  std::string removeFromAmounts_;           // the bundle's `CVRemoveFromAmounts`, looked up once
  std::array<bool, 256> removableBytes_{};  // the bytes that occur in it
};

}  // namespace corvela
