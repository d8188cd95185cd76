#pragma once

#include <cstddef>
#include <string_view>

// A search through bytes, such as the players' tables' marks in a header of megabytes.
namespace bytes {

// Where `pattern` (not empty) first occurs in `text` at or after `from`; npos when it does not.
size_t Find(std::string_view text, std::string_view pattern, size_t from = 0);

// Where `byte` first occurs in the `size` bytes at `data`; `size` when it does not. It looks at 16
// bytes at a time, with WebAssembly SIMD in the page.
size_t FindByte(const char* data, size_t size, char byte);

}  // namespace bytes
