#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace recgame {

// Who played a recorded game, as its inflated header records it after the map: the lobby's table
// (each player's number, type and name), each player's civilization and colour, and the teams. The
// AI section names no player; the k-th script is the k-th computer player's, counted by player
// number. A rule inferred from real games, not documented, so a game where the counts disagree has
// no players rather than guessed ones.

// A player's type in the lobby. Other values (0 an empty slot, 1 a closed one) are kept as stored
// and are neither.
inline constexpr int32_t kHumanPlayer = 2;
inline constexpr int32_t kComputerPlayer = 4;
// Players are numbered from 1; GAIA is 0.
inline constexpr int32_t kMaxPlayerNumber = 8;

struct Player {
  int32_t number = 0;  // 1 to 8; the players of a co-op team share one
  int32_t type = 0;    // as stored
  std::string name;    // the lobby's bytes, in the code page of the machine that recorded the game
  uint8_t civilization = 0;      // as stored: 1 Britons to 18 Koreans, more with later data
  uint8_t colour = 0;            // as stored: 0 blue to 7 orange
  uint8_t team = 0;              // as stored: 1 no team, 2 to 5 teams 1 to 4
  std::optional<size_t> script;  // of a computer player: its script (from 0)

  bool operator==(const Player&) const = default;
};

// The players of the game in number order (co-op players in the lobby's order), humans too, each
// computer player tied to one of the `scriptCount` scripts of the AI section. Nothing when a table
// cannot be read soundly, or when the computer players are not as many as the scripts. Reads only
// inside the header, and only a few passes over it: from `tablesFrom` on, where the AI section ends,
// since the tables follow it.
std::optional<std::vector<Player>> ReadPlayers(std::span<const uint8_t> header, size_t scriptCount,
                                               size_t tablesFrom = 0);

}  // namespace recgame
