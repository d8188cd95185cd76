#include "cli/Parallel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct Item {
  uint64_t estimate;
  uint64_t settled;  // what it turns out to need
};

// Items that estimate little and need more, less, or more than the whole budget: what the running
// items hold stays within the budget, and an item larger than the whole runs alone.
TEST(Parallel, ItemsRunWithinTheMemoryBudget) {
  constexpr uint64_t kBudget = 100;
  const std::vector<Item> items = {{10, 60}, {10, 60}, {40, 5},  {150, 150}, {10, 5},
                                   {10, 60}, {30, 90}, {10, 10}, {10, 120},  {20, 20}};
  std::mutex mutex;
  std::vector<uint64_t> holds(items.size());  // what each item holds now
  std::vector<std::string> faults;
  const auto hold = [&](size_t i, uint64_t amount) {
    const std::lock_guard lock(mutex);
    holds[i] = amount;
    uint64_t held = 0;
    size_t holders = 0;
    for (const uint64_t each : holds) {
      held += each;
      holders += each != 0 ? 1 : 0;
    }
    if (held > kBudget && holders > 1) faults.push_back("item " + std::to_string(i) + " brought " + std::to_string(held));
  };
  ForEachInParallel(
      items.size(), 4,
      [&](size_t i, BudgetShare& share) {
        hold(i, items[i].estimate);
        std::this_thread::sleep_for(1ms);
        // Given back before the share is, and taken after: the items never seem to hold more than they do.
        hold(i, items[i].settled > items[i].estimate ? 0 : items[i].settled);
        share.Settle(items[i].settled);
        hold(i, items[i].settled);
        std::this_thread::sleep_for(2ms);
        hold(i, 0);
      },
      {kBudget, [&](size_t i) { return items[i].estimate; }});
  EXPECT_EQ(faults, std::vector<std::string>{});
}

// Small items do not wait for one another: as many run at once as there are jobs.
TEST(Parallel, ItemsWithinTheBudgetRunAsManyAtATimeAsThereAreJobs) {
  constexpr size_t kJobs = 4;
  std::mutex mutex;
  std::condition_variable arrived;
  size_t running = 0;
  bool allAtOnce = true;
  ForEachInParallel(
      kJobs, kJobs,
      [&](size_t, BudgetShare&) {
        std::unique_lock lock(mutex);
        ++running;
        arrived.notify_all();
        if (!arrived.wait_for(lock, 10s, [&] { return running == kJobs; })) allAtOnce = false;
      },
      {100, [](size_t) { return uint64_t{20}; }});
  EXPECT_TRUE(allAtOnce);
}

}  // namespace
