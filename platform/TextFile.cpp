#include "platform/TextFile.h"

namespace {

// Text is collected up to this size before it goes to the file in one write.
constexpr size_t kFlushThreshold = 64 * 1024;

}  // namespace

TextFile::TextFile(BinaryFile& file) : m_file(file) { m_pending.reserve(kFlushThreshold + 2); }

void TextFile::WriteString(std::string_view text) {
  // Whole lines at a time: the text between line feeds is copied as it is.
  for (size_t lineEnd = text.find('\n'); lineEnd != std::string_view::npos; lineEnd = text.find('\n')) {
    m_pending.append(text.substr(0, lineEnd)).append("\r\n");
    text.remove_prefix(lineEnd + 1);
    if (m_pending.size() >= kFlushThreshold) Flush();
  }
  m_pending.append(text);
  if (m_pending.size() >= kFlushThreshold) Flush();
}

void TextFile::Flush() {
  m_file.Write({reinterpret_cast<const uint8_t*>(m_pending.data()), m_pending.size()});
  m_pending.clear();
}
