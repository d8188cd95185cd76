#include "tests/frontend/GameRegistry.h"

#include <stdexcept>

#include "platform/WideText.h"

namespace frontend_test {
namespace {

constexpr const wchar_t* kGameKey =
    L"SOFTWARE\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0";
constexpr const wchar_t* kExePathValue = L"EXE Path";

}  // namespace

void SetExePath(REGSAM view, DWORD type, const std::string& text) {
  HKEY hKey = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &hKey, nullptr) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the game's registry key");
  }
  const std::wstring data = platform::WideFromUtf8(text);
  const LSTATUS status = RegSetValueExW(hKey, kExePathValue, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                        static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  RegCloseKey(hKey);
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot set the game's registry value");
}

void SetExePath(const std::string& path) { SetExePath(KEY_WOW64_32KEY, REG_SZ, path + '\0'); }

void RemoveExePath() {
  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_SET_VALUE | view, &hKey) != ERROR_SUCCESS) continue;
    RegDeleteValueW(hKey, kExePathValue);
    RegCloseKey(hKey);
  }
}

}  // namespace frontend_test
