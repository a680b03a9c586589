#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace corvela {

// A calendar day as the date scanners read it: year, month (1-12) and day (1-31), in the local
// time zone. The scanners hand back the numbers as the text gave them, so a day may be out of
// range (a European-order flag applied to 12/31/2023 gives month 31); check isValid() before
// using it as a date.
struct CalendarDay {
  int year = 0;
  int month = 0;
  int day = 0;

  // The local date now. The one place that reads the clock: everything that needs "today"
  // takes a CalendarDay, so tests pass the day they want.
  static CalendarDay today();
  // Bounds before and after every real day: a date range from one to the other takes all
  // transactions.
  static CalendarDay distantPast() { return {-1000000, 1, 1}; }
  static CalendarDay distantFuture() { return {1000000, 12, 31}; }

  // Whether the numbers name a real day of the Gregorian calendar (years 1 to 9999).
  bool isValid() const;

  // The day written with a strftime pattern ("%m/%d/%Y" gives 01/31/2024). Precondition:
  // isValid(). An invalid day gives an empty string.
  std::string format(std::string_view pattern) const;

  // The day `days` later (earlier when negative). Precondition: isValid().
  CalendarDay plusDays(int days) const;

  auto operator<=>(const CalendarDay&) const = default;
};

// Writes days with one strftime pattern, remembering the last: the records of a statement mostly
// share the day of the one before, which is then written once for all of them.
class DayWriter {
 public:
  explicit DayWriter(std::string pattern) : pattern_(std::move(pattern)) {}
  // `day` written; valid until the next call. Precondition: day.isValid().
  const std::string& operator()(const CalendarDay& day) {
    if (day != last_) {
      last_ = day;
      text_ = day.format(pattern_);
    }
    return text_;
  }

 private:
  std::string pattern_;
  std::optional<CalendarDay> last_;
  std::string text_;
};

}  // namespace corvela
