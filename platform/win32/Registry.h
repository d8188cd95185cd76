#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The text of a string value (REG_SZ) of a registry key, opened with the access asked for, as UTF-8;
// key and value names are UTF-8 too. Nothing when the key cannot be opened, the value is missing or
// of another type, or it does not fit into a buffer of cchBuffer UTF-16 characters together with
// its terminating zero.
std::optional<std::string> RegQueryString(HKEY hKey, const char* lpSubKey, REGSAM samDesired, const char* lpValueName,
                                          DWORD cchBuffer);
