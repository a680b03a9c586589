#include "instructions/InstructionIndex.h"

#include <algorithm>

#include "lists/Completion.h"
#include "text/CaseInsensitive.h"

namespace corvela {

namespace {

// The folded character at `at`, letters of ASCII folded here without a table lookup.
FoldedCharacter foldedAt(std::string_view text, std::size_t at) {
  auto byte = static_cast<unsigned char>(text[at]);
  if (byte >= 0x80) return foldedCharacterAt(text, at);
  return {static_cast<char32_t>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte), 1};
}

}  // namespace

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

InstructionIndex::KeyTable& InstructionIndex::tableFor(const Value& list, std::string_view key,
                                                       bool contains) {
  if (!list.sharesStorageWith(list_) || !(list_.isArray() && list.isArray())) {
    list_ = list;
    tables_.clear();
  }
  for (KeyTable& table : tables_)
    if (table.key == key && table.contains == contains) return table;

  KeyTable& table = tables_.emplace_back();
  table.key = std::string(key);
  table.contains = contains;
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
  // A character takes at least one byte: room for all of them at once. The buffer is built while
  // a long statement's text is held, and growing it step by step would hold two copies at a time.
  std::size_t bytes = 0;
  for (const Value& record : records)
    if (const Value* value = record.find(table.key)) bytes += value->toString().size();
  characters.reserve(bytes);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Value* value = records[i].find(table.key);
    if (!value) continue;
    const std::string& match = value->toString();
    if (match.empty()) {
      if (!table.firstEmpty) table.firstEmpty = i;
      continue;
    }
    const std::size_t from = characters.size();
    characters.resize(from + match.size());
    char32_t* out = characters.data() + from;
    std::size_t written = 0;
    bool ascii = true;
    for (std::size_t at = 0; at < match.size();) {
      if (static_cast<unsigned char>(match[at]) >= 0x80) ascii = false;
      FoldedCharacter c = foldedAt(match, at);
      out[written++] = c.folded;
      at += c.length;
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
      last.longestLength = static_cast<std::uint32_t>(entry.length);
      continue;
    }
    std::size_t i = at.from;
    for (; i < at.to && entries[i].size == at.depth; ++i) {
      Node& node = table.nodes[at.node];
      if (node.earliest == kNone) node.earliest = entries[i].position;
      if (node.longest == kNone || entries[i].length > node.longestLength) {
        node.longest = entries[i].position;
        node.longestLength = static_cast<std::uint32_t>(entries[i].length);
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

bool InstructionIndex::winsLongest(std::uint32_t position, std::size_t length, std::uint32_t best,
                                   std::size_t bestLength) {
  return best == kNone || length > bestLength || (length == bestLength && position < best);
}

struct InstructionIndex::Best {
  std::uint32_t position = kNone;
  std::size_t length = 0;

  // Takes the records of `node` into account, by matchByWalk's rule.
  void consider(const Node& node, bool longest) {
    if (node.earliest == kNone) return;
    if (!longest) {
      position = std::min(position, node.earliest);
    } else if (winsLongest(node.longest, node.longestLength, position, length)) {
      position = node.longest;
      length = node.longestLength;
    }
  }
  std::optional<std::size_t> answer() const {
    if (position == kNone) return std::nullopt;
    return position;
  }
};

void InstructionIndex::linkFallbacks(KeyTable& table) {
  // Breadth first: a node's fallback is shallower, so it is linked, and knows its own
  // fallbacks' records, before the node takes them over.
  table.fallback.assign(table.nodes.size(), 0);
  std::vector<std::uint32_t> queue;
  queue.reserve(table.nodes.size());
  queue.push_back(0);
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const std::uint32_t parent = queue[next];
    const std::uint32_t firstEdge = table.nodes[parent].firstEdge;
    const std::uint32_t edgeCount = table.nodes[parent].edgeCount;
    for (std::uint32_t e = firstEdge; e < firstEdge + edgeCount; ++e) {
      const Edge edge = table.edges[e];
      // The parent's fallbacks, longest first, until one goes on with the same character. A
      // node one character below the root falls back to the root.
      std::uint32_t to = 0;
      if (parent != 0) {
        for (std::uint32_t at = table.fallback[parent];; at = table.fallback[at]) {
          if (std::uint32_t step = child(table, table.nodes[at], edge.folded); step != kNone) {
            to = step;
            break;
          }
          if (at == 0) break;
        }
      }
      table.fallback[edge.node] = to;
      Node& node = table.nodes[edge.node];
      const Node& ends = table.nodes[to];
      node.earliest = std::min(node.earliest, ends.earliest);
      if (ends.longest != kNone &&
          winsLongest(ends.longest, ends.longestLength, node.longest, node.longestLength)) {
        node.longest = ends.longest;
        node.longestLength = ends.longestLength;
      }
      queue.push_back(edge.node);
    }
  }
}

std::optional<std::size_t> InstructionIndex::startsWith(const KeyTable& table,
                                                        std::string_view text, bool longest) {
  Best best;
  const Node* node = &table.nodes[0];
  for (std::size_t at = 0; at < text.size() && node->edgeCount > 0;) {
    FoldedCharacter c = foldedAt(text, at);
    std::uint32_t next = child(table, *node, c.folded);
    if (next == kNone) break;
    node = &table.nodes[next];
    at += c.length;
    best.consider(*node, longest);
  }
  return best.answer();
}

std::optional<std::size_t> InstructionIndex::containedIn(const KeyTable& table,
                                                         std::string_view text, bool longest) {
  Best best;
  std::uint32_t node = 0;
  for (std::size_t at = 0; at < text.size();) {
    FoldedCharacter c = foldedAt(text, at);
    at += c.length;
    for (;;) {
      if (std::uint32_t next = child(table, table.nodes[node], c.folded); next != kNone) {
        node = next;
        break;
      }
      if (node == 0) break;
      node = table.fallback[node];
    }
    best.consider(table.nodes[node], longest);
  }
  return best.answer();
}

std::optional<std::size_t> InstructionIndex::match(const Value& list, std::string_view text,
                                                   std::string_view key, bool longest,
                                                   bool contains) {
  KeyTable& table = tableFor(list, key, contains);
  if (table.nodes.empty()) {
    if (table.walks < (contains ? kContainsWalksBeforeTree : kWalksBeforeTree)) {
      ++table.walks;
      return matchByWalk(list_, text, key, longest, contains);
    }
    build(table, list_.toArray());
    if (contains) linkFallbacks(table);
  }
  if (text.empty()) return table.firstEmpty;
  return contains ? containedIn(table, text, longest) : startsWith(table, text, longest);
}

}  // namespace corvela
