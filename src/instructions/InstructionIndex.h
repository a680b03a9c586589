#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

// The rule that picks the instruction for a text, walking `list` (an array of instruction
// records) in stored order: see Instructions::instructionMatching. Returns the position of the
// record that applies. It reads every record, so it is the reference the index is held to.
std::optional<std::size_t> matchByWalk(const Value& list, std::string_view text,
                                       std::string_view key, bool longest, bool contains);

// Answers the starts-with question of matchByWalk without walking the list: each record's
// folded match string is a key of a table, and a text is looked up by its prefixes, one for
// each length some match string has. Gives exactly matchByWalk's answers (first match in stored
// order, or the longest with the earliest on ties); it does not serve contains mode.
//
// It keeps a copy of the list it was built from. Copies share storage until written, so a list
// taken afresh from the store is recognised as the same one at no cost, and any change to the
// stored list (which gives it new storage) makes the next lookup rebuild the table.
class InstructionIndex {
 public:
  std::optional<std::size_t> match(const Value& list, std::string_view text, std::string_view key,
                                   bool longest);

 private:
  struct Candidate {
    std::size_t position;
    std::size_t length;  // the match string's length, measured as the walk measures it
  };
  struct KeyTable {
    std::string key;
    // Folded match string -> the records that have it, in stored order.
    std::unordered_map<std::u32string, std::vector<Candidate>> byFoldedMatch;
    std::vector<std::size_t> foldedLengths;  // distinct, ascending
    std::optional<std::size_t> firstEmpty;   // the first record whose match string is ""
  };

  KeyTable& tableFor(const Value& list, std::string_view key);

  Value list_;
  std::vector<KeyTable> tables_;
};

}  // namespace corvela
