#include "cli/Parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

unsigned ProcessorCount() { return std::max(1u, std::thread::hardware_concurrency()); }

void ForEachInParallel(size_t count, unsigned jobs, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  const auto takeEach = [&] {
    for (size_t index = next++; index < count; index = next++) work(index);
  };
  std::vector<std::jthread> threads(std::min<size_t>(jobs, count) - (count > 0 ? 1 : 0));
  for (std::jthread& thread : threads) thread = std::jthread(takeEach);
  takeEach();
}
