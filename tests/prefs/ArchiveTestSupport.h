#pragma once

#include <plist/plist.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "prefs/PlistPtr.h"
#include "support/TempDir.h"

namespace corvela::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline Bytes toBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes plistToBin(plist_t node) {
  char* out = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(node, &out, &length);
  Bytes bytes(out, out + length);
  plist_to_bin_free(out);
  return bytes;
}

// Builds keyed archives object by object, laid out the way Cocoa lays them out, so tests can
// read archives Corvela did not write and damage them in chosen ways.
class ArchiveBuilder {
 public:
  ArchiveBuilder() { add(plist_new_string("$null")); }

  // Adds an object to $objects and returns its UID.
  std::uint64_t add(plist_t node) {
    objects_.emplace_back(node);
    return objects_.size() - 1;
  }
  std::uint64_t string(const char* s) { return add(plist_new_string(s)); }
  std::uint64_t integer(std::int64_t i) {
    return add(plist_new_uint(static_cast<std::uint64_t>(i)));
  }

  // A class entry: {$classname: chain[0], $classes: chain}.
  std::uint64_t classEntry(const std::vector<const char*>& chain) {
    plist_t entry = plist_new_dict();
    plist_dict_set_item(entry, "$classname", plist_new_string(chain.front()));
    plist_t classes = plist_new_array();
    for (const char* name : chain) plist_array_append_item(classes, plist_new_string(name));
    plist_dict_set_item(entry, "$classes", classes);
    return add(entry);
  }

  // An object of class `classUid` with the given fields, each a plist node.
  std::uint64_t object(std::uint64_t classUid,
                       std::vector<std::pair<const char*, plist_t>> fields) {
    plist_t o = plist_new_dict();
    for (auto& [key, value] : fields) plist_dict_set_item(o, key, value);
    plist_dict_set_item(o, "$class", plist_new_uid(classUid));
    return add(o);
  }

  static plist_t uids(const std::vector<std::uint64_t>& list) {
    plist_t a = plist_new_array();
    for (std::uint64_t u : list) plist_array_append_item(a, plist_new_uid(u));
    return a;
  }

  std::uint64_t array(std::uint64_t classUid, const std::vector<std::uint64_t>& items) {
    return object(classUid, {{"NS.objects", uids(items)}});
  }
  std::uint64_t dictionary(std::uint64_t classUid, const std::vector<std::uint64_t>& keys,
                           const std::vector<std::uint64_t>& values) {
    return object(classUid, {{"NS.keys", uids(keys)}, {"NS.objects", uids(values)}});
  }

  // Replaces the object at `uid` (for laying out cycles and forward references).
  void replace(std::uint64_t uid, plist_t node) { objects_[uid].reset(node); }

  // The top-level dictionary; `archiver` null leaves $archiver out, `root` of -1 leaves $top out.
  PlistPtr top(std::int64_t root, const char* archiver = "NSKeyedArchiver") {
    PlistPtr top(plist_new_dict());
    if (archiver) plist_dict_set_item(top.get(), "$archiver", plist_new_string(archiver));
    plist_dict_set_item(top.get(), "$version", plist_new_uint(100000));
    if (root >= 0) {
      plist_t t = plist_new_dict();
      plist_dict_set_item(t, "root", plist_new_uid(static_cast<std::uint64_t>(root)));
      plist_dict_set_item(top.get(), "$top", t);
    }
    plist_t objects = plist_new_array();
    for (PlistPtr& o : objects_) plist_array_append_item(objects, plist_copy(o.get()));
    plist_dict_set_item(top.get(), "$objects", objects);
    return top;
  }

  Bytes bytes(std::int64_t root, const char* archiver = "NSKeyedArchiver") {
    return plistToBin(top(root, archiver).get());
  }

 private:
  std::vector<PlistPtr> objects_;
};

// Assembles a binary property list from raw objects, for layouts no writer produces: references
// one byte wide, offsets two bytes wide.
inline Bytes assembleBplist(const std::vector<Bytes>& objects, std::uint64_t top = 0,
                            std::uint64_t claimedObjects = 0) {
  Bytes out = toBytes("bplist00");
  std::vector<std::size_t> offsets;
  for (const Bytes& o : objects) {
    offsets.push_back(out.size());
    out.insert(out.end(), o.begin(), o.end());
  }
  std::size_t table = out.size();
  for (std::size_t off : offsets) {
    out.push_back(static_cast<std::uint8_t>(off >> 8));
    out.push_back(static_cast<std::uint8_t>(off));
  }
  auto be64 = [&](std::uint64_t v) {
    for (int i = 7; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (i * 8)));
  };
  out.insert(out.end(), 6, 0);
  out.push_back(2);  // offset size
  out.push_back(1);  // reference size
  be64(claimedObjects ? claimedObjects : objects.size());
  be64(top);
  be64(table);
  return out;
}

inline bool havePython() {
  return std::system("python3 -c 'import plistlib' >/dev/null 2>&1") == 0;
}

// Runs the Python script tests/data/archive/NAME with one argument; returns its standard output,
// or "" when it could not be started.
inline std::string runPython(const std::string& name, const std::string& arg, int* exitCode) {
  std::string command = "python3 '" CORVELA_TEST_DATA "/archive/" + name + "' '" + arg + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  *exitCode = pclose(pipe);
  return out;
}

}  // namespace corvela::testing
