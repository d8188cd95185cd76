#include "script/TextBuffer.h"

#include <algorithm>

namespace script {

void TextBuffer::Grow(size_t count) {
  const size_t capacity = std::max({m_size + count, 2 * m_capacity, size_t{256}});
  // Left uninitialised: only what is appended is ever read.
  std::unique_ptr<char[]> data(new char[capacity]);
  if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
  m_data = std::move(data);
  m_capacity = capacity;
}

}  // namespace script
