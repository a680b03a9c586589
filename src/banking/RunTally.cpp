#include "banking/RunTally.h"

#include <algorithm>

namespace corvela {

void InstructionMatches::add(std::string_view match, std::string_view date, std::string_view amount,
                             std::string_view description) {
  const std::array<std::string_view, 4> fields = {match, date, amount, description};
  std::size_t size = 0;
  for (std::string_view field : fields) size += field.size();
  char* next = text_.allocate(size);
  Entry entry{next, {}};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    entry.lengths[i] = static_cast<std::uint32_t>(fields[i].size());
    next = std::copy(fields[i].begin(), fields[i].end(), next);
  }
  entries_.push_back(entry);
}

std::string_view InstructionMatches::field(std::size_t index, std::size_t which) const {
  const Entry& entry = entries_[index];
  const char* at = entry.at;
  for (std::size_t i = 0; i < which; ++i) at += entry.lengths[i];
  return std::string_view(at, entry.lengths[which]);
}

InstructionMatch InstructionMatches::operator[](std::size_t index) const {
  return InstructionMatch{std::string(field(index, 0)), std::string(field(index, 1)),
                          std::string(field(index, 2)), std::string(field(index, 3))};
}

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
