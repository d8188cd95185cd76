// velkorin_peak PROGRAM [ARGS...]: runs the program, its standard output thrown away, and prints its
// peak memory in KiB. A process keeps the peak of the process it was started from across exec, so
// the benchmark, itself large, starts the measured program through this small one.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc < 2) return 64;
  const pid_t child = fork();
  if (child == 0) {
    const int nothing = open("/dev/null", O_WRONLY);
    if (nothing < 0 || dup2(nothing, STDOUT_FILENO) < 0) _exit(127);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return 1;
  }
  std::printf("%ld\n", usage.ru_maxrss);
  return 0;
}
