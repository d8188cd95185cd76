#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace recgame {

// Which files are recorded games, and the order they are listed in, by their names alone.

// A name whose extension is "mg" and one more character, in any case, as the dialog takes them.
bool IsRecGameName(std::string_view name);
// The recorded games among the names, as indexes into them, sorted without regard to ASCII case;
// names equal that way go by their bytes, so the order is total.
std::vector<size_t> ListedRecGames(const std::vector<std::string>& names);

}  // namespace recgame
