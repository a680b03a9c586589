#pragma once

#include <string_view>

namespace corvela {

// The learning wizard's own texts, shown as they are ("%@" is filled by formatMessage).

inline constexpr std::string_view kCreateInputFormat = "Create Input Format";
inline constexpr std::string_view kWizardIntro =
    "Please provide the information requested to create a new Input Format named \"%@\".";

// The kinds of account a format reads, in the order of the kind choice (Investment first).
inline constexpr std::string_view kKindInvestment = "Investment";
inline constexpr std::string_view kKindBank = "Bank";
inline constexpr std::string_view kKindCreditCard = "Credit Card";

inline constexpr std::string_view kBadDate = "Bad Date";
inline constexpr std::string_view kDateAtStartOfText =
    "The text you selected starts at the beginning of the input text.  Please try again to "
    "select a date that starts a transaction, but not the start of the input text.  You can hit "
    "CANCEL to start over.";
inline constexpr std::string_view kNoDateSelected =
    "You have not selected a date.  Please try again to select a date that starts a "
    "transaction.  If you cannot find a date by scrolling, then perhaps the input text does not "
    "contain transactions.  You can hit CANCEL to start over.";
inline constexpr std::string_view kNotJustADate =
    "The text you selected does not appear to contain just a date.  Don't select any blanks "
    "around the date.  Please try again to select a date that starts a transaction.  If you "
    "cannot find a date by scrolling, then perhaps the input text does not contain "
    "transactions.  You can hit CANCEL to start over.";

inline constexpr std::string_view kNotEnoughTransactions = "Not Enough Transactions";
inline constexpr std::string_view kNotEnoughTransactionsText =
    "The input text does not appear to contain at least 2 transactions.  Try again with at "
    "least 2 transactions.";

inline constexpr std::string_view kColumnAlreadyUsed = "Column Already Used";
inline constexpr std::string_view kColumnAlreadyUsedText =
    "The column you selected is already used for \"%@\".  If that is wrong, you need to press "
    "CANCEL and start over.  Or, you can select a different column and proceed.";
inline constexpr std::string_view kNoColumnSelected = "No Column Selected";
inline constexpr std::string_view kNoTextSelected = "No Text Selected";

}  // namespace corvela
