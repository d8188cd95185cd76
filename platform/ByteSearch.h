#pragma once

#include <cstddef>
#include <string_view>

// A search through bytes, such as the players' tables' marks in a header of megabytes.
namespace bytes {

// Where `pattern` (not empty) first occurs in `text` at or after `from`; npos when it does not. The
// page's build looks for its first byte 16 bytes at a time with WebAssembly SIMD, since the memchr of
// its C library takes one word at a time (ByteSearch_web.cpp); elsewhere it is the system's memchr.
size_t Find(std::string_view text, std::string_view pattern, size_t from = 0);

}  // namespace bytes
