#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace script {

// Text being built, in a buffer that grows. Appending is a bounds check and a copy, nothing more:
// the script's text is built here piece by piece, tens of thousands of pieces a script.
class TextBuffer {
 public:
  void Append(std::string_view text) {
    Reserve(text.size());
    char* const end = m_data.get() + m_size;
    // Most pieces are a few bytes long, for which a call to memcpy costs more than the copy.
    if (text.size() <= kShortPiece) {
      for (size_t i = 0; i < text.size(); ++i) end[i] = text[i];
    } else {
      std::memcpy(end, text.data(), text.size());
    }
    m_size += text.size();
  }
  void Append(char c) {
    Reserve(1);
    m_data[m_size++] = c;
  }
  // Room for `count` more bytes; `Extend` then counts those of them that were written at End().
  void Reserve(size_t count) {
    if (m_capacity - m_size < count) Grow(count);
  }
  char* End() { return m_data.get() + m_size; }
  void Extend(size_t count) { m_size += count; }

  std::string_view View() const { return {m_data.get(), m_size}; }
  size_t Size() const { return m_size; }
  void Clear() { m_size = 0; }

 private:
  static constexpr size_t kShortPiece = 16;

  void Grow(size_t count);

  std::unique_ptr<char[]> m_data;
  size_t m_size = 0;
  size_t m_capacity = 0;
};

}  // namespace script
