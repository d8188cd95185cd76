#include "platform/SaveGameFolder.h"

namespace platform {

std::optional<std::string> FindSaveGameFolder() {
  const std::optional<std::string> exePath = game_install::ReadExePath();
  if (!exePath) return std::nullopt;
  return game_install::LocalPath(*exePath + "\\SaveGame\\");
}

}  // namespace platform
