// reshape_measure: runs a command and reports its wall time, CPU time and peak resident memory
// as the kernel accounts them for the child (wait4), with microsecond resolution.
//
//   reshape_measure OUTFILE COMMAND [ARG...]
//
// Appends one line "wall_seconds user_seconds system_seconds max_rss_kb exit_code" to OUTFILE.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: reshape_measure OUTFILE COMMAND [ARG...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t child = ::fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    ::execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage{};
  if (::wait4(child, &status, 0, &usage) < 0) {
    std::perror("wait4");
    return 2;
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::FILE* out = std::fopen(argv[1], "a");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 2;
  }
  std::fprintf(out, "%.6f %.6f %.6f %ld %d\n", wall, seconds(usage.ru_utime),
               seconds(usage.ru_stime), usage.ru_maxrss, code);
  std::fclose(out);
  return code;
}
