#pragma once

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/ScanPattern.h"

namespace corvela::testing {

// The C library's own answer for a scan pattern, to hold scanPattern() against.
struct SscanfAnswer {
  int conversions = 0;
  std::vector<std::optional<int>> numbers;  // one per assigned conversion; none for non-numbers
  std::optional<std::size_t> consumed;
};

// Field widths beyond this are left out: the sanitizers take a width as the size of the buffer
// that sscanf may fill.
inline constexpr std::size_t kMaxOracleWidth = 64;

// The kinds of the assigned conversions of a pattern ('d', 's', 'c', '['), or none when the
// pattern is outside what the oracle can drive: more than eight assigned conversions, a %n
// anywhere but at the very end, a width over kMaxOracleWidth, a length modifier or another
// conversion.
inline std::optional<std::string> assignedConversions(std::string_view pattern) {
  std::string kinds;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    ++i;
    bool suppress = i < pattern.size() && pattern[i] == '*';
    if (suppress) ++i;
    std::size_t width = 0;
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
      width = width * 10 + static_cast<std::size_t>(pattern[i] - '0');
      if (width > kMaxOracleWidth) return std::nullopt;
      ++i;
    }
    if (i >= pattern.size()) return std::nullopt;
    char c = pattern[i];
    if (c == '%') continue;
    if (c == 'n') {
      if (suppress || i + 1 != pattern.size()) return std::nullopt;
      continue;
    }
    if (c == '[') {
      std::size_t j = i + 1;
      if (j < pattern.size() && pattern[j] == '^') ++j;
      if (j < pattern.size() && pattern[j] == ']') ++j;
      while (j < pattern.size() && pattern[j] != ']') ++j;
      if (j >= pattern.size()) return std::nullopt;
      i = j;
    } else if (c != 'd' && c != 's' && c != 'c') {
      return std::nullopt;
    }
    if (!suppress) kinds += c;
  }
  if (kinds.size() > 8) return std::nullopt;
  return kinds;
}

// Runs sscanf on NUL-terminated copies. Precondition: assignedConversions(pattern) has a value.
inline SscanfAnswer sscanfAnswer(std::string_view text, std::string_view pattern) {
  std::string kinds = *assignedConversions(pattern);
  std::string input(text);
  std::string format(pattern);
  // Every conversion gets a buffer large enough for any string it could store.
  std::vector<std::vector<char>> slots(9, std::vector<char>(input.size() + kMaxOracleWidth + 16));
  int consumed = -12345;
  void* args[9];
  for (std::size_t i = 0; i < 9; ++i) args[i] = slots[i].data();
  args[kinds.size()] = &consumed;  // the %n comes after the conversions
  SscanfAnswer answer;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  answer.conversions = std::sscanf(input.c_str(), format.c_str(), args[0], args[1], args[2],
                                   args[3], args[4], args[5], args[6], args[7], args[8]);
#pragma GCC diagnostic pop
  int assigned = answer.conversions < 0 ? 0 : answer.conversions;
  for (int i = 0; i < assigned; ++i) {
    if (kinds[static_cast<std::size_t>(i)] == 'd') {
      int value;
      std::memcpy(&value, slots[static_cast<std::size_t>(i)].data(), sizeof value);
      answer.numbers.push_back(value);
    } else {
      answer.numbers.push_back(std::nullopt);
    }
  }
  if (consumed != -12345) answer.consumed = static_cast<std::size_t>(consumed);
  return answer;
}

// Whether scanPattern() agrees with sscanf; the differences, described, when it does not.
inline std::string scanDisagreement(std::string_view text, std::string_view pattern) {
  SscanfAnswer expected = sscanfAnswer(text, pattern);
  ScanResult got = scanPattern(text, pattern);
  std::string problems;
  if (got.conversions != expected.conversions)
    problems += "conversions " + std::to_string(got.conversions) + " instead of " +
                std::to_string(expected.conversions) + "; ";
  for (std::size_t i = 0; i < expected.numbers.size() && i < ScanResult::kMaxValues; ++i) {
    if (expected.numbers[i] && got.values[i] != *expected.numbers[i])
      problems += "value " + std::to_string(i) + " is " + std::to_string(got.values[i]) +
                  " instead of " + std::to_string(*expected.numbers[i]) + "; ";
  }
  if (got.consumed != expected.consumed)
    problems += "consumed " + (got.consumed ? std::to_string(*got.consumed) : "none") +
                " instead of " + (expected.consumed ? std::to_string(*expected.consumed) : "none");
  return problems;
}

}  // namespace corvela::testing
