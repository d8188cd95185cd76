#include <wasm_simd128.h>

#include <cstdint>

#include "platform/ByteSearch.h"

namespace bytes {

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

}  // namespace bytes
