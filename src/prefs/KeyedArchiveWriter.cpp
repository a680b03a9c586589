// The writing half of the keyed-archive codec (see KeyedArchive.h for the layout).

#include <cstring>
#include <unordered_map>

#include "prefs/KeyedArchive.h"
#include "prefs/PlistPtr.h"

namespace corvela {

namespace {

// Whether libplist can store `s` as a plain string and give the same bytes back: it converts
// non-ASCII text to UTF-16 and silently cuts a string at a malformed sequence or a zero byte.
bool isPlainText(const std::string& s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
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

// Lays a Value out as the flat object table of a keyed archive.
class Encoder {
 public:
  explicit Encoder(const ArchiveLimits& limits) : limits_(limits) {
    objects_.emplace_back(plist_new_string("$null"));
  }

  Status encode(const Value& v, std::size_t depth, std::uint64_t* uid) {
    switch (v.type()) {
      case Value::Type::Null:
        if (depth == 0) {
          *uid = 0;
        } else {
          *uid = nsNull();
        }
        return Status::OK();
      case Value::Type::Bool:
        *uid = shared(v.toBool() ? "t" : "f", [&] { return plist_new_bool(v.toBool()); });
        return Status::OK();
      case Value::Type::Integer: {
        std::int64_t i = v.toInt();
        *uid = shared(tagged('i', &i, sizeof i),
                      [&] { return plist_new_uint(static_cast<std::uint64_t>(i)); });
        return Status::OK();
      }
      case Value::Type::Real: {
        double d = v.toDouble();
        *uid = shared(tagged('r', &d, sizeof d), [&] { return plist_new_real(d); });
        return Status::OK();
      }
      case Value::Type::String:
        *uid = string(v.toString());
        return Status::OK();
      case Value::Type::Date: {
        plist_t date = plist_new_dict();
        plist_dict_set_item(date, "NS.time", plist_new_real(v.toDate().seconds));
        plist_dict_set_item(date, "$class", plist_new_uid(classEntry(kDate)));
        *uid = add(date);
        return Status::OK();
      }
      case Value::Type::Data: {
        const Value::Bytes& b = v.toData();
        *uid = add(plist_new_data(reinterpret_cast<const char*>(b.data()), b.size()));
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

  // The archive whose root object is `rootUid`.
  PlistPtr finish(std::uint64_t rootUid) {
    PlistPtr top(plist_new_dict());
    plist_dict_set_item(top.get(), "$version", plist_new_uint(100000));
    plist_dict_set_item(top.get(), "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_t topObject = plist_new_dict();
    plist_dict_set_item(topObject, "root", plist_new_uid(rootUid));
    plist_dict_set_item(top.get(), "$top", topObject);
    plist_t objects = plist_new_array();
    for (PlistPtr& object : objects_) plist_array_append_item(objects, object.release());
    objects_.clear();
    plist_dict_set_item(top.get(), "$objects", objects);
    return top;
  }

 private:
  std::uint64_t add(plist_t node) {
    objects_.emplace_back(node);
    return objects_.size() - 1;
  }

  static std::string tagged(char tag, const void* raw, std::size_t size) {
    std::string key(1, tag);
    key.append(static_cast<const char*>(raw), size);
    return key;
  }

  // The one object for a string or number, created on first use.
  template <typename Make>
  std::uint64_t shared(const std::string& key, Make make) {
    if (auto it = shared_.find(key); it != shared_.end()) return it->second;
    // make() may itself add shared objects, so the map is written only afterwards.
    std::uint64_t uid = add(make());
    shared_.emplace(key, uid);
    return uid;
  }

  std::uint64_t string(const std::string& s) {
    if (isPlainText(s)) return shared("s" + s, [&] { return plist_new_string(s.c_str()); });
    return shared("b" + s, [&] {
      plist_t object = plist_new_dict();
      plist_dict_set_item(object, "NS.bytes", plist_new_data(s.data(), s.size()));
      plist_dict_set_item(object, "$class", plist_new_uid(classEntry(kMutableString)));
      return object;
    });
  }

  std::uint64_t nsNull() {
    return shared("n", [&] {
      plist_t object = plist_new_dict();
      plist_dict_set_item(object, "$class", plist_new_uid(classEntry(kNull)));
      return object;
    });
  }

  std::uint64_t classEntry(const ClassChain& c) {
    return shared(std::string("c") + c.name, [&] {
      plist_t entry = plist_new_dict();
      plist_dict_set_item(entry, "$classname", plist_new_string(c.name));
      plist_t classes = plist_new_array();
      for (const char* name : c.chain) plist_array_append_item(classes, plist_new_string(name));
      plist_dict_set_item(entry, "$classes", classes);
      return entry;
    });
  }

  // Containers take their place in the table before their contents, as Cocoa lays them out.
  Status array(const Value& v, std::size_t depth, std::uint64_t* uid) {
    std::uint64_t slot = add(nullptr);
    PlistPtr items(plist_new_array());
    for (const Value& element : v.toArray()) {
      std::uint64_t child = 0;
      if (Status s = encode(element, depth + 1, &child); !s.ok()) return s;
      plist_array_append_item(items.get(), plist_new_uid(child));
    }
    plist_t object = plist_new_dict();
    plist_dict_set_item(object, "NS.objects", items.release());
    plist_dict_set_item(object, "$class", plist_new_uid(classEntry(kMutableArray)));
    objects_[slot].reset(object);
    *uid = slot;
    return Status::OK();
  }

  Status dictionary(const Value& v, std::size_t depth, std::uint64_t* uid) {
    std::uint64_t slot = add(nullptr);
    PlistPtr keys(plist_new_array());
    PlistPtr values(plist_new_array());
    for (const auto& [key, value] : v.toDictionary()) {
      plist_array_append_item(keys.get(), plist_new_uid(string(key)));
      std::uint64_t child = 0;
      if (Status s = encode(value, depth + 1, &child); !s.ok()) return s;
      plist_array_append_item(values.get(), plist_new_uid(child));
    }
    plist_t object = plist_new_dict();
    plist_dict_set_item(object, "NS.keys", keys.release());
    plist_dict_set_item(object, "NS.objects", values.release());
    plist_dict_set_item(object, "$class", plist_new_uid(classEntry(kMutableDictionary)));
    objects_[slot].reset(object);
    *uid = slot;
    return Status::OK();
  }

  ArchiveLimits limits_;
  std::vector<PlistPtr> objects_;
  std::unordered_map<std::string, std::uint64_t> shared_;
};

}  // namespace

Result<std::vector<std::uint8_t>> writeKeyedArchive(const Value& root,
                                                    const ArchiveLimits& limits) {
  Encoder encoder(limits);
  std::uint64_t rootUid = 0;
  if (Status s = encoder.encode(root, 0, &rootUid); !s.ok()) return s;
  PlistPtr top = encoder.finish(rootUid);
  char* out = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(top.get(), &out, &length);
  if (!out) return Status::Error("the archive could not be encoded");
  std::vector<std::uint8_t> bytes(out, out + length);
  plist_to_bin_free(out);
  return bytes;
}

}  // namespace corvela
