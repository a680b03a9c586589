#include "prefs/BinaryPlistCheck.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace corvela {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;

// Object markers (high nibble of the first byte of an object).
enum Marker : std::uint8_t {
  kSimple = 0x0,
  kInteger = 0x1,
  kReal = 0x2,
  kDate = 0x3,
  kData = 0x4,
  kAsciiString = 0x5,
  kUtf16String = 0x6,
  kUid = 0x8,
  kArray = 0xA,
  kDict = 0xD,
};

std::uint64_t readBigEndian(const std::uint8_t* p, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

// The same for the widths of references and offsets, which stores keep to four bytes or fewer:
// each read in one step.
[[gnu::always_inline]] inline std::uint64_t readNarrow(const std::uint8_t* p, unsigned n) {
  switch (n) {
    case 1:
      return p[0];
    case 2:
      return std::uint64_t{p[0]} << 8 | p[1];
    case 3:
      return std::uint64_t{p[0]} << 16 | std::uint64_t{p[1]} << 8 | p[2];
    case 4:
      return std::uint64_t{p[0]} << 24 | std::uint64_t{p[1]} << 16 | std::uint64_t{p[2]} << 8 |
             p[3];
    default:
      return readBigEndian(p, n);
  }
}

std::string hexByte(std::uint8_t b) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[b >> 4] + digits[b & 0xF];
}

// Walks the object graph from the top object once, remembering the size of every subtree so
// an object shared by many containers is measured only once.
class Checker {
 public:
  Checker(std::span<const std::uint8_t> bytes, const BinaryPlistBounds& bounds,
          std::vector<BinaryPlistObject>& objects)
      : bytes_(bytes), bounds_(bounds), objects_(objects) {}

  Status run() {
    objects_.clear();
    if (bytes_.size() < kHeaderSize || std::memcmp(bytes_.data(), "bplist", 6) != 0)
      return Status::Error("not a binary property list");
    if (bytes_[6] != '0' || bytes_[7] != '0')
      return Status::Error("a binary property list of a version other than 00");
    if (bytes_.size() < kHeaderSize + kTrailerSize)
      return damaged("it is shorter than its header and trailer");
    if (bytes_.size() > UINT32_MAX)
      return Status::Error(
          "the binary property list is 4 GB long or more, more than Corvela reads");

    const std::uint8_t* trailer = bytes_.data() + bytes_.size() - kTrailerSize;
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    numObjects_ = readBigEndian(trailer + 8, 8);
    std::uint64_t top = readBigEndian(trailer + 16, 8);
    offsetTable_ = readBigEndian(trailer + 24, 8);
    std::uint64_t objectsEnd = bytes_.size() - kTrailerSize;
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8)
      return damaged("its trailer is not valid");
    if (numObjects_ == 0 || top >= numObjects_) return damaged("its trailer is not valid");
    if (offsetTable_ < kHeaderSize || offsetTable_ > objectsEnd ||
        numObjects_ > (objectsEnd - offsetTable_) / offsetSize_)
      return damaged("the offset table lies outside the file");
    // The tables below take some twenty bytes per object the trailer claims: a file that claims
    // more objects than a list may hold entries is refused before they are made.
    if (numObjects_ > bounds_.maxNodes)
      return Status::Error("the binary property list holds more than " +
                           std::to_string(bounds_.maxNodes) + " entries");

    state_.assign(numObjects_, kUnvisited);
    subtreeNodes_.assign(numObjects_, 0);
    objects_.assign(numObjects_, BinaryPlistObject{});
    std::uint64_t nodes = 0;
    return visit(top, 1, &nodes);
  }

 private:
  enum State : std::uint8_t { kUnvisited, kOnPath, kDone };

  static Status damaged(const std::string& why) {
    return Status::Error("the binary property list is damaged or truncated: " + why);
  }
  static std::string objectName(std::uint64_t index) { return "object " + std::to_string(index); }

  // The header of object `index`, parsed at the first call and kept in objects_.
  Status header(std::uint64_t index, const BinaryPlistObject** out) {
    BinaryPlistObject& object = objects_[index];
    if (object.marker == BinaryPlistObject::kNotReached) {
      BinaryPlistObject parsed;
      if (Status s = parseHeader(index, &parsed); !s.ok()) return s;
      object = parsed;
    }
    *out = &object;
    return Status::OK();
  }

  Status parseHeader(std::uint64_t index, BinaryPlistObject* out) const {
    std::uint64_t offset =
        readNarrow(bytes_.data() + offsetTable_ + index * offsetSize_, offsetSize_);
    if (offset < kHeaderSize || offset >= offsetTable_)
      return damaged(objectName(index) + " starts outside the object area");
    std::uint64_t pos = offset + 1;
    const std::uint64_t end = offsetTable_;
    auto fits = [&](std::uint64_t n) { return n <= end - pos; };
    std::uint8_t marker = bytes_[offset];
    std::uint8_t info = marker & 0xF;
    std::uint64_t count = info;

    // A count of 15 or more follows the marker as an integer object of its own.
    enum class Count { kRead, kRunsPast, kNotSmall };
    auto readCount = [&]() {
      if (info != 0xF) return Count::kRead;
      if (!fits(1)) return Count::kRunsPast;
      std::uint8_t countMarker = bytes_[pos];
      if ((countMarker >> 4) != kInteger || (countMarker & 0xF) > 3) return Count::kNotSmall;
      std::uint64_t n = std::uint64_t{1} << (countMarker & 0xF);
      ++pos;
      if (!fits(n)) return Count::kRunsPast;
      count = readBigEndian(bytes_.data() + pos, n);
      pos += n;
      return Count::kRead;
    };
    auto countFailure = [&](Count problem) {
      return damaged(objectName(index) + (problem == Count::kNotSmall
                                              ? " has a length that is not a small integer"
                                              : " runs past the object area"));
    };
    auto runsPast = [&] { return damaged(objectName(index) + " runs past the object area"); };

    const std::uint8_t type = marker >> 4;
    switch (type) {
      case kSimple:
        if (info != 0x8 && info != 0x9)
          return Status::Error("the binary property list holds an object of kind " +
                               hexByte(marker) + ", which Corvela does not read");
        break;
      case kInteger: {
        if (info > 4)
          return damaged(objectName(index) + " is an integer of a size that is not valid");
        std::uint64_t n = std::uint64_t{1} << info;
        if (!fits(n)) return runsPast();
        if (n == 16) {
          // libplist keeps only the low 64 bits; refuse what they cannot hold.
          std::uint64_t high = readBigEndian(bytes_.data() + pos, 8);
          std::uint64_t low = readBigEndian(bytes_.data() + pos + 8, 8);
          std::uint64_t signExtension = (low >> 63) ? ~std::uint64_t{0} : 0;
          if (high != signExtension)
            return Status::Error(
                "the binary property list holds an integer outside the 64-bit range");
        }
        break;
      }
      case kReal:
        if (info != 2 && info != 3)
          return damaged(objectName(index) + " is a real number of a size that is not valid");
        if (!fits(std::uint64_t{1} << info)) return runsPast();
        break;
      case kDate: {
        if (info != 3) return damaged(objectName(index) + " is a date of a size that is not valid");
        if (!fits(8)) return runsPast();
        std::uint64_t raw = readBigEndian(bytes_.data() + pos, 8);
        double seconds;
        std::memcpy(&seconds, &raw, sizeof seconds);
        // libplist holds a plain date in 32-bit seconds.
        if (!std::isfinite(seconds) || std::fabs(seconds) >= 2147483647.0)
          return Status::Error("the binary property list holds a date out of range");
        break;
      }
      case kData:
      case kAsciiString:
        if (Count c = readCount(); c != Count::kRead) return countFailure(c);
        if (!fits(count)) return runsPast();
        break;
      case kUtf16String:
        if (Count c = readCount(); c != Count::kRead) return countFailure(c);
        if (count > (end - pos) / 2) return runsPast();
        break;
      case kUid:
        if (info != 0 && info != 1 && info != 3 && info != 7)
          return damaged(objectName(index) + " is a reference of a size that is not valid");
        if (!fits(info + 1)) return runsPast();
        break;
      case kArray:
      case kDict: {
        if (Count c = readCount(); c != Count::kRead) return countFailure(c);
        std::uint64_t refs = (end - pos) / refSize_;
        if (count > (type == kDict ? refs / 2 : refs)) return runsPast();
        break;
      }
      default:
        return Status::Error("the binary property list holds an object of kind " + hexByte(marker) +
                             ", which Corvela does not read");
    }
    // Every count and offset has been measured against the file, which is shorter than 4 GB.
    out->marker = marker;
    out->count = static_cast<std::uint32_t>(count);
    out->content = static_cast<std::uint32_t>(pos);
    return Status::OK();
  }

  // Adds the number of nodes libplist will build for object `index` to *nodes.
  Status visit(std::uint64_t index, std::size_t depth, std::uint64_t* nodes) {
    if (state_[index] == kOnPath) return damaged(objectName(index) + " contains itself");
    if (state_[index] == kDone) return addNodes(subtreeNodes_[index], nodes);

    const BinaryPlistObject* h = nullptr;
    if (Status s = header(index, &h); !s.ok()) return s;
    const std::uint8_t type = h->marker >> 4;
    std::uint64_t own = 1;
    if (type == kArray || type == kDict) {
      if (depth > bounds_.maxDepth)
        return Status::Error("the binary property list is nested more than " +
                             std::to_string(bounds_.maxDepth) + " levels deep");
      state_[index] = kOnPath;
      const std::uint64_t count = h->count;
      const std::uint64_t refs = type == kDict ? count * 2 : count;
      // The tables never grow during the walk; plain pointers spare the reloads that stores
      // of bytes would otherwise force.
      const std::uint8_t* at = bytes_.data() + h->content;
      State* state = state_.data();
      std::uint64_t* subtree = subtreeNodes_.data();
      BinaryPlistObject* objects = objects_.data();
      for (std::uint64_t i = 0; i < refs; ++i, at += refSize_) {
        const std::uint64_t child = readNarrow(at, refSize_);
        if (child >= numObjects_)
          return damaged(objectName(index) + " refers to object " + std::to_string(child) +
                         ", which does not exist");
        const bool isKey = type == kDict && i < count;
        // Most references of a store name shared keys and strings already measured.
        if (state[child] == kDone) {
          if (isKey && !isString(objects[child].marker >> 4))
            return damaged(objectName(index) + " has a dictionary key that is not a string");
          own += subtree[child];
          if (own > bounds_.maxNodes) [[unlikely]]
            return addNodes(0, &own);
          continue;
        }
        if (state[child] == kUnvisited) {
          const BinaryPlistObject* object = nullptr;
          if (Status s = header(child, &object); !s.ok()) return s;
          const std::uint8_t childType = object->marker >> 4;
          if (isKey && !isString(childType))
            return damaged(objectName(index) + " has a dictionary key that is not a string");
          if (childType != kArray && childType != kDict) {
            // A leaf is measured here, without a call for it.
            state[child] = kDone;
            subtree[child] = 1;
            if (++own > bounds_.maxNodes) [[unlikely]]
              return addNodes(0, &own);
            continue;
          }
        } else if (isKey) {
          // On the path: a container, which no key may be.
          return damaged(objectName(index) + " has a dictionary key that is not a string");
        }
        if (Status s = visit(child, depth + 1, &own); !s.ok()) return s;
      }
    }
    state_[index] = kDone;
    subtreeNodes_[index] = own;
    return addNodes(own, nodes);
  }

  static bool isString(std::uint8_t type) { return type == kAsciiString || type == kUtf16String; }

  Status addNodes(std::uint64_t n, std::uint64_t* total) const {
    *total += n;
    if (*total <= bounds_.maxNodes) [[likely]]
      return Status::OK();
    return Status::Error("the binary property list holds more than " +
                         std::to_string(bounds_.maxNodes) + " entries");
  }

  std::span<const std::uint8_t> bytes_;
  BinaryPlistBounds bounds_;
  unsigned offsetSize_ = 0;
  unsigned refSize_ = 0;
  std::uint64_t numObjects_ = 0;
  std::uint64_t offsetTable_ = 0;
  std::vector<State> state_;
  std::vector<std::uint64_t> subtreeNodes_;
  std::vector<BinaryPlistObject>& objects_;  // the header of every object parsed
};

}  // namespace

Status checkBinaryPlist(std::span<const std::uint8_t> bytes, const BinaryPlistBounds& bounds) {
  std::vector<BinaryPlistObject> objects;
  return Checker(bytes, bounds, objects).run();
}

Status checkBinaryPlist(std::span<const std::uint8_t> bytes, const BinaryPlistBounds& bounds,
                        std::vector<BinaryPlistObject>* objects) {
  return Checker(bytes, bounds, *objects).run();
}

}  // namespace corvela
