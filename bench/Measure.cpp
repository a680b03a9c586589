// Runs a command and prints, as the last line of standard error, what it cost:
//   corvela_measure: CPU_SECONDS WALL_SECONDS PEAK_KIB
// CPU time is user + system; the peak is the command's largest resident set.
//
// Usage: corvela_measure COMMAND [ARGUMENT...]
//
// bench/run measures through this rather than from Python itself: a process started from a
// Python of 15 MiB is a copy of it until it replaces itself, and the kernel counts that copy in
// the peak, so a small conversion and the awk reference would show Python's size. Started from
// this small program, a command's peak is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: corvela_measure COMMAND [ARGUMENT...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::fprintf(stderr, "corvela_measure: cannot start a process: %s\n", std::strerror(errno));
    return 2;
  }
  if (child == 0) {
    execvp(argv[1], argv + 1);
    std::fprintf(stderr, "corvela_measure: cannot run %s: %s\n", argv[1], std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::fprintf(stderr, "corvela_measure: lost the command: %s\n", std::strerror(errno));
      return 2;
    }
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::fprintf(stderr, "corvela_measure: %.6f %.6f %ld\n", cpu, wall, usage.ru_maxrss);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
