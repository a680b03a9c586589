#include "prefs/KeyedArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "prefs/BinaryPlistCheck.h"
#include "prefs/PlistPtr.h"

namespace corvela {

namespace {

// Calls `each` with every item of a libplist array, in order. Iterating is linear, where
// fetching items by index could be quadratic in libplist.
template <typename F>
void forEachItem(plist_t array, F each) {
  plist_array_iter iter = nullptr;
  plist_array_new_iter(array, &iter);
  if (!iter) return;
  for (;;) {
    plist_t item = nullptr;
    plist_array_next_item(array, iter, &item);
    if (!item) break;
    each(item);
  }
  std::free(iter);
}

bool isType(plist_t node, plist_type type) { return node && plist_get_node_type(node) == type; }

bool stringOf(plist_t node, std::string* out) {
  if (!isType(node, PLIST_STRING)) return false;
  std::uint64_t length = 0;
  const char* p = plist_get_string_ptr(node, &length);
  out->assign(p ? p : "", p ? length : 0);
  return true;
}

bool uidOf(plist_t node, std::uint64_t* uid) {
  if (!isType(node, PLIST_UID)) return false;
  plist_get_uid_val(node, uid);
  return true;
}

Value::Bytes bytesOf(plist_t node) {
  std::uint64_t length = 0;
  const char* p = plist_get_data_ptr(node, &length);
  if (!p) return {};
  const auto* b = reinterpret_cast<const std::uint8_t*>(p);
  return Value::Bytes(b, b + length);
}

// What an archived object dictionary stands for, from its class names.
enum class Kind { Unknown, Dictionary, Array, String, Date, Data, Null };

Kind kindOfClass(std::string_view name) {
  if (name == "NSDictionary" || name == "NSMutableDictionary") return Kind::Dictionary;
  if (name == "NSArray" || name == "NSMutableArray") return Kind::Array;
  if (name == "NSString" || name == "NSMutableString") return Kind::String;
  if (name == "NSDate") return Kind::Date;
  if (name == "NSData" || name == "NSMutableData") return Kind::Data;
  if (name == "NSNull") return Kind::Null;
  return Kind::Unknown;
}

// What the decoder asks of a node of the property list.
enum class NodeType { Other, String, Boolean, Integer, Real, Date, Data, Array, Dictionary, Uid };

// The property list as libplist parsed it.
struct LibplistTree {
  using Node = plist_t;
  static constexpr Node kNone = nullptr;

  NodeType type(Node node) const {
    if (!node) return NodeType::Other;
    switch (plist_get_node_type(node)) {
      case PLIST_STRING:
        return NodeType::String;
      case PLIST_BOOLEAN:
        return NodeType::Boolean;
      case PLIST_UINT:
        return NodeType::Integer;
      case PLIST_REAL:
        return NodeType::Real;
      case PLIST_DATE:
        return NodeType::Date;
      case PLIST_DATA:
        return NodeType::Data;
      case PLIST_ARRAY:
        return NodeType::Array;
      case PLIST_DICT:
        return NodeType::Dictionary;
      case PLIST_UID:
        return NodeType::Uid;
      default:
        return NodeType::Other;
    }
  }
  bool string(Node node, std::string* out) const { return stringOf(node, out); }
  bool uid(Node node, std::uint64_t* out) const { return uidOf(node, out); }
  Node item(Node dictionary, const char* key) const { return plist_dict_get_item(dictionary, key); }
  std::size_t size(Node array) const { return plist_array_get_size(array); }
  template <typename F>
  void forEach(Node array, F each) const {
    forEachItem(array, each);
  }
  bool boolean(Node node) const {
    std::uint8_t b = 0;
    plist_get_bool_val(node, &b);
    return b != 0;
  }
  std::uint64_t integer(Node node) const {
    std::uint64_t u = 0;
    plist_get_uint_val(node, &u);
    return u;
  }
  double real(Node node) const {
    double d = 0;
    plist_get_real_val(node, &d);
    return d;
  }
  double date(Node node) const {
    std::int32_t sec = 0, usec = 0;
    plist_get_date_val(node, &sec, &usec);
    return sec + usec / 1e6;
  }
  Value::Bytes data(Node node) const { return bytesOf(node); }
};

// The property list read in place from its bytes, after checkBinaryPlist has accepted them:
// nothing is built but the Values. It reads only what it reads exactly as libplist does; on
// anything else (a plain date, a text libplist would convert in its own way, a key twice in a
// dictionary, a structure the check should have refused) it marks itself unsure, and the
// archive is read again through libplist.
class BinaryTree {
 public:
  using Node = std::uint64_t;
  static constexpr Node kNone = UINT64_MAX;

  explicit BinaryTree(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
    const std::uint8_t* trailer = bytes.data() + bytes.size() - 32;
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    objects_ = bigEndian(trailer + 8, 8);
    top_ = bigEndian(trailer + 16, 8);
    offsetTable_ = bigEndian(trailer + 24, 8);
  }

  Node top() const { return top_; }
  bool unsure() const { return unsure_; }

  NodeType type(Node node) const {
    Header h = header(node);
    switch (h.type) {
      case 0x0:
        return h.info == 8 || h.info == 9 ? NodeType::Boolean : NodeType::Other;
      case 0x1:
        return NodeType::Integer;
      case 0x2:
        return NodeType::Real;
      case 0x3:
        return NodeType::Date;
      case 0x4:
        return NodeType::Data;
      case 0x5:
      case 0x6:
        return NodeType::String;
      case 0x8:
        return NodeType::Uid;
      case 0xA:
        return NodeType::Array;
      case 0xD:
        return NodeType::Dictionary;
      default:
        return NodeType::Other;
    }
  }

  bool string(Node node, std::string* out) const {
    Header h = header(node);
    if (h.type == 0x5) {
      out->assign(reinterpret_cast<const char*>(bytes_.data() + h.content), h.count);
      for (char c : *out)
        if (c == 0 || static_cast<unsigned char>(c) >= 0x80) unsure_ = true;
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
    *out = bigEndian(bytes_.data() + h.content, h.info + 1u);
    return true;
  }

  Node item(Node dictionary, const char* key) const {
    Header h = header(dictionary);
    Node found = kNone;
    std::string text;
    for (std::uint64_t i = 0; i < h.count; ++i) {
      if (!keyEquals(reference(h, i), key, &text)) continue;
      if (found != kNone) unsure_ = true;
      found = reference(h, h.count + i);
    }
    return found;
  }

  // Whether the key `node` is `key`; a plain key is compared in place.
  bool keyEquals(Node node, std::string_view key, std::string* scratch) const {
    Header h = header(node);
    if (h.type == 0x5 && h.count == key.size()) {
      std::string_view text(reinterpret_cast<const char*>(bytes_.data() + h.content), h.count);
      if (text == key) return true;
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

  static std::uint64_t bigEndian(const std::uint8_t* p, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
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

  // The checker has measured every object the decoder can reach; what is out of bounds anyway
  // reads as no object, and unsure.
  Header header(Node node) const {
    Header h;
    if (node == kNone) return h;
    if (node >= objects_) {
      unsure_ = true;
      return h;
    }
    std::uint64_t offset =
        bigEndian(bytes_.data() + offsetTable_ + node * offsetSize_, offsetSize_);
    if (offset >= offsetTable_) {
      unsure_ = true;
      return h;
    }
    std::uint8_t marker = bytes_[offset];
    h.type = marker >> 4;
    h.info = marker & 0xF;
    h.count = h.info;
    std::size_t pos = offset + 1;
    bool counted =
        h.type == 0x4 || h.type == 0x5 || h.type == 0x6 || h.type == 0xA || h.type == 0xD;
    if (counted && h.info == 0xF) {
      std::size_t n = std::size_t{1} << (bytes_[pos] & 0x3);
      h.count = bigEndian(bytes_.data() + pos + 1, n);
      pos += 1 + n;
    }
    h.content = pos;
    return h;
  }

  Node reference(const Header& h, std::uint64_t i) const {
    return bigEndian(bytes_.data() + h.content + i * refSize_, refSize_);
  }

  std::span<const std::uint8_t> bytes_;
  unsigned offsetSize_ = 0, refSize_ = 0;
  std::uint64_t objects_ = 0, top_ = 0, offsetTable_ = 0;
  mutable bool unsure_ = false;
};

// Turns the flat object table of an archive into one Value, following UIDs depth first.
template <typename Tree>
class Decoder {
 public:
  using Node = typename Tree::Node;

  Decoder(const Tree& tree, std::vector<Node> objects, const ArchiveLimits& limits)
      : tree_(tree),
        objects_(std::move(objects)),
        onPath_(objects_.size(), false),
        limits_(limits) {}

  Status decode(Node reference, std::size_t depth, Value* out) {
    std::uint64_t uid = 0;
    if (!tree_.uid(reference, &uid))
      return Status::Error("the archive holds a reference that is not a UID");
    if (uid >= objects_.size())
      return Status::Error("the archive refers to object " + std::to_string(uid) +
                           ", but holds only " + std::to_string(objects_.size()) + " objects");
    if (++values_ > limits_.maxValues)
      return Status::Error("the archive holds more than " + std::to_string(limits_.maxValues) +
                           " values");
    if (uid == 0 && isNullMarker(objects_[0])) {
      *out = Value();
      return Status::OK();
    }
    if (onPath_[uid]) return Status::Error("object " + std::to_string(uid) + " contains itself");
    onPath_[uid] = true;
    Status s = decodeObject(uid, depth, out);
    onPath_[uid] = false;
    return s;
  }

 private:
  bool isNullMarker(Node node) const {
    std::string s;
    return tree_.string(node, &s) && s == "$null";
  }

  Status decodeObject(std::uint64_t uid, std::size_t depth, Value* out) {
    Node node = objects_[uid];
    switch (tree_.type(node)) {
      case NodeType::String: {
        std::string s;
        tree_.string(node, &s);
        *out = Value(std::move(s));
        return Status::OK();
      }
      case NodeType::Boolean: {
        *out = Value(tree_.boolean(node));
        return Status::OK();
      }
      case NodeType::Integer: {
        *out = Value(static_cast<long long>(static_cast<std::int64_t>(tree_.integer(node))));
        return Status::OK();
      }
      case NodeType::Real: {
        *out = Value(tree_.real(node));
        return Status::OK();
      }
      case NodeType::Date: {
        *out = Value::date(tree_.date(node));
        return Status::OK();
      }
      case NodeType::Data:
        *out = Value(tree_.data(node));
        return Status::OK();
      case NodeType::Dictionary:
        return decodeClassed(uid, node, depth, out);
      default:
        return Status::Error("object " + std::to_string(uid) + " is not an archived object");
    }
  }

  Status classOf(std::uint64_t uid, Node node, Kind* kind) {
    std::uint64_t classUid = 0;
    if (!tree_.uid(tree_.item(node, "$class"), &classUid))
      return Status::Error("object " + std::to_string(uid) + " has no class");
    Node entry = classUid < objects_.size() ? objects_[classUid] : Tree::kNone;
    std::string name;
    if (tree_.type(entry) != NodeType::Dictionary ||
        !tree_.string(tree_.item(entry, "$classname"), &name))
      return Status::Error("object " + std::to_string(uid) +
                           " has a class entry that is not valid");
    *kind = kindOfClass(name);
    // A class Corvela does not know may still descend from one it does.
    if (Node classes = tree_.item(entry, "$classes");
        *kind == Kind::Unknown && tree_.type(classes) == NodeType::Array) {
      tree_.forEach(classes, [&](Node item) {
        std::string super;
        if (*kind == Kind::Unknown && tree_.string(item, &super)) *kind = kindOfClass(super);
      });
    }
    if (*kind == Kind::Unknown)
      return Status::Error("the archive holds an object of class \"" + name +
                           "\", which Corvela does not read");
    return Status::OK();
  }

  Status decodeClassed(std::uint64_t uid, Node node, std::size_t depth, Value* out) {
    Kind kind = Kind::Unknown;
    if (Status s = classOf(uid, node, &kind); !s.ok()) return s;
    const std::string name = "object " + std::to_string(uid);
    switch (kind) {
      case Kind::Null:
        *out = Value();
        return Status::OK();
      case Kind::String: {
        std::string s;
        if (tree_.string(tree_.item(node, "NS.string"), &s)) {
          *out = Value(std::move(s));
          return Status::OK();
        }
        Node bytes = tree_.item(node, "NS.bytes");
        if (tree_.type(bytes) != NodeType::Data)
          return Status::Error(name + " is a string without text");
        Value::Bytes b = tree_.data(bytes);
        *out = Value(std::string(b.begin(), b.end()));
        return Status::OK();
      }
      case Kind::Date: {
        Node time = tree_.item(node, "NS.time");
        if (tree_.type(time) == NodeType::Real) {
          *out = Value::date(tree_.real(time));
        } else if (tree_.type(time) == NodeType::Integer) {
          *out = Value::date(static_cast<double>(static_cast<std::int64_t>(tree_.integer(time))));
        } else {
          return Status::Error(name + " is a date without a time");
        }
        return Status::OK();
      }
      case Kind::Data: {
        Node data = tree_.item(node, "NS.data");
        if (tree_.type(data) != NodeType::Data) data = tree_.item(node, "NS.bytes");
        if (tree_.type(data) != NodeType::Data)
          return Status::Error(name + " is data without bytes");
        *out = Value(tree_.data(data));
        return Status::OK();
      }
      case Kind::Array:
      case Kind::Dictionary:
        if (depth >= limits_.maxDepth)
          return Status::Error("the archive is nested more than " +
                               std::to_string(limits_.maxDepth) + " levels deep");
        return kind == Kind::Array ? decodeArray(name, node, depth, out)
                                   : decodeDictionary(name, node, depth, out);
      case Kind::Unknown:
        break;
    }
    return Status::Error(name + " is of a class Corvela does not read");
  }

  Status decodeArray(const std::string& name, Node node, std::size_t depth, Value* out) {
    Node items = tree_.item(node, "NS.objects");
    if (tree_.type(items) != NodeType::Array)
      return Status::Error(name + " is an array without NS.objects");
    Value::Array array;
    array.reserve(tree_.size(items));
    Status status = Status::OK();
    tree_.forEach(items, [&](Node item) {
      if (!status.ok()) return;
      Value element;
      status = decode(item, depth + 1, &element);
      array.push_back(std::move(element));
    });
    if (!status.ok()) return status;
    *out = Value(std::move(array));
    return Status::OK();
  }

  Status decodeDictionary(const std::string& name, Node node, std::size_t depth, Value* out) {
    Node keys = tree_.item(node, "NS.keys");
    Node objects = tree_.item(node, "NS.objects");
    if (tree_.type(keys) != NodeType::Array || tree_.type(objects) != NodeType::Array)
      return Status::Error(name + " is a dictionary without NS.keys and NS.objects");
    if (tree_.size(keys) != tree_.size(objects))
      return Status::Error(name + " is a dictionary with more keys than values or fewer");
    std::vector<Node> keyRefs;
    keyRefs.reserve(tree_.size(keys));
    tree_.forEach(keys, [&](Node item) { keyRefs.push_back(item); });

    Value::Dictionary dict;
    Status status = Status::OK();
    std::size_t i = 0;
    tree_.forEach(objects, [&](Node item) {
      if (!status.ok()) return;
      Value key;
      status = decode(keyRefs[i++], depth + 1, &key);
      if (status.ok() && !key.isString())
        status = Status::Error(name + " is a dictionary with a key that is not a string");
      Value value;
      if (status.ok()) status = decode(item, depth + 1, &value);
      if (status.ok()) dict.insert_or_assign(key.toString(), std::move(value));
    });
    if (!status.ok()) return status;
    *out = Value(std::move(dict));
    return Status::OK();
  }

  const Tree& tree_;
  std::vector<Node> objects_;
  std::vector<bool> onPath_;
  ArchiveLimits limits_;
  std::size_t values_ = 0;
};

// The root value of the archive whose top object is `top`.
template <typename Tree>
Result<Value> decodeArchive(const Tree& tree, typename Tree::Node top,
                            const ArchiveLimits& limits) {
  using Node = typename Tree::Node;
  if (tree.type(top) != NodeType::Dictionary) return Status::Error("not a keyed archive");
  std::string archiver;
  if (!tree.string(tree.item(top, "$archiver"), &archiver))
    return Status::Error("not a keyed archive (it has no $archiver)");
  if (archiver != "NSKeyedArchiver")
    return Status::Error("the archive was written by \"" + archiver + "\", not by NSKeyedArchiver");
  Node objects = tree.item(top, "$objects");
  if (tree.type(objects) != NodeType::Array || tree.size(objects) == 0)
    return Status::Error("the archive has no objects");
  Node topObjects = tree.item(top, "$top");
  Node root =
      tree.type(topObjects) == NodeType::Dictionary ? tree.item(topObjects, "root") : Tree::kNone;
  if (tree.type(root) != NodeType::Uid) return Status::Error("the archive has no root object");

  std::vector<Node> table;
  table.reserve(tree.size(objects));
  tree.forEach(objects, [&](Node item) { table.push_back(item); });
  Value value;
  if (Status s = Decoder<Tree>(tree, std::move(table), limits).decode(root, 0, &value); !s.ok())
    return s;
  return value;
}

}  // namespace

namespace {

// What both readings refuse before looking at the archive itself.
Status checkBytes(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits) {
  if (bytes.empty()) return Status::Error("it is empty");
  if (bytes.size() > limits.maxBytes)
    return Status::Error("it is " + std::to_string(bytes.size()) + " bytes long, more than the " +
                         std::to_string(limits.maxBytes) + " an archive may have");
  return checkBinaryPlist(
      bytes, {.maxDepth = BinaryPlistBounds{}.maxDepth, .maxNodes = limits.maxPlistNodes});
}

Result<Value> readThroughLibplist(std::span<const std::uint8_t> bytes,
                                  const ArchiveLimits& limits) {
  plist_t parsed = nullptr;
  plist_from_bin(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::uint32_t>(bytes.size()), &parsed);
  PlistPtr top(parsed);
  if (!top) return Status::Error("the binary property list could not be parsed");
  return decodeArchive(LibplistTree{}, parsed, limits);
}

}  // namespace

Result<Value> readKeyedArchive(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits) {
  if (Status s = checkBytes(bytes, limits); !s.ok()) return s;
  BinaryTree direct(bytes);
  Result<Value> value = decodeArchive(direct, direct.top(), limits);
  if (value.ok() && !direct.unsure()) return value;
  // What the direct reading refused or was unsure of, libplist reads as it always has, with
  // its own messages.
  return readThroughLibplist(bytes, limits);
}

Result<Value> readKeyedArchiveWithLibplist(std::span<const std::uint8_t> bytes,
                                           const ArchiveLimits& limits) {
  if (Status s = checkBytes(bytes, limits); !s.ok()) return s;
  return readThroughLibplist(bytes, limits);
}

Result<Value> readKeyedArchiveFile(const std::string& path, const ArchiveLimits& limits) {
  auto fail = [&](const std::string& reason) {
    return Status::Error("\"" + path + "\" cannot be read: " + reason + ".");
  };
  // Non-blocking, so that a pipe put where the file should be cannot stall the start-up.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(std::generic_category().message(errno));
  std::vector<std::uint8_t> bytes;
  struct stat st {};
  std::string error;
  if (::fstat(fd, &st) != 0) {
    error = std::generic_category().message(errno);
  } else if (S_ISDIR(st.st_mode)) {
    error = "it is a folder";
  } else if (!S_ISREG(st.st_mode)) {
    error = "it is not a regular file";
  } else if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > limits.maxBytes) {
    error = "it is " + std::to_string(st.st_size) + " bytes long, more than the " +
            std::to_string(limits.maxBytes) + " an archive may have";
  } else {
    // Read to the end rather than trusting the size: the file may change or be a pipe.
    std::uint8_t buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = std::generic_category().message(errno);
        break;
      }
      if (n == 0) break;
      bytes.insert(bytes.end(), buffer, buffer + n);
      if (bytes.size() > limits.maxBytes) {
        error =
            "it is more than the " + std::to_string(limits.maxBytes) + " bytes an archive may have";
        break;
      }
    }
  }
  ::close(fd);
  if (!error.empty()) return fail(error);
  Result<Value> value = readKeyedArchive(bytes, limits);
  if (!value.ok()) return fail(value.message());
  return value;
}

Status writeKeyedArchiveFile(const std::string& path, const Value& root, FileOps& ops) {
  Result<std::vector<std::uint8_t>> bytes = writeKeyedArchive(root);
  if (!bytes.ok())
    return Status::Error("Could not write \"" + path + "\": " + bytes.message() + ".");
  return writeFileAtomically(path, bytes.value(), ops);
}

}  // namespace corvela
