#pragma once

#include <string_view>

#include "prefs/Value.h"

namespace corvela {

// Keys of an instruction record: how to treat transactions whose description (or input
// category) begins with, or contains, a match string. A stored record holds exactly one of
// descriptionMatch and categoryMatch.
namespace instructionKey {
inline constexpr std::string_view descriptionMatch = "descriptionMatch";
inline constexpr std::string_view categoryMatch = "categoryMatch";
inline constexpr std::string_view newDescription = "newDescription";  // optional
inline constexpr std::string_view newMemo = "newMemo";                // optional
inline constexpr std::string_view category = "category";
inline constexpr std::string_view categoryConfirm = "categoryConfirm";  // "Y" when present
inline constexpr std::string_view number = "number";                    // "Y" when present
inline constexpr std::string_view splits = "splits";    // array of split records (splitKey)
inline constexpr std::string_view amounts = "amounts";  // array of amount instruction records
}  // namespace instructionKey

// Keys of an amount instruction record: a sub-rule of an instruction for one exact amount text.
namespace amountKey {
inline constexpr std::string_view amount = "amount";
inline constexpr std::string_view amountDescription = "amountDescription";
inline constexpr std::string_view amountCategory = "amountCategory";
inline constexpr std::string_view amountMemo = "amountMemo";        // optional
inline constexpr std::string_view amountConfirm = "amountConfirm";  // "Y" when present
inline constexpr std::string_view splits = "splits";                // array of split records
}  // namespace amountKey

// The value of the flags categoryConfirm, number and amountConfirm.
inline constexpr std::string_view kYes = "Y";

// The match string of an instruction record: its descriptionMatch when present, else its
// categoryMatch ("" when it has neither).
inline const std::string& matchString(const Value& instruction) {
  if (const Value* match = instruction.find(instructionKey::descriptionMatch))
    return match->toString();
  return str(instruction, instructionKey::categoryMatch);
}

}  // namespace corvela
