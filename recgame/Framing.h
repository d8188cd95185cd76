#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "recgame/RecGameHeader.h"

namespace recgame {

// Deflate never makes data more than a few bytes per 64 KiB block larger, so a compressed header
// beyond this cannot stay within kMaxHeaderLength; it is refused before it is read into memory.
constexpr uint32_t kMaxCompressedLength = kMaxHeaderLength + kMaxHeaderLength / 256;

// Where a recorded game's compressed header lies in its file: after the preamble, 4 bytes for a file
// named *.mgl (any case) and 8 for the others, up to the length its header-length field gives.
struct CompressedRange {
  uint32_t offset = 0;
  uint32_t length = 0;
};

// The range by the file's header-length field and length; nothing when the framing is broken. With
// `salvage`, a field of 0 gives the rest of the file, at most kMaxCompressedLength: the inflater
// stops where the stream ends. Both loaders, from a file and from memory, frame a game by this.
std::optional<CompressedRange> FindCompressedHeader(uint32_t headerLength, uint64_t fileLength,
                                                    std::string_view name, bool salvage);

}  // namespace recgame
