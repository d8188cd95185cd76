#include "extraction/SizeText.h"

#include <array>
#include <string_view>

namespace extraction {

namespace {

constexpr std::array<std::string_view, 6> kUnits = {"kB", "MB", "GB", "TB", "PB", "EB"};

std::string Bytes(uint64_t bytes, const std::string& number) { return number + (bytes == 1 ? " byte" : " bytes"); }

}  // namespace

std::string SizeText(uint64_t bytes) {
  if (bytes < 1000) return Bytes(bytes, std::to_string(bytes));
  uint64_t unit = 1000;
  for (size_t n = 0;; ++n, unit *= 1000) {
    // Tenths of the unit, rounded half up, without overflow near the top of the range.
    const uint64_t tenth = unit / 10;
    const uint64_t tenths = bytes / tenth + (bytes % tenth >= tenth / 2 ? 1 : 0);
    if (tenths < 10000 || n + 1 == kUnits.size()) {
      return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + std::string(kUnits[n]);
    }
  }
}

std::string ExactSizeText(uint64_t bytes) {
  const std::string digits = std::to_string(bytes);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return Bytes(bytes, grouped);
}

}  // namespace extraction
