#include "readers/RecordList.h"

#include <cassert>
#include <cstring>
#include <string_view>

#include "readers/TransactionKeys.h"
#include "text/PackedCount.h"

namespace corvela {
namespace {

// The keys bank and card records and their splits use.
constexpr std::string_view kTransactionKeys[] = {
    transactionKey::amount,         transactionKey::amountAlreadyConverted,
    transactionKey::AlreadySwapped, transactionKey::category,
    transactionKey::cleared,        transactionKey::date,
    transactionKey::description,    transactionKey::errorMessage,
    transactionKey::errorText,      transactionKey::memo,
    transactionKey::number,         transactionKey::outputLength,
    transactionKey::splits,         transactionKey::trntype,
    transactionKey::userSplits};
// A key of a list's table is packed as its place there; any other as its text after kLiteralKey.
constexpr unsigned char kLiteralKey = 0xFF;
using KeyTable = RecordList::KeyTable;

// The processor adds a few marks to the record it works on: the unpacked record has room for
// them, so that adding them moves nothing, and the packed record room for them packed (two
// Booleans and an integer below a million, with their keys), so that it is packed back in its
// place. A record that outgrows its room anyway is packed anew elsewhere.
constexpr std::size_t kRoomForMarks = 3;
constexpr std::size_t kPackedRoomForMarks = 2 * 3 + 2 + 3;

// Integers are packed as counts, the sign in the lowest bit: the marks and most numbers a
// record holds are small, and then take a byte or two instead of eight.
std::uint64_t zigzag(std::int64_t n) {
  return (static_cast<std::uint64_t>(n) << 1) ^ (n < 0 ? ~std::uint64_t{0} : 0);
}
std::int64_t unzigzag(std::uint64_t n) {
  return static_cast<std::int64_t>((n >> 1) ^ (0 - (n & 1)));
}

// The place of `key` in `more`, after the transaction keys, or kLiteralKey. Lengths and first
// letters tell most keys apart without a call to compare the rest.
[[gnu::noinline]] unsigned char moreKey(std::string_view key, KeyTable more) {
  for (std::size_t i = 0; i < more.size(); ++i) {
    const std::string_view known = more[i];
    if (known.size() == key.size() && (key.empty() || known.front() == key.front()) && known == key)
      return static_cast<unsigned char>(std::size(kTransactionKeys) + i);
  }
  return kLiteralKey;
}

// The place of `key` among the transaction keys and then `more`, or kLiteralKey. Every record
// packed looks up each of its keys: the transaction keys come first, in a loop over constants
// that the compiler turns into comparisons with no call, and the other table is searched apart
// (not inlined), so that a bank run's packing stays as tight as that loop.
unsigned char knownKey(std::string_view key, KeyTable more) {
  for (std::size_t i = 0; i < std::size(kTransactionKeys); ++i)
    if (kTransactionKeys[i] == key) return static_cast<unsigned char>(i);
  return more.empty() ? kLiteralKey : moreKey(key, more);
}

// A value is written with plain stores into room chosen for it. The open record goes back
// into its old place when it fits there, which is known only as it is written: each put* writes
// at `at`, and answers where the bytes after it go, or nullptr when they would pass `end`.

template <typename T>
char* putFixed(char* at, T value) {
  std::memcpy(at, &value, sizeof(T));
  return at + sizeof(T);
}

std::size_t textSize(std::string_view text) { return countSize(text.size()) + text.size(); }

// Whether `size` more bytes fit at `at` before `end`.
bool fits(const char* at, const char* end, std::size_t size) {
  return static_cast<std::size_t>(end - at) >= size;
}

char* putText(char* at, std::string_view text) {
  at = putCount(at, text.size());
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

char* putKey(char* at, const char* end, std::string_view key, KeyTable keys) {
  const unsigned char known = knownKey(key, keys);
  const bool literal = known == kLiteralKey;
  if (!fits(at, end, 1 + (literal ? textSize(key) : 0))) return nullptr;
  *at++ = static_cast<char>(known);
  return literal ? putText(at, key) : at;
}

std::string_view dataText(const Value& value) {
  const Value::Bytes& bytes = value.toData();
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::size_t packedSize(const Value& value, KeyTable keys) {
  switch (value.type()) {
    case Value::Type::Null:
      return 1;
    case Value::Type::Bool:
      return 2;
    case Value::Type::Integer:
      return 1 + countSize(zigzag(value.toInt()));
    case Value::Type::Real:
    case Value::Type::Date:
      return 1 + 8;
    case Value::Type::String:
      return 1 + textSize(value.toString());
    case Value::Type::Data:
      return 1 + textSize(dataText(value));
    case Value::Type::Array: {
      std::size_t size = 1 + countSize(value.size());
      for (const Value& item : value.toArray()) size += packedSize(item, keys);
      return size;
    }
    case Value::Type::Dictionary: {
      std::size_t size = 1 + countSize(value.size());
      for (const auto& [key, entry] : value.toDictionary())
        size +=
            1 + (knownKey(key, keys) == kLiteralKey ? textSize(key) : 0) + packedSize(entry, keys);
      return size;
    }
  }
  return 1;
}

char* put(char* at, const char* end, const Value& value, KeyTable keys) {
  const Value::Type type = value.type();
  auto putTextValue = [&](std::string_view text) -> char* {
    if (!fits(at, end, 1 + textSize(text))) return nullptr;
    *at++ = static_cast<char>(type);
    return putText(at, text);
  };
  switch (type) {
    case Value::Type::String:
      return putTextValue(value.toString());
    case Value::Type::Data:
      return putTextValue(dataText(value));
    case Value::Type::Integer: {
      const std::uint64_t n = zigzag(value.toInt());
      if (!fits(at, end, 1 + countSize(n))) return nullptr;
      *at++ = static_cast<char>(type);
      return putCount(at, n);
    }
    case Value::Type::Null:
    case Value::Type::Bool:
    case Value::Type::Real:
    case Value::Type::Date:
      if (!fits(at, end, packedSize(value, keys))) return nullptr;
      *at++ = static_cast<char>(type);
      if (type == Value::Type::Bool) *at++ = value.toBool() ? 1 : 0;
      if (type == Value::Type::Real) at = putFixed(at, value.toDouble());
      if (type == Value::Type::Date) at = putFixed(at, value.toDate().seconds);
      return at;
    case Value::Type::Array:
    case Value::Type::Dictionary:
      break;
  }
  if (!fits(at, end, 1 + countSize(value.size()))) return nullptr;
  *at++ = static_cast<char>(type);
  at = putCount(at, value.size());
  if (type == Value::Type::Array) {
    for (const Value& item : value.toArray())
      if (!(at = put(at, end, item, keys))) return nullptr;
  } else {
    for (const auto& [key, entry] : value.toDictionary())
      if (!(at = putKey(at, end, key, keys)) || !(at = put(at, end, entry, keys))) return nullptr;
  }
  return at;
}

// Reads back what put wrote; the bytes are the list's own, so they are never malformed.
class Unpacker {
 public:
  Unpacker(const char* at, KeyTable keys) : at_(at), keys_(keys) {}

  Value value(std::size_t room = 0) {
    const auto type = static_cast<Value::Type>(*at_++);
    switch (type) {
      case Value::Type::Null:
        return Value();
      case Value::Type::Bool:
        return Value(*at_++ != 0);
      case Value::Type::Integer:
        return Value(static_cast<long long>(unzigzag(takeCount(at_))));
      case Value::Type::Real:
        return Value(fixed<double>());
      case Value::Type::String:
        return Value(text());
      case Value::Type::Date:
        return Value::date(fixed<double>());
      case Value::Type::Data: {
        std::string_view bytes = text();
        return Value(Value::Bytes(bytes.begin(), bytes.end()));
      }
      case Value::Type::Array: {
        Value::Array items(count());
        for (Value& item : items) item = value();
        return Value(std::move(items));
      }
      case Value::Type::Dictionary: {
        const std::size_t n = count();
        Value::Dictionary entries;
        entries.reserve(n + room);
        for (std::size_t i = 0; i < n; ++i) {
          const std::string_view name = key();
          // Packed in key order: each entry goes at the end.
          entries.emplace_hint(entries.end(), name, value());
        }
        return Value(std::move(entries));
      }
    }
    return Value();
  }

  // Reads a record into `record`, in the room of the one it holds: its dictionary, and the keys
  // and texts of its entries. A record opened after the one before allocates next to nothing.
  void recordInto(Value& record, std::size_t room) {
    if (static_cast<Value::Type>(*at_) != Value::Type::Dictionary || !record.isDictionary()) {
      record = value(room);
      return;
    }
    ++at_;
    const std::size_t n = count();
    // A record someone else still holds a copy of is copied first, and the copy refilled.
    record.mutableDictionary().refill(n, room, [this](std::string& name, Value& entry) {
      name.assign(key());
      if (static_cast<Value::Type>(*at_) == Value::Type::String) {
        ++at_;
        entry.assign(text());
      } else {
        entry = value();
      }
    });
  }

 private:
  std::size_t count() { return static_cast<std::size_t>(takeCount(at_)); }
  std::string_view text() {
    const std::size_t n = count();
    std::string_view bytes(at_, n);
    at_ += n;
    return bytes;
  }
  std::string_view key() {
    const auto index = static_cast<unsigned char>(*at_++);
    if (index == kLiteralKey) return text();
    return index < std::size(kTransactionKeys) ? kTransactionKeys[index]
                                               : keys_[index - std::size(kTransactionKeys)];
  }
  template <typename T>
  T fixed() {
    T value;
    std::memcpy(&value, at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }

  const char* at_;
  KeyTable keys_;
};

}  // namespace

RecordList::RecordList(KeyTable moreKeys) : keys_(moreKeys) {
  // Each key is packed as its place, a byte; kLiteralKey stands for a key packed as its text.
  assert(std::size(kTransactionKeys) + moreKeys.size() <= kLiteralKey);
}

RecordList::RecordList(const Value& array, KeyTable moreKeys) : RecordList(moreKeys) {
  if (!array.isArray()) return;
  reserve(array.size());
  for (const Value& record : array.toArray()) append(record);
}

void RecordList::append(const Value& record) {
  // Room is taken for the record with the keys of the other table as texts, and what it did not
  // use is given back: each key is looked up in that table once, as it is packed.
  const std::size_t most = packedSize(record, {}) + kPackedRoomForMarks;
  char* const at = bytes_.allocate(most);
  // Never null: the room is the most the record can need.
  char* const end = put(at, at + most, record, keys_) + kPackedRoomForMarks;
  bytes_.giveBack(end);
  starts_.push_back(at);
  rooms_.push_back(static_cast<std::uint32_t>(end - at));
}

void RecordList::appendTexts(std::span<const TextField> fields) {
  // Packed straight into its place: room is taken for the most the record can need, and what
  // it did not use is given back.
  std::size_t most = 1 + kMostCountBytes + kPackedRoomForMarks;
  for (const auto& [key, text] : fields) most += 2 + 2 * kMostCountBytes + key.size() + text.size();
  char* const start = bytes_.allocate(most);
  char* at = start;
  *at++ = static_cast<char>(Value::Type::Dictionary);
  at = putCount(at, fields.size());
  for (const auto& [key, text] : fields) {
    // Never null: the room is the most the record can need.
    at = putKey(at, start + most, key, keys_);
    *at++ = static_cast<char>(Value::Type::String);
    at = putText(at, text);
  }
  char* const end = at + kPackedRoomForMarks;
  bytes_.giveBack(end);
  starts_.push_back(start);
  rooms_.push_back(static_cast<std::uint32_t>(end - start));
}

Value RecordList::unpack(std::size_t index) const {
  return Unpacker(starts_[index], keys_).value(kRoomForMarks);
}

Value RecordList::operator[](std::size_t index) const {
  if (index >= size()) return Value();
  if (index == openIndex_) return open_;
  return unpack(index);
}

Value RecordList::toValue() const {
  Value::Array records;
  records.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) records.push_back((*this)[i]);
  return Value(std::move(records));
}

Value& RecordList::open(std::size_t index) const {
  if (index == openIndex_) return open_;
  close();
  if (index < size()) {
    Unpacker(starts_[index], keys_).recordInto(open_, kRoomForMarks);
    openIndex_ = index;
  } else {
    // Past the end there is no record: a null value, which nothing packs back.
    open_ = Value();
  }
  return open_;
}

void RecordList::close() const {
  if (openIndex_ == kNoneOpen) return;
  char*& at = starts_[openIndex_];
  std::uint32_t& room = rooms_[openIndex_];
  // The open record owns its texts: writing over its packed bytes loses nothing.
  if (!put(at, at + room, open_, keys_)) {
    // Moved to a new place; the old one is left unused.
    const std::size_t size = packedSize(open_, keys_);
    at = bytes_.allocate(size);
    room = static_cast<std::uint32_t>(size);
    put(at, at + size, open_, keys_);
  }
  // open_ keeps what it holds: the next record opened is read into its room.
  openIndex_ = kNoneOpen;
}

}  // namespace corvela
