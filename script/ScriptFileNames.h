#pragma once

#include <cstddef>
#include <string>
#include <vector>

// How the script files of several recorded games are named side by side in one folder or zip.

namespace script {

// The most scripts a recorded game holds: one per player.
inline constexpr size_t kMaxScripts = 8;

// "BASE.per" for the first script (from 0), "BASE-N.per" for the N-th.
std::string ScriptFileName(const std::string& base, size_t script);
// The base of each game's script files: its name without the extension, or with it where two games'
// script files could meet, also in a folder that ignores case ("a.mgx" and "A.mgz", or "a.mgx" with
// a second script and "a-2.mgx"). Chosen from the names alone, before any game is read, so every
// run over the same games names its files alike.
std::vector<std::string> ScriptBases(const std::vector<std::string>& gameNames);

}  // namespace script
