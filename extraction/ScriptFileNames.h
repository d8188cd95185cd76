#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace extraction {

// The names extract-all gives the script files of a folder's recorded games, and the page its zip's.

// The most scripts a recorded game holds: one per player.
inline constexpr size_t kMaxScripts = 8;

// The text with every character replaced by its Unicode simple case folding (CaseFolding.txt's C
// and S mappings), as a folder that ignores case compares names; two names are the same there when
// their foldings are equal. A byte that is no part of valid UTF-8 stands for itself, apart from
// every character.
std::u32string FoldCase(std::string_view utf8);

// "BASE.per" for the first script, "BASE-N.per" for the N-th.
std::string ScriptFileName(const std::string& base, size_t script);

// The base of each game's script files, for games named `names` (in the folder's order): the name
// without its extension, or, where two games' script files could meet, also in a folder that
// ignores case ("a.mgx" and "A.mgz", or "a.mgx" with a second script and "a-2.mgx"), the whole
// name. Where whole names still meet ("a.mgx" and "A.MGX"), the first game keeps its name and each
// later one takes "~2", "~3", … after it, until no two games could write files of the same name.
// A name that is only an extension (".mgx") gives it without the dot. The bases depend on the names
// alone, so every run over the folder, on every system, names its files alike.
std::vector<std::string> ScriptBases(const std::vector<std::string>& names);

}  // namespace extraction
