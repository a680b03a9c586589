#pragma once

#include <cstddef>
#include <string_view>

namespace corvela {

// Keys of a transaction record, the unit every bank and credit-card reader produces. Values
// are strings unless noted; a key is absent when the input gave nothing for it.
namespace transactionKey {
inline constexpr std::string_view date = "date";  // written with the store's OutputDateFormat
inline constexpr std::string_view number = "number";
inline constexpr std::string_view description = "description";
inline constexpr std::string_view memo = "memo";
inline constexpr std::string_view amount = "amount";  // point as decimal separator
inline constexpr std::string_view category = "category";
inline constexpr std::string_view cleared = "cleared";  // the cleared mark as read
inline constexpr std::string_view splits = "splits";    // array of split records (splitKey)
inline constexpr std::string_view trntype = "trntype";  // OFX transaction type
// An error record carries only these (and perhaps trntype): why and what could not be read.
inline constexpr std::string_view errorMessage = "errorMessage";
inline constexpr std::string_view errorText = "errorText";
// Processing marks.
inline constexpr std::string_view amountAlreadyConverted = "amountAlreadyConverted";  // bool
inline constexpr std::string_view userSplits = "userSplits";          // bool: splits edited
inline constexpr std::string_view AlreadySwapped = "AlreadySwapped";  // bool
inline constexpr std::string_view outputLength = "outputLength";      // integer
}  // namespace transactionKey

// The keys a transaction record comes to while it is processed (the fields read, the amount
// mark and the output mark): readers make room for them when they start a record.
inline constexpr std::size_t kTransactionRecordKeys = 8;

// Keys of a split record, used by transaction, instruction and amount instruction records.
// All three strings are present; a new split has them empty.
namespace splitKey {
inline constexpr std::string_view category = "category";
inline constexpr std::string_view memo = "memo";
inline constexpr std::string_view amount = "amount";
inline constexpr std::string_view amountAlreadyConverted = "amountAlreadyConverted";  // bool
}  // namespace splitKey

}  // namespace corvela
