#include "text/Fields.h"

#include <algorithm>

#include "text/CharClass.h"

namespace corvela {
namespace {

using charclass::isSpace;
using charclass::isVisible;

unsigned char at(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

FieldBreak multipleBlanks(std::string_view text, std::size_t start, const ScanState& state) {
  std::size_t first = text.find("  ", start);
  if (first == std::string_view::npos) return {text.size(), text.size()};
  std::size_t runEnd = first;
  while (runEnd < text.size() && text[runEnd] == ' ') ++runEnd;
  std::size_t next = runEnd;
  // The learnt width of the gap: blanks beyond it belong to the next field.
  if (state.multipleBlankCount >= 2)
    next = std::min(runEnd, first + static_cast<std::size_t>(state.multipleBlankCount));
  return {first, next};
}

FieldBreak separatedValues(std::string_view text, std::size_t start, char separator) {
  std::size_t i = start;
  std::size_t quote = start;
  while (quote < text.size() && (text[quote] == ' ' || text[quote] == '\t')) ++quote;
  bool quoted = quote < text.size() && text[quote] == '"';
  if (quoted) {
    i = quote + 1;
    while (true) {
      std::size_t close = text.find('"', i);
      if (close == std::string_view::npos) {  // unterminated: runs to the end
        i = text.size();
        break;
      }
      if (close + 1 < text.size() && text[close + 1] == '"') {
        i = close + 2;
        continue;
      }
      i = close + 1;
      break;
    }
  }
  std::size_t sep = text.find(separator, i);
  if (sep != std::string_view::npos) return {sep, sep + 1};
  // A line end turned blank, or left over from CR LF, after the closing quote of the last field
  // is not part of the field.
  if (quoted && text.size() - i == 1 && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n'))
    return {i, text.size()};
  return {text.size(), text.size()};
}

}  // namespace

FieldBreak findField(std::string_view text, std::size_t start, std::string_view rule,
                     ScanState& state) {
  const std::size_t n = text.size();
  if (start >= n) return {n, n};
  if (rule == fieldRule::OFX) return {n, n};
  if (rule == fieldRule::MULTIPLE_BLANKS) return multipleBlanks(text, start, state);
  if (fieldRule::isSeparatedValues(rule))
    return separatedValues(text, start, rule == fieldRule::SSV ? ';' : ',');

  const bool tabsOnly = rule == fieldRule::TABS_ONLY;
  auto isSeparator = [tabsOnly](unsigned char c) {
    return c == '\t' || (!tabsOnly && (c == '\r' || c == '\n'));
  };
  std::size_t i = start;
  while (true) {
    while (i < n && !isSeparator(at(text, i))) ++i;
    if (i >= n) return {n, n};
    const std::size_t sep = i;
    std::size_t k = sep + 1;
    if (rule == fieldRule::COLUMNS) {
      while (k < n && !isVisible(at(text, k)) && !isSeparator(at(text, k))) ++k;
      return {sep, k};
    }
    if (rule == fieldRule::COUNT) {
      while (k < n && !isVisible(at(text, k))) ++k;
      return {sep, k};
    }
    if (tabsOnly) {
      while (k < n && !isVisible(at(text, k)) && text[k] != '\t') ++k;
      return {sep, k};
    }
    // INITIAL_BLANKS: as many blanks as last time continue the field (an indented second
    // line of a description); another number starts a new field.
    int blanks = 0;
    while (k < n && text[k] == ' ') {
      ++k;
      ++blanks;
    }
    if (blanks != state.initialBlanks) {
      state.initialBlanks = blanks;
      return {sep, k};
    }
    i = k;
  }
}

std::optional<std::size_t> matchField(std::string_view text, std::string_view key, bool after) {
  if (key.empty()) return std::nullopt;
  std::size_t found = text.find(key);
  if (found == std::string_view::npos) return std::nullopt;
  if (after) {
    std::size_t i = found + key.size();
    while (i < text.size() && isSpace(at(text, i))) ++i;
    return i;
  }
  std::size_t i = found;
  while (i > 0 && !isVisible(at(text, i - 1))) --i;
  if (i == 0) return std::nullopt;  // nothing but white space in front of the key
  while (i > 0 && isVisible(at(text, i - 1))) --i;
  return i;
}

std::optional<std::size_t> nonNullMin(std::optional<std::size_t> a, std::optional<std::size_t> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

}  // namespace corvela
