#pragma once

#ifndef _WIN32

#include <sys/types.h>

#include <functional>

// Runs part of a test in a child process of its own, as separate runs of the program would be: for
// runs at the same time, runs interrupted by a signal, and runs as an ordinary user.
namespace testkit {

enum class RunAs {
  kSelf,
  // Nobody's user and group when the tests run as root, so that file permissions apply to the run.
  kOrdinaryUser,
};

// The child's exit status when `body` throws.
constexpr int kEscapedException = 125;

// Starts `body` in a forked child, which exits with what it returns.
pid_t StartChild(const std::function<int()>& body, RunAs user = RunAs::kSelf);
// The child's wait status, which is 0 when it exited with status 0.
int WaitForChild(pid_t child);

}  // namespace testkit

#endif
