#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

// The rule that picks the instruction for a text, walking `list` (an array of instruction
// records) in stored order: see Instructions::instructionMatching. Returns the position of the
// record that applies. It reads every record, so it is the reference the index is held to.
std::optional<std::size_t> matchByWalk(const Value& list, std::string_view text,
                                       std::string_view key, bool longest, bool contains);

// Answers the starts-with question of matchByWalk without walking the list: the folded match
// strings form a tree of characters, and a text is matched by walking down it, folding the text
// one character at a time, for as long as some match string continues it. A lookup costs the
// length of the longest match string that begins the text, whatever the number of records, and
// allocates nothing. Gives exactly matchByWalk's answers (first match in stored order, or the
// longest with the earliest on ties); it does not serve contains mode.
//
// It keeps a copy of the list it was built from. Copies share storage until written, so a list
// taken afresh from the store is recognised as the same one at no cost, and any change to the
// stored list (which gives it new storage) is seen at the next lookup, which starts afresh. The
// first few lookups of a key walk the list, and the tree is built at the one after them: a short
// statement never pays for a tree of thousands of instructions, nor a person who teaches one at
// every transaction for a tree each time, and a long run pays for those few walks only.
class InstructionIndex {
 public:
  std::optional<std::size_t> match(const Value& list, std::string_view text, std::string_view key,
                                   bool longest);

  // The lookups of a key answered by walking the list before its tree is built. Building the
  // tree of 5,000 instructions costs about as much as fourteen walks of them.
  static constexpr int kWalksBeforeTree = 8;

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  // The records whose folded match string ends at a node, reduced to the two that can win.
  struct Node {
    std::uint32_t firstEdge = 0;
    std::uint32_t edgeCount = 0;
    std::uint32_t earliest = kNone;  // the first of them in stored order
    std::uint32_t longest = kNone;   // the longest of them, the earliest on ties
    std::size_t longestLength = 0;   // its match string's length, measured as the walk measures
  };
  struct Edge {
    char32_t folded;
    std::uint32_t node;
  };
  struct KeyTable {
    std::string key;
    int walks = 0;            // the lookups answered by walking, up to kWalksBeforeTree
    std::vector<Node> nodes;  // the root first; none until the tree is built
    std::vector<Edge> edges;  // the edges of a node side by side, ordered by character
    std::optional<std::size_t> firstEmpty;  // the first record whose match string is ""
  };

  KeyTable& tableFor(const Value& list, std::string_view key);
  static void build(KeyTable& table, const Value::Array& records);
  static std::uint32_t child(const KeyTable& table, const Node& node, char32_t folded);

  Value list_;
  std::vector<KeyTable> tables_;
};

}  // namespace corvela
