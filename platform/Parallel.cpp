#include "platform/Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

// What the items in flight hold, and whose turn it is to be admitted.
class BudgetLedger {
 public:
  explicit BudgetLedger(uint64_t total) : m_total(total) {}

  // Waits for the turn and for room, then adds `amount` to the share.
  void Take(BudgetShare& share, uint64_t amount) {
    std::unique_lock lock(m_mutex);
    const uint64_t ticket = m_nextTicket++;
    m_changed.wait(lock, [&] {
      return ticket == m_serving && (m_inFlight == 0 || amount <= m_total - std::min(m_total, m_inFlight));
    });
    ++m_serving;
    m_inFlight += amount;
    share.m_ledger = this;
    share.m_held += amount;
    lock.unlock();
    // The next in turn may fit too.
    m_changed.notify_all();
  }

  void GiveBack(BudgetShare& share, uint64_t amount) {
    {
      const std::lock_guard lock(m_mutex);
      m_inFlight -= amount;
      share.m_held -= amount;
    }
    m_changed.notify_all();
  }

  void Settle(BudgetShare& share, uint64_t amount) {
    if (amount <= share.m_held) {
      GiveBack(share, share.m_held - amount);
      return;
    }
    GiveBack(share, share.m_held);
    Take(share, amount);
  }

  void Finish(BudgetShare& share) { GiveBack(share, share.m_held); }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  uint64_t m_total;
  uint64_t m_inFlight = 0;
  uint64_t m_nextTicket = 0;  // the turn of the next item to ask
  uint64_t m_serving = 0;     // the turn now being admitted
};

void BudgetShare::Settle(uint64_t amount) {
  if (m_ledger != nullptr) m_ledger->Settle(*this, amount);
}

unsigned ProcessorCount() { return std::max(1u, std::thread::hardware_concurrency()); }

void ForEachInParallel(size_t count, unsigned jobs, const std::function<void(size_t, BudgetShare&)>& work,
                       const MemoryBudget& budget) {
  BudgetLedger ledger(budget.total);
  std::atomic<size_t> next{0};
  const auto takeEach = [&] {
    for (size_t index = next++; index < count; index = next++) {
      BudgetShare share;
      if (budget.total != 0) ledger.Take(share, budget.estimate(index));
      work(index, share);
      if (budget.total != 0) ledger.Finish(share);
    }
  };
  std::vector<std::jthread> threads;
  const size_t wanted = std::min<size_t>(jobs, count) - (count > 0 ? 1 : 0);
  threads.reserve(wanted);
  for (size_t i = 0; i < wanted; ++i) {
    try {
      threads.emplace_back(takeEach);
    } catch (const std::system_error&) {
      // Out of threads (a process limit, or no memory for another stack): the work goes on without.
      break;
    } catch (const std::bad_alloc&) {
      break;
    }
  }
  takeEach();
}

void ForEachInParallel(size_t count, unsigned jobs, const std::function<void(size_t)>& work) {
  ForEachInParallel(count, jobs, [&](size_t index, BudgetShare&) { work(index); }, {});
}

}  // namespace platform
