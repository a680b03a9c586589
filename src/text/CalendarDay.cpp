#include "text/CalendarDay.h"

#include <chrono>
#include <ctime>
#include <vector>

namespace corvela {
namespace {

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a valid Gregorian day (Howard Hinnant's days_from_civil).
long daysFromCivil(int year, int month, int day) {
  long y = year - (month <= 2 ? 1 : 0);
  long era = (y >= 0 ? y : y - 399) / 400;
  long yearOfEra = y - era * 400;
  long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

CalendarDay CalendarDay::plusDays(int days) const {
  using namespace std::chrono;
  year_month_day moved{sys_days(year_month_day(std::chrono::year(year),
                                               std::chrono::month(static_cast<unsigned>(month)),
                                               std::chrono::day(static_cast<unsigned>(day)))) +
                       std::chrono::days(days)};
  return {static_cast<int>(moved.year()), static_cast<int>(unsigned(moved.month())),
          static_cast<int>(unsigned(moved.day()))};
}

CalendarDay CalendarDay::today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool CalendarDay::isValid() const {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

std::string CalendarDay::format(std::string_view pattern) const {
  if (!isValid() || pattern.empty()) return {};
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = 0;
  tm.tm_isdst = -1;
  long days = daysFromCivil(year, month, day);
  tm.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  tm.tm_yday = static_cast<int>(days - daysFromCivil(year, 1, 1));
  std::string patternText(pattern);
  // strftime answers 0 both for an empty result and for a buffer too small; a pattern of
  // reasonable length never needs more than this. The answer is copied out at its own length:
  // every record of a statement keeps its date, and a short one then needs no allocation.
  const std::size_t room = 64 + patternText.size() * 4;
  char onStack[256];
  std::vector<char> onHeap(room > sizeof onStack ? room : 0);
  char* out = onHeap.empty() ? onStack : onHeap.data();
  std::size_t written = std::strftime(out, room, patternText.c_str(), &tm);
  return std::string(out, written);
}

}  // namespace corvela
