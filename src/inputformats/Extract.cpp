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
                 std::vector<TextSpan>& chunks) {
  std::size_t chunkStart = fromTextStart ? 0 : first.start;
  // The date that begins the chunk is searched past, so each search finds the next one; a chunk
  // that begins at the text's start by the format's word has no date of its own to pass.
  std::size_t passDate = fromTextStart ? 0 : first.length;
  while (true) {
    std::size_t from = chunkStart + std::max<std::size_t>(passDate, 1);
    std::optional<TextSpan> next =
        from < text.size() ? findDate(text, rule, tables, state, from) : std::nullopt;
    if (!next || next->start <= chunkStart) {
      chunks.push_back({chunkStart, text.size() - chunkStart});
      return;
    }
    std::size_t end = std::max(chunkStart, next->start - 1);
    chunks.push_back({chunkStart, end - chunkStart});
    chunkStart = next->start;
    passDate = next->length;
  }
}

bool isWhite(char c) { return isBlankOrTab(c) || isLineBreak(c); }

// One field's text as it goes into the field array; false for a quote that is never closed.
// Line ends inside become blanks, so they are trimmed as blanks are; `lineEnds` says whether the
// chunk the field comes from has any.
bool tidyField(std::string_view raw, bool separatedValues, bool lineEnds, std::string& field) {
  while (!raw.empty() && isWhite(raw.front())) raw.remove_prefix(1);
  const bool quoted = separatedValues && !raw.empty() && raw.front() == '"';
  if (!separatedValues || quoted)
    while (!raw.empty() && isWhite(raw.back())) raw.remove_suffix(1);
  if (!quoted) {
    field.assign(raw);
  } else {
    if (raw.size() < 2 || raw.back() != '"') return false;
    std::string_view inside = raw.substr(1, raw.size() - 2);
    while (!inside.empty() && isWhite(inside.back())) inside.remove_suffix(1);
    field.assign(inside);
    // A quote inside is written twice; most fields have none.
    if (std::size_t quote = field.find('"'); quote != std::string::npos) {
      std::size_t to = quote;
      for (std::size_t from = quote; from < field.size(); ++from) {
        field[to++] = field[from];
        if (field[from] == '"' && from + 1 < field.size() && field[from + 1] == '"') ++from;
      }
      field.resize(to);
    }
  }
  if (lineEnds) std::replace_if(field.begin(), field.end(), isLineBreak, ' ');
  return true;
}

FieldCutting cuttingOf(const Value& format) {
  FieldCutting cutting;
  cutting.rule = std::string(fieldRuleOf(format));
  cutting.ofx = format.contains(inputFormatKey::OFX);
  cutting.separatedValues = fieldRule::isSeparatedValues(cutting.rule);
  const Value* distance = format.find(inputFormatKey::DistanceFromNewline);
  if (distance && distance->toInt() > 1 && distance->toInt() < (1 << 30))
    cutting.initialBlanks = static_cast<int>(distance->toInt() - 1);
  return cutting;
}

// Cuts `chunk` into `fields`, whose strings are written over (a statement's rows mostly have
// the same fields, so after the first row a cut allocates nothing). Answers the error message,
// or "" when the chunk was cut; on an error `fields` is empty.
std::string cutInto(std::string_view chunk, const FieldCutting& cutting, ScanState& state,
                    std::vector<std::string>& fields) {
  std::size_t count = 0;
  auto nextField = [&fields, &count]() -> std::string& {
    if (count == fields.size()) fields.emplace_back();
    return fields[count++];
  };
  if (cutting.ofx) {
    if (!chunk.empty()) {
      nextField().assign(chunk.substr(0, 8));
      nextField().assign(chunk.size() > 8 ? chunk.substr(8) : std::string_view());
    }
    fields.resize(count);
    return {};
  }
  state.initialBlanks = cutting.initialBlanks;
  // The line end that closes a chunk is no part of its last field.
  while (!chunk.empty() && isLineBreak(chunk.back())) chunk.remove_suffix(1);
  // Two searches for one character each run far faster than one for either of two.
  const bool lineEnds =
      chunk.find('\n') != std::string_view::npos || chunk.find('\r') != std::string_view::npos;
  std::size_t pos = 0;
  while (pos < chunk.size()) {
    FieldBreak next = findField(chunk, pos, cutting.rule, state);
    if (next.end < pos || next.next <= pos) {
      fields.clear();
      return std::string(kExtractUninterpretableMessage);
    }
    if (!tidyField(chunk.substr(pos, next.end - pos), cutting.separatedValues, lineEnds,
                   nextField())) {
      fields.clear();
      return fillIn(kExtractBadSeparatedValuesMessage, cutting.rule);
    }
    pos = next.next;
  }
  fields.resize(count);
  return {};
}

ChunkFields cutWith(std::string_view chunk, const FieldCutting& cutting, ScanState& state) {
  ChunkFields cut;
  cut.error = cutInto(chunk, cutting, state, cut.fields);
  return cut;
}

// The chunks of `text` (see splitTextIntoLines): listed into `chunks` in chunk mode, given as
// `lines` to walk in line mode. Neither when the text holds no date.
void cutChunks(std::string_view text, const Value& format, const DateTables& tables,
               ScanState& state, std::vector<TextSpan>& chunks, std::optional<LineChunks>& lines) {
  const DateRule rule = dateRuleOf(format);
  std::optional<TextSpan> first = findDate(text, rule, tables, state);
  if (!first) return;
  const bool fromTextStart = format[inputFormatKey::firstLineStartsWithTransactionDate].toBool();
  if (!format[inputFormatKey::OneTransactionPerLine].toBool()) {
    splitChunks(text, rule, tables, state, *first, fromTextStart, chunks);
    return;
  }
  std::size_t lineStart = first->start;
  while (lineStart > 0 && !isLineBreak(text[lineStart - 1])) --lineStart;
  lines.emplace(text, fromTextStart ? 0 : lineStart);
}

}  // namespace

LineChunks::LineChunks(std::string_view text, std::size_t start)
    : text_(text), start_(start), lf_(text.find('\n', start)), cr_(text.find('\r', start)) {}

bool LineChunks::next(TextSpan& chunk) {
  if (start_ >= text_.size()) return false;
  if (lf_ < start_) lf_ = text_.find('\n', start_);
  if (cr_ < start_) cr_ = text_.find('\r', start_);
  const std::size_t end = std::min({lf_, cr_, text_.size()});
  chunk = {start_, end - start_};
  start_ = end + 1;
  return true;
}

std::vector<std::string> splitTextIntoLines(std::string_view text, const Value& format,
                                            const DateTables& tables, ScanState& state) {
  std::vector<TextSpan> spans;
  std::optional<LineChunks> lines;
  cutChunks(text, format, tables, state, spans, lines);
  if (lines)
    for (TextSpan span; lines->next(span);) spans.push_back(span);
  std::vector<std::string> chunks;
  for (const TextSpan& span : spans) chunks.emplace_back(text.substr(span.start, span.length));
  return chunks;
}

ChunkFields cutFields(std::string_view chunk, const Value& format, ScanState& state) {
  return cutWith(chunk, cuttingOf(format), state);
}

Extract::Extract(const DateTables& tables, CalendarDay today, std::string outputDateFormat)
    : tables_(tables), today_(today), writeDay_(std::move(outputDateFormat)) {}

bool Extract::parseTransactionsForCString(std::string_view text, const Value& format) {
  state_ = ScanState{};
  const Value* dateColumn = format.find(inputFormatKey::Date);
  dateColumn_ = dateColumn ? dateColumn->toInt() : 0;
  dateRule_ = dateRuleOf(format);
  cutting_ = cuttingOf(format);
  text_ = text;
  chunks_.clear();
  nextChunk_ = 0;
  lines_.reset();
  cutChunks(text_, format, tables_, state_, chunks_, lines_);
  lastDate_.reset();
  return !chunks_.empty() || lines_;
}

bool Extract::nextChunk(TextSpan& chunk) {
  if (lines_) return lines_->next(chunk);
  if (nextChunk_ == chunks_.size()) return false;
  chunk = chunks_[nextChunk_++];
  return true;
}

bool Extract::nextTransactionUsingFormat(const Value&, CalendarDay fromDate, CalendarDay toDate,
                                         ExtractedTransaction& transaction) {
  const std::int64_t column = dateColumn_;
  const std::string_view text = text_;
  for (TextSpan span; nextChunk(span);) {
    if (span.length == 0) continue;
    const std::string_view chunk = text.substr(span.start, span.length);
    transaction.error.clear();
    transaction.text.clear();
    std::vector<std::string>& fields = transaction.fields;
    transaction.error = cutInto(chunk, cutting_, state_, fields);
    if (!transaction.error.empty()) {
      transaction.text = chunk;
      return true;
    }
    if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) {
      fields.clear();
      transaction.error = kExtractNoDateMessage;
      transaction.text = chunk;
      return true;
    }
    std::string& field = fields[static_cast<std::size_t>(column)];
    if (!lastDate_ || lastDate_->field != field) {
      std::optional<CalendarDay> day = parseDate(field, dateRule_, tables_, today_);
      if (day && !day->isValid()) day.reset();
      lastDate_ = LastDate{field, day};
    }
    const std::optional<CalendarDay>& date = lastDate_->day;
    if (!date) {
      fields.clear();
      transaction.error = kExtractNoDateMessage;
      transaction.text = chunk;
      return true;
    }
    if (*date < fromDate || *date > toDate) continue;
    field = writeDay_(*date);
    return true;
  }
  transaction.fields.clear();
  return false;
}

}  // namespace corvela
