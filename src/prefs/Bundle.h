#pragma once

#include <string_view>

#include "platform/Status.h"
#include "prefs/Value.h"
#include "text/DateTables.h"

namespace corvela {

// The tables that steer parsing and output (date patterns, month names, investment types, the
// OFX investment format), read from resources/bundle.plist, which is compiled into the program.
// main() builds one Bundle and hands it to whoever needs a table.
class Bundle {
 public:
  // The tables compiled into the program.
  static const Bundle& builtIn();

  // Tables from the text of an XML property list whose root is a dictionary.
  static Result<Bundle> fromXML(std::string_view xml);

  // The table under `key` (CVShortDateFormats, CVLongMonths, ...), or a null value.
  const Value& table(std::string_view key) const { return tables_[key]; }
  const Value& tables() const { return tables_; }

  // The date tables (CVShortDateFormats, CVLongMonths, CVAfterLongMonth, CVLongDateFormats,
  // CVLongDateNoYearFormats) in the shape the date functions use. A missing table or a
  // malformed entry is left out (an entry of CVLongDateFormats without a month of 1 to 12 too),
  // so the date functions simply recognise less; they never fail because of the tables.
  DateTables dateTables() const;

 private:
  explicit Bundle(Value tables) : tables_(std::move(tables)) {}
  Value tables_;
};

}  // namespace corvela
