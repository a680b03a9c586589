#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "prefs/Value.h"
#include "text/ByteArena.h"

namespace corvela {

// The transaction records of a run, in input order, held packed.
//
// A statement has hundreds of thousands of records and the processor looks at one at a time.
// As dictionaries they cost several hundred bytes each (a key string and a value per field, a
// shared block, a vector); packed side by side in large blocks, a record costs about what its
// text does. The processor opens the record it is working on: it is unpacked into a Value that may
// be read and changed, and packed again when another record is opened.
//
// Any Value packs and unpacks to an equal Value, so what the processor sees is exactly what
// the reader made.
class RecordList {
 public:
  // A key is packed as a byte, its place in a table, rather than as its text: the keys of bank
  // and card records and their splits, and those a list is made with for other records (at most
  // 240; the table must outlive the list).
  using KeyTable = std::span<const std::string_view>;

  RecordList() = default;
  explicit RecordList(KeyTable moreKeys);
  // The records of `array`, an array of dictionaries (anything else gives an empty list).
  explicit RecordList(const Value& array, KeyTable moreKeys = {});
  RecordList(const RecordList& other) : RecordList(other.toValue(), other.keys_) {}
  RecordList& operator=(const RecordList& other) {
    if (this != &other) *this = RecordList(other);
    return *this;
  }
  // A list moved from is empty, with no record open.
  RecordList(RecordList&& other) noexcept { *this = std::move(other); }
  RecordList& operator=(RecordList&& other) noexcept {
    if (this == &other) return *this;
    keys_ = other.keys_;
    bytes_ = std::move(other.bytes_);
    starts_ = std::exchange(other.starts_, {});
    rooms_ = std::exchange(other.rooms_, {});
    openIndex_ = std::exchange(other.openIndex_, kNoneOpen);
    open_ = std::exchange(other.open_, Value());
    return *this;
  }

  std::size_t size() const { return starts_.size(); }
  void reserve(std::size_t records) {
    starts_.reserve(records);
    rooms_.reserve(records);
  }
  void append(const Value& record);
  // A record of text fields, given in ascending key order, each key once: packed straight from
  // the texts, with no dictionary made for it.
  using TextField = std::pair<std::string_view, std::string_view>;
  void appendTexts(std::span<const TextField> fields);

  // A copy of the record at `index` (a null value past the end).
  Value operator[](std::size_t index) const;
  // The whole list as an array of dictionaries, as the continuation stores it.
  Value toValue() const;

  // The record at `index`, unpacked to be read and changed in place (a null value past the
  // end). The reference holds until another record is opened or the list is assigned to.
  // Opening is logically const: it changes how the records are held, never what they are.
  Value& open(std::size_t index) const;

  bool operator==(const RecordList& other) const { return toValue() == other.toValue(); }

  // Iterates over copies of the records.
  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Value;
    const_iterator(const RecordList& list, std::size_t index) : list_(&list), index_(index) {}
    Value operator*() const { return (*list_)[index_]; }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }

   private:
    const RecordList* list_;
    std::size_t index_;
  };
  const_iterator begin() const { return {*this, 0}; }
  const_iterator end() const { return {*this, size()}; }

 private:
  static constexpr std::size_t kNoneOpen = SIZE_MAX;

  Value unpack(std::size_t index) const;
  // Packs the open record back, in its old place when it still fits.
  void close() const;

  KeyTable keys_;  // besides the transaction keys
  mutable ByteArena bytes_;
  // Where each record is packed, and how many bytes it may take there: two lists side by side
  // take 12 bytes a record, where one of pairs would take 16 with the padding.
  mutable std::vector<char*> starts_;
  mutable std::vector<std::uint32_t> rooms_;
  mutable std::size_t openIndex_ = kNoneOpen;
  mutable Value open_;
};

}  // namespace corvela
