#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

namespace platform {

// Inside the program a path is UTF-8 text; Windows takes and gives paths as UTF-16. These two are
// the one place where text changes form, at the boundary with the system's wide calls.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace platform
#endif
