#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/ConsoleText.h"
#include "platform/WideText.h"

namespace platform {

namespace {

HANDLE StandardHandle(ConsoleStream stream) {
  return GetStdHandle(stream == ConsoleStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

}  // namespace

// A console is what has a console mode; the runtime's _isatty also says yes to the NUL device.
bool IsTerminal(ConsoleStream stream) {
  DWORD dwMode = 0;
  return GetConsoleMode(StandardHandle(stream), &dwMode) != 0;
}

void WriteConsoleText(ConsoleStream stream, std::string_view text) {
  const bool output = stream == ConsoleStream::kOutput;
  const HANDLE hConsole = StandardHandle(stream);
  if (IsTerminal(stream)) {
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

}  // namespace platform
