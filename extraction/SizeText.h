#pragma once

#include <cstdint>
#include <string>

namespace extraction {

// A file's size as people read it, in the decimal units of the GNOME and macOS file managers.

// "0 bytes", "1 byte", "999 bytes", then one decimal in kB, MB, GB, … of 1000 each: "919.6 kB",
// "2.6 MB"; a size that rounds to 1000.0 of a unit is 1.0 of the next.
std::string SizeText(uint64_t bytes);
// The exact size with its thousands grouped: "919,603 bytes", "1 byte".
std::string ExactSizeText(uint64_t bytes);

}  // namespace extraction
