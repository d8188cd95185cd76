#include "platform/ByteSearch.h"

#include <cstdint>
#include <cstring>

namespace bytes {

namespace {

// Sixteen bytes at once, in GCC's and Clang's vector extensions: SSE2 on x86-64, and WebAssembly SIMD
// in the page (built with -msimd128), whose C library's memchr takes one word at a time.
using Block = char __attribute__((vector_size(16)));

}  // namespace

size_t FindByte(const char* data, size_t size, char byte) {
  size_t at = 0;
  for (; at + sizeof(Block) <= size; at += sizeof(Block)) {
    Block block;
    std::memcpy(&block, data + at, sizeof block);
    const auto equal = block == byte;  // each byte all ones where it is `byte`
    uint64_t halves[2];
    std::memcpy(halves, &equal, sizeof halves);
    if (halves[0] != 0) return at + static_cast<size_t>(__builtin_ctzll(halves[0])) / 8;
    if (halves[1] != 0) return at + 8 + static_cast<size_t>(__builtin_ctzll(halves[1])) / 8;
  }
  while (at < size && data[at] != byte) ++at;
  return at;
}

size_t Find(std::string_view text, std::string_view pattern, size_t from) {
  if (pattern.size() > text.size()) return std::string_view::npos;
  const size_t last = text.size() - pattern.size();  // where an occurrence may start at most
  for (size_t at = from; at <= last; ++at) {
    at += FindByte(text.data() + at, last + 1 - at, pattern.front());
    if (at > last) break;
    if (std::memcmp(text.data() + at, pattern.data(), pattern.size()) == 0) return at;
  }
  return std::string_view::npos;
}

}  // namespace bytes
