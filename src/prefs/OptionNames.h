#pragma once

#include <string_view>

namespace corvela {

// The names in the option list (stored under prefKey::Preferences). An option is on while its
// name is in the list; Preferences::find answers whether it is.
namespace option {
inline constexpr std::string_view append = "append";
inline constexpr std::string_view showAllAccountNames = "showAllAccountNames";
inline constexpr std::string_view markBankTransactionsAsCleared = "markBankTransactionsAsCleared";
inline constexpr std::string_view markBankTransactionsAsUncleared =
    "markBankTransactionsAsUncleared";
inline constexpr std::string_view markCreditCardTransactionsAsCleared =
    "markCreditCardTransactionsAsCleared";
inline constexpr std::string_view markCreditCardTransactionsAsUncleared =
    "markCreditCardTransactionsAsUncleared";
inline constexpr std::string_view markInvestmentTransactionsAsCleared =
    "markInvestmentTransactionsAsCleared";
inline constexpr std::string_view markInvestmentTransactionsAsUncleared =
    "markInvestmentTransactionsAsUncleared";
inline constexpr std::string_view markUnknownTransactionsAsCleared =
    "markUnknownTransactionsAsCleared";
inline constexpr std::string_view markUnknownTransactionsAsUncleared =
    "markUnknownTransactionsAsUncleared";
inline constexpr std::string_view runAutomatically = "runAutomatically";
inline constexpr std::string_view confirmAllTransactions = "confirmAllTransactions";
inline constexpr std::string_view textConfirmAllTransactions = "textConfirmAllTransactions";
inline constexpr std::string_view treatMemoAsDescription = "treatMemoAsDescription";
inline constexpr std::string_view leaveBlankDescriptionsBlank = "leaveBlankDescriptionsBlank";
inline constexpr std::string_view matchDescriptionThenMemo = "matchDescriptionThenMemo";
inline constexpr std::string_view matchMemoThenDescription = "matchMemoThenDescription";
inline constexpr std::string_view longestInstructionMatch = "longestInstructionMatch";
inline constexpr std::string_view baseCategoriesOnCategories = "baseCategoriesOnCategories";
inline constexpr std::string_view useCategoriesIfPresent = "useCategoriesIfPresent";
inline constexpr std::string_view dontAddCategories = "dontAddCategories";
inline constexpr std::string_view matchDescriptionWithContains = "matchDescriptionWithContains";
inline constexpr std::string_view quicken2003 = "quicken2003";
inline constexpr std::string_view formatFirstMatch = "formatFirstMatch";
inline constexpr std::string_view useOFXTRNTYPE = "useOFXTRNTYPE";
inline constexpr std::string_view initialCaps = "initialCaps";
inline constexpr std::string_view europeanDates = "europeanDates";
inline constexpr std::string_view outputEuropeanDates = "outputEuropeanDates";
inline constexpr std::string_view outputEuropeanAmounts = "outputEuropeanAmounts";
inline constexpr std::string_view outputDashDates = "outputDashDates";
inline constexpr std::string_view justStop = "justStop";
inline constexpr std::string_view justFinishLater = "justFinishLater";
inline constexpr std::string_view removeLongNumber = "removeLongNumber";
inline constexpr std::string_view updateCategoryWhenDescriptionChanged =
    "updateCategoryWhenDescriptionChanged";

// Markers the options dialog does not show.
// The list has been brought to the current layout.
inline constexpr std::string_view converted2_2 = "converted2.2";
// The accounts have been taken into the category list once at start-up.
inline constexpr std::string_view accountsInCategories = "accountsInCategories";
// Older option, removed at start-up.
inline constexpr std::string_view dontConfirmCancel = "dontConfirmCancel";
// Older option that nothing adds; while an old list still holds it, split categories are not
// warned about.
inline constexpr std::string_view baseSplitCategoriesOnCategories =
    "baseSplitCategoriesOnCategories";
}  // namespace option

// Top-level keys of the preference store used by the options and the stores beside them.
namespace prefKey {
inline constexpr std::string_view Preferences = "Preferences";  // the option list
inline constexpr std::string_view Instructions = "Instructions";
inline constexpr std::string_view Accounts = "Accounts";
inline constexpr std::string_view Categories = "Categories";
inline constexpr std::string_view Descriptions = "Descriptions";
inline constexpr std::string_view Securities = "Securities";

inline constexpr std::string_view amountsPrecision = "amountsPrecision";        // integer, 2
inline constexpr std::string_view sharesPrecision = "sharesPrecision";          // integer, 2
inline constexpr std::string_view pricesPrecision = "pricesPrecision";          // integer, 4
inline constexpr std::string_view bccAmountsPrecision = "bccAmountsPrecision";  // integer, 2
inline constexpr std::string_view DescriptionOutput = "DescriptionOutput";      // "%d"
inline constexpr std::string_view MemoOutput = "MemoOutput";                    // "%m"
inline constexpr std::string_view OutputDateFormat = "OutputDateFormat";        // "%m/%d/%Y"
inline constexpr std::string_view OutputDateFormatShortYear = "OutputDateFormatShortYear";
inline constexpr std::string_view SUEnableAutomaticChecks = "SUEnableAutomaticChecks";
inline constexpr std::string_view CheckForUpdates = "CheckForUpdates";

// Older keys removed at start-up.
inline constexpr std::string_view qifCancelDontAsk = "qifCancelDontAsk";
inline constexpr std::string_view invCancelDontAsk = "invCancelDontAsk";
}  // namespace prefKey

}  // namespace corvela
