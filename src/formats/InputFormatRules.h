#pragma once

#include <string_view>

#include "prefs/Value.h"
#include "text/Dates.h"

namespace corvela {

// The date rule of an input format record (its DateDelimiter, DateStart, DateEnd,
// DistanceFromNewline and DayBeforeMonth; for the OFX format, OFX and DateAfter). A key that
// is absent or not of its kind reads as absent.
DateRule dateRuleOf(const Value& format);

// The field rule of an input format record: the text of its Fields key ("" when absent), one
// of the fieldRule values of text/Fields.h for a format Corvela wrote.
std::string_view fieldRuleOf(const Value& format);

}  // namespace corvela
