#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace corvela {

// Remembers a number for each distinct text, for the writers that share equal strings. A store
// of a million strings looks each one up once; std::unordered_map spends most of that time in
// one allocation and two cache misses per entry, this open-addressing table in one miss.
//
// Texts are not copied: each must stay valid as long as the table is used.
class StringTable {
 public:
  // The number remembered for `text`, and false; or, when `text` is new, `number` (which is
  // then remembered for it) and true.
  std::pair<std::uint64_t, bool> insert(std::string_view text, std::uint64_t number) {
    if (2 * (count_ + 1) > slots_.size()) grow();
    std::size_t hash = std::hash<std::string_view>{}(text);
    for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[at];
      if (!slot.used) {
        slot = {hash, text, number, true};
        ++count_;
        return {number, true};
      }
      if (slot.hash == hash && slot.text == text) return {slot.number, false};
    }
  }

 private:
  struct Slot {
    std::size_t hash = 0;
    std::string_view text;
    std::uint64_t number = 0;
    bool used = false;
  };

  void grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : 2 * slots_.size());
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (!slot.used) continue;
      std::size_t at = slot.hash & (slots_.size() - 1);
      while (slots_[at].used) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;  // a power of two long, at most half used
  std::size_t count_ = 0;
};

}  // namespace corvela
