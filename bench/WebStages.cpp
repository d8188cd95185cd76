// The page's extraction stage by stage, for bench/web-bench.mjs: the core the page runs
// (web/VelkorinWeb.cpp) with each step timed, and the floor they are measured against, libdeflate's
// inflate alone of the same compressed header. Built beside the page's module; the page does not carry it.
#include <emscripten/emscripten.h>
#include <libdeflate.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recgame/ByteReader.h"
#include "recgame/Framing.h"
#include "recgame/LoadFromMemory.h"
#include "extraction/AiScript.h"

namespace {

std::string g_text;  // script 1 of the last game timed

struct FreeDecompressor {
  void operator()(libdeflate_decompressor* decompressor) const { libdeflate_free_decompressor(decompressor); }
};

// The milliseconds libdeflate takes to inflate the compressed header into a buffer of its inflated
// size, both made before; 0 when the game has no header to inflate.
double InflateAlone(std::span<const uint8_t> leading, uint64_t length, std::string_view name, uint32_t inflated) {
  if (leading.size() < 4 || inflated == 0) return 0;
  const std::optional<recgame::CompressedRange> range =
      recgame::FindCompressedHeader(recgame::ByteReader::DecodeFixed32(leading.first<4>()), length, name, false);
  if (!range) return 0;
  const std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(libdeflate_alloc_decompressor());
  std::vector<uint8_t> out(inflated);
  const double start = emscripten_get_now();
  const libdeflate_result result = libdeflate_deflate_decompress(
      decompressor.get(), leading.data() + range->offset, range->length, out.data(), out.size(), nullptr);
  const double elapsed = emscripten_get_now() - start;
  return result == LIBDEFLATE_SUCCESS ? elapsed : 0;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE uint32_t stages_bytes_to_read(const uint8_t* field, size_t size, double length, const char* name) {
  return recgame::LeadingBytesToLoad({field, size}, static_cast<uint64_t>(length), name, false);
}

// Extracts script 1 of the game from its leading bytes as velkorin_extract does, and puts the
// milliseconds of each step into `times`: loading (framing and inflating), reading the AI section,
// writing the text, and the floor. The script's size, then at stages_text; -1 when there is none.
EMSCRIPTEN_KEEPALIVE int stages_extract(const uint8_t* bytes, size_t size, double length, const char* name,
                                        double* times) {
  const std::span<const uint8_t> leading(bytes, size);
  extraction::CAiScript script;
  uint32_t inflated = 0;
  double loaded = 0;
  const double start = emscripten_get_now();
  const recgame::ReadResult read = script.LoadAndParse(
      [&](recgame::RecGameHeader* header, std::string*) {
        const recgame::ReadResult result =
            recgame::LoadRecGameFromMemory(leading, static_cast<uint64_t>(length), name, header);
        loaded = emscripten_get_now();
        inflated = static_cast<uint32_t>(header->Bytes().size());
        return result;
      },
      false);
  const double parsed = emscripten_get_now();
  g_text.clear();
  const bool written = read == recgame::ReadResult::kOk && script.WritePerText(&g_text, 0) == script::WriteResult::kOk;
  const double done = emscripten_get_now();
  times[0] = loaded - start;
  times[1] = parsed - loaded;
  times[2] = done - parsed;
  times[3] = InflateAlone(leading, static_cast<uint64_t>(length), name, inflated);
  return written ? static_cast<int>(g_text.size()) : -1;
}

EMSCRIPTEN_KEEPALIVE const char* stages_text() { return g_text.data(); }

}  // extern "C"
