#include "prefs/KeyedArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Turns the flat object table of an archive into one Value, following UIDs depth first.
class Decoder {
 public:
  Decoder(std::vector<plist_t> objects, const ArchiveLimits& limits)
      : objects_(std::move(objects)), onPath_(objects_.size(), false), limits_(limits) {}

  Status decode(plist_t reference, std::size_t depth, Value* out) {
    std::uint64_t uid = 0;
    if (!uidOf(reference, &uid))
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
  static bool isNullMarker(plist_t node) {
    std::string s;
    return stringOf(node, &s) && s == "$null";
  }

  Status decodeObject(std::uint64_t uid, std::size_t depth, Value* out) {
    plist_t node = objects_[uid];
    switch (plist_get_node_type(node)) {
      case PLIST_STRING: {
        std::string s;
        stringOf(node, &s);
        *out = Value(std::move(s));
        return Status::OK();
      }
      case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        *out = Value(b != 0);
        return Status::OK();
      }
      case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(node, &u);
        *out = Value(static_cast<long long>(static_cast<std::int64_t>(u)));
        return Status::OK();
      }
      case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        *out = Value(d);
        return Status::OK();
      }
      case PLIST_DATE: {
        std::int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        *out = Value::date(sec + usec / 1e6);
        return Status::OK();
      }
      case PLIST_DATA:
        *out = Value(bytesOf(node));
        return Status::OK();
      case PLIST_DICT:
        return decodeClassed(uid, node, depth, out);
      default:
        return Status::Error("object " + std::to_string(uid) + " is not an archived object");
    }
  }

  Status classOf(std::uint64_t uid, plist_t node, Kind* kind) {
    std::uint64_t classUid = 0;
    if (!uidOf(plist_dict_get_item(node, "$class"), &classUid))
      return Status::Error("object " + std::to_string(uid) + " has no class");
    plist_t entry = classUid < objects_.size() ? objects_[classUid] : nullptr;
    std::string name;
    if (!isType(entry, PLIST_DICT) || !stringOf(plist_dict_get_item(entry, "$classname"), &name))
      return Status::Error("object " + std::to_string(uid) +
                           " has a class entry that is not valid");
    *kind = kindOfClass(name);
    // A class Corvela does not know may still descend from one it does.
    if (plist_t classes = plist_dict_get_item(entry, "$classes");
        *kind == Kind::Unknown && isType(classes, PLIST_ARRAY)) {
      forEachItem(classes, [&](plist_t item) {
        std::string super;
        if (*kind == Kind::Unknown && stringOf(item, &super)) *kind = kindOfClass(super);
      });
    }
    if (*kind == Kind::Unknown)
      return Status::Error("the archive holds an object of class \"" + name +
                           "\", which Corvela does not read");
    return Status::OK();
  }

  Status decodeClassed(std::uint64_t uid, plist_t node, std::size_t depth, Value* out) {
    Kind kind = Kind::Unknown;
    if (Status s = classOf(uid, node, &kind); !s.ok()) return s;
    const std::string name = "object " + std::to_string(uid);
    switch (kind) {
      case Kind::Null:
        *out = Value();
        return Status::OK();
      case Kind::String: {
        std::string s;
        if (stringOf(plist_dict_get_item(node, "NS.string"), &s)) {
          *out = Value(std::move(s));
          return Status::OK();
        }
        plist_t bytes = plist_dict_get_item(node, "NS.bytes");
        if (!isType(bytes, PLIST_DATA)) return Status::Error(name + " is a string without text");
        Value::Bytes b = bytesOf(bytes);
        *out = Value(std::string(b.begin(), b.end()));
        return Status::OK();
      }
      case Kind::Date: {
        plist_t time = plist_dict_get_item(node, "NS.time");
        if (isType(time, PLIST_REAL)) {
          double d = 0;
          plist_get_real_val(time, &d);
          *out = Value::date(d);
        } else if (isType(time, PLIST_UINT)) {
          std::uint64_t u = 0;
          plist_get_uint_val(time, &u);
          *out = Value::date(static_cast<double>(static_cast<std::int64_t>(u)));
        } else {
          return Status::Error(name + " is a date without a time");
        }
        return Status::OK();
      }
      case Kind::Data: {
        plist_t data = plist_dict_get_item(node, "NS.data");
        if (!isType(data, PLIST_DATA)) data = plist_dict_get_item(node, "NS.bytes");
        if (!isType(data, PLIST_DATA)) return Status::Error(name + " is data without bytes");
        *out = Value(bytesOf(data));
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

  Status decodeArray(const std::string& name, plist_t node, std::size_t depth, Value* out) {
    plist_t items = plist_dict_get_item(node, "NS.objects");
    if (!isType(items, PLIST_ARRAY)) return Status::Error(name + " is an array without NS.objects");
    Value::Array array;
    array.reserve(plist_array_get_size(items));
    Status status = Status::OK();
    forEachItem(items, [&](plist_t item) {
      if (!status.ok()) return;
      Value element;
      status = decode(item, depth + 1, &element);
      array.push_back(std::move(element));
    });
    if (!status.ok()) return status;
    *out = Value(std::move(array));
    return Status::OK();
  }

  Status decodeDictionary(const std::string& name, plist_t node, std::size_t depth, Value* out) {
    plist_t keys = plist_dict_get_item(node, "NS.keys");
    plist_t objects = plist_dict_get_item(node, "NS.objects");
    if (!isType(keys, PLIST_ARRAY) || !isType(objects, PLIST_ARRAY))
      return Status::Error(name + " is a dictionary without NS.keys and NS.objects");
    if (plist_array_get_size(keys) != plist_array_get_size(objects))
      return Status::Error(name + " is a dictionary with more keys than values or fewer");
    std::vector<plist_t> keyRefs;
    keyRefs.reserve(plist_array_get_size(keys));
    forEachItem(keys, [&](plist_t item) { keyRefs.push_back(item); });

    Value::Dictionary dict;
    Status status = Status::OK();
    std::size_t i = 0;
    forEachItem(objects, [&](plist_t item) {
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

  std::vector<plist_t> objects_;
  std::vector<bool> onPath_;
  ArchiveLimits limits_;
  std::size_t values_ = 0;
};

}  // namespace

Result<Value> readKeyedArchive(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits) {
  if (bytes.empty()) return Status::Error("it is empty");
  if (bytes.size() > limits.maxBytes)
    return Status::Error("it is " + std::to_string(bytes.size()) + " bytes long, more than the " +
                         std::to_string(limits.maxBytes) + " an archive may have");
  if (Status s = checkBinaryPlist(
          bytes, {.maxDepth = BinaryPlistBounds{}.maxDepth, .maxNodes = limits.maxPlistNodes});
      !s.ok())
    return s;

  plist_t parsed = nullptr;
  plist_from_bin(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::uint32_t>(bytes.size()), &parsed);
  PlistPtr top(parsed);
  if (!top) return Status::Error("the binary property list could not be parsed");
  if (!isType(parsed, PLIST_DICT)) return Status::Error("not a keyed archive");

  std::string archiver;
  if (!stringOf(plist_dict_get_item(parsed, "$archiver"), &archiver))
    return Status::Error("not a keyed archive (it has no $archiver)");
  if (archiver != "NSKeyedArchiver")
    return Status::Error("the archive was written by \"" + archiver + "\", not by NSKeyedArchiver");
  plist_t objects = plist_dict_get_item(parsed, "$objects");
  if (!isType(objects, PLIST_ARRAY) || plist_array_get_size(objects) == 0)
    return Status::Error("the archive has no objects");
  plist_t topObjects = plist_dict_get_item(parsed, "$top");
  plist_t root = isType(topObjects, PLIST_DICT) ? plist_dict_get_item(topObjects, "root") : nullptr;
  if (!isType(root, PLIST_UID)) return Status::Error("the archive has no root object");

  std::vector<plist_t> table;
  table.reserve(plist_array_get_size(objects));
  forEachItem(objects, [&](plist_t item) { table.push_back(item); });
  Value value;
  if (Status s = Decoder(std::move(table), limits).decode(root, 0, &value); !s.ok()) return s;
  return value;
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
