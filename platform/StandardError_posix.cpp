#include "platform/StandardError.h"

#include <cstdio>

void WriteStandardError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}
