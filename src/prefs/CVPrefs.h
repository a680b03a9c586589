#pragma once

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/AtomicFile.h"
#include "prefs/Value.h"

namespace corvela {

// The length of a store file's bytes and a 64-bit hash of them.
struct StoreDigest {
  std::size_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const StoreDigest&) const = default;
};

// The preference store: one dictionary that holds everything Corvela keeps between runs, and
// the file it lives in. Nothing reaches the disk until synchronize(); every list and store reads
// its data from here on every call, and what is worked out from it is kept only while
// changeCount() stays the same.
//
// Several processes may use one store file at once (the desktop program and command-line
// runs). Every read-modify-write of the file holds an advisory lock (flock on "<path>.lock"
// beside it), and a write re-reads the file under that lock and applies this process's own
// changes since it last read or wrote the file to what is there now (see mergeStores), so
// nobody's additions are lost.
class CVPrefs {
 public:
  static constexpr std::string_view kApplicationID = "org.corvela.Corvela";

  // The store file: $CORVELA_PREFS when set, else $XDG_CONFIG_HOME/corvela/<id>.prefs
  // (~/.config when XDG_CONFIG_HOME is unset).
  static std::string defaultPath();

  // An empty in-memory store that would be written to `path`. Reads nothing; its first
  // synchronize adds what it holds to whatever the file holds by then.
  explicit CVPrefs(std::string path);

  // Opens the store at `path`, under the store's lock. A missing file gives an empty store.
  //   - A file that cannot be read at all (no permission, an I/O error) or that is not a
  //     regular file (a folder, a pipe, a device) is left where it is: openError() says why,
  //     naming the file, the store is empty and is never written. The caller stops: running
  //     without the person's rules would be worse than not running.
  //   - A regular file whose bytes are no keyed archive with a dictionary at its root is moved
  //     aside, next to it, as "<path>.unreadable-YYYY-MM-DD-HHMMSS" in local time (with "-2",
  //     "-3", ... when that name is taken), so the next synchronize cannot destroy what may
  //     still be recovered by hand; the store then starts empty with
  //     `reconstructedAfterCorruption` true, and readError() and movedAsidePath() say what
  //     happened. When it cannot be moved aside, openError() says so and nothing is written.
  // A store without `convertedFromPlist` gets it set true: Linux has no older preference domain
  // to copy from. Nothing is written here apart from the move.
  static CVPrefs initWithPath(std::string path);
  // The same, with `now` naming a moved-aside file (a test seam for the clock).
  static CVPrefs initWithPath(std::string path, std::time_t now);

  const std::string& prefsPath() const { return prefsPath_; }
  // The whole dictionary (for printing and tests).
  const Value& prefs() const { return prefs_; }

  // Why this store must not be used, naming the file, or empty when it may.
  const std::string& openError() const { return openError_; }
  // Where an unreadable store file was moved at start-up, or empty when none was.
  const std::string& movedAsidePath() const { return movedAsidePath_; }
  // Why the store file could not be read, or empty. Names the file; when moving it aside
  // failed too, says so.
  const std::string& readError() const { return readError_; }
  // Why the last synchronize failed, naming the file, or empty after a successful one.
  const std::string& writeError() const { return writeError_; }

  // The stored value, or a null Value when the key is absent.
  const Value& objectForKey(std::string_view key) const { return prefs_[key]; }
  bool boolForKey(std::string_view key) const { return prefs_[key].toBool(); }
  int intForKey(std::string_view key) const;
  float floatForKey(std::string_view key) const;
  double doubleForKey(std::string_view key) const { return prefs_[key].toDouble(); }

  // A null value removes the key. The stored value is an independent copy.
  void setObject(std::string_view key, Value value);
  void setBool(std::string_view key, bool b) { setObject(key, Value(b)); }
  void setInt(std::string_view key, int i) { setObject(key, Value(i)); }
  void setFloat(std::string_view key, float f) { setObject(key, Value(static_cast<double>(f))); }
  void setDouble(std::string_view key, double d) { setObject(key, Value(d)); }
  void removeObjectForKey(std::string_view key) {
    prefs_.erase(key);
    changes_.count();
  }

  // Grows with every change of what the store holds: a value set or removed, the file's
  // changes merged in, the whole store assigned. What is worked out from the store for every
  // transaction (the option list, the output templates) is kept while it stays the same.
  std::uint64_t changeCount() const { return changes_.value(); }

  bool empty() const { return prefs_.size() == 0; }
  // The printed form of the dictionary, nested values indented.
  std::string description() const;

  // Writes the store to prefsPath atomically: the old file stays intact unless the new one was
  // written completely. Under the lock, the file is read again and this process's changes are
  // applied to what it holds now (so the dictionary afterwards holds the other processes'
  // changes too). A new file is made with mode 0600 (its folder 0700); an existing one keeps
  // its mode. A store the reader would refuse (too deep, too many values, too large) is not
  // written. Nothing is written when nothing changed since the last read or write. Returns
  // whether the store is on disk; a failure leaves the dictionary as it is, so the next
  // synchronize tries again. While writes are deferred, only records that a write is due.
  bool synchronize();
  // Defers every synchronize until synchronizeNow(): a command-line run writes the store once,
  // at its end, whatever its steps ask for.
  void setWritesDeferred(bool deferred) { deferred_ = deferred; }
  // Writes now, deferred or not.
  bool synchronizeNow();

  // The system calls synchronize writes with (a test seam for failing writes). Not owned; null
  // restores the real ones.
  void setFileOps(FileOps* ops) { fileOps_ = ops; }

 private:
  void moveAside(std::time_t now);

  std::string prefsPath_;
  Value prefs_ = Value::dictionary();
  // The dictionary as last read from or written to the file: what this process's changes are
  // measured against when the file is merged.
  Value base_ = Value::dictionary();
  bool baseOnDisk_ = false;
  // What the file held when base_ was read or written (its bytes would be held as long as the
  // program runs): when the file still holds the same, nobody else wrote it, and it need not be
  // decoded again to merge.
  StoreDigest baseDigest_;
  bool deferred_ = false;
  std::string openError_;
  std::string movedAsidePath_;
  std::string readError_;
  std::string writeError_;
  FileOps* fileOps_ = nullptr;

  // Assigning a store counts as a change of the one assigned to: a count taken from either
  // before is never seen again.
  class ChangeCount {
   public:
    ChangeCount() = default;
    ChangeCount(const ChangeCount& other) : n_(other.n_) {}
    ChangeCount& operator=(const ChangeCount& other) {
      n_ = std::max(n_, other.n_) + 1;
      return *this;
    }
    void count() { ++n_; }
    std::uint64_t value() const { return n_; }

   private:
    std::uint64_t n_ = 0;
  };
  ChangeCount changes_;
};

}  // namespace corvela
