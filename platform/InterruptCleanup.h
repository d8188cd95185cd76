#pragma once

#include <cstddef>
#include <string>

namespace platform {

// A file that an interrupted run must not leave behind. It is armed with its path before the file
// is created and disarmed once the file is gone or has its final name. A program that calls
// InstallInterruptCleanup then deletes every armed file when the user interrupts it or a signal would
// end it (POSIX: SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM,
// SIGPROF, SIGPOLL, unless the program was started to ignore them; Windows: Ctrl+C, Ctrl+Break,
// closing the console) and ends as the signal would have ended it, with the usual status.
class InterruptCleanup {
 public:
  InterruptCleanup() = default;
  ~InterruptCleanup() { Disarm(); }
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  void Arm(const std::string& path);
  void Disarm();

 private:
  static constexpr size_t kNoSlot = static_cast<size_t>(-1);
  size_t m_slot = kNoSlot;
};

void InstallInterruptCleanup();

}  // namespace platform
