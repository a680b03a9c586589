// Records which basic blocks a process runs, for scripts/test-redundancy.
//
// Linked into every program of a build made with -fsanitize-coverage=trace-pc, and compiled
// without that flag itself. GCC calls __sanitizer_cov_trace_pc() at the start of every basic
// block; the block is remembered by its offset from the start of the executable, so that runs of
// the same program compare whatever address it was loaded at. At exit the offsets go to
// $TRACE_DIR/<tag>.<pid>.txt, after a line naming the executable. The tag comes from $TRACE_TAG;
// a program started by a test (the command line run as a child) inherits it, so its blocks count
// for that test too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_set>

extern "C" char __executable_start;

namespace {

// Set while the recorder itself runs: library code it calls (std::unordered_set, and template
// code the program also instantiates with tracing) must not be traced back into it.
thread_local bool inside = false;

struct Blocks {
  std::mutex mutex;
  std::unordered_set<uintptr_t> seen;
  bool written = false;
};

void writeBlocks();

Blocks& blocks() {
  // Never freed: blocks of static destructors that run after writeBlocks are simply not kept.
  static Blocks* all = [] {
    auto* b = new Blocks;
    b->seen.reserve(1 << 16);
    std::atexit(writeBlocks);
    return b;
  }();
  return *all;
}

void writeBlocks() {
  inside = true;
  Blocks& b = blocks();
  std::lock_guard<std::mutex> lock(b.mutex);
  b.written = true;
  const char* dir = std::getenv("TRACE_DIR");
  const char* tag = std::getenv("TRACE_TAG");
  if (!dir || !tag) return;
  char path[4096];
  std::snprintf(path, sizeof path, "%s/%s.%d.txt", dir, tag, static_cast<int>(getpid()));
  FILE* file = std::fopen(path, "w");
  if (!file) return;
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  exe[n > 0 ? n : 0] = '\0';
  std::fprintf(file, "exe %s\n", exe);
  for (uintptr_t offset : b.seen) std::fprintf(file, "%lx\n", static_cast<unsigned long>(offset));
  std::fclose(file);
}

}  // namespace

extern "C" void __sanitizer_cov_trace_pc() {
  if (inside) return;
  inside = true;
  auto offset = reinterpret_cast<uintptr_t>(__builtin_return_address(0)) -
                reinterpret_cast<uintptr_t>(&__executable_start);
  Blocks& b = blocks();
  {
    std::lock_guard<std::mutex> lock(b.mutex);
    if (!b.written) b.seen.insert(offset);
  }
  inside = false;
}
