#include "banking/DecimalAmount.h"

#include <algorithm>
#include <cstdlib>

namespace corvela {
namespace {

int clampedPrecision(int precision) {
  return std::clamp(precision, kMinDecimalPrecision, kMaxDecimalPrecision);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// units * 10 + digit, or false on overflow.
bool appendDigit(std::int64_t& units, int digit) {
  return !__builtin_mul_overflow(units, 10, &units) &&
         !__builtin_add_overflow(units, digit, &units);
}

}  // namespace

std::optional<std::int64_t> readDecimalAmount(std::string_view text, int precision) {
  precision = clampedPrecision(precision);
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return 0;

  bool negative = false;
  if (text.front() == '(' && text.size() > 1 && text.back() == ')') {
    negative = true;
    text = text.substr(1, text.size() - 2);
  } else if (text.front() == '-' || text.front() == '+') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  } else if (text.back() == '-') {
    negative = true;
    text.remove_suffix(1);
  }

  std::int64_t units = 0;
  bool anyDigit = false;
  std::size_t at = 0;
  for (; at < text.size() && text[at] != '.'; ++at) {
    if (text[at] == ',') continue;
    if (!isDigit(text[at]) || !appendDigit(units, text[at] - '0')) return std::nullopt;
    anyDigit = true;
  }
  int decimals = 0;
  bool roundUp = false;
  if (at < text.size()) {
    for (++at; at < text.size(); ++at) {
      if (!isDigit(text[at])) return std::nullopt;
      anyDigit = true;
      if (decimals < precision) {
        if (!appendDigit(units, text[at] - '0')) return std::nullopt;
        ++decimals;
      } else if (decimals == precision) {
        roundUp = text[at] >= '5';
        ++decimals;  // only the first digit past the precision decides
      }
    }
  }
  if (!anyDigit) return std::nullopt;
  for (; decimals < precision; ++decimals) {
    if (!appendDigit(units, 0)) return std::nullopt;
  }
  if (roundUp && __builtin_add_overflow(units, 1, &units)) return std::nullopt;
  return negative ? -units : units;
}

std::string writeDecimalAmount(std::int64_t units, int precision) {
  precision = clampedPrecision(precision);
  const bool negative = units < 0;
  // Through the unsigned magnitude, so that the most negative count has one too.
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
  std::string digits = std::to_string(magnitude);
  if (digits.size() <= static_cast<std::size_t>(precision))
    digits.insert(0, static_cast<std::size_t>(precision) + 1 - digits.size(), '0');
  if (precision > 0) digits.insert(digits.size() - static_cast<std::size_t>(precision), ".");
  return negative ? "-" + digits : digits;
}

}  // namespace corvela
