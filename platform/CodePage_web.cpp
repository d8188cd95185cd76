#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/CodePage.h"

namespace platform {

namespace {

// The text of the bytes in the code page named, as UTF-8 after its length (a 32-bit number), in memory
// the caller frees; null when the bytes do not decode, 1 when there is no memory for the text.
EM_JS(uint8_t*, velkorin_decode_code_page, (const char* bytes, size_t size, const char* label), {
  let text;
  try {
    text = new TextDecoder(UTF8ToString(label), {fatal: true}).decode(HEAPU8.slice(bytes, bytes + size));
  } catch (error) {
    return 0;
  }
  const utf8 = new TextEncoder().encode(text);
  const pointer = _malloc(4 + utf8.length);
  if (!pointer) return 1;
  HEAPU32[pointer >> 2] = utf8.length;
  HEAPU8.set(utf8, pointer + 4);
  return pointer;
});

}  // namespace

std::optional<std::string> DecodeCodePage(std::string_view bytes, const CodePage& page) {
  const std::string label(page.name);
  uint8_t* const decoded = velkorin_decode_code_page(bytes.data(), bytes.size(), label.c_str());
  if (decoded == nullptr) return std::nullopt;
  if (decoded == reinterpret_cast<uint8_t*>(1)) throw std::bad_alloc();
  uint32_t length = 0;
  std::memcpy(&length, decoded, sizeof length);
  std::string text(reinterpret_cast<const char*>(decoded) + sizeof length, length);
  std::free(decoded);
  return text;
}

}  // namespace platform
