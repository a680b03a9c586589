#pragma once

#include <string_view>

namespace corvela {

// Keys of the continuation dictionary: a bank or credit-card run that the person chose to
// finish later, saved in a continuation file and resumed from it.
namespace continuationKey {
// The whole transaction list, with the bookkeeping keys of the records already output.
inline constexpr std::string_view qif = "qif";
inline constexpr std::string_view fileAsString = "fileAsString";  // the output so far
inline constexpr std::string_view currentTransactionIndex = "currentTransactionIndex";  // integer
inline constexpr std::string_view numberOfTransactionsAppended =
    "numberOfTransactionsAppended";  // integer
// The main window's settings, restored when the run is continued.
inline constexpr std::string_view outputFormatText = "outputFormatText";
inline constexpr std::string_view sameDateSwitch = "sameDateSwitch";      // bool
inline constexpr std::string_view sameNumberSwitch = "sameNumberSwitch";  // bool
inline constexpr std::string_view outputDateString = "outputDateString";
inline constexpr std::string_view outputNumberString = "outputNumberString";
inline constexpr std::string_view account = "account";
}  // namespace continuationKey

}  // namespace corvela
