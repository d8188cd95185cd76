#include <zlib.h>

#include <algorithm>
#include <array>
#include <exception>
#include <new>
#include <string_view>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"
#include "platform/TemporaryFile.h"
#include "recgame/ByteReader.h"
#include "recgame/Framing.h"
#include "recgame/RecGameHeader.h"

namespace recgame {

namespace {

// The inflated header passes through one chunk of this size at a time.
constexpr size_t kInflateChunk = 131072;

// Checks the framing and reads the compressed header; false when the file is broken.
bool ReadCompressedHeader(platform::BinaryFile& recGame, const std::string& path, const LoadOptions& options,
                          std::vector<uint8_t>* compressed) {
  std::array<uint8_t, 4> field{};
  if (recGame.Read(field) < field.size()) return false;
  const std::optional<CompressedRange> range =
      FindCompressedHeader(ByteReader::DecodeFixed32(field), recGame.GetLength(), path, options.salvage);
  if (!range) return false;
  if (range->offset > field.size())
    recGame.Seek(range->offset - int64_t{field.size()}, platform::BinaryFile::SeekOrigin::kCurrent);
  compressed->resize(range->length);  // at most kMaxCompressedLength
  // The file may have been cut short since its length was taken.
  return recGame.Read(*compressed) == compressed->size();
}

// A raw deflate stream (no zlib wrapper, no checksum) over one input buffer, ended on every way out
// of its scope.
class RawInflater {
 public:
  explicit RawInflater(std::span<uint8_t> input) {
    m_stream.next_in = input.data();
    m_stream.avail_in = static_cast<uInt>(input.size());
    const int result = inflateInit2(&m_stream, -MAX_WBITS);
    // Lack of memory is no fault of the file, and is reported as what it is.
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    m_ready = result == Z_OK;
  }
  ~RawInflater() {
    if (m_ready) inflateEnd(&m_stream);
  }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;

  bool Ready() const { return m_ready; }

  // Inflates as much as fits into the chunk; returns zlib's result and the size that was produced.
  int Inflate(std::span<uint8_t> chunk, size_t* produced) {
    m_stream.next_out = chunk.data();
    m_stream.avail_out = static_cast<uInt>(chunk.size());
    const int result = inflate(&m_stream, Z_SYNC_FLUSH);
    // The window is allocated by the first call that needs it.
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    *produced = chunk.size() - m_stream.avail_out;
    return result;
  }

 private:
  z_stream m_stream{};
  bool m_ready = false;
};

// Inflates the compressed header into the file chunk by chunk. Returns the number of bytes
// inflated, or 0 when the stream is corrupt, cut short, empty or larger than kMaxHeaderLength.
uint32_t InflateToFile(std::span<uint8_t> compressed, platform::BinaryFile& file) {
  RawInflater inflater(compressed);
  if (!inflater.Ready()) return 0;

  std::vector<uint8_t> chunk(kInflateChunk);
  uint32_t total = 0;
  int result = Z_OK;
  size_t produced = 0;
  do {
    result = inflater.Inflate(chunk, &produced);
    // Stop before the scratch file grows past the limit.
    if (produced > kMaxHeaderLength - total) return 0;
    file.Write(std::span(chunk).first(produced));
    total += static_cast<uint32_t>(produced);
  } while (result == Z_OK && produced == chunk.size());

  return result == Z_STREAM_END ? total : 0;
}

}  // namespace

uint64_t EstimateInFlight(const std::string& path, const LoadOptions& options) noexcept {
  try {
    platform::BinaryFile recGame;
    std::array<uint8_t, 4> field{};
    if (!recGame.OpenForReading(path) || recGame.Read(field) < field.size()) return 0;
    const uint64_t fileLength = recGame.GetLength();
    const uint32_t headerLength = ByteReader::DecodeFixed32(field);
    uint64_t compressed = std::min<uint64_t>(headerLength, fileLength);
    if (headerLength == 0 && options.salvage) compressed = fileLength;
    compressed = std::min<uint64_t>(compressed, kMaxCompressedLength);
    return compressed + std::min<uint64_t>(compressed * kInflationEstimate, kMaxHeaderLength);
  } catch (const std::exception&) {
    // A file that fails to read, or memory that runs out: the load itself reports it.
    return 0;
  }
}

void RecGameHeader::Hold(std::shared_ptr<const uint8_t[]> bytes, uint32_t length,
                         std::optional<os::FileIdentity> source) {
  m_bytes = std::move(bytes);
  m_length = length;
  m_source = source;
}

void RecGameHeader::Release() {
  m_bytes.reset();
  m_length = 0;
  m_source.reset();
}

ReadResult LoadRecGame(const std::string& path, RecGameHeader* header, std::string* failure,
                       const LoadOptions& options) {
  header->Release();

  platform::BinaryFile recGame;
  if (!recGame.OpenForReading(path)) return ReadResult::kCannotOpen;
  std::vector<uint8_t> compressed;
  if (!ReadCompressedHeader(recGame, path, options, &compressed)) return ReadResult::kBroken;

  platform::TemporaryFile temporary;
  if (!temporary.Create(path)) {
    *failure = "cannot create a temporary file (" + temporary.FailureText() + ")";
    return ReadResult::kCannotOpen;
  }
  const uint32_t inflatedLength = InflateToFile(compressed, temporary.File());
  compressed = std::vector<uint8_t>();
  if (inflatedLength == 0) return ReadResult::kBroken;
  if (options.beforeHolding) options.beforeHolding(inflatedLength);

  // Left uninitialised, as the read fills it whole.
  std::shared_ptr<uint8_t[]> bytes(new uint8_t[inflatedLength]);
  platform::BinaryFile& file = temporary.File();
  file.Seek(0, platform::BinaryFile::SeekOrigin::kBegin);
  if (file.Read({bytes.get(), inflatedLength}) != inflatedLength) {
    throw platform::FileError("read", file.Path(), "the file is shorter than what was written to it");
  }
  header->Hold(std::move(bytes), inflatedLength, recGame.Identity());
  recGame.Close();
  return ReadResult::kOk;
}

}  // namespace recgame
