#include "prefs/Value.h"

#include <cmath>

namespace corvela {

namespace {

const Value kNull;
const std::string kEmptyString;
const Value::Bytes kEmptyBytes;
const Value::Array kEmptyArray;
const Value::Dictionary kEmptyDictionary;

// Takes unique ownership of shared storage, copying it only when someone else holds it too.
template <typename T>
T& detach(std::shared_ptr<T>& shared) {
  if (shared.use_count() != 1) shared = std::make_shared<T>(*shared);
  return *shared;
}

}  // namespace

bool Value::toBool() const {
  switch (type()) {
    case Type::Bool:
      return std::get<bool>(v_);
    case Type::Integer:
      return std::get<std::int64_t>(v_) != 0;
    case Type::Real:
      return std::get<double>(v_) != 0;
    default:
      return false;
  }
}

std::int64_t Value::toInt() const {
  switch (type()) {
    case Type::Bool:
      return std::get<bool>(v_) ? 1 : 0;
    case Type::Integer:
      return std::get<std::int64_t>(v_);
    case Type::Real: {
      double d = std::get<double>(v_);
      if (std::isnan(d)) return 0;
      if (d >= 9.2e18) return INT64_MAX;
      if (d <= -9.2e18) return INT64_MIN;
      return static_cast<std::int64_t>(d);
    }
    default:
      return 0;
  }
}

double Value::toDouble() const {
  switch (type()) {
    case Type::Bool:
      return std::get<bool>(v_) ? 1 : 0;
    case Type::Integer:
      return static_cast<double>(std::get<std::int64_t>(v_));
    case Type::Real:
      return std::get<double>(v_);
    default:
      return 0;
  }
}

const std::string& Value::toString() const {
  return isString() ? std::get<std::string>(v_) : kEmptyString;
}

Value::Date Value::toDate() const { return isDate() ? std::get<Date>(v_) : Date{}; }

const Value::Bytes& Value::toData() const {
  return isData() ? *std::get<std::shared_ptr<Bytes>>(v_) : kEmptyBytes;
}

const Value::Array& Value::toArray() const {
  return isArray() ? *std::get<std::shared_ptr<Array>>(v_) : kEmptyArray;
}

const Value::Dictionary& Value::toDictionary() const {
  return isDictionary() ? *std::get<std::shared_ptr<Dictionary>>(v_) : kEmptyDictionary;
}

std::size_t Value::size() const {
  if (isArray()) return toArray().size();
  if (isDictionary()) return toDictionary().size();
  return 0;
}

const Value& Value::operator[](std::size_t index) const {
  const Array& a = toArray();
  return index < a.size() ? a[index] : kNull;
}

const Value& Value::operator[](std::string_view key) const {
  const Value* v = find(key);
  return v ? *v : kNull;
}

Value::Array& Value::mutableArray() {
  if (!isArray()) v_ = std::make_shared<Array>();
  return detach(std::get<std::shared_ptr<Array>>(v_));
}

Value::Dictionary& Value::mutableDictionary() {
  if (!isDictionary()) v_ = std::make_shared<Dictionary>();
  return detach(std::get<std::shared_ptr<Dictionary>>(v_));
}

void Value::set(std::string_view key, Value value) {
  if (!isDictionary()) v_ = std::make_shared<Dictionary>();
  auto& shared = std::get<std::shared_ptr<Dictionary>>(v_);
  if (shared.use_count() != 1) {
    // The copy gets room for the entry that may be added: a copy of the entries alone is full,
    // and adding one would double its room. (A run marks each record it writes while a copy of
    // it is held.)
    auto copy = std::make_shared<Dictionary>();
    copy->reserve(shared->size() + 1);
    *copy = *shared;
    shared = std::move(copy);
  }
  // One search serves both cases: a record is filled with one set() per field.
  shared->insert_or_assign(key, std::move(value));
}

void Value::erase(std::string_view key) {
  if (!contains(key)) return;
  mutableDictionary().erase(key);
}

void Value::append(Value value) { mutableArray().push_back(std::move(value)); }

void Value::insert(std::size_t index, Value value) {
  Array& a = mutableArray();
  if (index > a.size()) index = a.size();
  a.insert(a.begin() + static_cast<std::ptrdiff_t>(index), std::move(value));
}

void Value::removeAt(std::size_t index) {
  if (index >= size() || !isArray()) return;
  Array& a = mutableArray();
  a.erase(a.begin() + static_cast<std::ptrdiff_t>(index));
}

bool Value::sharesStorageWith(const Value& other) const {
  if (type() != other.type()) return false;
  if (isArray())
    return std::get<std::shared_ptr<Array>>(v_) == std::get<std::shared_ptr<Array>>(other.v_);
  if (isDictionary())
    return std::get<std::shared_ptr<Dictionary>>(v_) ==
           std::get<std::shared_ptr<Dictionary>>(other.v_);
  if (isData())
    return std::get<std::shared_ptr<Bytes>>(v_) == std::get<std::shared_ptr<Bytes>>(other.v_);
  return false;
}

bool Value::operator==(const Value& other) const {
  if (type() != other.type()) return false;
  switch (type()) {
    case Type::Null:
      return true;
    case Type::Bool:
      return toBool() == other.toBool();
    case Type::Integer:
      return toInt() == other.toInt();
    case Type::Real:
      return toDouble() == other.toDouble();
    case Type::String:
      return toString() == other.toString();
    case Type::Date:
      return toDate() == other.toDate();
    case Type::Data:
      return toData() == other.toData();
    case Type::Array:
      return sharesStorageWith(other) || toArray() == other.toArray();
    case Type::Dictionary:
      return sharesStorageWith(other) || toDictionary() == other.toDictionary();
  }
  return false;
}

}  // namespace corvela
