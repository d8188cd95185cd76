#include "platform/TextFile.h"

namespace {

// Pieces of text are collected up to this size before they go to the file in one write.
constexpr size_t kFlushThreshold = 64 * 1024;

}  // namespace

TextFile::TextFile() { m_pending.reserve(kFlushThreshold + 2); }

bool TextFile::Create(const std::string& path) {
  m_pending.clear();
  return m_file.Open(path, BinaryFile::Mode::kCreateWrite);
}

void TextFile::AttachStandardOutput() {
  m_pending.clear();
  m_file.AttachStandardOutput();
}

void TextFile::WriteString(std::string_view text) {
  for (const char c : text) {
    if (c == '\n') m_pending.push_back('\r');
    m_pending.push_back(static_cast<uint8_t>(c));
    if (m_pending.size() >= kFlushThreshold) Flush();
  }
}

void TextFile::Close() {
  Flush();
  m_file.Close();
}

void TextFile::Flush() {
  m_file.Write(m_pending);
  m_pending.clear();
}
