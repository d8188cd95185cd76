#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace recgame {

// The recorded games of a folder, as the dialog lists them: plain files (links followed) named
// *.mg? without regard to case, sorted without regard to case. Names and paths are UTF-8.

struct RecGameFile {
  std::string name;  // the file name, without the folder
  std::string path;  // the folder and the name
  uint64_t size = 0;
};

// The recorded games of the folder, sorted. Nothing, with `problem` saying why, when the folder
// cannot be read.
std::optional<std::vector<RecGameFile>> ListRecGameFolder(const std::string& folder, std::string* problem);

// The file at the path as a recorded game named by the path, whatever its name, when it is a plain
// file (links followed). Nothing, with `problem` saying why, when it is missing or no plain file.
std::optional<RecGameFile> RecGameFileAt(const std::string& path, std::string* problem);

// A file name in the folder, as a UTF-8 path.
std::string PathInFolder(const std::string& folder, const std::string& name);

// Creates the folder and those above it that are missing; false, with `problem` saying why, when
// it cannot.
bool CreateFolder(const std::string& folder, std::string* problem);

}  // namespace recgame
