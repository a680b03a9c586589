#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Status.h"
#include "prefs/AtomicFile.h"
#include "prefs/Value.h"

namespace corvela {

// The keyed-archive format: a binary property list laid out as the Cocoa keyed archiver
// (NSKeyedArchiver) lays it out. The top dictionary holds `$archiver` "NSKeyedArchiver",
// `$version` 100000, `$top` {root: UID} and `$objects`, a flat array whose first entry is
// "$null" and which every other object refers into by UID.
//
// How each value is written:
//   string       a plain string in $objects; a string that is not valid UTF-8 or holds a zero
//                byte as {NS.bytes: <its bytes>, $class: NSMutableString}, so it survives whole
//   integer      a plain integer (64-bit signed)
//   real, bool   a plain real or Boolean
//   date         {NS.time: <real seconds since 2001-01-01 UTC>, $class: NSDate}
//   data         plain data
//   array        {NS.objects: [UID...], $class: NSMutableArray}
//   dictionary   {NS.keys: [UID...], NS.objects: [UID...], $class: NSMutableDictionary}
//   null         UID 0 ("$null") as the root; inside an array or a dictionary, the NSNull
//                object {$class: NSNull}, which is how Cocoa stores a null it must keep, so a
//                null element keeps its place and a key holding null stays present
// Equal strings and numbers are written once and shared, as Cocoa does.
//
// Reading takes that layout and what Cocoa writes besides: immutable and mutable class names
// (NSDictionary, NSArray, NSString, NSData and their NSMutable forms), strings as
// {NS.string: ...} or {NS.bytes: <UTF-8>}, data as {NS.data: ...}, NSDate with an integer
// NS.time, plain property-list dates, and UID 0 inside a container (read as null).

// Bounds that make hostile input fail with a message instead of exhausting memory, stack or
// time. The defaults are far beyond any real preference store.
struct ArchiveLimits {
  // Larger input is refused before it is parsed.
  std::size_t maxBytes = std::size_t{256} << 20;
  // Entries of the binary property list, a shared one counted once per reference.
  std::size_t maxPlistNodes = std::size_t{1} << 22;
  // Nesting of arrays and dictionaries in the archived value, the root being level 1.
  std::size_t maxDepth = 256;
  // Values in the archived value, a shared one counted once per reference.
  std::size_t maxValues = std::size_t{1} << 21;
  // For the archive of a run (a continuation file), whose entries grow with the run's
  // transactions: maxPlistNodes and maxValues rise to the archive's length in bytes where that
  // is more. Every reference takes a byte or more, and the writer shares no array or
  // dictionary, so no archive Corvela writes within maxBytes is refused for its counts, while
  // one made to unfold still unfolds into no more entries than it has bytes.
  bool countsGrowWithSize = false;
};

// Reads the root value of a keyed archive. Returns the value (a null root reads as a null
// Value), or an error saying what is wrong, in lower case and without a file name, for example
// "not a binary property list", "the archive was written by \"Foo\", not by NSKeyedArchiver",
// "object 7 contains itself", "the archive refers to object 90, but holds only 12 objects".
// Never crashes, hangs or reads outside `bytes` on any input.
Result<Value> readKeyedArchive(std::span<const std::uint8_t> bytes,
                               const ArchiveLimits& limits = {});

// readKeyedArchive reads the bytes in place, and hands what it is not sure to read exactly as
// libplist does to libplist's parser. This reads through libplist's parser alone: the reference
// the direct reading is held to.
Result<Value> readKeyedArchiveWithLibplist(std::span<const std::uint8_t> bytes,
                                           const ArchiveLimits& limits = {});

// The keyed archive of `root`. Fails only for what could not be read back: a value nested deeper
// than limits.maxDepth, or an archive longer than limits.maxBytes.
Result<std::vector<std::uint8_t>> writeKeyedArchive(const Value& root,
                                                    const ArchiveLimits& limits = {});

// Reads the file at `path` as a keyed archive. Errors name the file:
//   "/path/x.prefs" cannot be read: not a binary property list.
// A file larger than limits.maxBytes is refused before it is read.
Result<Value> readKeyedArchiveFile(const std::string& path, const ArchiveLimits& limits = {});

// Writes `root` to `path` as a keyed archive with writeFileAtomically: the old file stays intact
// unless the new one was written completely. Errors name the file.
Status writeKeyedArchiveFile(const std::string& path, const Value& root,
                             FileOps& ops = FileOps::system(), const ArchiveLimits& limits = {});

}  // namespace corvela
