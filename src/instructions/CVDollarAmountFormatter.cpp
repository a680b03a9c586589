#include "instructions/CVDollarAmountFormatter.h"

namespace corvela {

bool CVDollarAmountFormatter::isPartialStringValid(std::string_view proposed) {
  if (!proposed.empty() && (proposed.front() == '+' || proposed.front() == '-'))
    proposed.remove_prefix(1);
  bool seenPoint = false;
  int decimals = 0;
  for (char c : proposed) {
    if (c == '.') {
      if (seenPoint) return false;
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      if (seenPoint && ++decimals > 2) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace corvela
