#pragma once

#include <cstddef>
#include <functional>

// The number of threads the machine runs at once; at least 1.
unsigned ProcessorCount();

// Calls `work` once for each index below `count`, on up to `jobs` threads at a time, each taking
// the next index when it is free. `work` must not throw.
void ForEachInParallel(size_t count, unsigned jobs, const std::function<void(size_t)>& work);
