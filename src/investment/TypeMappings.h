#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "investment/InvestmentKeys.h"
#include "prefs/Value.h"

namespace corvela {

// The person's mappings from a statement's type words to type numbers, kept in the input
// format record's TypeMappings (formatType, quickenType, optional assumedSecurity).

struct TypeMatch {
  int quickenType = quickenType::none;  // none when no mapping applies
  long index = -1;                      // the mapping matched, -1 for none
  std::string assumedSecurity;
};

// The mapping for `typeText`: the longest formatType that begins the text without regard to
// case (the first of equally long ones); an empty formatType matches only an empty text and is
// taken at once. Types 23 and 24 are resolved by `amountWasNegative` (23: 0 or 1; 24: 4 or 5).
TypeMatch quickenTypeForFormatType(const Value& format, std::string_view typeText,
                                   bool amountWasNegative);

// Removes the mapping at `matchedIndex` (none when -1) and appends `word` -> `type`, with the
// assumed security when it is not empty.
void addTypeMapping(Value& format, long matchedIndex, std::string_view word, int type,
                    std::string_view assumedSecurity);
// Removes the mapping at `matchedIndex`; nothing when it is out of range.
void deleteTypeMapping(Value& format, long matchedIndex);

// The amount text of a cash transaction in output form: the characters of `removeCharacters`
// dropped; with `european`, "," dropped and "." made ","; a leading "(" or a later "-" becomes
// a leading "-".
std::string normalizeQIFAmount(std::string_view amount, std::string_view removeCharacters,
                               bool european);
// The same over a split or transaction dictionary's `amount`, which it replaces, marking it
// `amountAlreadyConverted` so that it is converted once only. None without an amount.
std::optional<std::string> normalizeQIFAmountIn(Value& dictionary,
                                                std::string_view removeCharacters, bool european);

}  // namespace corvela
