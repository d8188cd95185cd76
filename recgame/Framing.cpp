#include "recgame/Framing.h"

#include <algorithm>
#include <cctype>

namespace recgame {

namespace {

// The smallest header length that leaves room for a compressed header after the preamble.
constexpr uint32_t kMinHeaderLength = 9;

bool HasMglName(std::string_view name) {
  if (name.size() < 3) return false;
  std::string_view tail = name.substr(name.size() - 3);
  return std::equal(tail.begin(), tail.end(), std::string_view("mgl").begin(),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

std::optional<CompressedRange> FindCompressedHeader(uint32_t headerLength, uint64_t fileLength,
                                                    std::string_view name, bool salvage) {
  const uint32_t preamble = HasMglName(name) ? 4 : 8;
  if (headerLength == 0 && salvage) {
    if (fileLength < kMinHeaderLength) return std::nullopt;
    return CompressedRange{preamble, static_cast<uint32_t>(std::min<uint64_t>(fileLength - preamble, kMaxCompressedLength))};
  }
  if (fileLength < headerLength || headerLength < kMinHeaderLength || headerLength - preamble > kMaxCompressedLength) {
    return std::nullopt;
  }
  return CompressedRange{preamble, headerLength - preamble};
}

}  // namespace recgame
