#include <cstring>

#include "platform/ByteSearch.h"

namespace bytes {

size_t FindByte(const char* data, size_t size, char byte) {
  const void* const found = std::memchr(data, byte, size);
  return found == nullptr ? size : static_cast<size_t>(static_cast<const char*>(found) - data);
}

}  // namespace bytes
