// libFuzzer target for the whole extraction: any bytes, as a recorded-game file or as the inflated
// header inside a well-framed one, must give a result code or a script, never a crash, a hang or a
// read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "extraction/AiScript.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

// The first byte chooses how the rest is used: its low bits the mode, its high bit salvaging.
enum Mode : uint8_t {
  kRawMgx,     // the bytes are a whole .mgx file
  kRawMgl,     // the bytes are a whole .mgl file
  kHeader,     // the bytes are the inflated header of a well-framed .mgx file
};

// Every script of the game, with or without salvaging a header-length field of 0.
void Extract(const std::string& path, bool salvage) {
  extraction::CAiScript script;
  if (script.LoadAndParse(path, {.salvage = salvage}) != recgame::ReadResult::kOk) return;
  for (size_t n = 0; n < script.ScriptCount(); ++n) static_cast<void>(script.WritePer("/dev/null", n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testkit::ScratchDir dir;
  const std::span<const uint8_t> input(data, size);
  if (input.empty()) return 0;
  const std::span<const uint8_t> rest = input.subspan(1);
  const bool salvage = (input[0] & 0x80) != 0;
  switch ((input[0] & 0x7F) % 3) {
    case kRawMgx:
      testkit::WriteFile(dir.Path() / "game.mgx", rest);
      Extract(dir.File("game.mgx"), salvage);
      break;
    case kRawMgl:
      testkit::WriteFile(dir.Path() / "game.mgl", rest);
      Extract(dir.File("game.mgl"), salvage);
      break;
    case kHeader:
      testkit::WriteFile(dir.Path() / "game.mgx", testkit::Frame(testkit::Deflate(rest)));
      Extract(dir.File("game.mgx"), salvage);
      break;
  }
  return 0;
}
