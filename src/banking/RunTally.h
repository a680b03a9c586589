#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/ByteArena.h"

namespace corvela {

// A transaction of a run and the instruction that matched it, as the run read it.
struct InstructionMatch {
  std::string match;  // the instruction's match string
  std::string date;
  std::string amount;  // normalised; "" when the transaction has none
  std::string description;
  bool operator==(const InstructionMatch&) const = default;
};

// What became of the transactions of a bank or credit-card run, for its final report.
// Transactions the person went back to count for what was done with them last.
struct RunTally {
  int written = 0;    // output to the file
  int confirmed = 0;  // output with OK in the confirmation dialog
  int taught = 0;     // new instructions saved during the run
  int skipped = 0;    // left out with Skip Transaction, or unreadable and skipped
  // Not looked at: Skip Remaining ended the run before them.
  int leftUnprocessed = 0;
};

// The transactions of a run that an instruction matched, in run order (those Skip Remaining
// left are not looked at; one gone back to counts for its last match).
//
// Held packed: a run of a hundred thousand transactions mostly matches, and four strings
// apiece would outweigh the records themselves. Each match is a few bytes in large blocks. Its
// match string and date are numbers into a list of the distinct ones, as one instruction
// matches many transactions and neighbouring transactions share their day.
class InstructionMatches {
 public:
  std::size_t size() const { return entries_.size(); }
  void clear();
  void reserve(std::size_t matches) { entries_.reserve(matches); }
  void push_back(const InstructionMatch& match) {
    add(match.match, match.date, match.amount, match.description);
  }
  void add(std::string_view match, std::string_view date, std::string_view amount,
           std::string_view description);

  // The instruction's match string of match `index`, valid until the list changes.
  std::string_view match(std::size_t index) const;
  InstructionMatch operator[](std::size_t index) const;

 private:
  // The number of `text` in shared_, added when new. `last` is the one this field had last:
  // neighbouring transactions mostly share their day, and it spares a search.
  std::uint32_t shared(std::string_view text, std::uint32_t& last);

  ByteArena text_;
  // The distinct match strings and dates, and where each is in that list.
  std::vector<std::string_view> shared_;
  std::unordered_map<std::string_view, std::uint32_t> sharedIndex_;
  std::uint32_t lastMatch_ = 0;
  std::uint32_t lastDate_ = 0;
  // Where each match starts: the numbers of its match string and date, then its amount and
  // description, each after its length.
  std::vector<const char*> entries_;
};

// The report's sentence about the run beyond the count written, such as "2 confirmed,
// 1 taught as a new instruction, 1 skipped, 3 left unprocessed by Skip Remaining."; "" when
// there is nothing to add.
std::string tallyText(const RunTally& tally);

}  // namespace corvela
