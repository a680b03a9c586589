#include "instructions/InstructionIndex.h"

#include <algorithm>

#include "lists/Completion.h"
#include "text/CaseInsensitive.h"

namespace corvela {

std::optional<std::size_t> matchByWalk(const Value& list, std::string_view text,
                                       std::string_view key, bool longest, bool contains) {
  std::size_t bestLength = 0;
  std::optional<std::size_t> best;
  const Value::Array& records = list.toArray();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Value* value = records[i].find(key);
    if (!value) continue;
    std::string_view match = value->toString();
    if (text.empty()) {
      if (match.empty()) return i;
      continue;
    }
    if (match.empty()) continue;
    bool matches =
        contains ? containsIgnoringCase(text, match) : beginsWithIgnoringCase(text, match);
    if (!matches) continue;
    if (!longest) return i;
    std::size_t length = characterCount(match);
    if (length > bestLength) {
      bestLength = length;
      best = i;
    }
  }
  return best;
}

InstructionIndex::KeyTable& InstructionIndex::tableFor(const Value& list, std::string_view key) {
  if (!list.sharesStorageWith(list_) || !(list_.isArray() && list.isArray())) {
    list_ = list;
    tables_.clear();
  }
  for (KeyTable& table : tables_)
    if (table.key == key) return table;

  KeyTable& table = tables_.emplace_back();
  table.key = std::string(key);
  return table;
}

void InstructionIndex::build(KeyTable& table, const Value::Array& records) {
  // All folded match strings share one buffer: a store of thousands of instructions would
  // otherwise allocate a string for each.
  struct Entry {
    std::size_t from, size;
    std::uint32_t position;
    std::size_t length;
  };
  std::u32string characters;
  std::vector<Entry> entries;
  entries.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Value* value = records[i].find(table.key);
    if (!value) continue;
    const std::string& match = value->toString();
    if (match.empty()) {
      if (!table.firstEmpty) table.firstEmpty = i;
      continue;
    }
    // A character takes at least one byte: room for all of them, written in place.
    const std::size_t from = characters.size();
    characters.resize(from + match.size());
    char32_t* out = characters.data() + from;
    std::size_t written = 0;
    bool ascii = true;
    for (std::size_t at = 0; at < match.size();) {
      auto byte = static_cast<unsigned char>(match[at]);
      if (byte >= 0x80) {
        FoldedCharacter c = foldedCharacterAt(match, at);
        out[written++] = c.folded;
        at += c.length;
        ascii = false;
      } else {
        out[written++] = byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
        ++at;
      }
    }
    characters.resize(from + written);
    entries.push_back({from, written, static_cast<std::uint32_t>(i),
                       ascii ? match.size() : characterCount(match)});
  }
  // Sorted, the match strings that share a beginning stand together, a string before its
  // continuations, and records with the same string in stored order. Stores are often kept in
  // order already, which costs one pass to see. Folded strings compare character by character,
  // a string before its continuations.
  auto before = [&](const Entry& a, const Entry& b) {
    const char32_t* x = characters.data() + a.from;
    const char32_t* y = characters.data() + b.from;
    const std::size_t common = std::min(a.size, b.size);
    std::size_t k = 0;
    while (k < common && x[k] == y[k]) ++k;
    return k < common ? x[k] < y[k] : a.size < b.size;
  };
  if (!std::is_sorted(entries.begin(), entries.end(), before))
    std::stable_sort(entries.begin(), entries.end(), before);

  // Each node stands for the entries [from, to) that share their first `depth` characters.
  struct Pending {
    std::uint32_t node;
    std::size_t from, to, depth;
  };
  // A tree has at most one node per character and the root.
  table.nodes.reserve(characters.size() + 1);
  table.edges.reserve(characters.size());
  table.nodes.emplace_back();
  std::vector<Pending> pending{{0, 0, entries.size(), 0}};
  while (!pending.empty()) {
    Pending at = pending.back();
    pending.pop_back();
    if (at.to - at.from == 1) {
      // The rest of a string no other one continues is a chain of single edges: most of the
      // tree, laid out as the general case below would lay it out.
      const Entry& entry = entries[at.from];
      std::uint32_t node = at.node;
      for (std::size_t depth = at.depth; depth < entry.size; ++depth) {
        auto child = static_cast<std::uint32_t>(table.nodes.size());
        table.nodes[node].firstEdge = static_cast<std::uint32_t>(table.edges.size());
        table.nodes[node].edgeCount = 1;
        table.edges.push_back({characters[entry.from + depth], child});
        table.nodes.emplace_back();
        node = child;
      }
      Node& last = table.nodes[node];
      last.firstEdge = static_cast<std::uint32_t>(table.edges.size());
      last.earliest = last.longest = entry.position;
      last.longestLength = entry.length;
      continue;
    }
    std::size_t i = at.from;
    for (; i < at.to && entries[i].size == at.depth; ++i) {
      Node& node = table.nodes[at.node];
      if (node.earliest == kNone) node.earliest = entries[i].position;
      if (node.longest == kNone || entries[i].length > node.longestLength) {
        node.longest = entries[i].position;
        node.longestLength = entries[i].length;
      }
    }
    table.nodes[at.node].firstEdge = static_cast<std::uint32_t>(table.edges.size());
    while (i < at.to) {
      char32_t c = characters[entries[i].from + at.depth];
      std::size_t end = i;
      while (end < at.to && characters[entries[end].from + at.depth] == c) ++end;
      auto child = static_cast<std::uint32_t>(table.nodes.size());
      table.nodes.emplace_back();
      table.edges.push_back({c, child});
      ++table.nodes[at.node].edgeCount;
      pending.push_back({child, i, end, at.depth + 1});
      i = end;
    }
  }
}

std::uint32_t InstructionIndex::child(const KeyTable& table, const Node& node, char32_t folded) {
  const Edge* first = table.edges.data() + node.firstEdge;
  const Edge* last = first + node.edgeCount;
  if (node.edgeCount <= 8) {
    for (const Edge* edge = first; edge != last; ++edge)
      if (edge->folded == folded) return edge->node;
    return kNone;
  }
  const Edge* found = std::lower_bound(
      first, last, folded, [](const Edge& edge, char32_t c) { return edge.folded < c; });
  return found != last && found->folded == folded ? found->node : kNone;
}

std::optional<std::size_t> InstructionIndex::match(const Value& list, std::string_view text,
                                                   std::string_view key, bool longest) {
  KeyTable& table = tableFor(list, key);
  if (table.nodes.empty()) {
    if (table.walks < kWalksBeforeTree) {
      ++table.walks;
      return matchByWalk(list_, text, key, longest, false);
    }
    build(table, list_.toArray());
  }
  if (text.empty()) return table.firstEmpty;

  std::uint32_t best = kNone;
  std::size_t bestLength = 0;
  const Node* node = &table.nodes[0];
  for (std::size_t at = 0; at < text.size() && node->edgeCount > 0;) {
    auto byte = static_cast<unsigned char>(text[at]);
    FoldedCharacter c{byte, 1};
    if (byte >= 0x80) {
      c = foldedCharacterAt(text, at);
    } else if (byte >= 'A' && byte <= 'Z') {
      c.folded += 'a' - 'A';
    }
    std::uint32_t next = child(table, *node, c.folded);
    if (next == kNone) break;
    node = &table.nodes[next];
    at += c.length;
    if (node->earliest == kNone) continue;
    if (!longest) {
      if (node->earliest < best) best = node->earliest;
    } else if (best == kNone || node->longestLength > bestLength ||
               (node->longestLength == bestLength && node->longest < best)) {
      best = node->longest;
      bestLength = node->longestLength;
    }
  }
  if (best == kNone) return std::nullopt;
  return best;
}

}  // namespace corvela
