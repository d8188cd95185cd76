#include "platform/win32/PathName.h"

#include <windows.h>

#include <vector>

#include "platform/WideText.h"

namespace {

// Calls one of the system's path calls that give the length they need when the buffer is too small.
template <typename Call>
std::optional<std::wstring> GrowingCall(Call call) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);
  }
}

}  // namespace

std::optional<std::string> FullPathName(const std::string& strPath) {
  const std::wstring path = platform::WideFromUtf8(strPath);
  const std::optional<std::wstring> full = GrowingCall(
      [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
  if (!full) return std::nullopt;
  // A short name (PROGRA~1) would not match the long names that the list shows.
  const std::optional<std::wstring> longName =
      GrowingCall([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full->c_str(), buffer, size); });
  return platform::Utf8FromWide(longName ? *longName : *full);
}
