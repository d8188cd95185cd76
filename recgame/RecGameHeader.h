#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/OsFile.h"
#include "recgame/ReadResult.h"

namespace recgame {

// The largest inflated header accepted; a stream that inflates beyond it is broken.
constexpr uint32_t kMaxHeaderLength = 64u * 1024 * 1024;

// The inflated header of a recorded game, and which file it came from. Its bytes are shared with
// the rules read from them.
class RecGameHeader {
 public:
  std::span<const uint8_t> Bytes() const { return {m_bytes.get(), m_length}; }
  std::shared_ptr<const uint8_t[]> SharedBytes() const { return m_bytes; }
  // The recorded game that was read; nothing while no header is held.
  const std::optional<os::FileIdentity>& Source() const { return m_source; }

  void Hold(std::shared_ptr<const uint8_t[]> bytes, uint32_t length, std::optional<os::FileIdentity> source);
  void Release();

 private:
  std::shared_ptr<const uint8_t[]> m_bytes;
  uint32_t m_length = 0;  // nonzero exactly when a header is held
  std::optional<os::FileIdentity> m_source;
};

struct LoadOptions {
  // Read what a damaged game still holds. A header-length field of 0, left by a game that stopped
  // before it wrote the field, is taken to mean that the compressed header runs from the preamble to
  // the end of its deflate stream; and a script that claims more rules than the header holds gives
  // the whole ones it has (ParseAi).
  bool salvage = false;
  // Called with the inflated header's length once it is known, after the compressed header is freed
  // and before the inflated one is read into memory; it may wait, for memory to be free.
  std::function<void(uint64_t inflatedLength)> beforeHolding;
};

// What inflating headers gives at most in the recorded games known, about 12 times the compressed
// size, with room to spare; a stream may give up to a thousand times more.
constexpr uint64_t kInflationEstimate = 16;

// Checks the recorded game's framing and inflates its compressed header into `header`, through a
// temporary file. When no temporary file can be created, kCannotOpen comes with `failure` naming
// each file tried and the system's error. A file operation that fails once its file is open throws
// FileError; `header` then holds nothing.
ReadResult LoadRecGame(const std::string& path, RecGameHeader* header, std::string* failure,
                       const LoadOptions& options = {});

// The memory a load of the recorded game is expected to hold at once, before anything is inflated:
// the compressed header, and kInflationEstimate times as much inflated, at most kMaxHeaderLength.
// 0 when the file cannot be read, and the load then says why.
uint64_t EstimateInFlight(const std::string& path, const LoadOptions& options = {}) noexcept;

}  // namespace recgame
