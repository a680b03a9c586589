#include "inputformats/WizardDates.h"

#include "inputformats/WizardTexts.h"
#include "text/Dates.h"
#include "text/Fields.h"

namespace corvela {

namespace {

bool isBreak(char c) { return c == '\r' || c == '\n'; }

// The whole UTF-8 character that ends just before `at`.
std::string characterBefore(std::string_view text, std::size_t at) {
  std::size_t begin = at - 1;
  while (begin > 0 && (static_cast<unsigned char>(text[begin]) & 0xC0) == 0x80) --begin;
  return std::string(text.substr(begin, at - begin));
}

// The whole UTF-8 character that begins at `at`.
std::string characterAt(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return std::string(text.substr(at, end - at));
}

}  // namespace

std::optional<std::size_t> earliestDateLineStart(std::string_view text, const DateTables& tables) {
  ScanState state;
  std::optional<std::size_t> first;
  for (std::optional<std::size_t> found : {findDateSlash(text), findDateDash(text),
                                           findDateDot(text), findDateLong(text, tables, state)}) {
    first = nonNullMin(first, found);
  }
  if (!first) return std::nullopt;
  std::size_t lineStart = *first;
  while (lineStart > 0 && !isBreak(text[lineStart - 1])) --lineStart;
  return lineStart;
}

std::optional<std::string> dateDelimiterOf(std::string_view dateText, const DateTables& tables) {
  if (findDateSlash(dateText) == std::optional<std::size_t>(0)) return "/";
  if (findDateDash(dateText) == std::optional<std::size_t>(0)) return "-";
  ScanState state;
  if (findDateLong(dateText, tables, state) == std::optional<std::size_t>(0)) return ",";
  if (findDateDot(dateText) == std::optional<std::size_t>(0)) return ".";
  return std::nullopt;
}

SelectedDate readSelectedDate(std::string_view text, TextSpan selection, const DateTables& tables) {
  SelectedDate answer;
  if (selection.length == 0 || selection.end() > text.size()) {
    answer.refusal = std::string(kNoDateSelected);
    return answer;
  }
  if (selection.start == 0) {
    answer.refusal = std::string(kDateAtStartOfText);
    return answer;
  }
  std::string_view date = text.substr(selection.start, selection.length);
  std::optional<std::string> delimiter;
  if (date.front() != ' ' && date.back() != ' ' && date.back() != '\t') {
    delimiter = dateDelimiterOf(date, tables);
  }
  if (!delimiter) {
    answer.refusal = std::string(kNotJustADate);
    return answer;
  }
  answer.delimiter = *delimiter;
  answer.start = characterBefore(text, selection.start);
  if (selection.end() < text.size()) answer.end = characterAt(text, selection.end());
  std::size_t lineStart = selection.start;
  while (lineStart > 0 && !isBreak(text[lineStart - 1])) --lineStart;
  answer.distanceFromNewline = 1 + static_cast<std::int64_t>(selection.start - lineStart);
  return answer;
}

}  // namespace corvela
