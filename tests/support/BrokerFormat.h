#pragma once

#include "prefs/Value.h"

namespace corvela::testing {

// A broker's CSV layout of an investment text statement: date, action, security, amount,
// shares, price, matched by its header line "Date,Action,...".
inline Value brokerFormat() {
  return Value{{"Name", "Broker"},
               {"FormatType", "Investment"},
               {"Match", "Date,Action"},
               {"DateDelimiter", "/"},
               {"DateStart", "\n"},
               {"DateEnd", ","},
               {"OneTransactionPerLine", true},
               {"Fields", "CSV"},
               {"Date", 0},
               {"Type", 1},
               {"Security", 2},
               {"Amount", 3},
               {"Shares", 4},
               {"Price", 5}};
}

// The same layout whose action "Bought" is known to be a purchase (Buy).
inline Value brokerFormatBuying() {
  Value format = brokerFormat();
  format.set("TypeMappings", Value::Array{Value{{"formatType", "Bought"}, {"quickenType", 2}}});
  return format;
}

}  // namespace corvela::testing
