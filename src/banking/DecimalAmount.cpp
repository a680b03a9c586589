#include "banking/DecimalAmount.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

std::string writeFixedAmount(double amount, int decimals) {
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);
  // Almost every amount was read from a text with no more decimals than are written. Scaled, it
  // then lies within a rounding error of a whole number: far from halfway between two, so that
  // number is the rounding printf makes of the exact value too, and is written without it.
  // Below 2^40 the error of the scaling is under 2^-13, well inside the margin of 10^-3.
  static constexpr double kPowers[kMaxFixedDecimals + 1] = {1,   1e1, 1e2, 1e3, 1e4, 1e5,
                                                            1e6, 1e7, 1e8, 1e9, 1e10};
  const double scaled = amount * kPowers[decimals];
  if (decimals <= kMaxDecimalPrecision && std::fabs(scaled) < 0x1p40) {
    const double whole = std::nearbyint(scaled);
    if (std::fabs(scaled - whole) < 1e-3)
      return writeDecimalAmount(static_cast<std::int64_t>(whole), decimals);
  }
  // The buffer holds the longest a double can be (309 digits, the point and the decimals).
  char buffer[400];
  auto written =
      std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::fixed, decimals);
  std::string text(buffer, written.ptr);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace corvela
