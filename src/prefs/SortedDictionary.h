#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvela {

// The storage of a dictionary Value: entries kept in one vector, sorted by key (bytewise, as
// std::string orders them), at most one per key.
//
// A record has a handful of keys and a statement has hundreds of thousands of records; a tree
// would spend a node allocation per key and a pointer chase per lookup. The interface is the
// part of std::map the program uses, with the same answers and the same iteration order, so
// the archive and JSON writers see exactly what a map gave them.
//
// Unlike a map, inserting or erasing moves the entries: a reference or iterator into the
// dictionary is valid only until its next insertion or erasure. Adding keys in ascending order
// (as the readers of sorted files do, passing end() as the hint) costs no more than appending.
template <typename V>
class SortedDictionary {
 public:
  using key_type = std::string;
  using mapped_type = V;
  using value_type = std::pair<std::string, V>;
  using Entries = std::vector<value_type>;
  using iterator = typename Entries::iterator;
  using const_iterator = typename Entries::const_iterator;
  using size_type = std::size_t;

  SortedDictionary() = default;
  // The first of equal keys wins, as in a map built from the same list.
  SortedDictionary(std::initializer_list<value_type> entries)
      : SortedDictionary(entries.begin(), entries.end()) {}
  template <typename It>
  SortedDictionary(It first, It last) {
    for (; first != last; ++first) emplace(first->first, first->second);
  }

  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  const_iterator cbegin() const { return entries_.cbegin(); }
  const_iterator cend() const { return entries_.cend(); }
  size_type size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear() { entries_.clear(); }
  void reserve(size_type n) { entries_.reserve(n); }

  iterator lower_bound(std::string_view key) {
    return std::lower_bound(entries_.begin(), entries_.end(), key, keyBefore);
  }
  const_iterator lower_bound(std::string_view key) const {
    return std::lower_bound(entries_.begin(), entries_.end(), key, keyBefore);
  }
  iterator find(std::string_view key) {
    return entries_.begin() + (std::as_const(*this).find(key) - entries_.cbegin());
  }
  const_iterator find(std::string_view key) const {
    // A record has a handful of keys, mostly of different lengths: going through them
    // comparing lengths first settles most without reading a character.
    if (entries_.size() <= kSearchedInTurn) {
      // The first character settles most keys of equal length ("amount" and "number") before
      // a call to compare the rest is made.
      for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const std::string& candidate = it->first;
        if (candidate.size() == key.size() &&
            (key.empty() || (candidate[0] == key[0] &&
                             std::memcmp(candidate.data(), key.data(), key.size()) == 0)))
          return it;
      }
      return end();
    }
    const_iterator it = lower_bound(key);
    return it != end() && it->first == key ? it : end();
  }
  bool contains(std::string_view key) const { return find(key) != end(); }
  size_type count(std::string_view key) const { return contains(key) ? 1 : 0; }

  V& at(std::string_view key) {
    iterator it = find(key);
    if (it == end()) throw std::out_of_range("SortedDictionary::at");
    return it->second;
  }
  const V& at(std::string_view key) const {
    const_iterator it = find(key);
    if (it == end()) throw std::out_of_range("SortedDictionary::at");
    return it->second;
  }
  V& operator[](std::string_view key) { return try_emplace(key).first->second; }

  // Adds the entry unless the key is there; answers where it stands and whether it was added.
  template <typename... Args>
  std::pair<iterator, bool> try_emplace(std::string_view key, Args&&... args) {
    iterator it = lower_bound(key);
    if (it != end() && it->first == key) return {it, false};
    return {place(it, key, std::forward<Args>(args)...), true};
  }
  template <typename... Args>
  std::pair<iterator, bool> emplace(std::string_view key, Args&&... args) {
    return try_emplace(key, std::forward<Args>(args)...);
  }
  std::pair<iterator, bool> insert(value_type entry) {
    return try_emplace(entry.first, std::move(entry.second));
  }
  template <typename M>
  std::pair<iterator, bool> insert_or_assign(std::string_view key, M&& value) {
    auto [it, added] = try_emplace(key, std::forward<M>(value));
    if (!added) it->second = std::forward<M>(value);
    return {it, added};
  }
  // `hint` is where the entry is expected to go; end() makes ascending keys cheap.
  template <typename... Args>
  iterator emplace_hint(const_iterator hint, std::string_view key, Args&&... args) {
    if (hint == cend() && (empty() || entries_.back().first < key))
      return place(end(), key, std::forward<Args>(args)...);
    return try_emplace(key, std::forward<Args>(args)...).first;
  }
  template <typename M>
  iterator insert_or_assign(const_iterator hint, std::string_view key, M&& value) {
    if (hint == cend() && (empty() || entries_.back().first < key))
      return place(end(), key, std::forward<M>(value));
    return insert_or_assign(key, std::forward<M>(value)).first;
  }

  // Makes the dictionary `n` entries long, with room for `room` more, and hands each entry to
  // `fill`, which must give the keys in ascending order, each once. An entry that was there
  // keeps the room of its key and value: a dictionary filled again and again (the record a run
  // works on) allocates only where a text outgrows the one it replaces.
  template <typename Fill>
  void refill(size_type n, size_type room, Fill&& fill) {
    if (entries_.capacity() < n + room) entries_.reserve(n + room);
    entries_.resize(n);
    for (value_type& entry : entries_) fill(entry.first, entry.second);
  }

  iterator erase(const_iterator at) { return entries_.erase(at); }
  size_type erase(std::string_view key) {
    const_iterator it = std::as_const(*this).find(key);
    if (it == cend()) return 0;
    entries_.erase(it);
    return 1;
  }

  bool operator==(const SortedDictionary& other) const { return entries_ == other.entries_; }

 private:
  static constexpr size_type kSearchedInTurn = 12;
  // Bytewise, as std::string orders; the first byte settles most steps of a search through a
  // large dictionary (the store's) without a call to compare the rest.
  static bool keyBefore(const value_type& entry, std::string_view key) {
    const std::string& candidate = entry.first;
    if (!candidate.empty() && !key.empty() && candidate[0] != key[0])
      return static_cast<unsigned char>(candidate[0]) < static_cast<unsigned char>(key[0]);
    return std::string_view(candidate).compare(key) < 0;
  }

  template <typename... Args>
  iterator place(iterator at, std::string_view key, Args&&... args) {
    // Records grow a key at a time; starting at four spares the first few reallocations.
    if (entries_.size() == entries_.capacity()) {
      const std::ptrdiff_t offset = at - entries_.begin();
      entries_.reserve(std::max<size_type>(4, 2 * entries_.size()));
      at = entries_.begin() + offset;
    }
    return entries_.emplace(at, std::piecewise_construct, std::forward_as_tuple(key),
                            std::forward_as_tuple(std::forward<Args>(args)...));
  }

  Entries entries_;
};

}  // namespace corvela
