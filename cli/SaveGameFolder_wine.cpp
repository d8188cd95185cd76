// Where a system without a registry of its own runs the game: in a Wine prefix ($WINEPREFIX, else
// ~/.wine), whose HKEY_LOCAL_MACHINE is the text file system.reg and whose drives are the links of
// its folder dosdevices.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "cli/SaveGameFolder.h"

namespace game_install {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSoftware = "SOFTWARE\\";
// A 64-bit prefix keeps the 32-bit view under this key of its own.
constexpr std::string_view kWow64Software = "Software\\Wow6432Node\\";

std::optional<std::string> WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::string(home) + "/.wine";
  return std::nullopt;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Registry names, like Windows file names, are the same in any case.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

void AppendUtf8(char32_t c, std::string* text) {
  if (c < 0x80) {
    *text += static_cast<char>(c);
  } else if (c < 0x800) {
    *text += static_cast<char>(0xC0 | (c >> 6));
    *text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *text += static_cast<char>(0xE0 | (c >> 12));
    *text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *text += static_cast<char>(0xF0 | (c >> 18));
    *text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Utf8FromUtf16(std::u16string_view units) {
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    const bool pairs = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                       units[i + 1] < 0xE000;
    if (pairs) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00), &text);
    } else {
      // A surrogate without its partner is no character.
      AppendUtf8(unit >= 0xD800 && unit < 0xE000 ? char32_t{0xFFFD} : unit, &text);
    }
  }
  return text;
}

// The value of up to `most` digits of the base at the start of `text`, moving past them.
char16_t TakeDigits(std::string_view* text, int base, size_t most) {
  unsigned value = 0;
  size_t taken = 0;
  for (; taken < most && taken < text->size(); ++taken) {
    const char c = AsciiLower((*text)[taken]);
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : base;
    if (digit >= base) break;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
  }
  text->remove_prefix(taken);
  return static_cast<char16_t>(value);
}

// Decodes a name or string of system.reg up to its unescaped `end`, as UTF-8, and moves `text`
// past it. Wine writes a backslash before a backslash and the quote, a UTF-16 code unit beyond ASCII
// as \x and up to four hex digits, and a control character as a letter or up to three octal digits.
// Nothing when `end` does not come.
std::optional<std::string> TakeEscaped(std::string_view* text, char end) {
  constexpr std::string_view kLetters = "abtnvfre";
  constexpr std::array<char16_t, 8> kControls = {7, 8, 9, 10, 11, 12, 13, 27};
  std::u16string units;
  while (!text->empty()) {
    const char c = text->front();
    text->remove_prefix(1);
    if (c == end) return Utf8FromUtf16(units);
    if (c != '\\' || text->empty()) {
      units += static_cast<char16_t>(static_cast<unsigned char>(c));
      continue;
    }
    const char escaped = text->front();
    if (escaped == 'x') {
      text->remove_prefix(1);
      units += TakeDigits(text, 16, 4);
    } else if (escaped >= '0' && escaped <= '7') {
      units += TakeDigits(text, 8, 3);
    } else {
      text->remove_prefix(1);
      const size_t letter = kLetters.find(escaped);
      units += letter != std::string_view::npos ? kControls[letter] : static_cast<char16_t>(escaped);
    }
  }
  return std::nullopt;
}

// A string value (REG_SZ) of a key of system.reg. Lines "[KEY] TIME" open a key; a string value is
// the line "NAME"="TEXT", while values of other types write their type before the data.
std::optional<std::string> FindStringValue(std::string_view registry, std::string_view key, std::string_view name) {
  bool inKey = false;
  while (!registry.empty()) {
    const size_t lineEnd = std::min(registry.find('\n'), registry.size());
    std::string_view rest = registry.substr(0, lineEnd);
    registry.remove_prefix(std::min(lineEnd + 1, registry.size()));
    if (rest.starts_with('[')) {
      rest.remove_prefix(1);
      const std::optional<std::string> opened = TakeEscaped(&rest, ']');
      inKey = opened && SameIgnoringCase(*opened, key);
    } else if (inKey && rest.starts_with('"')) {
      rest.remove_prefix(1);
      const std::optional<std::string> valueName = TakeEscaped(&rest, '"');
      if (!valueName || !SameIgnoringCase(*valueName, name)) continue;
      if (!rest.starts_with("=\"")) return std::nullopt;
      rest.remove_prefix(2);
      return TakeEscaped(&rest, '"');
    }
  }
  return std::nullopt;
}

// The entry of the folder that Windows would find under the name: the name itself, else the first
// that differs from it only in case.
fs::path FindEntry(const fs::path& folder, const std::string& name) {
  std::error_code error;
  if (fs::exists(folder / name, error)) return folder / name;
  for (fs::directory_iterator entries(folder, error); !error && entries != fs::directory_iterator();
       entries.increment(error)) {
    if (SameIgnoringCase(entries->path().filename().native(), name)) return entries->path();
  }
  return folder / name;
}

}  // namespace

std::optional<std::string> ReadExePath() {
  const std::optional<std::string> prefix = WinePrefix();
  if (!prefix) return std::nullopt;
  std::ifstream file(*prefix + "/system.reg", std::ios::binary);
  const std::string registry{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const std::string_view subKey = std::string_view(kGameKey).substr(kSoftware.size());
  std::optional<std::string> exePath =
      FindStringValue(registry, std::string(kWow64Software) + std::string(subKey), kExePathValue);
  if (!exePath) exePath = FindStringValue(registry, kGameKey, kExePathValue);
  return exePath;
}

std::optional<std::string> LocalPath(const std::string& windowsPath) {
  const std::optional<std::string> prefix = WinePrefix();
  // Only a drive letter leads into the prefix; a network path leads out of it.
  const bool hasDrive = windowsPath.size() >= 3 && std::isalpha(static_cast<unsigned char>(windowsPath[0])) &&
                        windowsPath[1] == ':' && windowsPath[2] == '\\';
  if (!prefix || !hasDrive) return std::nullopt;
  fs::path local = fs::path(*prefix) / "dosdevices" / (std::string(1, AsciiLower(windowsPath[0])) + ":");
  std::error_code error;
  if (!fs::exists(local, error)) return std::nullopt;
  std::istringstream components(windowsPath.substr(3));
  for (std::string component; std::getline(components, component, '\\');) {
    if (!component.empty()) local = FindEntry(local, component);
  }
  return local.string();
}

}  // namespace game_install
