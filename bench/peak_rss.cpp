// Runs a command and writes its peak resident set in KiB and its user and
// system seconds to a file, like `/usr/bin/time -f '%M %U %S' -o FILE`, for
// systems without GNU time.
//
//   peak_rss FILE COMMAND [ARGS...]
//
// Exits with the command's exit status (128 + signal when it was killed).

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: peak_rss FILE COMMAND [ARGS...]\n");
    return 2;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    return 2;
  }
  if (pid == 0) {
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) {
    std::perror("waitpid");
    return 2;
  }
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  std::FILE* out = std::fopen(argv[1], "w");
  const auto sec = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  if (out == nullptr ||
      std::fprintf(out, "%ld %.2f %.2f\n", usage.ru_maxrss, sec(usage.ru_utime),
                   sec(usage.ru_stime)) < 0 ||
      std::fclose(out) != 0) {
    std::fprintf(stderr, "peak_rss: cannot write %s\n", argv[1]);
    return 2;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
