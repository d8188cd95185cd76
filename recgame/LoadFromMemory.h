#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "recgame/RecGameHeader.h"

namespace recgame {

// The page's loader: a recorded game's leading bytes are in memory, as the browser read them, and the
// header is inflated from there in one piece by libdeflate, with no file on the way. It frames a game
// as LoadRecGame does and gives the same results.

// How many of the file's leading bytes LoadRecGameFromMemory reads, by its first four (the
// header-length field; fewer when the file is that short) and its length: up to the end of the
// compressed header, or only the field when the framing is broken.
uint32_t LeadingBytesToLoad(std::span<const uint8_t> field, uint64_t fileLength, std::string_view name,
                            bool salvage);

// LoadRecGame of the file whose leading bytes are `leading` (fewer than LeadingBytesToLoad gives: a
// file cut short since its length was taken) and whose length is `fileLength`. kBroken or kOk; the
// header then has no source file, and `options.beforeHolding` is not called.
ReadResult LoadRecGameFromMemory(std::span<const uint8_t> leading, uint64_t fileLength, std::string_view name,
                                 RecGameHeader* header, const LoadOptions& options = {});

}  // namespace recgame
