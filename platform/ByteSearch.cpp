#include "platform/ByteSearch.h"

#include <cstring>

namespace bytes {

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
