#pragma once

#include <plist/plist.h>

#include <memory>

namespace corvela {

// Owns a libplist node tree and frees it with plist_free.
struct PlistFree {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

}  // namespace corvela
