// Where a system without a registry of its own runs the game: in a Wine prefix ($WINEPREFIX, else
// ~/.wine), whose HKEY_LOCAL_MACHINE is the text file system.reg and whose drives are the links of
// its folder dosdevices. The prefix is the user's, but its files may be anything: a FIFO, a device,
// a huge file, a value made to climb out of its drive.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/SaveGameFolder.h"
#include "platform/WinePrefix.h"
#include "platform/BinaryFile.h"
#include "platform/FileError.h"
#include "platform/Utf8.h"

namespace wine_prefix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSoftware = "SOFTWARE\\";
// A 64-bit prefix keeps the 32-bit view under this key of its own.
constexpr std::string_view kWow64Software = "Software\\Wow6432Node\\";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Registry names, like Windows file names, are the same in any case.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}
bool SameIgnoringCase(std::u16string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char y) {
           return x < 0x80 && AsciiLower(static_cast<char>(x)) == AsciiLower(y);
         });
}

int DigitValue(char c) {
  c = AsciiLower(c);
  return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 16;
}

// The value of up to `most` digits of the base at the start of `text`, moving past them.
char16_t TakeDigits(std::string_view* text, int base, size_t most) {
  unsigned value = 0;
  size_t taken = 0;
  for (; taken < most && taken < text->size() && DigitValue((*text)[taken]) < base; ++taken) {
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue((*text)[taken]));
  }
  text->remove_prefix(taken);
  return static_cast<char16_t>(value);
}

// Decodes a name or string of system.reg up to its unescaped `end` and moves `text` past it. Wine
// writes a backslash before a backslash and the quote, a UTF-16 code unit beyond ASCII as \x and up
// to four hex digits, and a control character as a letter or up to three octal digits. Nothing when
// `end` does not come.
std::optional<std::u16string> TakeEscaped(std::string_view* text, char end) {
  constexpr std::string_view kLetters = "abtnvfre";
  constexpr std::array<char16_t, 8> kControls = {7, 8, 9, 10, 11, 12, 13, 27};
  std::u16string units;
  while (!text->empty()) {
    const char c = text->front();
    text->remove_prefix(1);
    if (c == end) return units;
    if (c != '\\' || text->empty()) {
      units += static_cast<char16_t>(static_cast<unsigned char>(c));
      continue;
    }
    const char escaped = text->front();
    if (escaped == 'x') {
      text->remove_prefix(1);
      // Wine reads "\x" without a hex digit after it as the letter.
      units += !text->empty() && DigitValue(text->front()) < 16 ? TakeDigits(text, 16, 4) : u'x';
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

// The data of a value of a key of system.reg, as written after "NAME"=. Lines "[KEY] TIME" open a
// key; a value is the line "NAME"=DATA. Nothing when the key holds no such value.
std::optional<std::string_view> FindValue(std::string_view registry, std::string_view key, std::string_view name) {
  bool inKey = false;
  while (!registry.empty()) {
    const size_t lineEnd = std::min(registry.find('\n'), registry.size());
    std::string_view rest = registry.substr(0, lineEnd);
    registry.remove_prefix(std::min(lineEnd + 1, registry.size()));
    if (rest.starts_with('[')) {
      rest.remove_prefix(1);
      const std::optional<std::u16string> opened = TakeEscaped(&rest, ']');
      inKey = opened && SameIgnoringCase(*opened, key);
    } else if (inKey && rest.starts_with('"')) {
      rest.remove_prefix(1);
      const std::optional<std::u16string> valueName = TakeEscaped(&rest, '"');
      if (valueName && SameIgnoringCase(*valueName, name) && rest.starts_with('=')) return rest.substr(1);
    }
  }
  return std::nullopt;
}

// A string value (REG_SZ) as the dialog takes it: values of other types write their type before the
// data; a zero inside would end the text early, so the text would not be the value.
std::optional<std::string> DialogString(std::string_view data) {
  if (!data.starts_with('"')) return std::nullopt;
  data.remove_prefix(1);
  const std::optional<std::u16string> units = TakeEscaped(&data, '"');
  if (!units || units->size() > kMaxExePathLength || units->find(u'\0') != std::u16string::npos) return std::nullopt;
  return utf8::FromUtf16(*units);
}

// The entry of the folder that Windows would find under the name: the name itself, else the first
// that differs from it only in case; nothing when there is none.
std::optional<std::string> FindEntry(const std::string& folder, std::string_view name) {
  std::string path = folder + '/';
  path += name;
  std::error_code error;
  if (fs::exists(path, error)) return path;
  for (fs::directory_iterator entries(folder, error); !error && entries != fs::directory_iterator();
       entries.increment(error)) {
    if (SameIgnoringCase(entries->path().filename().native(), name)) return entries->path().string();
  }
  return std::nullopt;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<std::string> ExePathIn(std::string_view systemReg) {
  const std::string subKey(std::string_view(game_install::kGameKey).substr(kSoftware.size()));
  // The 32-bit view of a 64-bit prefix, else the one view of a 32-bit prefix: the game's view.
  std::optional<std::string_view> data =
      FindValue(systemReg, std::string(kWow64Software) + subKey, game_install::kExePathValue);
  if (!data) data = FindValue(systemReg, game_install::kGameKey, game_install::kExePathValue);
  return data ? DialogString(*data) : std::nullopt;
}

std::optional<std::string> LocalPathIn(std::string_view windowsPath, const std::string& dosdevices) {
  // Only a drive letter leads into the prefix; a network path leads out of it.
  const bool hasDrive = windowsPath.size() >= 3 && std::isalpha(static_cast<unsigned char>(windowsPath[0])) &&
                        windowsPath[1] == ':' && IsSeparator(windowsPath[2]);
  // No name of Windows holds a zero; the system would end the path there.
  if (!hasDrive || windowsPath.find('\0') != std::string_view::npos) return std::nullopt;
  // Windows takes either slash, drops ".", and takes ".." back one name, never above the drive.
  std::vector<std::string_view> names;
  for (size_t start = 3; start <= windowsPath.size();) {
    const auto separator = std::find_if(windowsPath.begin() + static_cast<std::ptrdiff_t>(start), windowsPath.end(),
                                        IsSeparator);
    const size_t end = static_cast<size_t>(separator - windowsPath.begin());
    const std::string_view name = windowsPath.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    start = end + 1;
  }

  std::string local = dosdevices + '/' + AsciiLower(windowsPath[0]) + ':';
  std::error_code error;
  if (!fs::exists(local, error)) return std::nullopt;
  bool found = true;
  for (const std::string_view name : names) {
    // Past a name that is not there, no later one can be; they are kept as they are.
    std::optional<std::string> entry = found ? FindEntry(local, name) : std::nullopt;
    found = entry.has_value();
    if (found) {
      local = std::move(*entry);
    } else {
      local += '/';
      local += name;
    }
  }
  return local;
}

}  // namespace wine_prefix

namespace game_install {

namespace {

std::optional<std::string> WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::string(home) + "/.wine";
  return std::nullopt;
}

// The text of system.reg when it is a regular file within the bound. The kind is checked before
// the file is opened, so that no device is opened at all, and on the open file, which is what is read.
std::optional<std::string> ReadSystemReg(const std::string& path) {
  if (os::StatusOf(path).kind != os::PathKind::kRegular) return std::nullopt;
  platform::BinaryFile file;
  if (!file.OpenForReading(path)) return std::nullopt;
  try {
    const uint64_t length = file.GetLength();
    if (length > wine_prefix::kMaxSystemRegSize) return std::nullopt;
    std::string text(static_cast<size_t>(length), '\0');
    text.resize(file.Read(std::span(reinterpret_cast<uint8_t*>(text.data()), text.size())));
    return text;
  } catch (const platform::FileError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<std::string> ReadExePath() {
  const std::optional<std::string> prefix = WinePrefix();
  if (!prefix) return std::nullopt;
  const std::optional<std::string> registry = ReadSystemReg(*prefix + "/system.reg");
  return registry ? wine_prefix::ExePathIn(*registry) : std::nullopt;
}

std::optional<std::string> LocalPath(const std::string& windowsPath) {
  const std::optional<std::string> prefix = WinePrefix();
  return prefix ? wine_prefix::LocalPathIn(windowsPath, *prefix + "/dosdevices") : std::nullopt;
}

}  // namespace game_install
