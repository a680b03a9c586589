#include "banking/RunTally.h"

#include <algorithm>

namespace corvela {

namespace {

// Numbers and lengths take one byte below 128, as almost all do.
constexpr std::size_t kMaxCountBytes = 5;

char* putCount(char* at, std::uint32_t n) {
  while (n >= 0x80) {
    *at++ = static_cast<char>(n | 0x80);
    n >>= 7;
  }
  *at++ = static_cast<char>(n);
  return at;
}

std::uint32_t takeCount(const char*& at) {
  std::uint32_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*at++);
    n |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return n;
  }
}

std::string_view takeText(const char*& at) {
  const std::uint32_t size = takeCount(at);
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
  char* at = text_.allocate(4 * kMaxCountBytes + amount.size() + description.size());
  entries_.push_back(at);
  at = putCount(at, matchNumber);
  at = putCount(at, dateNumber);
  for (std::string_view text : {amount, description}) {
    at = putCount(at, static_cast<std::uint32_t>(text.size()));
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
