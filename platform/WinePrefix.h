#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a Wine prefix answers the two questions of SaveGameFolder.h, as functions of text alone (and
// of the drive folders for the second), so that a hostile prefix can be tried on them directly.
namespace wine_prefix {

// A system.reg is a text file of a few MB; a larger one, or anything but a regular file, is no
// registry of a prefix and is not read.
inline constexpr uint64_t kMaxSystemRegSize = uint64_t{64} << 20;
// The dialog reads the value into 1024 UTF-16 code units, its terminating zero included.
inline constexpr size_t kMaxExePathLength = 1023;

// The game's "EXE Path" from the text of system.reg, as UTF-8: the 32-bit view first. Nothing when
// the value is missing, of another type, holds a zero code unit or is longer than the dialog takes.
std::optional<std::string> ExePathIn(std::string_view systemReg);

// The local path of a Windows path "X:\...", with `dosdevices` the folder of the prefix's drive links.
// "." and ".." are resolved by name first, as Windows resolves them, so the path stays on its drive;
// then each name is found without regard to case. Nothing when the path has no drive or the drive
// no link.
std::optional<std::string> LocalPathIn(std::string_view windowsPath, const std::string& dosdevices);

}  // namespace wine_prefix
