#pragma once

#include <optional>
#include <string>

// Where the game keeps its recorded games, found as the dialog finds it: the folder named by the
// game's registry value "EXE Path", followed by "\SaveGame\". Nothing when the game's value cannot
// be read or names no folder of this system.
namespace platform {
std::optional<std::string> FindSaveGameFolder();
}  // namespace platform

// The two steps that differ by system: SaveGameFolder_win32.cpp reads the registry itself, and
// SaveGameFolder_wine.cpp reads the registry file of the Wine prefix and maps its drives.
namespace game_install {

// HKEY_LOCAL_MACHINE's key and value, which the 32-bit game keeps in the 32-bit view of the registry.
inline constexpr const char* kGameKey =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0";
inline constexpr const char* kExePathValue = "EXE Path";

// The value's text, a Windows path, as UTF-8; nothing when it is missing or no string.
std::optional<std::string> ReadExePath();
// The Windows path as this system names it; nothing when it leads nowhere here.
std::optional<std::string> LocalPath(const std::string& windowsPath);

}  // namespace game_install
