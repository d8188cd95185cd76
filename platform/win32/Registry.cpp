#include "platform/win32/Registry.h"

#include <algorithm>
#include <vector>

std::optional<std::string> RegQueryString(HKEY hKey, const char* lpSubKey, REGSAM samDesired, const char* lpValueName,
                                          DWORD cbBuffer) {
  HKEY hSubKey = nullptr;
  if (RegOpenKeyExA(hKey, lpSubKey, 0, samDesired, &hSubKey) != ERROR_SUCCESS) return std::nullopt;
  std::vector<char> buffer(cbBuffer);
  DWORD dwType = REG_NONE;
  DWORD cbData = cbBuffer;
  const LSTATUS status =
      RegQueryValueExA(hSubKey, lpValueName, nullptr, &dwType, reinterpret_cast<BYTE*>(buffer.data()), &cbData);
  RegCloseKey(hSubKey);
  if (status != ERROR_SUCCESS || dwType != REG_SZ) return std::nullopt;

  const auto data = buffer.begin() + static_cast<std::ptrdiff_t>(cbData);
  const auto end = std::find(buffer.begin(), data, '\0');
  // A value may be stored without its terminating zero; it needs room for one all the same.
  if (end == data && cbData == cbBuffer) return std::nullopt;
  return std::string(buffer.begin(), end);
}
