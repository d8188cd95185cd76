#include "platform/win32/Registry.h"

#include <algorithm>
#include <vector>

#include "platform/WideText.h"

std::optional<std::string> RegQueryString(HKEY hKey, const char* lpSubKey, REGSAM samDesired, const char* lpValueName,
                                          DWORD cchBuffer) {
  HKEY hSubKey = nullptr;
  if (RegOpenKeyExW(hKey, platform::WideFromUtf8(lpSubKey).c_str(), 0, samDesired, &hSubKey) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(cchBuffer);
  DWORD dwType = REG_NONE;
  DWORD cbData = cchBuffer * sizeof(wchar_t);
  const LSTATUS status = RegQueryValueExW(hSubKey, platform::WideFromUtf8(lpValueName).c_str(), nullptr, &dwType,
                                          reinterpret_cast<BYTE*>(buffer.data()), &cbData);
  RegCloseKey(hSubKey);
  if (status != ERROR_SUCCESS || dwType != REG_SZ) return std::nullopt;

  // A stray odd byte at the end is no character.
  const auto data = buffer.begin() + static_cast<std::ptrdiff_t>(cbData / sizeof(wchar_t));
  const auto end = std::find(buffer.begin(), data, L'\0');
  // A value may be stored without its terminating zero; it needs room for one all the same.
  if (end == buffer.end()) return std::nullopt;
  return platform::Utf8FromWide(std::wstring_view(buffer.data(), static_cast<size_t>(end - buffer.begin())));
}
