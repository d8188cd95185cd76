#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/BinaryFile.h"

namespace platform {

// An output text stream in Windows text mode on every system: each LF byte it is given reaches the
// file as CR LF and every other byte passes unchanged, so a script file is byte-identical whichever
// system wrote it. It writes to a file, where a failed write throws FileError, or appends to text in
// memory, which a page offers for download as it is. Destroyed without Flush, which happens only on
// a path that is already failing, it drops what is pending.
class TextFile {
 public:
  explicit TextFile(BinaryFile& file) : m_file(&file) {}
  explicit TextFile(std::string& memory) : m_memory(&memory) {}
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void WriteString(std::string_view text);
  // Hands what is pending to the file.
  void Flush();

 private:
  static constexpr size_t kBufferSize = 64 * 1024;

  BinaryFile* m_file = nullptr;   // one of these two is the sink
  std::string* m_memory = nullptr;
  std::array<char, kBufferSize> m_pending;  // translated text not yet handed to the file
  size_t m_used = 0;
};

}  // namespace platform
