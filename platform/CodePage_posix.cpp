#include <errno.h>
#include <iconv.h>

#include <memory>

#include "platform/CodePage.h"

namespace platform {

std::optional<std::string> DecodeCodePage(std::string_view bytes, const CodePage& page) {
  const iconv_t converter = iconv_open("UTF-8", page.iconvName);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const std::unique_ptr<void, int (*)(iconv_t)> closing(converter, iconv_close);
  // No character of these code pages takes more than four bytes of UTF-8, nor less than one byte.
  std::string text(bytes.size() * 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* out = text.data();
  size_t outLeft = text.size();
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  // A sequence cut at the end is no character either.
  if (iconv(converter, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  text.resize(text.size() - outLeft);
  return text;
}

}  // namespace platform
