#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace platform {

// The number of threads the machine runs at once; at least 1.
unsigned ProcessorCount();

// A budget of memory that items of work share while they run. An item starts with its estimate once
// the items in flight leave room for it, and alone when it is larger than the whole budget; items
// are admitted in turn, so a large one is not passed over for ever by small ones.
struct MemoryBudget {
  uint64_t total = 0;
  std::function<uint64_t(size_t index)> estimate;
};

class BudgetLedger;

// The share of the budget that one item holds while it runs.
class BudgetShare {
 public:
  // Sets the share to what the item turned out to need: less is given back at once; for more the
  // share is given up first, then taken again once the items in flight leave room for it (or none
  // is in flight), so that an item waiting for more holds nothing that others wait for.
  void Settle(uint64_t amount);

 private:
  friend class BudgetLedger;
  BudgetLedger* m_ledger = nullptr;
  uint64_t m_held = 0;
};

// Calls `work` once for each index below `count`, on up to `jobs` threads at a time, each taking
// the next index when it is free. Where the system gives fewer threads, the work runs on those it
// gave, at least the calling one. With a budget whose total is not 0, each item runs within it.
// `work` must not throw.
void ForEachInParallel(size_t count, unsigned jobs, const std::function<void(size_t, BudgetShare&)>& work,
                       const MemoryBudget& budget);
void ForEachInParallel(size_t count, unsigned jobs, const std::function<void(size_t)>& work);

}  // namespace platform
