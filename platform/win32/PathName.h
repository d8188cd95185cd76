#pragma once

#include <optional>
#include <string>

// The absolute form of a UTF-8 path, taken against the current folder (GetFullPathNameW), spelled
// in long names where the file exists (GetLongPathNameW). Nothing when the system makes no path of
// it; GetLastError then tells why.
std::optional<std::string> FullPathName(const std::string& strPath);
