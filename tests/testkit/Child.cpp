#include "tests/testkit/Child.h"

#ifndef _WIN32

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace testkit {
namespace {

constexpr uid_t kNobody = 65534;

bool DropToOrdinaryUser() {
  if (geteuid() != 0) return true;
  return setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
         setresuid(kNobody, kNobody, kNobody) == 0;
}

}  // namespace

pid_t StartChild(const std::function<int()>& body, RunAs user) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child > 0) return child;
  // The child leaves by _exit: the test program's exit handlers belong to the parent.
  if (user == RunAs::kOrdinaryUser && !DropToOrdinaryUser()) _exit(120);
  // An exception must not carry the child back into the test program, to run its tests a second time.
  int status = kEscapedException;
  try {
    status = body();
  } catch (...) {
  }
  std::fflush(nullptr);
  _exit(status);
}

int WaitForChild(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
  return status;
}

}  // namespace testkit

#endif
