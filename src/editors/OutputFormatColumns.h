#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvela {

// Which of the definition dialog's six column tables a format shows, chosen by its kind of
// account, its amount layout and whether investment cash transactions may be written (the option
// quicken2003, which brings the check number, description and category of those transactions).
struct ColumnTableChoice {
  bool investment = false;
  bool creditAndDebit = false;  // separate Credit and Debit columns instead of one Amount
  bool cashTransactions = false;
  bool operator==(const ColumnTableChoice&) const = default;
};

// The column identifiers of a table in their initial order. Every identifier is one that output
// production understands; the three blank columns come last.
std::vector<std::string_view> columnTable(const ColumnTableChoice& choice);

// Whether a column is written before the person changes anything: all but the blank columns,
// Account and Splits.
bool presentByDefault(std::string_view identifier);

// Whether a column stands for an empty field ("blank1", "blank2", ...).
bool isBlankColumn(std::string_view identifier);

// The heading the dialog shows over a column: the identifier itself, "Blank" for the blanks.
std::string columnTitle(std::string_view identifier);

}  // namespace corvela
