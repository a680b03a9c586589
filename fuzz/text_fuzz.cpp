// Feeds random bytes to every text scanner: dates, amounts, fields, lines, case helpers, file
// decoding, and the scan-pattern matcher, which must also agree with the C library's sscanf.
//
//   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
//         -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELA_FUZZ=ON -DCORVELA_TESTS=OFF
//   cmake --build build/fuzz --target text_fuzz -j2
//   mkdir -p build/fuzz/text-corpus
//   build/fuzz/fuzz/text_fuzz -max_total_time=60 build/fuzz/text-corpus

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../tests/text/SscanfOracle.h"
#include "formats/InputFormatKeys.h"
#include "formats/InputFormatRules.h"
#include "prefs/Bundle.h"
#include "text/Amounts.h"
#include "text/CaseInsensitive.h"
#include "text/Dates.h"
#include "text/Fields.h"
#include "text/Lines.h"
#include "text/OutputTemplate.h"
#include "text/ScanPattern.h"
#include "text/TextFile.h"

namespace {

using namespace corvela;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "text_fuzz: %s\n", what);
    std::abort();
  }
}

const DateTables& tables() {
  static const DateTables built = Bundle::builtIn().dateTables();
  return built;
}

// An input format record chosen by the first bytes of the input.
Value formatFrom(std::string_view control) {
  static constexpr std::string_view kDelimiters[] = {"/", "-", ".", ",", ""};
  static constexpr std::string_view kRules[] = {"OFX",       "MULTIPLE_BLANKS", "CSV",
                                                "SSV",       "COLUMNS",         "COUNT",
                                                "TABS_ONLY", "INITIAL_BLANKS",  "XSV"};
  auto byte = [&](std::size_t i) {
    return i < control.size() ? static_cast<unsigned char>(control[i]) : 0;
  };
  Value format = Value::dictionary();
  format.set(inputFormatKey::DateDelimiter, kDelimiters[byte(0) % 5]);
  format.set(inputFormatKey::DateStart, std::string(1, static_cast<char>(byte(1))));
  format.set(inputFormatKey::DateEnd, std::string(1, static_cast<char>(byte(2))));
  format.set(inputFormatKey::Fields, kRules[byte(3) % 9]);
  format.set(inputFormatKey::DayBeforeMonth, (byte(4) & 1) != 0);
  if (byte(4) & 2) format.set(inputFormatKey::DistanceFromNewline, byte(5) % 12 - 2);
  if (byte(4) & 4) {
    format.set(inputFormatKey::OFX, true);
    format.set(inputFormatKey::DateAfter,
               control.substr(std::min<std::size_t>(6, control.size()), byte(4) >> 5));
  }
  return format;
}

void fuzzDates(std::string_view text, const Value& format, ScanState& state) {
  const CalendarDay today{2024, 6, 15};
  const DateRule rule = dateRuleOf(format);
  for (auto find : {findDateSlash, findDateDash, findDateDot}) {
    if (auto at = find(text)) check(*at < text.size(), "numeric date outside the text");
  }
  if (auto at = findDateLong(text, tables(), state)) {
    check(*at + static_cast<std::size_t>(state.longDateLength) <= text.size(),
          "long date runs past the text");
  }
  std::size_t from = 0;
  for (int guard = 0; guard < 10000 && from <= text.size(); ++guard) {
    std::optional<TextSpan> date = findDate(text, rule, tables(), state, from);
    if (!date) break;
    check(date->end() <= text.size(), "date runs past the text");
    std::string_view field = text.substr(date->start, date->length);
    (void)parseDate(field, rule, tables(), today);
    from = std::max(date->start + std::max<std::size_t>(1, date->length), from + 1);
  }
  (void)parseDate(text, rule, tables(), today);
  (void)parseQIFDate(text, tables(), false, today);
  (void)parseQIFDate(text, tables(), true, today);
}

void fuzzFields(std::string_view text, const Value& format, ScanState& state) {
  for (std::size_t start = 0; start < text.size();) {
    FieldBreak field = findField(text, start, fieldRuleOf(format), state);
    check(field.next > start, "field finder does not move on");
    check(field.end >= start && field.end <= field.next && field.next <= text.size(),
          "field outside the text");
    std::string_view piece = text.substr(start, field.end - start);
    AmountReading amount = findAmount(piece);
    check(amount.value == -1.0 || amount.value >= 0, "negative amount value");
    (void)findAmount(convertEuropeanAmount(piece));
    start = field.next;
  }
  std::string_view key = text.substr(0, std::min<std::size_t>(3, text.size()));
  for (bool after : {true, false}) {
    if (auto at = matchField(text, key, after)) check(*at <= text.size(), "match outside text");
  }
}

void fuzzScanPattern(std::string_view data) {
  std::size_t split = data.find('\x01');
  if (split == std::string_view::npos) return;
  std::string pattern(data.substr(0, std::min<std::size_t>(split, 64)));
  std::string_view text = data.substr(split + 1);
  ScanResult result = scanPattern(text, pattern);
  if (result.consumed) check(*result.consumed <= text.size(), "consumed past the text");
  // The C library reads a NUL-terminated copy, so the oracle needs a pattern without zero bytes.
  if (pattern.find('\0') != std::string::npos) return;
  if (!testing::assignedConversions(pattern)) return;
  std::string disagreement = testing::scanDisagreement(text, pattern);
  if (!disagreement.empty()) {
    std::fprintf(stderr, "pattern \"%s\": %s\n", pattern.c_str(), disagreement.c_str());
    std::abort();
  }
}

void fuzzCase(std::string_view text) {
  std::string_view half = text.substr(0, text.size() / 2);
  std::string_view other = text.substr(text.size() / 2);
  (void)caseInsensitiveCompare(half, other);
  (void)beginsWithIgnoringCase(text, half);
  if (auto found = findIgnoringCase(text, other.substr(0, 4))) {
    check(found->end() <= text.size(), "case-insensitive match past the text");
  }
  std::string replaced(text.substr(0, 512));
  caseInsensitiveReplace(replaced, other.substr(0, 2), "xy");
  (void)capitalizedWords(text.substr(0, 512));
  (void)convertOutputForFieldType(half, other, text);
}

}  // namespace

// Every scanner here walks the text several times over (dates from every position, fields,
// case folding); past a couple of kilobytes an input only repeats the same work more slowly.
constexpr std::size_t kMaxInput = 512;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) size = kMaxInput;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string_view control = bytes.substr(0, std::min<std::size_t>(8, size));
  std::string_view text = bytes.substr(control.size());

  Value format = formatFrom(control);
  ScanState state;
  state.multipleBlankCount = control.empty() ? 0 : static_cast<int>(control[0] & 3) - 1;

  // The long-date search tries every month name at every position: by far the costliest
  // scanner, so it gets the start of the text only: room for a date with a month name (the
  // longest, "September 30, 2024", is 18 bytes) and what stands around it.
  constexpr std::size_t kDateText = 40;
  fuzzDates(text.substr(0, kDateText), format, state);
  fuzzFields(text, format, state);
  fuzzScanPattern(bytes);
  fuzzCase(text);
  (void)findLines(text);

  // The decoded text differs from the bytes only when they were no UTF-8; the same text twice
  // would only halve the speed.
  DecodedText decoded = decodeText(bytes);
  if (decoded.text != bytes) {
    fuzzDates(std::string_view(decoded.text).substr(0, kDateText), format, state);
    fuzzFields(decoded.text, format, state);
  }
  return 0;
}
