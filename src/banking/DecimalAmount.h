#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvela {

// Amounts as exact decimals: a whole count of units of 10^-precision. Split amounts are added
// and compared this way, so that 98765.43 stays 98765.43 and splits that add up are seen to
// add up, which binary floating point cannot promise.

// The precisions these functions accept; others are brought into this range.
inline constexpr int kMinDecimalPrecision = 0;
inline constexpr int kMaxDecimalPrecision = 9;

// Reads an amount written with a point as decimal separator (a European amount must have been
// converted first): blanks around it, a sign ("-" or "+") or an opening parenthesis or a trailing
// "-" for negative amounts, digits in which commas (thousands separators) are ignored, and an
// optional point with decimals. Decimals beyond `precision` are rounded half away from zero.
// A text of blanks reads as 0. None when the text is not such an amount or is too large to
// hold (about 9.2e18 units).
std::optional<std::int64_t> readDecimalAmount(std::string_view text, int precision);

// `units` written with exactly `precision` decimals and a point, as "%.Nf" writes it:
// -4000 with precision 2 gives "-40.00", 5 with precision 0 gives "5".
std::string writeDecimalAmount(std::int64_t units, int precision);

// The most decimals writeFixedAmount writes.
inline constexpr int kMaxFixedDecimals = 10;

// `amount` as printf's "%.Nf" writes it with N `decimals` (brought into 0 to kMaxFixedDecimals),
// except that a sign on nothing but zeros is dropped: it would read as a debit of nothing.
std::string writeFixedAmount(double amount, int decimals);

}  // namespace corvela
