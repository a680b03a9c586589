#pragma once

#include <optional>
#include <string_view>

#include "prefs/Value.h"
#include "readers/RecordList.h"
#include "text/CalendarDay.h"
#include "text/DateTables.h"

namespace corvela {

class ErrorWarning;

// Reads a brokerage statement into investment transaction records (keys in InvestmentKeys.h),
// one per transaction in statement order, with an input format record: a person's investment
// text format (through the extractor), or the OFX investment format (a record with the key OFX),
// for which every transaction aggregate of the download is one transaction, dated by its
// <DTTRADE> or <DTPOSTED>, and whose security is the <SECNAME> the download's security list
// gives its <UNIQUEID> (or the identifier itself when the list does not name it).
//
// Dates are written in `outputDateFormat`. Only transactions from `fromDate` to `toDate` are
// read (an OFX transaction without a readable date is kept, without Date, so it can be shown).
// An unreadable text transaction goes to the reading-error warning: skip goes on, cancel ends
// the reading with none. Borrowed objects must outlive the reader.
class InvestmentReader {
 public:
  InvestmentReader(const DateTables& tables, ErrorWarning& errorWarning)
      : tables_(tables), errorWarning_(errorWarning) {}

  // The records, or none when the text cannot be read with the format.
  std::optional<RecordList> fromFormattedText(std::string_view text, const Value& format,
                                              CalendarDay fromDate, CalendarDay toDate,
                                              CalendarDay today, std::string_view outputDateFormat);

 private:
  const DateTables& tables_;
  ErrorWarning& errorWarning_;
};

}  // namespace corvela
