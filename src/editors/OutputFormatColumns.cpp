#include "editors/OutputFormatColumns.h"

#include "formats/OutputFormatKeys.h"

namespace corvela {

std::vector<std::string_view> columnTable(const ColumnTableChoice& choice) {
  namespace c = outputColumn;
  std::vector<std::string_view> columns{c::Date};
  if (choice.investment) {
    columns.insert(columns.end(), {c::Type, c::Security, c::Shares, c::Price, c::Fees});
    if (choice.cashTransactions) columns.push_back(c::Number);
    columns.push_back(c::Description);
    if (choice.cashTransactions) columns.push_back(c::Category);
  } else {
    columns.insert(columns.end(), {c::Number, c::Description, c::Category});
  }
  if (choice.creditAndDebit) {
    columns.insert(columns.end(), {c::Credit, c::Debit});
  } else {
    columns.push_back(c::Amount);
  }
  columns.insert(columns.end(), {c::Memo, c::Account});
  if (!choice.investment) columns.push_back(c::Splits);
  columns.insert(columns.end(), {c::blank1, c::blank2, c::blank3});
  return columns;
}

bool isBlankColumn(std::string_view identifier) { return identifier.starts_with("blank"); }

bool presentByDefault(std::string_view identifier) {
  return !isBlankColumn(identifier) && identifier != outputColumn::Account &&
         identifier != outputColumn::Splits;
}

std::string columnTitle(std::string_view identifier) {
  return isBlankColumn(identifier) ? std::string("Blank") : std::string(identifier);
}

}  // namespace corvela
