#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "platform/BinaryFile.h"

// An output text stream in Windows text mode on every system: each LF byte it is given reaches the
// file as CR LF and every other byte passes unchanged, so a script file is byte-identical whichever
// system wrote it. A failed write throws FileError. Destroyed without Flush, which happens only on a
// path that is already failing, it drops what is pending.
class TextFile {
 public:
  explicit TextFile(BinaryFile& file) : m_file(file) {}
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void WriteString(std::string_view text);
  // Hands what is pending to the file.
  void Flush();

 private:
  static constexpr size_t kBufferSize = 64 * 1024;

  BinaryFile& m_file;
  std::array<char, kBufferSize> m_pending;  // translated text not yet handed to the file
  size_t m_used = 0;
};
