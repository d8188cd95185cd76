#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "extraction/GameSummary.h"

namespace extraction {

// Games as JSON, as `velkorin list --json` writes them and the page reads them: valid UTF-8 whatever
// the names are, and lossless. A name that is no valid UTF-8 is written with U+FFFD for each stray
// byte, and its exact bytes go in a second member, "nameBytes" (or "folderBytes"), as numbers.

// A JSON string of the text; a byte that is no part of valid UTF-8 becomes U+FFFD.
std::string JsonString(std::string_view text);
// One game on one line: {"name":…,"size":…,"version":…,"numbering":…,"status":…,"scripts":[…],
// "players":[…]}, each script with the number of its player, each player's name read in `names`.
// A player's name beyond plain ASCII also comes as its bytes, "nameBytes", since it is text only in
// the code page chosen.
std::string GameJson(const std::string& name, uint64_t size, const GameSummary& game, const platform::CodePage& names);
// The opening of a listing, up to its list of games: {"folder":…,"games":[ with null for games
// named one by one rather than found in a folder.
std::string ListingJsonOpening(const std::optional<std::string>& folder);

}  // namespace extraction
