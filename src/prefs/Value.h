#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "prefs/SortedDictionary.h"

namespace corvela {

// A property-list value: everything Corvela stores or hands between subsystems.
//
// Copies are independent. Arrays and dictionaries share their storage until one side writes
// (copy on write), so taking a list out of the preference store costs no copy and can never
// change the store behind its back.
class Value {
 public:
  enum class Type { Null, Bool, Integer, Real, String, Date, Data, Array, Dictionary };

  using Array = std::vector<Value>;
  // Keys are kept sorted; a dictionary's order carries no meaning in the stored format.
  using Dictionary = SortedDictionary<Value>;
  using Bytes = std::vector<std::uint8_t>;

  // A calendar instant, in seconds since 2001-01-01 00:00:00 UTC (the archive's epoch).
  struct Date {
    // Seconds from the Unix epoch (1970-01-01 00:00:00 UTC) to the archive's.
    static constexpr double kSecondsFrom1970 = 978307200.0;
    double seconds = 0;
    bool operator==(const Date&) const = default;
  };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : v_(b) {}
  Value(int i) : v_(static_cast<std::int64_t>(i)) {}
  Value(long i) : v_(static_cast<std::int64_t>(i)) {}
  Value(long long i) : v_(static_cast<std::int64_t>(i)) {}
  Value(unsigned i) : v_(static_cast<std::int64_t>(i)) {}
  Value(unsigned long i) : v_(static_cast<std::int64_t>(i)) {}
  Value(double d) : v_(d) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(Date d) : v_(d) {}
  Value(Bytes b) : v_(std::make_shared<Bytes>(std::move(b))) {}
  Value(Array a) : v_(std::make_shared<Array>(std::move(a))) {}
  Value(Dictionary d) : v_(std::make_shared<Dictionary>(std::move(d))) {}
  Value(std::initializer_list<std::pair<const std::string, Value>> entries)
      : Value(Dictionary(entries.begin(), entries.end())) {}

  static Value array() { return Value(Array{}); }
  static Value dictionary() { return Value(Dictionary{}); }
  // An empty dictionary with room for `keys` entries: a record that is known to grow to that
  // many keys is then allocated once.
  static Value dictionary(std::size_t keys) {
    Dictionary d;
    d.reserve(keys);
    return Value(std::move(d));
  }
  static Value date(double secondsSince2001) { return Value(Date{secondsSince2001}); }

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isNull() const { return type() == Type::Null; }
  bool isBool() const { return type() == Type::Bool; }
  bool isInteger() const { return type() == Type::Integer; }
  bool isReal() const { return type() == Type::Real; }
  bool isNumber() const { return isInteger() || isReal() || isBool(); }
  bool isString() const { return type() == Type::String; }
  bool isDate() const { return type() == Type::Date; }
  bool isData() const { return type() == Type::Data; }
  bool isArray() const { return type() == Type::Array; }
  bool isDictionary() const { return type() == Type::Dictionary; }

  // Conversions never fail: a value of another type gives the empty or zero answer, the way a
  // stored number is read as a Boolean ("non-zero is true") or an absent key reads as 0.
  bool toBool() const;
  std::int64_t toInt() const;
  double toDouble() const;
  // The string, or the empty string for any other type.
  const std::string& toString() const;
  Date toDate() const;
  const Bytes& toData() const;
  const Array& toArray() const;
  const Dictionary& toDictionary() const;

  // --- arrays and dictionaries, read side. Out-of-range or wrong-type access gives a null value.
  std::size_t size() const;
  const Value& operator[](std::size_t index) const;
  const Value& operator[](std::string_view key) const;
  // The value under `key`, or nullptr when the key is absent or this is not a dictionary.
  const Value* find(std::string_view key) const {
    if (!isDictionary()) return nullptr;
    const Dictionary& d = *std::get<std::shared_ptr<Dictionary>>(v_);
    auto it = d.find(key);
    return it == d.end() ? nullptr : &it->second;
  }
  bool contains(std::string_view key) const { return find(key) != nullptr; }

  // --- write side. Each detaches shared storage first; a Null value turns into the container.
  Array& mutableArray();
  Dictionary& mutableDictionary();
  void set(std::string_view key, Value value);
  // Makes this the string `text`, in the room of the string it holds when it holds one.
  void assign(std::string_view text) {
    if (auto* held = std::get_if<std::string>(&v_)) {
      held->assign(text);
    } else {
      v_.emplace<std::string>(text);
    }
  }
  void erase(std::string_view key);
  void append(Value value);
  void insert(std::size_t index, Value value);
  void removeAt(std::size_t index);

  // Whether two values share the same container storage: a test seam for copy on write.
  bool sharesStorageWith(const Value& other) const;

  bool operator==(const Value& other) const;

 private:
  std::variant<std::monostate, bool, std::int64_t, double, std::string, Date,
               std::shared_ptr<Bytes>, std::shared_ptr<Array>, std::shared_ptr<Dictionary>>
      v_;
};

// Small typed helpers for records (dictionaries with string keys).
inline const std::string& str(const Value& record, std::string_view key) {
  return record[key].toString();
}
inline bool has(const Value& record, std::string_view key) { return record.contains(key); }
// The string under `key`, or none when the record has no such key (absent is not empty).
inline std::optional<std::string> optionalString(const Value& record, std::string_view key) {
  const Value* value = record.find(key);
  if (!value) return std::nullopt;
  return value->toString();
}

}  // namespace corvela
