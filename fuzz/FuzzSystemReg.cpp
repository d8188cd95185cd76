// libFuzzer target for the reading of a Wine prefix: any bytes as system.reg, and any bytes or the
// value found as the Windows path to map onto the prefix's drive, must give a value the dialog could
// hold and a path on the drive, never a crash, a hang or a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/WinePrefix.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

namespace fs = std::filesystem;

// A prefix with drive C: and a few folders on it, to find names in any case.
class Prefix {
 public:
  Prefix() {
    fs::create_directories(m_dir.Path() / "drive_c" / "Games" / "Age2" / "SaveGame");
    fs::create_directory(m_dir.Path() / "dosdevices");
    fs::create_directory_symlink("../drive_c", m_dir.Path() / "dosdevices" / "c:");
  }
  std::string Dosdevices() const { return m_dir.File("dosdevices"); }

 private:
  testkit::ScratchDir m_dir;
};

// The UTF-16 code units of UTF-8 text: one for each character, two for those beyond 16 bits.
size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) != 0x80 ? 1 : 0;
    units += byte >= 0xF0 ? 1 : 0;
  }
  return units;
}

// The path is the drive's folder and names below it, none of them empty, "." or "..".
bool StaysOnTheDrive(const std::string& local, const std::string& drive) {
  if (!local.starts_with(drive)) return false;
  std::string_view rest = std::string_view(local).substr(drive.size());
  while (!rest.empty()) {
    if (rest.front() != '/') return false;
    rest.remove_prefix(1);
    const std::string_view name = rest.substr(0, rest.find('/'));
    if (name.empty() || name == "." || name == "..") return false;
    rest.remove_prefix(name.size());
  }
  return true;
}

void Map(std::string_view windowsPath, const Prefix& prefix) {
  const std::optional<std::string> local = wine_prefix::LocalPathIn(windowsPath, prefix.Dosdevices());
  if (!local) return;
  if (local->find('\0') != std::string::npos || !StaysOnTheDrive(*local, prefix.Dosdevices() + "/c:")) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Prefix prefix;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::string> value = wine_prefix::ExePathIn(text);
  if (value) {
    if (value->find('\0') != std::string::npos || Utf16Length(*value) > wine_prefix::kMaxExePathLength) {
      __builtin_trap();
    }
    Map(*value, prefix);
  }
  Map(text, prefix);
  return 0;
}
