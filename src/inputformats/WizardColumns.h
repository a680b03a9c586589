#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Value.h"
#include "text/DateTables.h"
#include "text/ScanState.h"

namespace corvela {

// How the learning wizard's second and third pages cut the sample into columns, guess the
// separator and guess which column answers a question. Plain functions over the transaction
// texts (the chunks the extractor cut the input into).

// The most columns a preview shows, and the most bytes a preview cell keeps.
inline constexpr std::size_t kMaxPreviewColumns = 24;
inline constexpr std::size_t kMaxCellLength = 255;

// One transaction's cells as the preview shows them: cut by findField with the field rule
// `rule` (the Fields value), at most `maxColumns` of them. Each cell loses its leading and
// trailing blanks, its line breaks become blanks and runs of blanks one blank; at most
// kMaxCellLength bytes are kept (never half a character). For the separated-values rules a
// quoted cell loses its quotes and a doubled quote becomes one. `state` is the scan state of
// this cutting (the INITIAL_BLANKS rule carries its blank count from one call to the next).
std::vector<std::string> previewCells(std::string_view chunk, std::string_view rule,
                                      ScanState& state, std::size_t maxColumns);

// Fields the extractor cut, as the preview shows them: at most `maxColumns`, each tidied as
// previewCells tidies a cell (its quotes are already gone).
std::vector<std::string> previewOfFields(const std::vector<std::string>& fields,
                                         std::size_t maxColumns);

// The separator choices of the second page by their tags.
enum class SeparatorTag : int {
  initialBlanks = 0,
  columns = 1,
  count = 2,
  tabsOnly = 3,
  multipleBlanks = 4,
  csv = 5,
  fixedColumns = 6,  // "COLUMNS", with the date's distance from the line break kept
  ssv = 7,
};
inline constexpr int kSeparatorTagCount = 8;

// The Fields value a separator choice stores.
std::string_view fieldRuleForTag(SeparatorTag tag);

// The classic separator guess from the tab-separated fields of each transaction's first line:
// COUNT when the field counts differ while the counts of non-empty fields agree (and are not 0),
// else INITIAL_BLANKS when a separator is followed by a blank, else COLUMNS. `maxFieldCount`
// receives the largest count.
SeparatorTag classicSeparatorGuess(const std::vector<std::string>& chunks, int& maxFieldCount);

// The separator to preselect: the choice under which the extractor cuts the most transactions
// into the same number of fields (two or more), the larger number winning a tie, then the
// classic guess, then the lower tag. The classic guess when no choice gives two fields or more.
// `format` is the record being learnt (its other keys are kept for the cutting); `scan`
// supplies the date search's blank count (MULTIPLE_BLANKS). Looks at the first `sample`
// transactions only.
SeparatorTag preselectSeparator(const std::vector<std::string>& chunks, const Value& format,
                                const ScanState& scan, std::size_t sample = 200);

// What a column question asks for, as far as guessing its column goes.
enum class ColumnKind { none, date, amount, description, indicator };

// The kind of a format key asked for by a column question (Date, Credit, Debit, Debit/Credit,
// Amount, Shares and Price are amounts; Description; Indicator); none for the others, whose
// columns are not guessed.
ColumnKind columnKindOf(std::string_view field);

// The column to preselect for a question of `kind` among `rows` (each a row of cells), skipping
// the columns marked in `used`: the first column whose cells are nearly all dates, or amounts
// (with at least one written with decimals), the widest column of text for a description, and
// the column of text with the fewest different values (two or three) for an indicator. None
// when no column fits.
std::optional<int> preselectColumn(ColumnKind kind,
                                   const std::vector<std::vector<std::string>>& rows,
                                   const std::vector<bool>& used, const DateTables& tables);

}  // namespace corvela
