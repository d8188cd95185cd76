#include "platform/TextFile.h"

namespace {

// Pieces of text are collected up to this size before they go to the file in one write.
constexpr size_t kFlushThreshold = 64 * 1024;

}  // namespace

TextFile::TextFile(BinaryFile& file) : m_file(file) { m_pending.reserve(kFlushThreshold + 2); }

void TextFile::WriteString(std::string_view text) {
  for (const char c : text) {
    if (c == '\n') m_pending.push_back('\r');
    m_pending.push_back(static_cast<uint8_t>(c));
    if (m_pending.size() >= kFlushThreshold) Flush();
  }
}

void TextFile::Flush() {
  m_file.Write(m_pending);
  m_pending.clear();
}
