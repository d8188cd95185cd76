#include <unistd.h>

#include <cstdio>

#include "platform/ConsoleText.h"

namespace platform {

void WriteConsoleText(ConsoleStream stream, std::string_view text) {
  std::FILE* const file = stream == ConsoleStream::kOutput ? stdout : stderr;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fflush(file);
}

bool IsTerminal(ConsoleStream stream) {
  return isatty(stream == ConsoleStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace platform
