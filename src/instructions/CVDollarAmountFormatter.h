#pragma once

#include <string_view>

namespace corvela {

// The rule of an amount entry field: a signed decimal with at most two decimals, checked on
// the whole proposed text after each keystroke (a refused edit leaves the field as it was).
class CVDollarAmountFormatter {
 public:
  // Whether `proposed` is an optional "+" or "-", then decimal digits with at most one "."
  // and at most two digits after it. "", a lone sign and a lone "." are accepted.
  static bool isPartialStringValid(std::string_view proposed);
};

}  // namespace corvela
