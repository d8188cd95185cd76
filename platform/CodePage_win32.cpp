#include <windows.h>

#include "platform/CodePage.h"
#include "platform/WideText.h"

namespace platform {

std::optional<std::string> DecodeCodePage(std::string_view bytes, const CodePage& page) {
  if (bytes.empty()) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(page.windowsNumber, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(page.windowsNumber, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return Utf8FromWide(wide);
}

CodePage SystemCodePage() { return {"ansi", CP_ACP, ""}; }

}  // namespace platform
