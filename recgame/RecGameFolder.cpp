#include "recgame/RecGameFolder.h"

#include <filesystem>
#include <system_error>

#include "recgame/RecGameNames.h"

#ifdef _WIN32
#include "platform/WideText.h"
#endif

namespace recgame {

namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 inside the program; on Windows the file system's names are UTF-16.
fs::path PathFromUtf8(const std::string& text) {
#ifdef _WIN32
  return fs::path(platform::WideFromUtf8(text));
#else
  return fs::path(text);
#endif
}

std::string Utf8FromPath(const fs::path& path) {
#ifdef _WIN32
  return platform::Utf8FromWide(path.native());
#else
  return path.native();
#endif
}

}  // namespace

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
  std::vector<std::string> names;
  for (const RecGameFile& game : games) names.push_back(game.name);
  std::vector<RecGameFile> listed;
  for (const size_t i : ListedRecGames(names)) listed.push_back(std::move(games[i]));
  return listed;
}

std::optional<RecGameFile> RecGameFileAt(const std::string& path, std::string* problem) {
  const fs::path file = PathFromUtf8(path);
  std::error_code error;
  const bool regular = fs::is_regular_file(file, error);
  const uintmax_t size = regular ? fs::file_size(file, error) : 0;
  if (error || !regular) {
    *problem = error ? error.message() : "it is no plain file";
    return std::nullopt;
  }
  return RecGameFile{path, path, size};
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

}  // namespace recgame
