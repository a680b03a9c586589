#pragma once

#include <string>
#include <vector>

namespace corvela {

class Bundle;

// One long-date pattern and the month it recognises.
struct LongDateFormat {
  std::string format;  // a scan pattern (see ScanPattern.h) that ends with %n
  int month = 0;       // 1 to 12

  bool operator==(const LongDateFormat&) const = default;
};

// The date tables of the bundle, in the shape the date functions use. Built once from a Bundle;
// tests build small ones directly.
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

  // The tables under those five keys. A missing table or a malformed entry is left out (an entry
  // of CVLongDateFormats without a month of 1 to 12 too), so the date functions simply recognise
  // less; they never fail because of the tables.
  static DateTables fromBundle(const Bundle& bundle);
};

}  // namespace corvela
