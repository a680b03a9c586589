#include "prefs/BinaryPlistWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>

namespace corvela {
namespace {

// The bytes a reference, an offset or a count needs (libplist allows three for the first two).
int neededBytes(std::uint64_t value) {
  if (value <= 0xFF) return 1;
  if (value <= 0xFFFF) return 2;
  if (value <= 0xFFFFFF) return 3;
  if (value <= 0xFFFFFFFF) return 4;
  return 8;
}

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int size) {
  for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendInteger(std::vector<std::uint8_t>& out, std::uint64_t value) {
  int size = neededBytes(value);
  if (size == 3) size = 4;
  out.push_back(static_cast<std::uint8_t>(0x10 | std::countr_zero(static_cast<unsigned>(size))));
  appendBigEndian(out, value, size);
}

// A marker with a count in its low half, or 0xF there and the count as an integer after it.
void appendMarker(std::vector<std::uint8_t>& out, std::uint8_t type, std::size_t count) {
  if (count < 15) {
    out.push_back(static_cast<std::uint8_t>(type | count));
  } else {
    out.push_back(static_cast<std::uint8_t>(type | 0x0F));
    appendInteger(out, count);
  }
}

bool isASCII(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Valid UTF-8 (the caller's promise) as UTF-16 code units.
std::vector<char16_t> utf16(std::string_view text) {
  std::vector<char16_t> units;
  units.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t c = p[i];
    std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (length > 1) c &= 0xFF >> (length + 1);
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
      c = (c << 6) | (p[i + k] & 0x3F);
    i += length;
    if (c >= 0x10000) {
      c -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
  }
  return units;
}

void appendText(std::vector<std::uint8_t>& out, std::string_view text) {
  if (isASCII(text)) {
    appendMarker(out, 0x50, text.size());
    out.insert(out.end(), text.begin(), text.end());
    return;
  }
  std::vector<char16_t> units = utf16(text);
  appendMarker(out, 0x60, units.size());
  for (char16_t unit : units) appendBigEndian(out, unit, 2);
}

void appendReal(std::vector<std::uint8_t>& out, double value) {
  // A float holds it exactly: four bytes, as libplist decides.
  bool inFloatRange = std::isinf(value) || std::fabs(value) <= std::numeric_limits<float>::max();
  if (inFloatRange && value == static_cast<double>(static_cast<float>(value))) {
    out.push_back(0x22);
    appendBigEndian(out, std::bit_cast<std::uint32_t>(static_cast<float>(value)), 4);
  } else {
    out.push_back(0x23);
    appendBigEndian(out, std::bit_cast<std::uint64_t>(value), 8);
  }
}

void appendUid(std::vector<std::uint8_t>& out, std::uint64_t value) {
  std::uint32_t narrow = static_cast<std::uint32_t>(value);
  int size = neededBytes(narrow);
  if (size == 3) size = 4;
  out.push_back(static_cast<std::uint8_t>(0x80 | (size - 1)));
  appendBigEndian(out, narrow, size);
}

}  // namespace

std::uint32_t BinaryPlistWriter::newObject(Kind kind, std::uint64_t number,
                                           std::string_view bytes) {
  objects_.push_back({.kind = kind, .number = number, .bytes = bytes});
  return static_cast<std::uint32_t>(objects_.size() - 1);
}

void BinaryPlistWriter::add(std::uint32_t index) {
  if (!open_.empty()) collected_.push_back(index);
}

std::uint32_t BinaryPlistWriter::shared(std::unordered_map<std::uint64_t, std::uint32_t>& table,
                                        Kind kind, std::uint64_t number) {
  auto [it, inserted] = table.try_emplace(number, 0);
  if (inserted) it->second = newObject(kind, number, {});
  return it->second;
}

std::uint32_t BinaryPlistWriter::shared(StringTable& table, Kind kind, std::string_view bytes) {
  auto [number, inserted] = table.insert(bytes, objects_.size());
  if (inserted) newObject(kind, 0, bytes);
  return static_cast<std::uint32_t>(number);
}

void BinaryPlistWriter::open(Kind kind) {
  std::uint32_t index = newObject(kind, 0, {});
  add(index);
  open_.push_back({index, collected_.size()});
}

void BinaryPlistWriter::beginDictionary() { open(Kind::Dictionary); }
void BinaryPlistWriter::beginArray() { open(Kind::Array); }

void BinaryPlistWriter::end() {
  Open closing = open_.back();
  open_.pop_back();
  Object& object = objects_[closing.object];
  object.firstChild = children_.size();
  object.childCount = collected_.size() - closing.from;
  children_.insert(children_.end(), collected_.begin() + static_cast<std::ptrdiff_t>(closing.from),
                   collected_.end());
  collected_.resize(closing.from);
}

void BinaryPlistWriter::key(std::string_view text) {
  // Callers give the same few keys from the same literals thousands of times; a text that must
  // stay valid and unchanged until finish() is known by where it lies.
  for (const RecentKey& recent : recentKeys_) {
    if (recent.data == text.data() && recent.size == text.size() && recent.data) {
      add(recent.object);
      return;
    }
  }
  std::uint32_t object = shared(keys_, Kind::Key, text);
  recentKeys_[nextRecentKey_] = {text.data(), text.size(), object};
  nextRecentKey_ = (nextRecentKey_ + 1) % std::size(recentKeys_);
  add(object);
}
void BinaryPlistWriter::string(std::string_view text) { add(shared(strings_, Kind::String, text)); }
void BinaryPlistWriter::integer(std::int64_t value) {
  add(shared(integers_, Kind::Integer, static_cast<std::uint64_t>(value)));
}
void BinaryPlistWriter::real(double value) {
  add(shared(reals_, Kind::Real, std::bit_cast<std::uint64_t>(value)));
}
void BinaryPlistWriter::boolean(bool value) {
  std::uint32_t& slot = booleans_[value ? 1 : 0];
  if (slot == UINT32_MAX) slot = newObject(Kind::Boolean, value ? 1 : 0, {});
  add(slot);
}
void BinaryPlistWriter::data(std::span<const std::uint8_t> bytes) {
  add(newObject(Kind::Data, 0,
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}
void BinaryPlistWriter::uid(std::uint64_t value) {
  // A keyed archive refers to each of its objects by number, so the numbers given are dense:
  // a table indexed by them spares a hash look-up for every reference of a large store.
  if (value >= kDenseUids) {
    add(shared(uids_, Kind::Uid, value));
    return;
  }
  if (value >= denseUids_.size())
    denseUids_.resize(std::max<std::size_t>(value + 1, 2 * denseUids_.size()), UINT32_MAX);
  std::uint32_t& slot = denseUids_[value];
  if (slot == UINT32_MAX) slot = newObject(Kind::Uid, value, {});
  add(slot);
}

std::vector<std::uint8_t> BinaryPlistWriter::finish() {
  const int refSize = neededBytes(objects_.size());
  std::size_t estimate = 8 + 32 + objects_.size() * 14 + children_.size() * refSize;
  for (const Object& object : objects_) estimate += 2 * object.bytes.size();
  std::vector<std::uint8_t> out;
  out.reserve(estimate);
  for (char c : std::string_view("bplist00")) out.push_back(static_cast<std::uint8_t>(c));
  std::vector<std::uint64_t> offsets;
  offsets.reserve(objects_.size());
  // References written in place, after one resize for all of a container's.
  auto appendRefs = [&](const Object& object, std::size_t first, std::size_t step) {
    if (first >= object.childCount) return;
    std::size_t at = out.size();
    out.resize(at + (object.childCount - first + step - 1) / step * refSize);
    for (std::size_t i = first; i < object.childCount; i += step, at += refSize) {
      std::uint64_t value = children_[object.firstChild + i];
      for (int k = refSize - 1; k >= 0; --k, value >>= 8)
        out[at + k] = static_cast<std::uint8_t>(value);
    }
  };
  for (const Object& object : objects_) {
    offsets.push_back(out.size());
    switch (object.kind) {
      case Kind::Dictionary:
        // Entries were given key, value, key, value; the format wants the keys first.
        appendMarker(out, 0xD0, object.childCount / 2);
        appendRefs(object, 0, 2);
        appendRefs(object, 1, 2);
        break;
      case Kind::Array:
        appendMarker(out, 0xA0, object.childCount);
        appendRefs(object, 0, 1);
        break;
      case Kind::Key:
      case Kind::String:
        appendText(out, object.bytes);
        break;
      case Kind::Integer:
        appendInteger(out, object.number);
        break;
      case Kind::Real:
        appendReal(out, std::bit_cast<double>(object.number));
        break;
      case Kind::Boolean:
        out.push_back(object.number ? 0x09 : 0x08);
        break;
      case Kind::Data:
        appendMarker(out, 0x40, object.bytes.size());
        out.insert(out.end(), object.bytes.begin(), object.bytes.end());
        break;
      case Kind::Uid:
        appendUid(out, object.number);
        break;
    }
  }
  const std::uint64_t tableOffset = out.size();
  const int offsetSize = neededBytes(tableOffset);
  for (std::uint64_t offset : offsets) appendBigEndian(out, offset, offsetSize);
  out.insert(out.end(), 6, 0);
  out.push_back(static_cast<std::uint8_t>(offsetSize));
  out.push_back(static_cast<std::uint8_t>(refSize));
  appendBigEndian(out, objects_.size(), 8);
  appendBigEndian(out, 0, 8);
  appendBigEndian(out, tableOffset, 8);
  return out;
}

}  // namespace corvela
