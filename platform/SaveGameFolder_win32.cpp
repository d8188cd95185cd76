#include "platform/SaveGameFolder.h"
#include "platform/win32/Registry.h"

namespace game_install {

namespace {

// The dialog's buffer for the value, with its terminating zero.
constexpr DWORD kExePathBuffer = 1024;

}  // namespace

std::optional<std::string> ReadExePath() {
  return RegQueryString(HKEY_LOCAL_MACHINE, kGameKey, KEY_READ | KEY_WOW64_32KEY, kExePathValue, kExePathBuffer);
}

std::optional<std::string> LocalPath(const std::string& windowsPath) { return windowsPath; }

}  // namespace game_install
