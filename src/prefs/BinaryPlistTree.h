#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/BinaryPlistCheck.h"
#include "prefs/Value.h"

namespace corvela {

// What the keyed-archive decoder asks of a node of a property list.
enum class PlistNodeType {
  Other,
  String,
  Boolean,
  Integer,
  Real,
  Date,
  Data,
  Array,
  Dictionary,
  Uid
};

// A binary property list read in place from its bytes, after checkBinaryPlist has accepted them,
// for the keyed-archive decoder (KeyedArchive.cpp): nothing is built but the Values. It reads only
// what it reads exactly as libplist does; on anything else (a plain date, a text libplist would
// convert in its own way, a key twice in a dictionary, a structure the check should have refused)
// it marks itself unsure, and the archive is read again through libplist.
class BinaryPlistTree {
 public:
  using Node = std::uint64_t;
  static constexpr Node kNone = UINT64_MAX;

  // `objects` are the headers checkBinaryPlist gave for `bytes`.
  BinaryPlistTree(std::span<const std::uint8_t> bytes, std::span<const BinaryPlistObject> objects)
      : bytes_(bytes), objects_(objects) {
    const std::uint8_t* trailer = bytes.data() + bytes.size() - 32;
    refSize_ = trailer[7];
    top_ = bigEndian(trailer + 16, 8);
  }

  Node top() const { return top_; }
  bool unsure() const { return unsure_; }

  PlistNodeType type(Node node) const {
    Header h = header(node);
    switch (h.type) {
      case 0x0:
        return h.info == 8 || h.info == 9 ? PlistNodeType::Boolean : PlistNodeType::Other;
      case 0x1:
        return PlistNodeType::Integer;
      case 0x2:
        return PlistNodeType::Real;
      case 0x3:
        return PlistNodeType::Date;
      case 0x4:
        return PlistNodeType::Data;
      case 0x5:
      case 0x6:
        return PlistNodeType::String;
      case 0x8:
        return PlistNodeType::Uid;
      case 0xA:
        return PlistNodeType::Array;
      case 0xD:
        return PlistNodeType::Dictionary;
      default:
        return PlistNodeType::Other;
    }
  }

  bool string(Node node, std::string* out) const {
    Header h = header(node);
    if (h.type == 0x5) {
      const std::uint8_t* p = bytes_.data() + h.content;
      out->assign(reinterpret_cast<const char*>(p), h.count);
      if (!isPlainAscii(p, h.count)) unsure_ = true;
      return true;
    }
    if (h.type != 0x6) return false;
    // libplist refuses a UTF-16 string of no characters; let it say so.
    if (h.count == 0) unsure_ = true;
    out->clear();
    for (std::uint64_t i = 0; i < h.count; ++i) {
      std::uint32_t c = static_cast<std::uint32_t>(bigEndian(bytes_.data() + h.content + 2 * i, 2));
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < h.count) {
        auto low = static_cast<std::uint32_t>(bigEndian(bytes_.data() + h.content + 2 * i + 2, 2));
        if (low >= 0xDC00 && low <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
      if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) unsure_ = true;
      appendUTF8(*out, c);
    }
    return true;
  }

  bool uid(Node node, std::uint64_t* out) const {
    Header h = header(node);
    if (h.type != 0x8) return false;
    *out = narrow(bytes_.data() + h.content, h.info + 1u);
    return true;
  }

  Node item(Node dictionary, const char* key) const {
    Header h = header(dictionary);
    Node found = kNone;
    std::string text;
    const std::string_view wanted(key);
    for (std::uint64_t i = 0; i < h.count; ++i) {
      if (!keyEquals(reference(h, i), wanted, &text)) continue;
      if (found != kNone) unsure_ = true;
      found = reference(h, h.count + i);
    }
    return found;
  }

  // item() for several keys in one pass over the dictionary: found[k] for keys[k].
  void items(Node dictionary, std::span<const std::string_view> keys, Node* found) const {
    Header h = header(dictionary);
    for (std::size_t k = 0; k < keys.size(); ++k) found[k] = kNone;
    std::string text;
    for (std::uint64_t i = 0; i < h.count; ++i) {
      const Node key = reference(h, i);
      for (std::size_t k = 0; k < keys.size(); ++k) {
        if (!keyEquals(key, keys[k], &text)) continue;
        if (found[k] != kNone) unsure_ = true;
        found[k] = reference(h, h.count + i);
      }
    }
  }

  // Whether the key `node` is `key`; a plain key is compared in place.
  bool keyEquals(Node node, std::string_view key, std::string* scratch) const {
    // An archive shares its few key strings among all its objects: a key seen once is known.
    if (node < knownKeys_.size() && knownKeys_[node] != 0)
      return keyTexts_[knownKeys_[node] - 1] == key;
    Header h = header(node);
    if (h.type == 0x5 && h.count == key.size()) {
      std::string_view text(reinterpret_cast<const char*>(bytes_.data() + h.content), h.count);
      if (text == key) {
        if (node < objects_.size() && keyTexts_.size() < UINT8_MAX) {
          if (knownKeys_.empty()) knownKeys_.resize(objects_.size());
          keyTexts_.push_back(text);
          knownKeys_[node] = static_cast<std::uint8_t>(keyTexts_.size());
        }
        return true;
      }
      // libplist would cut this key at its zero byte, and might find `key` that way.
      if (text.find('\0') != std::string_view::npos) unsure_ = true;
      return false;
    }
    if (h.type == 0x5 && h.count < key.size()) return false;
    return string(node, scratch) && *scratch == key;
  }

  std::size_t size(Node array) const { return header(array).count; }
  template <typename F>
  void forEach(Node array, F each) const {
    Header h = header(array);
    for (std::uint64_t i = 0; i < h.count; ++i) each(reference(h, i));
  }

  bool boolean(Node node) const { return header(node).info == 9; }
  std::uint64_t integer(Node node) const {
    Header h = header(node);
    if (h.info == 4) return bigEndian(bytes_.data() + h.content + 8, 8);  // the low 64 bits
    return bigEndian(bytes_.data() + h.content, std::size_t{1} << h.info);
  }
  double real(Node node) const {
    Header h = header(node);
    if (h.info == 2)
      return std::bit_cast<float>(
          static_cast<std::uint32_t>(bigEndian(bytes_.data() + h.content, 4)));
    return std::bit_cast<double>(bigEndian(bytes_.data() + h.content, 8));
  }
  double date(Node) const {
    unsure_ = true;
    return 0;
  }
  Value::Bytes data(Node node) const {
    Header h = header(node);
    const std::uint8_t* p = bytes_.data() + h.content;
    return Value::Bytes(p, p + h.count);
  }

 private:
  struct Header {
    std::uint8_t type = 0xF;  // no type the decoder reads
    std::uint8_t info = 0;
    std::uint64_t count = 0;
    std::size_t content = 0;
  };

  // bigEndian for the widths of references and UIDs, which stores keep to two bytes or fewer.
  static std::uint64_t narrow(const std::uint8_t* p, std::size_t n) {
    if (n == 1) return p[0];
    if (n == 2) return std::uint64_t{p[0]} << 8 | p[1];
    return bigEndian(p, n);
  }

  static std::uint64_t bigEndian(const std::uint8_t* p, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
  }

  // Whether the n bytes at p are ASCII without a zero byte; eight bytes at a time.
  static bool isPlainAscii(const std::uint8_t* p, std::size_t n) {
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      // A high bit set, or a zero byte (the classic test: only a zero byte borrows into its
      // own high bit when the high bits are clear).
      if ((word & kHighs) != 0 || ((word - kOnes) & ~word & kHighs) != 0) return false;
    }
    for (; i < n; ++i)
      if (p[i] == 0 || p[i] >= 0x80) return false;
    return true;
  }

  static void appendUTF8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  // The checker has measured every object the decoder can reach; what it did not reach reads
  // as no object, and unsure.
  Header header(Node node) const {
    Header h;
    if (node >= objects_.size()) {
      if (node != kNone) unsure_ = true;
      return h;
    }
    const BinaryPlistObject& object = objects_[node];
    if (object.marker == BinaryPlistObject::kNotReached) {
      unsure_ = true;
      return h;
    }
    h.type = object.marker >> 4;
    h.info = object.marker & 0xF;
    h.count = object.count;
    h.content = object.content;
    return h;
  }

  Node reference(const Header& h, std::uint64_t i) const {
    return narrow(bytes_.data() + h.content + i * refSize_, refSize_);
  }

  std::span<const std::uint8_t> bytes_;
  std::span<const BinaryPlistObject> objects_;
  unsigned refSize_ = 0;
  std::uint64_t top_ = 0;
  mutable bool unsure_ = false;
  // Plain keys found equal to a key asked for: knownKeys_[node] is one more than the place of
  // the key's text in keyTexts_, or 0.
  mutable std::vector<std::uint8_t> knownKeys_;
  mutable std::vector<std::string_view> keyTexts_;
};

}  // namespace corvela
