#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

// Keys of a question entry of the learning wizard's scripts (the bundle tables
// CVExtractBankCreditCard and CVExtractInvestment). Every key is optional.
namespace questionKey {
inline constexpr std::string_view Prompt = "Prompt";  // the question's text
// The answer is a column: its number is stored in the format under this key's text.
inline constexpr std::string_view Field = "Field";
// The answer is a piece of text selected in a cell, stored under this key's text.
inline constexpr std::string_view FieldMatch = "FieldMatch";
// With Field or FieldMatch: the answer is required; shown when none is given.
inline constexpr std::string_view Error = "Error";
inline constexpr std::string_view Yes = "Yes";  // array of entries asked after Yes
inline constexpr std::string_view No = "No";    // array of entries asked after No
// First entry of a Yes list: the format's amounts are to be negated.
inline constexpr std::string_view InvertAmount = "InvertAmount";
// Passed over when the format has a shares or price key; else its OK stores the format.
inline constexpr std::string_view CheckSharesOrPrice = "CheckSharesOrPrice";
// Passed over when the format has a security or symbol key; else asks for an assumed security.
inline constexpr std::string_view CheckSecurity = "CheckSecurity";
inline constexpr std::string_view Stop = "Stop";  // OK ends the wizard without storing
inline constexpr std::string_view Done = "Done";  // OK stores the format and ends the wizard
}  // namespace questionKey

// Bundle keys of the two scripts.
inline constexpr std::string_view kExtractBankCreditCard = "CVExtractBankCreditCard";
inline constexpr std::string_view kExtractInvestment = "CVExtractInvestment";

// Where the wizard stands in its script: the list of entries in use with its position, and the
// lists to return to after a Yes or No branch (so branches nest to any depth). Entries that are
// not dictionaries are kept in place and read as empty entries.
class QuestionStack {
 public:
  // Starts over at the first entry of `questions` (an array; anything else reads as empty),
  // with no lists to return to.
  void start(const Value& questions);

  // The current entry, or nullptr when the script has run out.
  const Value* current() const;

  // Moves to the next entry: the following one of the list in use, or, when that list has run
  // out, the one after the branch question in the list below it, and so on. False (and
  // current() nullptr) when every list has run out.
  bool advance();

  // Asks `list` next, returning to the entry after the current one when it runs out. An empty
  // list or a value that is no array is a branch without questions: the same as advance().
  bool enter(const Value& list);

  // How many lists wait below the one in use.
  std::size_t depth() const { return stack_.size(); }

 private:
  struct ListState {
    Value questions;
    std::size_t index = 0;
  };
  ListState current_;
  std::vector<ListState> stack_;
};

}  // namespace corvela
