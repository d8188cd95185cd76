#pragma once

#include <cstddef>

// The least that reading a recorded game's header can cost, for the benchmarks to measure the
// program against: the compressed header read in one piece and inflated in 131,072-byte chunks,
// nothing else. The design's floor stages the chunks in a new, unlinked temporary file beside the
// recorded game and reads them back in one piece; the in-memory floor keeps them in memory.
enum class Floor { kDesign, kMemory };

// The inflated size, or 0 when the file cannot be read or does not inflate.
size_t RunFloor(const char* path, Floor floor);
