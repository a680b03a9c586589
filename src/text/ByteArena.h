#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace corvela {

// Bytes kept in blocks that never move: what is stored keeps its address until the arena is
// cleared or destroyed, and growing never copies what is there. (A buffer that doubles copies
// everything at each step, and holds the old copy and the new one at once: for the records of
// a long statement, that moment is the run's peak.)
class ByteArena {
 public:
  ByteArena() = default;
  ByteArena(ByteArena&& other) noexcept { *this = std::move(other); }
  ByteArena& operator=(ByteArena&& other) noexcept {
    if (this == &other) return *this;
    blocks_ = std::move(other.blocks_);
    next_ = std::exchange(other.next_, nullptr);
    last_ = std::exchange(other.last_, nullptr);
    free_ = std::exchange(other.free_, 0);
    other.blocks_.clear();
    return *this;
  }

  // Room for `size` bytes, which keeps its address.
  char* allocate(std::size_t size) {
    if (size > kBlockSize / 2) {
      // A large piece gets a block of its own; the current block goes on being filled.
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
      last_ = nullptr;
      return blocks_.back().get();
    }
    if (size > free_) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
      next_ = blocks_.back().get();
      free_ = kBlockSize;
    }
    char* at = next_;
    next_ += size;
    free_ -= size;
    last_ = at;
    return at;
  }

  // Gives back the end of the room the last allocate() gave, from `end` on: room asked for
  // the most a piece may need, and used only as far as `end`. Room of a block of its own is kept.
  void giveBack(const char* end) {
    if (last_ == nullptr || end < last_ || end > next_) return;
    free_ += static_cast<std::size_t>(next_ - end);
    next_ = last_ + (end - last_);
  }

  void clear() {
    blocks_.clear();
    next_ = nullptr;
    last_ = nullptr;
    free_ = 0;
  }

 private:
  // Large enough that a block is mapped rather than carved from the heap, so that the untouched
  // end of the last block takes no memory.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 18;

  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  char* last_ = nullptr;  // where the last room taken from the current block starts
  std::size_t free_ = 0;
};

}  // namespace corvela
