#pragma once

#include <string>
#include <string_view>

namespace corvela {

// An amount read from a field: its size and whether the text marked it negative.
struct AmountReading {
  // The amount without its sign, or -1.0 when the field does not hold an amount.
  double value = 0;
  // Set by a leading "-" or "(" or a trailing "-".
  bool negative = false;

  bool isAmount() const { return value >= 0; }
};

// The amount text with a point as decimal separator. A text whose last separator is a decimal
// comma is converted, its thousands separators exchanged (1.234,56 gives 1,234.56, 12,5 gives
// 12.5); any other text (1,234.56, 1,234, no separator) comes back unchanged. A comma followed
// by three more characters of which the third is a digit is taken for a thousands separator.
std::string convertEuropeanAmount(std::string_view amount);

// Reads the amount at the start of a field: blanks, "USD", a sign or "(", "$", "£" or "€", the
// digits (commas ignored, a point starts the decimals), an optional fraction after a blank
// (12 3/8), a trailing "-". The amount must be followed by white space, the end of the text,
// "+", ")", "<" or a non-breaking space; otherwise the field holds no amount. A text of blanks
// reads as 0. The pound sign and the non-breaking space are recognised as UTF-8 (C2 A3, C2 A0)
// and as the single bytes A3 and A0.
AmountReading findAmount(std::string_view text);

}  // namespace corvela
