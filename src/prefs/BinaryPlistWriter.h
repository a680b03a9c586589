#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "prefs/StringTable.h"

namespace corvela {

// Writes a binary property list ("bplist00") in one linear pass, byte for byte as libplist 2.2
// writes the same tree: objects numbered depth first, equal strings, keys, numbers, Booleans
// and UIDs written once and shared (a key and a string with the same text are two objects),
// data, arrays and dictionaries never shared (libplist shares equal data only when their
// addresses happen to hash alike), a real that a float holds exactly written as
// a float, and references and offsets as narrow as their largest value allows. libplist's own
// writer takes quadratic time in the number of objects; this one is linear.
//
// The tree is given depth first: beginDictionary/beginArray open a container, end() closes it,
// and every other call adds one value to the open container (a dictionary takes key(), then the
// value, for each entry). Texts and bytes are not copied: they must stay valid until finish().
class BinaryPlistWriter {
 public:
  void beginDictionary();
  void beginArray();
  void end();
  void key(std::string_view text);
  void string(std::string_view text);  // UTF-8 without a zero byte
  void integer(std::int64_t value);
  void real(double value);
  void boolean(bool value);
  void data(std::span<const std::uint8_t> bytes);
  void uid(std::uint64_t value);

  // The property list whose root is the first value given; every container must be closed.
  std::vector<std::uint8_t> finish();

 private:
  enum class Kind : std::uint8_t {
    Dictionary,
    Array,
    Key,
    String,
    Integer,
    Real,
    Boolean,
    Data,
    Uid
  };
  struct Object {
    Kind kind;
    std::uint64_t number = 0;    // integer, real bits, Boolean or UID
    std::string_view bytes{};    // text or data
    std::size_t firstChild = 0;  // into children_, for containers
    std::size_t childCount = 0;
  };

  void add(std::uint32_t index);
  std::uint32_t newObject(Kind kind, std::uint64_t number, std::string_view bytes);
  std::uint32_t shared(std::unordered_map<std::uint64_t, std::uint32_t>& table, Kind kind,
                       std::uint64_t number);
  std::uint32_t shared(StringTable& table, Kind kind, std::string_view bytes);
  void open(Kind kind);

  std::vector<Object> objects_;
  std::vector<std::uint32_t> children_;
  // The containers still open: each with where its children begin on `collected_`.
  struct Open {
    std::uint32_t object;
    std::size_t from;
  };
  std::vector<Open> open_;
  std::vector<std::uint32_t> collected_;
  StringTable keys_, strings_;
  std::unordered_map<std::uint64_t, std::uint32_t> integers_, reals_, uids_;
  // The UID objects of the values below kDenseUids, by value; UINT32_MAX where there is none yet.
  static constexpr std::uint64_t kDenseUids = std::uint64_t{1} << 22;  // 16 MB of table at most
  std::vector<std::uint32_t> denseUids_;
  std::uint32_t booleans_[2] = {UINT32_MAX, UINT32_MAX};
  // The last keys given, by where their texts lie.
  struct RecentKey {
    const char* data = nullptr;
    std::size_t size = 0;
    std::uint32_t object = 0;
  };
  RecentKey recentKeys_[4];
  std::size_t nextRecentKey_ = 0;
};

}  // namespace corvela
