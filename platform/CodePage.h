#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The code pages a recorded game's names may be in. The game stores a name as bytes in the ANSI code
// page of the machine that recorded it, with no mark of which; the user chooses one to read them in.
// The system converts: iconv on Linux, MultiByteToWideChar on Windows, TextDecoder in the page.

struct CodePage {
  std::string_view name;   // as the user names it, a label every browser's TextDecoder takes
  unsigned windowsNumber;  // MultiByteToWideChar's
  const char* iconvName;   // glibc's name for what Windows and browsers decode under `name`
};

inline constexpr CodePage kCodePages[] = {
    {"windows-1252", 1252, "CP1252"}, {"gbk", 936, "CP936"},       {"big5", 950, "CP950"},
    {"shift_jis", 932, "CP932"},      {"euc-kr", 949, "CP949"},     {"windows-1251", 1251, "CP1251"},
};
// Western European, what most games' names are in besides GBK.
inline constexpr const CodePage& kDefaultCodePage = kCodePages[0];

// The code page of that name; nothing for a name not in kCodePages.
const CodePage* FindCodePage(std::string_view name);
// "windows-1252, gbk, …": the names, for a message.
std::string CodePageNames();

// The bytes as UTF-8 text; nothing when they are no text in the code page.
std::optional<std::string> DecodeCodePage(std::string_view bytes, const CodePage& page);

#ifdef _WIN32
// The system's ANSI code page, in which the game itself shows the names.
CodePage SystemCodePage();
#endif

}  // namespace platform
