#include "banking/RunTally.h"

namespace corvela {

std::string tallyText(const RunTally& tally) {
  std::string text;
  auto add = [&text](int count, const char* what) {
    if (count <= 0) return;
    text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + what;
  };
  add(tally.confirmed, "confirmed");
  add(tally.taught, "taught as a new instruction");
  add(tally.skipped, "skipped");
  add(tally.leftUnprocessed, "left unprocessed by Skip Remaining");
  return text.empty() ? text : text + ".";
}

}  // namespace corvela
