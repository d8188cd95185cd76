#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/ConsoleText.h"
#include "platform/WideText.h"

void WriteConsoleText(ConsoleStream stream, std::string_view text) {
  const bool output = stream == ConsoleStream::kOutput;
  const HANDLE hConsole = GetStdHandle(output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD dwMode = 0;
  if (GetConsoleMode(hConsole, &dwMode)) {
    const std::wstring wide = WideFromUtf8(text);
    DWORD written = 0;
    WriteConsoleW(hConsole, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // The runtime's stream ends the lines as Windows text files do.
  std::FILE* const file = output ? stdout : stderr;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fflush(file);
}
