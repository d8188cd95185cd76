#include "platform/TextFile.h"

#include <algorithm>
#include <cstring>

namespace platform {

void TextFile::WriteString(std::string_view text) {
  while (!text.empty()) {
    // Room for the worst case of each piece: every byte a line feed.
    const size_t piece = std::min(text.size(), (kBufferSize - m_used) / 2);
    if (piece == 0) {
      Flush();
      continue;
    }
    const char* in = text.data();
    const char* const end = in + piece;
    char* out = m_pending.data() + m_used;
    // Whole lines at a time: the bytes between line feeds are copied as they are.
    while (in != end) {
      const auto* lineFeed = static_cast<const char*>(std::memchr(in, '\n', static_cast<size_t>(end - in)));
      const char* const stop = lineFeed != nullptr ? lineFeed : end;
      std::memcpy(out, in, static_cast<size_t>(stop - in));
      out += stop - in;
      in = stop;
      if (lineFeed != nullptr) {
        *out++ = '\r';
        *out++ = '\n';
        ++in;
      }
    }
    m_used = static_cast<size_t>(out - m_pending.data());
    text.remove_prefix(piece);
  }
}

void TextFile::Flush() {
  if (m_memory != nullptr) {
    m_memory->append(m_pending.data(), m_used);
  } else {
    m_file->Write({reinterpret_cast<const uint8_t*>(m_pending.data()), m_used});
  }
  m_used = 0;
}

}  // namespace platform
