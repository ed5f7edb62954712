// Runs a command and prints its wall time in seconds and peak resident memory in KiB.
// A small launcher, so that the child's peak does not include a large parent's pages.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zendra_measure COMMAND [ARGS...]\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return 2;
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%.6f %ld\n", elapsed.count(), usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
