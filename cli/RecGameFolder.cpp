#include "cli/RecGameFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "platform/WideText.h"
#endif

namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 inside the program; on Windows the file system's names are UTF-16.
fs::path PathFromUtf8(const std::string& text) {
#ifdef _WIN32
  return fs::path(WideFromUtf8(text));
#else
  return fs::path(text);
#endif
}

std::string Utf8FromPath(const fs::path& path) {
#ifdef _WIN32
  return Utf8FromWide(path.native());
#else
  return path.native();
#endif
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Without regard to ASCII case; names equal that way go by their bytes, so the order is total.
bool ListedBefore(const RecGameFile& a, const RecGameFile& b) {
  const auto lowerLess = [](char x, char y) {
    return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
  };
  if (std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), lowerLess)) return true;
  if (std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(), lowerLess)) return false;
  return a.name < b.name;
}

}  // namespace

bool IsRecGameName(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  // "?" stands for one character, which in UTF-8 may take several bytes.
  return extension.size() >= 3 && AsciiLower(extension[0]) == 'm' && AsciiLower(extension[1]) == 'g' &&
         std::all_of(extension.begin() + 3, extension.end(), IsUtf8Continuation);
}

std::optional<std::vector<RecGameFile>> ListRecGameFolder(const std::string& folder, std::string* problem) {
  std::error_code error;
  fs::directory_iterator entries(PathFromUtf8(folder), error);
  std::vector<RecGameFile> games;
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const std::string name = Utf8FromPath(entries->path().filename());
    std::error_code ignored;
    // A file that goes away or turns unreadable while the folder is read is no recorded game of it.
    if (!IsRecGameName(name) || !entries->is_regular_file(ignored)) continue;
    const uintmax_t size = entries->file_size(ignored);
    if (ignored) continue;
    games.push_back({name, Utf8FromPath(entries->path()), size});
  }
  if (error) {
    *problem = error.message();
    return std::nullopt;
  }
  std::sort(games.begin(), games.end(), ListedBefore);
  return games;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name));
}

bool CreateFolder(const std::string& folder, std::string* problem) {
  std::error_code error;
  fs::create_directories(PathFromUtf8(folder), error);
  if (error) *problem = error.message();
  return !error;
}
