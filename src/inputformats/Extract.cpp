#include "inputformats/Extract.h"

#include <algorithm>

#include "formats/InputFormatKeys.h"
#include "formats/InputFormatRules.h"
#include "text/Dates.h"
#include "text/Fields.h"

namespace corvela {
namespace {

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }
bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string fillIn(std::string_view message, std::string_view value) {
  std::string text(message);
  if (std::size_t at = text.find("%@"); at != std::string::npos) text.replace(at, 2, value);
  return text;
}

void splitChunks(std::string_view text, const DateRule& rule, const DateTables& tables,
                 ScanState& state, TextSpan first, bool fromTextStart,
                 std::vector<std::string>& chunks) {
  std::size_t chunkStart = fromTextStart ? 0 : first.start;
  // The date that begins the chunk is searched past, so each search finds the next one; a chunk
  // that begins at the text's start by the format's word has no date of its own to pass.
  std::size_t passDate = fromTextStart ? 0 : first.length;
  while (true) {
    std::size_t from = chunkStart + std::max<std::size_t>(passDate, 1);
    std::optional<TextSpan> next =
        from < text.size() ? findDate(text, rule, tables, state, from) : std::nullopt;
    if (!next || next->start <= chunkStart) {
      chunks.emplace_back(text.substr(chunkStart));
      return;
    }
    std::size_t end = std::max(chunkStart, next->start - 1);
    chunks.emplace_back(text.substr(chunkStart, end - chunkStart));
    chunkStart = next->start;
    passDate = next->length;
  }
}

void splitLines(std::string_view text, std::size_t start, std::vector<std::string>& lines) {
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !isLineBreak(text[end])) ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end >= text.size()) return;
    start = end + 1;
  }
}

// One field's text as it goes into the field array; false for a quote that is never closed.
bool tidyField(std::string_view raw, bool separatedValues, std::string& field) {
  field.assign(raw);
  std::replace_if(field.begin(), field.end(), isLineBreak, ' ');
  std::size_t begin = 0;
  while (begin < field.size() && isBlankOrTab(field[begin])) ++begin;
  std::size_t end = field.size();
  if (!separatedValues || (begin < end && field[begin] == '"'))
    while (end > begin && isBlankOrTab(field[end - 1])) --end;
  if (!separatedValues || begin >= end || field[begin] != '"') {
    field = field.substr(begin, end - begin);
    return true;
  }
  if (end - begin < 2 || field[end - 1] != '"') return false;
  std::string_view inside = std::string_view(field).substr(begin + 1, end - begin - 2);
  while (!inside.empty() && isBlankOrTab(inside.back())) inside.remove_suffix(1);
  std::string unquoted;
  unquoted.reserve(inside.size());
  for (std::size_t i = 0; i < inside.size(); ++i) {
    unquoted.push_back(inside[i]);
    if (inside[i] == '"' && i + 1 < inside.size() && inside[i + 1] == '"') ++i;
  }
  field = std::move(unquoted);
  return true;
}

}  // namespace

std::vector<std::string> splitTextIntoLines(std::string_view text, const Value& format,
                                            const DateTables& tables, ScanState& state) {
  std::vector<std::string> chunks;
  const DateRule rule = dateRuleOf(format);
  std::optional<TextSpan> first = findDate(text, rule, tables, state);
  if (!first) return chunks;
  const bool fromTextStart = format[inputFormatKey::firstLineStartsWithTransactionDate].toBool();
  if (!format[inputFormatKey::OneTransactionPerLine].toBool()) {
    splitChunks(text, rule, tables, state, *first, fromTextStart, chunks);
    return chunks;
  }
  std::size_t lineStart = first->start;
  while (lineStart > 0 && !isLineBreak(text[lineStart - 1])) --lineStart;
  splitLines(text, fromTextStart ? 0 : lineStart, chunks);
  return chunks;
}

ChunkFields cutFields(std::string_view chunk, const Value& format, ScanState& state) {
  ChunkFields cut;
  if (format.contains(inputFormatKey::OFX)) {
    if (chunk.empty()) return cut;
    cut.fields.emplace_back(chunk.substr(0, 8));
    cut.fields.emplace_back(chunk.size() > 8 ? chunk.substr(8) : std::string_view());
    return cut;
  }
  const std::string_view rule = fieldRuleOf(format);
  const bool separatedValues = fieldRule::isSeparatedValues(rule);
  const Value* distance = format.find(inputFormatKey::DistanceFromNewline);
  state.initialBlanks =
      distance && distance->toInt() > 1 ? static_cast<int>(distance->toInt() - 1) : 0;
  // The line end that closes a chunk is no part of its last field.
  while (!chunk.empty() && isLineBreak(chunk.back())) chunk.remove_suffix(1);
  std::size_t pos = 0;
  while (pos < chunk.size()) {
    FieldBreak next = findField(chunk, pos, rule, state);
    if (next.end < pos || next.next <= pos) {
      cut.fields.clear();
      cut.error = kExtractUninterpretableMessage;
      return cut;
    }
    std::string field;
    if (!tidyField(chunk.substr(pos, next.end - pos), separatedValues, field)) {
      cut.fields.clear();
      cut.error = fillIn(kExtractBadSeparatedValuesMessage, rule);
      return cut;
    }
    cut.fields.push_back(std::move(field));
    pos = next.next;
  }
  return cut;
}

Extract::Extract(const DateTables& tables, CalendarDay today, std::string outputDateFormat)
    : tables_(tables), today_(today), outputDateFormat_(std::move(outputDateFormat)) {}

bool Extract::parseTransactionsForCString(std::string_view text, const Value& format) {
  state_ = ScanState{};
  transactionsAsLines_ = splitTextIntoLines(text, format, tables_, state_);
  transactionIndex_ = -1;
  return !transactionsAsLines_.empty();
}

bool Extract::nextTransactionUsingFormat(const Value& format, CalendarDay fromDate,
                                         CalendarDay toDate, ExtractedTransaction& transaction) {
  const Value* dateColumn = format.find(inputFormatKey::Date);
  const std::int64_t column = dateColumn ? dateColumn->toInt() : 0;
  const DateRule rule = dateRuleOf(format);
  while (++transactionIndex_ < static_cast<std::ptrdiff_t>(transactionsAsLines_.size())) {
    const std::string& chunk = transactionsAsLines_[transactionIndex_];
    if (chunk.empty()) continue;
    transaction = ExtractedTransaction{};
    ChunkFields cut = cutFields(chunk, format, state_);
    if (!cut.ok()) {
      transaction.error = std::move(cut.error);
      transaction.text = chunk;
      return true;
    }
    std::optional<CalendarDay> date;
    if (column >= 0 && static_cast<std::size_t>(column) < cut.fields.size())
      date = parseDate(cut.fields[column], rule, tables_, today_);
    if (!date || !date->isValid()) {
      transaction.error = kExtractNoDateMessage;
      transaction.text = chunk;
      return true;
    }
    if (*date < fromDate || *date > toDate) continue;
    cut.fields[column] = date->format(outputDateFormat_);
    transaction.fields = std::move(cut.fields);
    return true;
  }
  transactionIndex_ = static_cast<std::ptrdiff_t>(transactionsAsLines_.size());
  return false;
}

}  // namespace corvela
