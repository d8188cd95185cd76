#include "platform/StandardError.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/WideText.h"

void WriteStandardError(std::string_view text) {
  const HANDLE hError = GetStdHandle(STD_ERROR_HANDLE);
  DWORD dwMode = 0;
  if (GetConsoleMode(hError, &dwMode)) {
    const std::wstring wide = WideFromUtf8(text);
    DWORD written = 0;
    WriteConsoleW(hError, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // The runtime's stream ends the lines as Windows text files do.
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}
