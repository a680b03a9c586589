#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/CalendarDay.h"
#include "text/DateTables.h"
#include "text/ScanState.h"
#include "text/TextSpan.h"

namespace corvela {

// Finding dates in raw text and reading date texts into numbers.
//
// Texts are UTF-8 bytes; positions and lengths are byte offsets. No function reads outside the
// text it is given.

// How a text layout marks and writes its transaction dates: the date keys of an input format
// (formats/InputFormatRules.h reads them from a format record). Of each text only its first
// character counts; an empty text is an absent key.
struct DateRule {
  std::string delimiter;  // "/", "-", "." or "," (dates with month names)
  std::string start;      // what stands right before a date
  std::string end;        // what stands right after a date; empty: the date ends the text
  // A date begins this many characters after the line break before it (1: at a line start).
  std::optional<std::int64_t> distanceFromNewline;
  bool dayBeforeMonth = false;
  // The OFX investment format: a date is the eight digits after the tag text `dateAfter`.
  bool ofx = false;
  std::string dateAfter;
};

// The two-digit-year window: 74 to 99 become 1974 to 1999, 99 or less otherwise 2000 + year
// (00 to 73 mean 2000 to 2073); 100 or more stays as it is.
int completeYear(int year);

// The year of a date written without one: this year, unless month/day of this year is still to
// come (after `today`), then last year. So such a date always falls within the last twelve
// months, today included.
int defaultYear(int month, int day, const CalendarDay& today);
// Sets date.year by defaultYear() from date.month and date.day.
void setDefaultYear(CalendarDay& date, const CalendarDay& today);

// The position of the first plausible numeric date written with "/", "-" or "." (12/31/2023,
// 2023-12-31, 31.12.2023, or month and day alone), or none. The first separator that has two
// numbers around it decides: when they cannot be a date, the answer is none and later
// separators are not tried.
std::optional<std::size_t> findDateSlash(std::string_view text);
std::optional<std::size_t> findDateDash(std::string_view text);
std::optional<std::size_t> findDateDot(std::string_view text);
// Whether one of the three finds a date. The same answer, but the text is read only as far as
// the first date found, not once to its end for each separator that has none.
bool hasNumericDate(std::string_view text);

// The position (from `from` on) of the first date with a month name, by the long-date tables,
// or none. Sets state.longDateLength to its length.
std::optional<std::size_t> findDateLong(std::string_view text, const DateTables& tables,
                                        ScanState& state, std::size_t from = 0);

// The next transaction date at or after `from` as the rule describes it (its delimiter, start,
// end and distanceFromNewline; for the OFX format its dateAfter), or none. The answer is where the
// date begins and its length. The DateStart character in front of the date may lie before `from`.
// May record state.multipleBlankCount (see ScanState) and sets state.longDateLength for long dates.
// A format without DateDelimiter or DateStart finds nothing; without DateEnd a date must end the
// text.
std::optional<TextSpan> findDate(std::string_view text, const DateRule& rule,
                                 const DateTables& tables, ScanState& state, std::size_t from = 0);

// Reads a date field of a formatted text by the rule's delimiter ("/", "-", "." or "," for
// month names), end and dayBeforeMonth. A date without a year gets defaultYear(). None
// when the text is not such a date. The numbers are not range-checked (see CalendarDay).
std::optional<CalendarDay> parseDate(std::string_view date, const DateRule& rule,
                                     const DateTables& tables, const CalendarDay& today);

// Reads the date of a QIF "D" line (the text after the D) by the short-date patterns, the month
// names, or a bare month/day (which gets defaultYear()). `european` reads day before month.
// None when the text is not a date. The numbers are not range-checked (see CalendarDay).
std::optional<CalendarDay> parseQIFDate(std::string_view date, const DateTables& tables,
                                        bool european, const CalendarDay& today);

}  // namespace corvela
