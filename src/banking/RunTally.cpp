#include "banking/RunTally.h"

#include <algorithm>

#include "text/PackedCount.h"

namespace corvela {

namespace {

std::string_view takeText(const char*& at) {
  const auto size = static_cast<std::size_t>(takeCount(at));
  std::string_view text(at, size);
  at += size;
  return text;
}

}  // namespace

void InstructionMatches::clear() {
  text_.clear();
  shared_.clear();
  sharedIndex_.clear();
  entries_.clear();
}

std::uint32_t InstructionMatches::shared(std::string_view text, std::uint32_t& last) {
  if (last < shared_.size() && shared_[last] == text) return last;
  if (auto found = sharedIndex_.find(text); found != sharedIndex_.end())
    return last = found->second;
  char* copy = text_.allocate(text.size());
  std::copy(text.begin(), text.end(), copy);
  last = static_cast<std::uint32_t>(shared_.size());
  shared_.emplace_back(copy, text.size());
  sharedIndex_.emplace(shared_.back(), last);
  return last;
}

void InstructionMatches::add(std::string_view match, std::string_view date, std::string_view amount,
                             std::string_view description) {
  const std::uint32_t matchNumber = shared(match, lastMatch_);
  const std::uint32_t dateNumber = shared(date, lastDate_);
  char* at = text_.allocate(4 * kMostCountBytes + amount.size() + description.size());
  entries_.push_back(at);
  at = putCount(at, matchNumber);
  at = putCount(at, dateNumber);
  for (std::string_view text : {amount, description}) {
    at = putCount(at, text.size());
    at = std::copy(text.begin(), text.end(), at);
  }
  text_.giveBack(at);
}

std::string_view InstructionMatches::match(std::size_t index) const {
  const char* at = entries_[index];
  return shared_[takeCount(at)];
}

InstructionMatch InstructionMatches::operator[](std::size_t index) const {
  const char* at = entries_[index];
  InstructionMatch match;
  match.match = shared_[takeCount(at)];
  match.date = shared_[takeCount(at)];
  match.amount = takeText(at);
  match.description = takeText(at);
  return match;
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
