#include "inputformats/WizardColumns.h"

#include <algorithm>
#include <map>
#include <set>

#include "inputformats/Extract.h"
#include "inputformats/WizardDates.h"
#include "text/Amounts.h"
#include "text/Fields.h"

namespace corvela {

namespace {

constexpr std::size_t kGuessSample = 200;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Drops the end of a UTF-8 text beyond `limit` bytes without cutting a character in two.
void cutAt(std::string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

std::string cleanCell(std::string_view raw, bool separatedValues) {
  std::string cell;
  cell.reserve(raw.size());
  for (char c : raw) {
    if (isBlank(c)) {
      if (!cell.empty() && cell.back() != ' ') cell += ' ';
    } else {
      cell += c;
    }
  }
  while (!cell.empty() && cell.back() == ' ') cell.pop_back();
  if (separatedValues && cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') {
    std::string unquoted;
    for (std::size_t i = 1; i + 1 < cell.size(); ++i) {
      unquoted += cell[i];
      if (cell[i] == '"' && cell[i + 1] == '"') ++i;
    }
    cell = std::move(unquoted);
  }
  cutAt(cell, kMaxCellLength);
  return cell;
}

bool hasDecimals(std::string_view cell) {
  for (std::size_t i = 0; i + 1 < cell.size(); ++i) {
    if ((cell[i] == '.' || cell[i] == ',') && cell[i + 1] >= '0' && cell[i + 1] <= '9') return true;
  }
  return false;
}

bool isAmountCell(const std::string& cell) {
  return findAmount(convertEuropeanAmount(cell)).isAmount() &&
         cell.find_first_of("0123456789") != std::string::npos;
}

// Whether nearly every non-empty cell of column `c` passes `test` (and one cell at least).
template <typename Test>
bool columnFits(const std::vector<std::vector<std::string>>& rows, std::size_t c, Test test) {
  std::size_t filled = 0, fitting = 0;
  for (const auto& row : rows) {
    if (c >= row.size() || row[c].empty()) continue;
    ++filled;
    if (test(row[c])) ++fitting;
  }
  return filled > 0 && fitting * 10 >= filled * 9;
}

}  // namespace

std::vector<std::string> previewCells(std::string_view chunk, std::string_view rule,
                                      ScanState& state, std::size_t maxColumns) {
  std::vector<std::string> cells;
  const bool separatedValues = fieldRule::isSeparatedValues(rule);
  std::size_t at = 0;
  while (at < chunk.size() && cells.size() < maxColumns) {
    if (!separatedValues) {
      while (at < chunk.size() && chunk[at] == ' ') ++at;
      if (at == chunk.size()) break;
    }
    FieldBreak cut = findField(chunk, at, rule, state);
    cells.push_back(cleanCell(chunk.substr(at, cut.end - at), separatedValues));
    at = cut.next;
  }
  return cells;
}

std::vector<std::string> previewOfFields(const std::vector<std::string>& fields,
                                         std::size_t maxColumns) {
  std::vector<std::string> cells;
  for (std::size_t i = 0; i < fields.size() && i < maxColumns; ++i) {
    cells.push_back(cleanCell(fields[i], false));
  }
  return cells;
}

std::string_view fieldRuleForTag(SeparatorTag tag) {
  switch (tag) {
    case SeparatorTag::initialBlanks:
      return fieldRule::INITIAL_BLANKS;
    case SeparatorTag::columns:
      return fieldRule::COLUMNS;
    case SeparatorTag::count:
      return fieldRule::COUNT;
    case SeparatorTag::tabsOnly:
      return fieldRule::TABS_ONLY;
    case SeparatorTag::multipleBlanks:
      return fieldRule::MULTIPLE_BLANKS;
    case SeparatorTag::csv:
      return fieldRule::CSV;
    case SeparatorTag::fixedColumns:
      return fieldRule::COLUMNS;
    case SeparatorTag::ssv:
      return fieldRule::SSV;
  }
  return fieldRule::COLUMNS;
}

SeparatorTag classicSeparatorGuess(const std::vector<std::string>& chunks, int& maxFieldCount) {
  maxFieldCount = 0;
  std::set<int> counts, nonEmptyCounts;
  bool blankAfterSeparator = false;
  for (const std::string& chunk : chunks) {
    int count = 1, nonEmpty = 0;
    bool fieldHasText = false;
    for (std::size_t i = 0; i < chunk.size() && chunk[i] != '\n'; ++i) {
      if (chunk[i] == '\t' || chunk[i] == '\r') {
        nonEmpty += fieldHasText;
        fieldHasText = false;
        ++count;
        if (i + 1 < chunk.size() && chunk[i + 1] == ' ') blankAfterSeparator = true;
      } else {
        fieldHasText = true;
      }
    }
    nonEmpty += fieldHasText;
    counts.insert(count);
    nonEmptyCounts.insert(nonEmpty);
    maxFieldCount = std::max(maxFieldCount, count);
  }
  if (counts.size() > 1 && nonEmptyCounts.size() == 1 && *nonEmptyCounts.begin() != 0) {
    return SeparatorTag::count;
  }
  return blankAfterSeparator ? SeparatorTag::initialBlanks : SeparatorTag::columns;
}

SeparatorTag preselectSeparator(const std::vector<std::string>& chunks, const Value& format,
                                const ScanState& scan, std::size_t sample) {
  std::vector<std::string> sampled(
      chunks.begin(),
      chunks.begin() + static_cast<std::ptrdiff_t>(std::min(sample, chunks.size())));
  int maxFieldCount = 0;
  const SeparatorTag classic = classicSeparatorGuess(sampled, maxFieldCount);
  // The classic guess goes first so that it wins every tie.
  std::vector<SeparatorTag> candidates{classic};
  for (int tag = 0; tag < kSeparatorTagCount; ++tag) {
    auto t = static_cast<SeparatorTag>(tag);
    if (t != classic && t != SeparatorTag::fixedColumns) candidates.push_back(t);
  }
  SeparatorTag best = classic;
  std::size_t bestAgreeing = 0, bestCount = 0;
  for (SeparatorTag tag : candidates) {
    ScanState state = scan;
    Value cutting = format;
    cutting.set("Fields", fieldRuleForTag(tag));
    std::map<std::size_t, std::size_t> chunksByCount;
    for (const std::string& chunk : sampled) {
      if (!chunk.empty()) ++chunksByCount[cutFields(chunk, cutting, state).fields.size()];
    }
    for (auto [count, agreeing] : chunksByCount) {
      if (count < 2) continue;
      if (agreeing > bestAgreeing || (agreeing == bestAgreeing && count > bestCount)) {
        best = tag;
        bestAgreeing = agreeing;
        bestCount = count;
      }
    }
  }
  return best;
}

ColumnKind columnKindOf(std::string_view field) {
  if (field == "Date") return ColumnKind::date;
  if (field == "Description") return ColumnKind::description;
  if (field == "Indicator") return ColumnKind::indicator;
  for (std::string_view amount : {"Credit", "Debit", "Debit/Credit", "Amount", "Shares", "Price"}) {
    if (field == amount) return ColumnKind::amount;
  }
  return ColumnKind::none;
}

std::optional<int> preselectColumn(ColumnKind kind,
                                   const std::vector<std::vector<std::string>>& allRows,
                                   const std::vector<bool>& used, const DateTables& tables) {
  // A sample tells a column's kind as well as the whole, and a long statement stays quick.
  const std::vector<std::vector<std::string>> rows(
      allRows.begin(), allRows.begin() + static_cast<std::ptrdiff_t>(
                                             std::min<std::size_t>(allRows.size(), kGuessSample)));
  std::size_t columns = 0;
  for (const auto& row : rows) columns = std::max(columns, row.size());
  auto isDate = [&](const std::string& cell) { return dateDelimiterOf(cell, tables).has_value(); };
  auto free = [&](std::size_t c) { return c >= used.size() || !used[c]; };
  auto dateColumn = [&](std::size_t c) { return columnFits(rows, c, isDate); };
  // Dates such as 15.03.2017 read as amounts too, so a column of dates is never one of amounts.
  auto amountColumn = [&](std::size_t c) {
    return !dateColumn(c) && columnFits(rows, c, isAmountCell) &&
           std::any_of(rows.begin(), rows.end(),
                       [c](const auto& row) { return c < row.size() && hasDecimals(row[c]); });
  };
  auto isText = [&](std::size_t c) { return !dateColumn(c) && !amountColumn(c); };

  std::optional<int> best;
  double bestScore = 0;
  for (std::size_t c = 0; c < columns; ++c) {
    if (!free(c)) continue;
    switch (kind) {
      case ColumnKind::none:
        return std::nullopt;
      case ColumnKind::date:
        if (dateColumn(c)) return static_cast<int>(c);
        break;
      case ColumnKind::amount:
        if (amountColumn(c)) return static_cast<int>(c);
        break;
      case ColumnKind::description: {
        if (!isText(c)) break;
        std::size_t total = 0;
        for (const auto& row : rows) total += c < row.size() ? row[c].size() : 0;
        double width =
            rows.empty() ? 0 : static_cast<double>(total) / static_cast<double>(rows.size());
        if (width > bestScore) {
          best = static_cast<int>(c);
          bestScore = width;
        }
        break;
      }
      case ColumnKind::indicator: {
        if (!isText(c)) break;
        std::set<std::string> values;
        for (const auto& row : rows) {
          if (c < row.size() && !row[c].empty()) values.insert(row[c]);
        }
        if (values.size() < 2 || values.size() > 3) break;
        double score = 1.0 / static_cast<double>(values.size());
        if (score > bestScore) {
          best = static_cast<int>(c);
          bestScore = score;
        }
        break;
      }
    }
  }
  return best;
}

}  // namespace corvela
