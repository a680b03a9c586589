#include "formats/InputFormatRules.h"

#include "formats/InputFormatKeys.h"

namespace corvela {

DateRule dateRuleOf(const Value& format) {
  DateRule rule;
  rule.delimiter = str(format, inputFormatKey::DateDelimiter);
  rule.start = str(format, inputFormatKey::DateStart);
  rule.end = str(format, inputFormatKey::DateEnd);
  if (const Value* distance = format.find(inputFormatKey::DistanceFromNewline))
    rule.distanceFromNewline = distance->toInt();
  rule.dayBeforeMonth = format[inputFormatKey::DayBeforeMonth].toBool();
  rule.ofx = format.contains(inputFormatKey::OFX);
  rule.dateAfter = str(format, inputFormatKey::DateAfter);
  return rule;
}

std::string_view fieldRuleOf(const Value& format) { return str(format, inputFormatKey::Fields); }

}  // namespace corvela
