// Feeds arbitrary bytes to the keyed-archive reader. Whatever it accepts must write back, read
// back, and write to the very same bytes again; whatever it refuses must say why.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "prefs/KeyedArchive.h"

using corvela::ArchiveLimits;
using corvela::Result;
using corvela::Value;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Smaller than the defaults so that a case hitting a limit stays quick.
  const ArchiveLimits limits{.maxBytes = std::size_t{1} << 20,
                             .maxPlistNodes = std::size_t{1} << 16,
                             .maxDepth = 256,
                             .maxValues = std::size_t{1} << 16};
  Result<Value> read = corvela::readKeyedArchive({data, size}, limits);
  if (!read.ok()) {
    if (read.message().empty()) std::abort();
    return 0;
  }
  Result<std::vector<std::uint8_t>> written = corvela::writeKeyedArchive(read.value(), limits);
  if (!written.ok()) std::abort();
  Result<Value> again = corvela::readKeyedArchive(written.value());
  if (!again.ok()) std::abort();
  Result<std::vector<std::uint8_t>> rewritten = corvela::writeKeyedArchive(again.value());
  if (!rewritten.ok() || rewritten.value() != written.value()) std::abort();
  return 0;
}
