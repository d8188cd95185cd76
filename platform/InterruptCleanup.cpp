#include "platform/InterruptCleanup.h"

#include <array>
#include <atomic>
#include <cstring>

#include "platform/OsFile.h"

namespace platform {

namespace {

// The handler may run on any thread at any moment, so the table is fixed and lock-free: a slot is
// claimed by one thread, filled, then armed; the handler takes only armed slots.
enum SlotState : int { kFree, kClaimed, kArmed, kTaken };

constexpr size_t kSlots = 128;        // more than the files of the most parallel run
constexpr size_t kMaxPath = 4096;

struct Slot {
  std::atomic<int> state{kFree};
  std::array<char, kMaxPath> path{};
};

std::array<Slot, kSlots> g_slots;

static_assert(std::atomic<int>::is_always_lock_free);

// Runs in a signal handler: no allocation, no locks, only the system's removal call.
void RemoveArmedFiles() {
  for (Slot& slot : g_slots) {
    int armed = kArmed;
    if (slot.state.compare_exchange_strong(armed, kTaken)) os::RemoveFileNow(slot.path.data());
  }
}

}  // namespace

void InterruptCleanup::Arm(const std::string& path) {
  Disarm();
  // A path too long for a slot goes unregistered; no system gives a file such a path.
  if (path.size() >= kMaxPath) return;
  for (size_t i = 0; i < kSlots; ++i) {
    int free = kFree;
    if (!g_slots[i].state.compare_exchange_strong(free, kClaimed)) continue;
    std::memcpy(g_slots[i].path.data(), path.c_str(), path.size() + 1);
    g_slots[i].state.store(kArmed);
    m_slot = i;
    return;
  }
}

void InterruptCleanup::Disarm() {
  if (m_slot == kNoSlot) return;
  // A slot the handler has taken stays taken: the program is ending.
  int armed = kArmed;
  g_slots[m_slot].state.compare_exchange_strong(armed, kFree);
  m_slot = kNoSlot;
}

void InstallInterruptCleanup() { os::OnInterrupt(RemoveArmedFiles); }

}  // namespace platform
