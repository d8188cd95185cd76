#include <wasm_simd128.h>

#include <cstdint>
#include <cstring>

#include "platform/ByteSearch.h"

namespace bytes {

namespace {

// Where `byte` first occurs in the `size` bytes at `data`; `size` when it does not.
size_t FindByte(const char* data, size_t size, char byte) {
  const v128_t wanted = wasm_i8x16_splat(byte);
  size_t at = 0;
  for (; at + 16 <= size; at += 16) {
    const uint32_t found = wasm_i8x16_bitmask(wasm_i8x16_eq(wasm_v128_load(data + at), wanted));
    if (found != 0) return at + static_cast<size_t>(__builtin_ctz(found));
  }
  while (at < size && data[at] != byte) ++at;
  return at;
}

}  // namespace

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
