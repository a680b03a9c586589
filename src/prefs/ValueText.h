#pragma once

#include <string>
#include <string_view>

#include "platform/Status.h"
#include "prefs/Value.h"

namespace corvela {

// The printed form of a value, in the old-style property-list notation, one entry per line and
// nested values indented: { Accounts = ( Checking, "Visa Card" ); }.
std::string describe(const Value& value);

// JSON text of a value, indented. Dates are written as {"$date": "2024-01-31T12:00:00Z"} and
// data as {"$data": "<base64>"}, so that every value survives a round trip through fromJSON.
std::string toJSON(const Value& value);

// Reads JSON written by toJSON, or by hand. A number with a fraction or an exponent is a real,
// any other number an integer (one too large for 64 bits is refused). Errors say where the text
// went wrong: "line 3, column 7: <reason>" for broken JSON, "at Accounts[2]: <reason>" for a
// $date or $data that cannot be read, and nesting deeper than 200 levels is refused.
Result<Value> fromJSON(std::string_view text);

// Base64 text of bytes, and back; unbase64 answers false on a character outside the alphabet.
std::string base64(const Value::Bytes& bytes);
bool unbase64(std::string_view text, Value::Bytes* bytes);

// Conversions between the stored date (seconds since 2001-01-01 UTC) and ISO 8601 text in UTC.
std::string isoDate(Value::Date date);
bool parseIsoDate(std::string_view text, Value::Date* date);

}  // namespace corvela
