// libFuzzer target for the reader of who played: any bytes as an inflated header, with any number of
// scripts to tie, must give players or none, never a crash, a hang or a read out of bounds, and the
// players it gives must be what a header can hold.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>

#include "recgame/Players.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  if (input.empty()) return 0;
  // The first byte is how many scripts the AI section held, 0 to 8.
  const size_t scripts = input[0] % 9;
  const auto players = recgame::ReadPlayers(input.subspan(1), scripts);
  if (!players) return 0;
  size_t tied = 0;
  int32_t previous = 0;
  for (const recgame::Player& player : *players) {
    const bool computer = player.type == recgame::kComputerPlayer;
    if (player.number < 1 || player.number > 8 || player.number < previous || player.name.size() > 64 ||
        computer != player.script.has_value() || (player.script && *player.script >= scripts)) {
      std::abort();
    }
    if (player.script) tied = std::max(tied, *player.script + 1);
    previous = player.number;
  }
  if (tied != scripts) std::abort();
  return 0;
}
