#pragma once

namespace recgame {

// What reading a recorded game gave. The numbers are the ones the program has always reported.
enum class [[nodiscard]] ReadResult : int {
  kOk = 0,
  kCannotOpen = 1,  // the recorded game, or any temporary file for it, cannot be opened
  kNoAiScript = 2,
  kBroken = 3,      // bad framing, or a compressed header that does not inflate whole
};

}  // namespace recgame
