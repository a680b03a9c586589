#pragma once

#include <string>
#include <vector>

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
using InstructionMatches = std::vector<InstructionMatch>;

// The report's sentence about the run beyond the count written, such as "2 confirmed,
// 1 taught as a new instruction, 1 skipped, 3 left unprocessed by Skip Remaining."; "" when
// there is nothing to add.
std::string tallyText(const RunTally& tally);

}  // namespace corvela
