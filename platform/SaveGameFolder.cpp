#include "platform/SaveGameFolder.h"

std::optional<std::string> FindSaveGameFolder() {
  const std::optional<std::string> exePath = game_install::ReadExePath();
  if (!exePath) return std::nullopt;
  return game_install::LocalPath(*exePath + "\\SaveGame\\");
}
