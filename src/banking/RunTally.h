#pragma once

#include <string>

namespace corvela {

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

// The report's sentence about the run beyond the count written, such as "2 confirmed,
// 1 taught as a new instruction, 1 skipped, 3 left unprocessed by Skip Remaining."; "" when
// there is nothing to add.
std::string tallyText(const RunTally& tally);

}  // namespace corvela
