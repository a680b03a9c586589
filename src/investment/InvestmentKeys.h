#pragma once

#include <array>
#include <string_view>

#include "readers/TransactionKeys.h"

namespace corvela {

// Keys of an investment transaction record: the raw values of one transaction of a brokerage
// statement, as read. Texts are strings; Amount, Price and Shares are non-negative reals, or
// absent with the matching ...Error text ("Invalid: " and the text) when unreadable.
namespace investmentKey {
inline constexpr std::string_view Date = "Date";  // absent: the statement gave no date
inline constexpr std::string_view Type = "Type";
inline constexpr std::string_view Security = "Security";
inline constexpr std::string_view Symbol = "Symbol";
inline constexpr std::string_view Memo = "Memo";
inline constexpr std::string_view Category = "Category";
inline constexpr std::string_view Description = "Description";
inline constexpr std::string_view Check = "Check";
inline constexpr std::string_view Amount = "Amount";
inline constexpr std::string_view AmountError = "AmountError";
inline constexpr std::string_view amountWasNegative = "amountWasNegative";  // bool
inline constexpr std::string_view Price = "Price";
inline constexpr std::string_view PriceError = "PriceError";
inline constexpr std::string_view Shares = "Shares";
inline constexpr std::string_view SharesError = "SharesError";
inline constexpr std::string_view sharesWereNegative = "sharesWereNegative";  // bool
// OFX only: the type number the statement's own aggregate stands for, proposed when the type
// word has no mapping yet (integer).
inline constexpr std::string_view ProposedType = "ProposedType";
// Kept by the confirmation: the length of the output before the transaction was first handled,
// and that the person removed the splits by hand.
inline constexpr std::string_view outputLength = "outputLength";
inline constexpr std::string_view userSplits = "userSplits";
inline constexpr std::string_view splits = "splits";
// The keys above and those of splits: the table a run's record list packs them by.
inline constexpr std::array recordKeys = {Amount,
                                          AmountError,
                                          Category,
                                          Check,
                                          Date,
                                          Description,
                                          Memo,
                                          Price,
                                          PriceError,
                                          ProposedType,
                                          Security,
                                          Shares,
                                          SharesError,
                                          Symbol,
                                          Type,
                                          amountWasNegative,
                                          sharesWereNegative,
                                          outputLength,
                                          userSplits,
                                          splits,
                                          splitKey::category,
                                          splitKey::memo,
                                          splitKey::amount,
                                          splitKey::amountAlreadyConverted};
}  // namespace investmentKey

// Keys of the continuation of an investment run (besides those of continuationKey).
namespace investmentContinuationKey {
inline constexpr std::string_view iqif = "iqif";      // the record array
inline constexpr std::string_view format = "format";  // the input format record in use
}  // namespace investmentContinuationKey

// Type numbers besides the entries of the type table.
namespace quickenType {
inline constexpr int lastInvestmentAction = 18;  // 0..18 actions; above: cash transactions
inline constexpr int deposit = 19;
inline constexpr int withdrawal = 20;
inline constexpr int check = 22;
inline constexpr int transferBySign = 23;  // 0 (XIn) or 1 (XOut) by the amount's sign
inline constexpr int incomeBySign = 24;    // 4 (MiscInc) or 5 (MiscExp) by the amount's sign
inline constexpr int assumeDollar = 64;    // added: a price of 1 is assumed
inline constexpr int alwaysSkip = 100;
inline constexpr int none = 0x7fffffff;
}  // namespace quickenType

}  // namespace corvela
