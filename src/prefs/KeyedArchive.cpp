#include "prefs/KeyedArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <span>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "prefs/AtomicFile.h"
#include "prefs/BinaryPlistCheck.h"
#include "prefs/BinaryPlistTree.h"
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

// The property list as libplist parsed it.
struct LibplistTree {
  using Node = plist_t;
  static constexpr Node kNone = nullptr;

  PlistNodeType type(Node node) const {
    if (!node) return PlistNodeType::Other;
    switch (plist_get_node_type(node)) {
      case PLIST_STRING:
        return PlistNodeType::String;
      case PLIST_BOOLEAN:
        return PlistNodeType::Boolean;
      case PLIST_UINT:
        return PlistNodeType::Integer;
      case PLIST_REAL:
        return PlistNodeType::Real;
      case PLIST_DATE:
        return PlistNodeType::Date;
      case PLIST_DATA:
        return PlistNodeType::Data;
      case PLIST_ARRAY:
        return PlistNodeType::Array;
      case PLIST_DICT:
        return PlistNodeType::Dictionary;
      case PLIST_UID:
        return PlistNodeType::Uid;
      default:
        return PlistNodeType::Other;
    }
  }
  bool string(Node node, std::string* out) const { return stringOf(node, out); }
  bool uid(Node node, std::uint64_t* out) const { return uidOf(node, out); }
  Node item(Node dictionary, const char* key) const { return plist_dict_get_item(dictionary, key); }
  // Each key must end where its text ends, as a literal does.
  void items(Node dictionary, std::span<const std::string_view> keys, Node* found) const {
    for (std::size_t k = 0; k < keys.size(); ++k) found[k] = item(dictionary, keys[k].data());
  }
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

// Turns the flat object table of an archive into one Value, following UIDs depth first.
template <typename Tree>
class Decoder {
 public:
  using Node = typename Tree::Node;

  Decoder(const Tree& tree, std::vector<Node> objects, const ArchiveLimits& limits)
      : tree_(tree),
        objects_(std::move(objects)),
        onPath_(objects_.size(), false),
        seen_(objects_.size(), false),
        strings_(objects_.size()),
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
    return decodeObject(uid, depth, out);
  }

 private:
  static std::string named(std::uint64_t uid) { return "object " + std::to_string(uid); }

  bool isNullMarker(Node node) const {
    std::string s;
    return tree_.string(node, &s) && s == "$null";
  }

  Status decodeObject(std::uint64_t uid, std::size_t depth, Value* out) {
    Node node = objects_[uid];
    switch (tree_.type(node)) {
      case PlistNodeType::String: {
        if (strings_[uid]) {
          *out = *strings_[uid];
          return Status::OK();
        }
        std::string s;
        stringObject(uid, node, &s);
        *out = Value(std::move(s));
        return Status::OK();
      }
      case PlistNodeType::Boolean: {
        *out = Value(tree_.boolean(node));
        return Status::OK();
      }
      case PlistNodeType::Integer: {
        *out = Value(static_cast<long long>(static_cast<std::int64_t>(tree_.integer(node))));
        return Status::OK();
      }
      case PlistNodeType::Real: {
        *out = Value(tree_.real(node));
        return Status::OK();
      }
      case PlistNodeType::Date: {
        *out = Value::date(tree_.date(node));
        return Status::OK();
      }
      case PlistNodeType::Data:
        *out = Value(tree_.data(node));
        return Status::OK();
      case PlistNodeType::Dictionary:
        return decodeClassed(uid, node, depth, out);
      default:
        return Status::Error("object " + std::to_string(uid) + " is not an archived object");
    }
  }

  // The text of the string object `uid`. Keys and common values are one object referred to
  // thousands of times: the second reference keeps a copy for the ones after it.
  void stringObject(std::uint64_t uid, Node node, std::string* out) {
    if (strings_[uid]) {
      *out = strings_[uid]->toString();
      return;
    }
    tree_.string(node, out);
    if (seen_[uid]) strings_[uid] = std::make_unique<Value>(*out);
    seen_[uid] = true;
  }

  // The key `reference` of dictionary `uid`, as decode reads it, refused unless a string. A
  // plain string, which every key of a store is, goes straight into `out`, counted as decode
  // counts it.
  Status decodeKey(std::uint64_t uid, Node reference, std::size_t depth, std::string* out) {
    std::uint64_t keyUid = 0;
    if (tree_.uid(reference, &keyUid) && keyUid != 0 && keyUid < objects_.size() &&
        values_ < limits_.maxValues && tree_.type(objects_[keyUid]) == PlistNodeType::String) {
      ++values_;
      stringObject(keyUid, objects_[keyUid], out);
      return Status::OK();
    }
    Value key;
    if (Status s = decode(reference, depth, &key); !s.ok()) return s;
    if (!key.isString())
      return Status::Error(named(uid) + " is a dictionary with a key that is not a string");
    *out = key.toString();
    return Status::OK();
  }

  // The kind of object `uid`, whose $class entry is `classReference`.
  Status classOf(std::uint64_t uid, Node classReference, Kind* kind) {
    std::uint64_t classUid = 0;
    if (!tree_.uid(classReference, &classUid))
      return Status::Error("object " + std::to_string(uid) + " has no class");
    // An archive names a handful of classes for thousands of objects.
    if (auto known = classKinds_.find(classUid); known != classKinds_.end()) {
      *kind = known->second;
      return Status::OK();
    }
    Node entry = classUid < objects_.size() ? objects_[classUid] : Tree::kNone;
    std::string name;
    if (tree_.type(entry) != PlistNodeType::Dictionary ||
        !tree_.string(tree_.item(entry, "$classname"), &name))
      return Status::Error("object " + std::to_string(uid) +
                           " has a class entry that is not valid");
    *kind = kindOfClass(name);
    // A class Corvela does not know may still descend from one it does.
    if (Node classes = tree_.item(entry, "$classes");
        *kind == Kind::Unknown && tree_.type(classes) == PlistNodeType::Array) {
      tree_.forEach(classes, [&](Node item) {
        std::string super;
        if (*kind == Kind::Unknown && tree_.string(item, &super)) *kind = kindOfClass(super);
      });
    }
    if (*kind == Kind::Unknown)
      return Status::Error("the archive holds an object of class \"" + name +
                           "\", which Corvela does not read");
    classKinds_.emplace(classUid, *kind);
    return Status::OK();
  }

  Status decodeClassed(std::uint64_t uid, Node node, std::size_t depth, Value* out) {
    // The entries every array and dictionary has, found in one pass.
    static constexpr std::string_view kEntries[] = {"$class", "NS.keys", "NS.objects"};
    Node entries[std::size(kEntries)];
    tree_.items(node, kEntries, entries);
    Kind kind = Kind::Unknown;
    if (Status s = classOf(uid, entries[0], &kind); !s.ok()) return s;
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
        if (tree_.type(bytes) != PlistNodeType::Data)
          return Status::Error(named(uid) + " is a string without text");
        Value::Bytes b = tree_.data(bytes);
        *out = Value(std::string(b.begin(), b.end()));
        return Status::OK();
      }
      case Kind::Date: {
        Node time = tree_.item(node, "NS.time");
        if (tree_.type(time) == PlistNodeType::Real) {
          *out = Value::date(tree_.real(time));
        } else if (tree_.type(time) == PlistNodeType::Integer) {
          *out = Value::date(static_cast<double>(static_cast<std::int64_t>(tree_.integer(time))));
        } else {
          return Status::Error(named(uid) + " is a date without a time");
        }
        return Status::OK();
      }
      case Kind::Data: {
        Node data = tree_.item(node, "NS.data");
        if (tree_.type(data) != PlistNodeType::Data) data = tree_.item(node, "NS.bytes");
        if (tree_.type(data) != PlistNodeType::Data)
          return Status::Error(named(uid) + " is data without bytes");
        *out = Value(tree_.data(data));
        return Status::OK();
      }
      case Kind::Array:
      case Kind::Dictionary:
        if (depth >= limits_.maxDepth)
          return Status::Error("the archive is nested more than " +
                               std::to_string(limits_.maxDepth) + " levels deep");
        {
          // Only arrays and dictionaries lead on to other objects, so only they can be met
          // again on their own path.
          onPath_[uid] = true;
          Status s = kind == Kind::Array
                         ? decodeArray(uid, entries[2], depth, out)
                         : decodeDictionary(uid, entries[1], entries[2], depth, out);
          onPath_[uid] = false;
          return s;
        }
      case Kind::Unknown:
        break;
    }
    return Status::Error(named(uid) + " is of a class Corvela does not read");
  }

  Status decodeArray(std::uint64_t uid, Node items, std::size_t depth, Value* out) {
    if (tree_.type(items) != PlistNodeType::Array)
      return Status::Error(named(uid) + " is an array without NS.objects");
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

  Status decodeDictionary(std::uint64_t uid, Node keys, Node objects, std::size_t depth,
                          Value* out) {
    if (tree_.type(keys) != PlistNodeType::Array || tree_.type(objects) != PlistNodeType::Array)
      return Status::Error(named(uid) + " is a dictionary without NS.keys and NS.objects");
    if (tree_.size(keys) != tree_.size(objects))
      return Status::Error(named(uid) + " is a dictionary with more keys than values or fewer");
    const std::size_t base = keys_.size();
    tree_.forEach(keys, [&](Node item) { keys_.push_back(item); });

    Value::Dictionary dict;
    dict.reserve(tree_.size(keys));
    Status status = Status::OK();
    std::size_t i = 0;
    tree_.forEach(objects, [&](Node item) {
      if (!status.ok()) return;
      std::string key;
      status = decodeKey(uid, keys_[base + i++], depth + 1, &key);
      Value value;
      if (status.ok()) status = decode(item, depth + 1, &value);
      // Stores are written with their keys in order, so the end is the usual place.
      if (status.ok()) dict.insert_or_assign(dict.end(), std::move(key), std::move(value));
    });
    keys_.resize(base);
    if (!status.ok()) return status;
    *out = Value(std::move(dict));
    return Status::OK();
  }

  const Tree& tree_;
  std::vector<Node> objects_;
  std::vector<bool> onPath_;
  std::vector<bool> seen_;                       // the string objects read once or more
  std::vector<std::unique_ptr<Value>> strings_;  // those read twice or more
  std::vector<Node> keys_;  // the key references of the dictionaries being read, outermost first
  std::unordered_map<std::uint64_t, Kind> classKinds_;
  ArchiveLimits limits_;
  std::size_t values_ = 0;
};

// The root value of the archive whose top object is `top`.
template <typename Tree>
Result<Value> decodeArchive(const Tree& tree, typename Tree::Node top,
                            const ArchiveLimits& limits) {
  using Node = typename Tree::Node;
  if (tree.type(top) != PlistNodeType::Dictionary) return Status::Error("not a keyed archive");
  std::string archiver;
  if (!tree.string(tree.item(top, "$archiver"), &archiver))
    return Status::Error("not a keyed archive (it has no $archiver)");
  if (archiver != "NSKeyedArchiver")
    return Status::Error("the archive was written by \"" + archiver + "\", not by NSKeyedArchiver");
  Node objects = tree.item(top, "$objects");
  if (tree.type(objects) != PlistNodeType::Array || tree.size(objects) == 0)
    return Status::Error("the archive has no objects");
  Node topObjects = tree.item(top, "$top");
  Node root = tree.type(topObjects) == PlistNodeType::Dictionary ? tree.item(topObjects, "root")
                                                                 : Tree::kNone;
  if (tree.type(root) != PlistNodeType::Uid) return Status::Error("the archive has no root object");

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

// The limits `bytes` is read with (see ArchiveLimits::countsGrowWithSize).
ArchiveLimits limitsFor(std::span<const std::uint8_t> bytes, ArchiveLimits limits) {
  if (limits.countsGrowWithSize) {
    limits.maxPlistNodes = std::max(limits.maxPlistNodes, bytes.size());
    limits.maxValues = std::max(limits.maxValues, bytes.size());
  }
  return limits;
}

// What both readings refuse before looking at the archive itself. Gives the objects checked.
Status checkBytes(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits,
                  std::vector<BinaryPlistObject>* objects) {
  if (bytes.empty()) return Status::Error("it is empty");
  if (bytes.size() > limits.maxBytes)
    return Status::Error("it is " + std::to_string(bytes.size()) + " bytes long, more than the " +
                         std::to_string(limits.maxBytes) + " an archive may have");
  return checkBinaryPlist(
      bytes, {.maxDepth = BinaryPlistBounds{}.maxDepth, .maxNodes = limits.maxPlistNodes}, objects);
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

Result<Value> readKeyedArchive(std::span<const std::uint8_t> bytes, const ArchiveLimits& given) {
  const ArchiveLimits limits = limitsFor(bytes, given);
  std::vector<BinaryPlistObject> objects;
  if (Status s = checkBytes(bytes, limits, &objects); !s.ok()) return s;
  BinaryPlistTree direct(bytes, objects);
  Result<Value> value = decodeArchive(direct, direct.top(), limits);
  if (value.ok() && !direct.unsure()) return value;
  // What the direct reading refused or was unsure of, libplist reads as it always has, with
  // its own messages.
  return readThroughLibplist(bytes, limits);
}

Result<Value> readKeyedArchiveWithLibplist(std::span<const std::uint8_t> bytes,
                                           const ArchiveLimits& given) {
  const ArchiveLimits limits = limitsFor(bytes, given);
  std::vector<BinaryPlistObject> objects;
  if (Status s = checkBytes(bytes, limits, &objects); !s.ok()) return s;
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
    error = readAll(fd, limits.maxBytes, &bytes);
    if (error.empty() && bytes.size() > limits.maxBytes)
      error =
          "it is more than the " + std::to_string(limits.maxBytes) + " bytes an archive may have";
  }
  ::close(fd);
  if (!error.empty()) return fail(error);
  Result<Value> value = readKeyedArchive(bytes, limits);
  if (!value.ok()) return fail(value.message());
  return value;
}

Status writeKeyedArchiveFile(const std::string& path, const Value& root, FileOps& ops,
                             const ArchiveLimits& limits) {
  Result<std::vector<std::uint8_t>> bytes = writeKeyedArchive(root, limits);
  if (!bytes.ok())
    return Status::Error("Could not write \"" + path + "\": " + bytes.message() + ".");
  return writeFileAtomically(path, bytes.value(), ops);
}

}  // namespace corvela
