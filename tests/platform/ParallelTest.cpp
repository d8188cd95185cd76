#include "platform/Parallel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Items that estimate little and turn out to need more, less, or more than the whole budget: what
// the items hold together stays within the budget, but for one larger than the whole, which runs
// alone among those that hold anything.
TEST(Parallel, ItemsRunWithinTheMemoryBudget) {
  constexpr uint64_t kBudget = 100;
  const std::vector<std::pair<uint64_t, uint64_t>> items = {{10, 60}, {10, 60}, {40, 5},  {150, 150}, {10, 5},
                                                            {10, 60}, {30, 90}, {10, 10}, {10, 120},  {20, 20}};
  std::mutex mutex;
  std::vector<uint64_t> holds(items.size());
  uint64_t mostHeldByMany = 0;
  const auto hold = [&](size_t i, uint64_t amount) {
    const std::lock_guard lock(mutex);
    holds[i] = amount;
    if (std::ranges::count(holds, uint64_t{0}) < static_cast<std::ptrdiff_t>(holds.size()) - 1) {
      mostHeldByMany = std::max(mostHeldByMany, std::accumulate(holds.begin(), holds.end(), uint64_t{0}));
    }
  };
  platform::ForEachInParallel(items.size(), 4,
                              [&](size_t i, platform::BudgetShare& share) {
                                const auto [estimate, settled] = items[i];
                                hold(i, estimate);
                                std::this_thread::sleep_for(1ms);
                                // Given back before the share is, taken after: the items never seem to hold more than
                                // they do.
                                hold(i, settled > estimate ? 0 : settled);
                                share.Settle(settled);
                                hold(i, settled);
                                std::this_thread::sleep_for(2ms);
                                hold(i, 0);
                              },
                              {kBudget, [&](size_t i) { return items[i].first; }});
  EXPECT_LE(mostHeldByMany, kBudget);
}

// Items that fill the budget exactly do not wait for one another: as many run at once as there are jobs.
TEST(Parallel, ItemsWithinTheBudgetRunAsManyAtATimeAsThereAreJobs) {
  constexpr size_t kJobs = 4;
  std::mutex mutex;
  std::condition_variable arrived;
  size_t running = 0;
  bool allAtOnce = true;
  platform::ForEachInParallel(kJobs, kJobs,
                              [&](size_t, platform::BudgetShare&) {
                                std::unique_lock lock(mutex);
                                ++running;
                                arrived.notify_all();
                                if (!arrived.wait_for(lock, 10s, [&] { return running == kJobs; })) allAtOnce = false;
                              },
                              {100, [](size_t) { return uint64_t{25}; }});
  EXPECT_TRUE(allAtOnce);
  platform::ForEachInParallel(0, kJobs, [](size_t) { ADD_FAILURE() << "no item to run"; });
}

}  // namespace
