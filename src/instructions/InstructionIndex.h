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

// Answers matchByWalk's question without walking the list: the folded match strings form a
// tree of characters, and a text is matched by walking down it, folding the text one character
// at a time. Gives exactly matchByWalk's answers (first match in stored order, or the longest
// with the earliest on ties), and allocates nothing.
//
// Starts-with: the walk goes down from the root for as long as some match string continues the
// text, so a lookup costs the length of the longest match string that begins it.
// Contains: each node also knows where to go on when the text leaves it (the longest end of its
// string that some match string begins with), and what matches end there, so the text is read
// once, whatever the number of records, where a walk searches it once for each.
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
                                   bool longest, bool contains);

  // The lookups of a key answered by walking the list before its tree is built. Building the
  // tree of 5,000 instructions costs about as much as fourteen walks of them by starts-with, but
  // only three by contains, which searches the whole text for each match string.
  static constexpr int kWalksBeforeTree = 8;
  static constexpr int kContainsWalksBeforeTree = 2;

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Best;
  // The records whose folded match string ends at a node, reduced to the two that can win. In a
  // contains tree, those whose string ends the node's string, the node's own and its fallbacks'.
  struct Node {
    std::uint32_t firstEdge = 0;
    std::uint32_t edgeCount = 0;
    std::uint32_t earliest = kNone;  // the first of them in stored order
    std::uint32_t longest = kNone;   // the longest of them, the earliest on ties
    // Its match string's length, measured as the walk measures (a store is far too small for a
    // string of 2^32 characters): 20 bytes a node rather than 24, and a tree has a node for
    // nearly every character of the match strings.
    std::uint32_t longestLength = 0;
  };
  struct Edge {
    char32_t folded;
    std::uint32_t node;
  };
  struct KeyTable {
    std::string key;
    bool contains = false;
    int walks = 0;            // the lookups answered by walking, up to k(Contains)WalksBeforeTree
    std::vector<Node> nodes;  // the root first; none until the tree is built
    std::vector<Edge> edges;  // the edges of a node side by side, ordered by character
    std::optional<std::size_t> firstEmpty;  // the first record whose match string is ""
    // Contains only: for each node, the node of the longest proper end of its string that is
    // also the beginning of some match string (the root when none is).
    std::vector<std::uint32_t> fallback;
  };

  KeyTable& tableFor(const Value& list, std::string_view key, bool contains);
  static void build(KeyTable& table, const Value::Array& records);
  static void linkFallbacks(KeyTable& table);
  // Whether the record at `position`, whose match string is `length` characters long, wins over
  // `best` when the longest match is wanted: the longest, the earliest on ties.
  static bool winsLongest(std::uint32_t position, std::size_t length, std::uint32_t best,
                          std::size_t bestLength);
  static std::uint32_t child(const KeyTable& table, const Node& node, char32_t folded);
  static std::optional<std::size_t> startsWith(const KeyTable& table, std::string_view text,
                                               bool longest);
  static std::optional<std::size_t> containedIn(const KeyTable& table, std::string_view text,
                                                bool longest);

  Value list_;
  std::vector<KeyTable> tables_;
};

}  // namespace corvela
