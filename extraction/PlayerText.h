#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "recgame/Players.h"

namespace extraction {

// The words every front end shows for a player: civilization, colour, team and type by name, the
// name read in a code page with nothing in it that could pose as other text.

// "Teutons"; nothing for a number without a name. 1 to 18 are The Conquerors', the rest later data's.
std::optional<std::string_view> CivilizationName(uint8_t civilization);
// "red"; nothing beyond the eight colours of a game.
std::optional<std::string_view> ColourName(uint8_t colour);
// The team (1 to 4, or more as stored) of the stored byte: 2 is team 1, and so on; nothing for no team.
std::optional<int> TeamNumber(uint8_t stored);

// "Teutons", else "civilization 40"; "red", else "colour 13"; "team 1", or "no team"; "human",
// "computer", else "type 3".
std::string CivilizationText(uint8_t civilization);
std::string ColourText(uint8_t colour);
std::string TeamText(uint8_t stored);
std::string PlayerTypeText(int32_t type);

// The name as text shows it: read in the code page, with control, bidirectional and invisible
// characters escaped as every stranger's text is; a name that is no text of the code page shows each
// byte beyond ASCII escaped.
std::string ShownName(std::string_view bytes, const platform::CodePage& page);

// "player 3, 齐谷德, Vikings, green, team 2": who a script is, in one line of text.
std::string DescribePlayer(const recgame::Player& player, const platform::CodePage& page);

}  // namespace extraction
