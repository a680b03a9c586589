#pragma once

#include <ostream>

#include "text/CalendarDay.h"
#include "text/Fields.h"
#include "text/TextSpan.h"

namespace corvela {

// Readable failure messages for the text scanners' small value types.
inline void PrintTo(const TextSpan& span, std::ostream* os) {
  *os << "{start " << span.start << ", length " << span.length << "}";
}
inline void PrintTo(const CalendarDay& day, std::ostream* os) {
  *os << day.year << "-" << day.month << "-" << day.day;
}
inline void PrintTo(const FieldBreak& field, std::ostream* os) {
  *os << "{end " << field.end << ", next " << field.next << "}";
}

}  // namespace corvela
