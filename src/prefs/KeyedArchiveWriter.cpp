// The writing half of the keyed-archive codec (see KeyedArchive.h for the layout).

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <unordered_map>

#include "prefs/BinaryPlistWriter.h"
#include "prefs/KeyedArchive.h"
#include "prefs/StringTable.h"

namespace corvela {

namespace {

// Whether `s` can be stored as a plain string and read back as the same bytes by any reader:
// non-ASCII text is stored as UTF-16, which a malformed sequence or a zero byte cannot survive.
bool isPlainText(const std::string& s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  std::size_t i = 0;
  // Most text is ASCII: eight bytes at a time while they are, without a zero byte (only a zero
  // byte borrows into its own high bit when no high bit is set).
  constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if ((word & kHighs) != 0 || ((word - kOnes) & ~word & kHighs) != 0) break;
  }
  while (i < n) {
    unsigned char c = p[i];
    if (c == 0) return false;
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    std::uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      code = c & 0x07;
    } else {
      return false;
    }
    if (n - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i + k] & 0x3F);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) return false;
    i += length;
  }
  return true;
}

struct ClassChain {
  const char* name;
  std::vector<const char*> chain;
};

const ClassChain kMutableDictionary{"NSMutableDictionary",
                                    {"NSMutableDictionary", "NSDictionary", "NSObject"}};
const ClassChain kMutableArray{"NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"}};
const ClassChain kMutableString{"NSMutableString", {"NSMutableString", "NSString", "NSObject"}};
const ClassChain kDate{"NSDate", {"NSDate", "NSObject"}};
const ClassChain kNull{"NSNull", {"NSNull", "NSObject"}};

// Lays a Value out as the flat object table of a keyed archive, then writes the table as a
// binary property list. The table refers into the Value (texts, bytes), which must outlive it.
class Encoder {
 public:
  explicit Encoder(const ArchiveLimits& limits) : limits_(limits) {
    static const std::string kNullMarker = "$null";
    objects_.push_back({.kind = Kind::String, .text = kNullMarker});
  }

  Status encode(const Value& v, std::size_t depth, std::uint64_t* uid) {
    switch (v.type()) {
      case Value::Type::Null:
        *uid = depth == 0 ? 0 : nsNull();
        return Status::OK();
      case Value::Type::Bool: {
        std::uint64_t& slot = booleans_[v.toBool() ? 1 : 0];
        if (slot == 0) slot = add({.kind = Kind::Bool, .number = v.toBool() ? 1u : 0u});
        *uid = slot;
        return Status::OK();
      }
      case Value::Type::Integer:
        *uid = shared(integers_, static_cast<std::uint64_t>(v.toInt()), Kind::Integer);
        return Status::OK();
      case Value::Type::Real:
        *uid = shared(reals_, std::bit_cast<std::uint64_t>(v.toDouble()), Kind::Real);
        return Status::OK();
      case Value::Type::String:
        *uid = string(v.toString());
        return Status::OK();
      case Value::Type::Date: {
        std::uint64_t cls = classEntry(kDate);
        *uid = add({.kind = Kind::Date,
                    .number = std::bit_cast<std::uint64_t>(v.toDate().seconds),
                    .cls = cls});
        return Status::OK();
      }
      case Value::Type::Data: {
        const Value::Bytes& b = v.toData();
        *uid = add({.kind = Kind::Data,
                    .text = std::string_view(reinterpret_cast<const char*>(b.data()), b.size())});
        return Status::OK();
      }
      case Value::Type::Array:
      case Value::Type::Dictionary:
        if (depth >= limits_.maxDepth)
          return Status::Error("the value is nested more than " + std::to_string(limits_.maxDepth) +
                               " levels deep");
        return v.isArray() ? array(v, depth, uid) : dictionary(v, depth, uid);
    }
    return Status::Error("the value is of an unknown type");
  }

  // The binary property list of the archive whose root object is `rootUid`.
  std::vector<std::uint8_t> finish(std::uint64_t rootUid) {
    BinaryPlistWriter w;
    w.beginDictionary();
    w.key("$version");
    w.integer(100000);
    w.key("$archiver");
    w.string("NSKeyedArchiver");
    w.key("$top");
    w.beginDictionary();
    w.key("root");
    w.uid(rootUid);
    w.end();
    w.key("$objects");
    w.beginArray();
    for (const Object& object : objects_) write(w, object);
    w.end();
    w.end();
    return w.finish();
  }

 private:
  enum class Kind {
    String,
    BytesString,
    Bool,
    Integer,
    Real,
    Date,
    Data,
    Null,
    Class,
    Array,
    Dictionary
  };
  struct Object {
    Kind kind;
    std::uint64_t number = 0;  // Boolean, integer, real or date bits
    std::string_view text{};   // string, bytes of a string or data
    const ClassChain* chain = nullptr;
    std::uint64_t cls = 0;  // the class entry of an archived object
    std::size_t first = 0;  // its references in refs_: an array's elements, a dictionary's
    std::size_t count = 0;  // keys and then as many values
  };

  void write(BinaryPlistWriter& w, const Object& object) const {
    auto refs = [&](std::size_t from) {
      w.beginArray();
      for (std::size_t i = 0; i < object.count; ++i) w.uid(refs_[from + i]);
      w.end();
    };
    switch (object.kind) {
      case Kind::String:
        w.string(object.text);
        return;
      case Kind::Bool:
        w.boolean(object.number != 0);
        return;
      case Kind::Integer:
        w.integer(static_cast<std::int64_t>(object.number));
        return;
      case Kind::Real:
        w.real(std::bit_cast<double>(object.number));
        return;
      case Kind::Data:
        w.data({reinterpret_cast<const std::uint8_t*>(object.text.data()), object.text.size()});
        return;
      case Kind::Class:
        w.beginDictionary();
        w.key("$classname");
        w.string(object.chain->name);
        w.key("$classes");
        w.beginArray();
        for (const char* name : object.chain->chain) w.string(name);
        w.end();
        w.end();
        return;
      default:
        break;
    }
    w.beginDictionary();
    switch (object.kind) {
      case Kind::Date:
        w.key("NS.time");
        w.real(std::bit_cast<double>(object.number));
        break;
      case Kind::BytesString:
        w.key("NS.bytes");
        w.data({reinterpret_cast<const std::uint8_t*>(object.text.data()), object.text.size()});
        break;
      case Kind::Array:
        w.key("NS.objects");
        refs(object.first);
        break;
      case Kind::Dictionary:
        w.key("NS.keys");
        refs(object.first);
        w.key("NS.objects");
        refs(object.first + object.count);
        break;
      default:
        break;
    }
    w.key("$class");
    w.uid(object.cls);
    w.end();
  }

  std::uint64_t add(Object object) {
    objects_.push_back(object);
    return objects_.size() - 1;
  }

  template <typename Key>
  std::uint64_t shared(std::unordered_map<Key, std::uint64_t>& table, Key key, Kind kind) {
    auto [it, inserted] = table.try_emplace(key, 0);
    if (inserted) {
      if constexpr (std::is_same_v<Key, std::string_view>) {
        it->second = add({.kind = kind, .text = key});
      } else {
        it->second = add({.kind = kind, .number = key});
      }
    }
    return it->second;
  }

  // Equal strings and numbers are written once and shared, as Cocoa does.
  std::uint64_t string(const std::string& s) {
    if (isPlainText(s)) {
      auto [uid, inserted] = strings_.insert(s, objects_.size());
      if (inserted) add({.kind = Kind::String, .text = s});
      return uid;
    }
    if (auto it = bytesStrings_.find(s); it != bytesStrings_.end()) return it->second;
    // The class entry comes first when it is new, as it is made while making the string.
    std::uint64_t cls = classEntry(kMutableString);
    std::uint64_t uid = add({.kind = Kind::BytesString, .text = s, .cls = cls});
    bytesStrings_.emplace(s, uid);
    return uid;
  }

  std::uint64_t nsNull() {
    if (null_ == 0) {
      std::uint64_t cls = classEntry(kNull);
      null_ = add({.kind = Kind::Null, .cls = cls});
    }
    return null_;
  }

  std::uint64_t classEntry(const ClassChain& c) {
    auto [it, inserted] = classes_.try_emplace(&c, 0);
    if (inserted) it->second = add({.kind = Kind::Class, .chain = &c});
    return it->second;
  }

  // Containers take their place in the table before their contents, as Cocoa lays them out.
  Status array(const Value& v, std::size_t depth, std::uint64_t* uid) {
    std::uint64_t slot = add({.kind = Kind::Array});
    const std::size_t base = children_.size();
    for (const Value& element : v.toArray()) {
      std::uint64_t child = 0;
      if (Status s = encode(element, depth + 1, &child); !s.ok()) return s;
      children_.push_back(child);
    }
    std::uint64_t cls = classEntry(kMutableArray);
    Object& object = objects_[slot];
    object.cls = cls;
    object.first = refs_.size();
    object.count = children_.size() - base;
    refs_.insert(refs_.end(), children_.begin() + base, children_.end());
    children_.resize(base);
    *uid = slot;
    return Status::OK();
  }

  Status dictionary(const Value& v, std::size_t depth, std::uint64_t* uid) {
    std::uint64_t slot = add({.kind = Kind::Dictionary});
    const std::size_t base = children_.size();
    for (const auto& [key, value] : v.toDictionary()) {
      children_.push_back(string(key));
      std::uint64_t child = 0;
      if (Status s = encode(value, depth + 1, &child); !s.ok()) return s;
      children_.push_back(child);
    }
    std::uint64_t cls = classEntry(kMutableDictionary);
    Object& object = objects_[slot];
    object.cls = cls;
    object.first = refs_.size();
    object.count = (children_.size() - base) / 2;
    // The keys, then the values.
    for (std::size_t i = base; i < children_.size(); i += 2) refs_.push_back(children_[i]);
    for (std::size_t i = base + 1; i < children_.size(); i += 2) refs_.push_back(children_[i]);
    children_.resize(base);
    *uid = slot;
    return Status::OK();
  }

  ArchiveLimits limits_;
  std::vector<Object> objects_;
  std::vector<std::uint64_t> refs_;
  // The references of the containers being encoded, outermost first (a dictionary's as key,
  // value, key, value...), until each is complete and moves to refs_.
  std::vector<std::uint64_t> children_;
  StringTable strings_;
  std::unordered_map<std::string_view, std::uint64_t> bytesStrings_;
  std::unordered_map<std::uint64_t, std::uint64_t> integers_, reals_;
  std::unordered_map<const ClassChain*, std::uint64_t> classes_;
  std::uint64_t booleans_[2] = {0, 0};
  std::uint64_t null_ = 0;
};

}  // namespace

Result<std::vector<std::uint8_t>> writeKeyedArchive(const Value& root,
                                                    const ArchiveLimits& limits) {
  Encoder encoder(limits);
  std::uint64_t rootUid = 0;
  if (Status s = encoder.encode(root, 0, &rootUid); !s.ok()) return s;
  std::vector<std::uint8_t> bytes = encoder.finish(rootUid);
  if (bytes.size() > limits.maxBytes)
    return Status::Error("the archive would be " + std::to_string(bytes.size()) +
                         " bytes long, more than the " + std::to_string(limits.maxBytes) +
                         " an archive may have");
  return bytes;
}

}  // namespace corvela
