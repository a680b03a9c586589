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
  const Value::Array& records = list_.toArray();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Value* value = records[i].find(key);
    if (!value) continue;
    const std::string& match = value->toString();
    if (match.empty()) {
      if (!table.firstEmpty) table.firstEmpty = i;
      continue;
    }
    std::u32string folded = foldedCharacters(match);
    table.foldedLengths.push_back(folded.size());
    table.byFoldedMatch[std::move(folded)].push_back({i, characterCount(match)});
  }
  std::sort(table.foldedLengths.begin(), table.foldedLengths.end());
  table.foldedLengths.erase(std::unique(table.foldedLengths.begin(), table.foldedLengths.end()),
                            table.foldedLengths.end());
  return table;
}

std::optional<std::size_t> InstructionIndex::match(const Value& list, std::string_view text,
                                                   std::string_view key, bool longest) {
  const KeyTable& table = tableFor(list, key);
  if (text.empty()) return table.firstEmpty;

  std::u32string folded = foldedCharacters(text);
  std::optional<Candidate> best;
  auto better = [&](const Candidate& c) {
    if (!best) return true;
    if (longest && c.length != best->length) return c.length > best->length;
    return c.position < best->position;
  };
  for (std::size_t length : table.foldedLengths) {
    if (length > folded.size()) break;
    auto found = table.byFoldedMatch.find(folded.substr(0, length));
    if (found == table.byFoldedMatch.end()) continue;
    for (const Candidate& candidate : found->second)
      if (better(candidate)) best = candidate;
  }
  if (!best) return std::nullopt;
  return best->position;
}

}  // namespace corvela
