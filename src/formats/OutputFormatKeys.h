#pragma once

#include <string_view>

namespace corvela {

// Keys of an output format record, a delimited output layout. Values are strings unless noted.
namespace outputFormatKey {
inline constexpr std::string_view Name = "Name";  // unique without regard to case
inline constexpr std::string_view Type = "Type";  // an outputFormatType value
// A value beginning with outputSeparator::Comma means comma-separated, any other tabs.
inline constexpr std::string_view Separator = "Separator";
// "Amount" for one signed column, else separate credit and debit columns; read by the editor
// only, production follows Order.
inline constexpr std::string_view Amount = "Amount";
inline constexpr std::string_view Order = "Order";      // array of outputColumn identifiers
inline constexpr std::string_view Present = "Present";  // array of bool, parallel to Order
inline constexpr std::string_view SplitsOutput = "SplitsOutput";  // integer, splitsOutput values
inline constexpr std::string_view ReformatDate = "ReformatDate";  // bool
// A strftime pattern; defaultReformatDateFormat when absent.
inline constexpr std::string_view ReformatDateFormat = "ReformatDateFormat";
}  // namespace outputFormatKey

// The store key of the output format list.
inline constexpr std::string_view kOutputFormatsKey = "OutputFormats";
// The name of the built-in entry that stands for QIF output; it has no other key.
inline constexpr std::string_view kQIFFormatName = "QIF";
inline constexpr std::string_view kDefaultReformatDateFormat = "%m/%d/%Y";

// Values of outputFormatKey::Type.
namespace outputFormatType {
inline constexpr std::string_view Bank = "Bank";
inline constexpr std::string_view CreditCard = "Credit Card";
inline constexpr std::string_view Investment = "Investment";
}  // namespace outputFormatType

namespace outputSeparator {
inline constexpr std::string_view Comma = "Comma";
}  // namespace outputSeparator

// Values of outputFormatKey::SplitsOutput (bank and credit card only).
namespace splitsOutput {
inline constexpr int none = 0;     // splits are not written
inline constexpr int lines = 1;    // each split gets a line of its own
inline constexpr int columns = 2;  // the Splits column holds amount, category, memo per split
}  // namespace splitsOutput

// Column identifiers of outputFormatKey::Order.
namespace outputColumn {
inline constexpr std::string_view Date = "Date";
inline constexpr std::string_view Type = "Type";
inline constexpr std::string_view Description = "Description";
inline constexpr std::string_view Memo = "Memo";
inline constexpr std::string_view Amount = "Amount";
inline constexpr std::string_view Credit = "Credit";
inline constexpr std::string_view Debit = "Debit";
inline constexpr std::string_view Number = "Number";
inline constexpr std::string_view Category = "Category";
inline constexpr std::string_view Shares = "Shares";
inline constexpr std::string_view Security = "Security";
inline constexpr std::string_view Price = "Price";
inline constexpr std::string_view Fees = "Fees";
inline constexpr std::string_view Account = "Account";
inline constexpr std::string_view Splits = "Splits";
inline constexpr std::string_view blank1 = "blank1";
inline constexpr std::string_view blank2 = "blank2";
inline constexpr std::string_view blank3 = "blank3";
}  // namespace outputColumn

}  // namespace corvela
