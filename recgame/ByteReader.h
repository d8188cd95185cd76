#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace recgame {

// A cursor over a range of bytes that decodes little-endian integers. Every read and skip checks
// what is left first and fails without moving when the range is too short, so a parser built on it
// cannot read outside its data, whatever the data claims.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : m_rest(bytes) {}

  size_t Remaining() const { return m_rest.size(); }

  bool Skip(size_t count) {
    if (count > m_rest.size()) return false;
    m_rest = m_rest.subspan(count);
    return true;
  }

  bool ReadBytes(size_t count, std::span<const uint8_t>* bytes) {
    if (count > m_rest.size()) return false;
    *bytes = m_rest.first(count);
    m_rest = m_rest.subspan(count);
    return true;
  }

  bool ReadU32(uint32_t* value) {
    std::span<const uint8_t> b;
    if (!ReadBytes(4, &b)) return false;
    *value = DecodeFixed32(b.first<4>());
    return true;
  }

  bool ReadI32(int32_t* value) {
    uint32_t raw = 0;
    if (!ReadU32(&raw)) return false;
    *value = static_cast<int32_t>(raw);
    return true;
  }

  bool ReadI16(int16_t* value) {
    std::span<const uint8_t> b;
    if (!ReadBytes(2, &b)) return false;
    *value = static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
    return true;
  }

  bool ReadI8(int8_t* value) {
    std::span<const uint8_t> b;
    if (!ReadBytes(1, &b)) return false;
    *value = static_cast<int8_t>(b[0]);
    return true;
  }

  // The little-endian value of four bytes.
  static uint32_t DecodeFixed32(std::span<const uint8_t, 4> b) {
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
           (static_cast<uint32_t>(b[3]) << 24);
  }

 private:
  std::span<const uint8_t> m_rest;
};

}  // namespace recgame
