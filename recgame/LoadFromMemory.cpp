#include "recgame/LoadFromMemory.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "recgame/ByteReader.h"
#include "recgame/Framing.h"

namespace recgame {

namespace {

constexpr size_t kFieldSize = 4;

std::optional<CompressedRange> RangeOf(std::span<const uint8_t> leading, uint64_t fileLength, std::string_view name,
                                       bool salvage) {
  if (leading.size() < kFieldSize) return std::nullopt;
  return FindCompressedHeader(ByteReader::DecodeFixed32(leading.first<kFieldSize>()), fileLength, name, salvage);
}

struct FreeDecompressor {
  void operator()(libdeflate_decompressor* decompressor) const { libdeflate_free_decompressor(decompressor); }
};

// Inflates the raw deflate stream into a buffer of `capacity` bytes; the bytes and their length, or
// nothing when the stream needs more room or is corrupt, cut short or empty.
std::optional<std::pair<std::shared_ptr<uint8_t[]>, uint32_t>> Inflate(std::span<const uint8_t> compressed,
                                                                     uint32_t capacity, bool* needsRoom) {
  const std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(libdeflate_alloc_decompressor());
  if (!decompressor) throw std::bad_alloc();
  // Left uninitialised, as the inflater writes what it gives.
  std::shared_ptr<uint8_t[]> bytes(new uint8_t[capacity]);
  size_t produced = 0;
  const libdeflate_result result =
      libdeflate_deflate_decompress(decompressor.get(), compressed.data(), compressed.size(), bytes.get(), capacity,
                                    &produced);
  *needsRoom = result == LIBDEFLATE_INSUFFICIENT_SPACE;
  if (result != LIBDEFLATE_SUCCESS || produced == 0) return std::nullopt;
  return std::pair(std::move(bytes), static_cast<uint32_t>(produced));
}

}  // namespace

uint32_t LeadingBytesToLoad(std::span<const uint8_t> field, uint64_t fileLength, std::string_view name,
                            bool salvage) {
  const std::optional<CompressedRange> range = RangeOf(field, fileLength, name, salvage);
  return range ? range->offset + range->length : static_cast<uint32_t>(std::min<uint64_t>(fileLength, kFieldSize));
}

ReadResult LoadRecGameFromMemory(std::span<const uint8_t> leading, uint64_t fileLength, std::string_view name,
                                 RecGameHeader* header, const LoadOptions& options) {
  header->Release();
  const std::optional<CompressedRange> range = RangeOf(leading, fileLength, name, options.salvage);
  if (!range || leading.size() < uint64_t{range->offset} + range->length) return ReadResult::kBroken;
  const std::span<const uint8_t> compressed = leading.subspan(range->offset, range->length);
  // Headers inflate to about 12 times their compressed size; a larger one is inflated again with all
  // the room a header may take, so that one beyond it is refused as zlib's loader refuses it.
  const uint32_t guess = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{range->length} * kInflationEstimate, kMaxHeaderLength));
  bool needsRoom = false;
  auto inflated = Inflate(compressed, guess, &needsRoom);
  if (!inflated && needsRoom && guess < kMaxHeaderLength) inflated = Inflate(compressed, kMaxHeaderLength, &needsRoom);
  if (!inflated) return ReadResult::kBroken;
  header->Hold(std::move(inflated->first), inflated->second, std::nullopt);
  return ReadResult::kOk;
}

}  // namespace recgame
