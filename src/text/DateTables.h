#pragma once

#include <string>
#include <vector>

namespace corvela {

// One long-date pattern and the month it recognises.
struct LongDateFormat {
  std::string format;  // a scan pattern (see ScanPattern.h) that ends with %n
  int month = 0;       // 1 to 12

  bool operator==(const LongDateFormat&) const = default;
};

// The date tables of the bundle, in the shape the date functions use. Built once by
// Bundle::dateTables(); tests build small ones directly.
struct DateTables {
  // CVShortDateFormats: numeric QIF dates; three number conversions, then %n.
  std::vector<std::string> shortDateFormats;
  // CVLongMonths: month names, matched case-sensitively as a prefix; entry i stands for month
  // i % 12 + 1. An entry that is not a string in the bundle is kept as "" (never matches), so the
  // indices still line up.
  std::vector<std::string> longMonths;
  // CVAfterLongMonth: what follows a month name in a QIF date; day and year, then %n.
  std::vector<std::string> afterLongMonth;
  // CVLongDateFormats: long dates with a year; day and year in either order, then %n.
  std::vector<LongDateFormat> longDateFormats;
  // CVLongDateNoYearFormats: long dates without a year; the day, then %n. The month of entry j
  // is that of CVLongDateFormats entry j; an entry with no such partner is left out.
  std::vector<LongDateFormat> longDateNoYearFormats;
};

}  // namespace corvela
