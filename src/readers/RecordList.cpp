#include "readers/RecordList.h"

#include <array>
#include <cstring>
#include <string_view>

#include "readers/TransactionKeys.h"
#include "text/PackedCount.h"

namespace corvela {
namespace {

// The keys records and splits use, packed as their place in this list; any other key is
// packed as its text after kLiteralKey.
constexpr std::array<std::string_view, 15> kKnownKeys = {
    transactionKey::amount,         transactionKey::amountAlreadyConverted,
    transactionKey::AlreadySwapped, transactionKey::category,
    transactionKey::cleared,        transactionKey::date,
    transactionKey::description,    transactionKey::errorMessage,
    transactionKey::errorText,      transactionKey::memo,
    transactionKey::number,         transactionKey::outputLength,
    transactionKey::splits,         transactionKey::trntype,
    transactionKey::userSplits};
constexpr unsigned char kLiteralKey = 0xFF;

// The processor adds a few marks to the record it works on: the unpacked record has room for
// them, so that adding them moves nothing, and the packed record room for them packed (an
// integer and two Booleans with their keys), so that it is packed back in its place.
constexpr std::size_t kRoomForMarks = 3;
constexpr std::size_t kPackedRoomForMarks = 16;

template <typename T>
void packFixed(std::string& out, T value) {
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  out.append(raw, sizeof(T));
}

void packText(std::string& out, std::string_view text) {
  appendCount(out, text.size());
  out.append(text);
}

void pack(std::string& out, const Value& value);

// The place of `key` in kKnownKeys, or kLiteralKey.
unsigned char knownKey(std::string_view key) {
  for (std::size_t i = 0; i < kKnownKeys.size(); ++i) {
    if (kKnownKeys[i] == key) return static_cast<unsigned char>(i);
  }
  return kLiteralKey;
}

void packKey(std::string& out, std::string_view key) {
  const unsigned char known = knownKey(key);
  out.push_back(static_cast<char>(known));
  if (known == kLiteralKey) packText(out, key);
}

// Writes `text` at `at` as packText packs it; answers where the bytes after it go.
char* putText(char* at, std::string_view text) {
  at = putCount(at, text.size());
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

void packDictionary(std::string& out, const Value::Dictionary& entries) {
  out.push_back(static_cast<char>(Value::Type::Dictionary));
  appendCount(out, entries.size());
  for (const auto& [key, entry] : entries) {
    packKey(out, key);
    pack(out, entry);
  }
}

void pack(std::string& out, const Value& value) {
  switch (value.type()) {
    case Value::Type::Null:
      out.push_back(static_cast<char>(Value::Type::Null));
      return;
    case Value::Type::Bool:
      out.push_back(static_cast<char>(Value::Type::Bool));
      out.push_back(value.toBool() ? 1 : 0);
      return;
    case Value::Type::Integer:
      out.push_back(static_cast<char>(Value::Type::Integer));
      packFixed(out, value.toInt());
      return;
    case Value::Type::Real:
      out.push_back(static_cast<char>(Value::Type::Real));
      packFixed(out, value.toDouble());
      return;
    case Value::Type::String:
      out.push_back(static_cast<char>(Value::Type::String));
      packText(out, value.toString());
      return;
    case Value::Type::Date:
      out.push_back(static_cast<char>(Value::Type::Date));
      packFixed(out, value.toDate().seconds);
      return;
    case Value::Type::Data: {
      out.push_back(static_cast<char>(Value::Type::Data));
      const Value::Bytes& bytes = value.toData();
      packText(out, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      return;
    }
    case Value::Type::Array:
      out.push_back(static_cast<char>(Value::Type::Array));
      appendCount(out, value.size());
      for (const Value& item : value.toArray()) pack(out, item);
      return;
    case Value::Type::Dictionary:
      packDictionary(out, value.toDictionary());
      return;
  }
}

// Reads back what pack wrote; the bytes are the list's own, so they are never malformed.
class Unpacker {
 public:
  explicit Unpacker(const char* at) : at_(at) {}

  Value value(std::size_t room = 0) {
    const auto type = static_cast<Value::Type>(*at_++);
    switch (type) {
      case Value::Type::Null:
        return Value();
      case Value::Type::Bool:
        return Value(*at_++ != 0);
      case Value::Type::Integer:
        return Value(static_cast<long long>(fixed<std::int64_t>()));
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
    return index == kLiteralKey ? text() : kKnownKeys[index];
  }
  template <typename T>
  T fixed() {
    T value;
    std::memcpy(&value, at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }

  const char* at_;
};

}  // namespace

RecordList::RecordList(const Value& array) {
  if (!array.isArray()) return;
  reserve(array.size());
  for (const Value& record : array.toArray()) append(record);
}

void RecordList::append(const Value& record) {
  scratch_.clear();
  pack(scratch_, record);
  appendPacked();
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
    const unsigned char known = knownKey(key);
    *at++ = static_cast<char>(known);
    if (known == kLiteralKey) at = putText(at, key);
    *at++ = static_cast<char>(Value::Type::String);
    at = putText(at, text);
  }
  char* const end = at + kPackedRoomForMarks;
  bytes_.giveBack(end);
  slots_.push_back({start, static_cast<std::uint32_t>(end - start)});
}

void RecordList::appendPacked() {
  const std::size_t room = scratch_.size() + kPackedRoomForMarks;
  char* at = bytes_.allocate(room);
  std::memcpy(at, scratch_.data(), scratch_.size());
  slots_.push_back({at, static_cast<std::uint32_t>(room)});
}

Value RecordList::unpack(std::size_t index) const {
  return Unpacker(slots_[index].at).value(kRoomForMarks);
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
    Unpacker(slots_[index].at).recordInto(open_, kRoomForMarks);
    openIndex_ = index;
  } else {
    // Past the end there is no record: a null value, which nothing packs back.
    open_ = Value();
  }
  return open_;
}

void RecordList::close() const {
  if (openIndex_ == kNoneOpen) return;
  std::string& packed = scratch_;
  packed.clear();
  pack(packed, open_);
  Slot& slot = slots_[openIndex_];
  if (packed.size() > slot.room) {
    // Moved to a new place; the old one is left unused.
    slot.at = bytes_.allocate(packed.size());
    slot.room = static_cast<std::uint32_t>(packed.size());
  }
  std::memcpy(slot.at, packed.data(), packed.size());
  // open_ keeps what it holds: the next record opened is read into its room.
  openIndex_ = kNoneOpen;
}

}  // namespace corvela
