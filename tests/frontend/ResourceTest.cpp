// The resources of Velkorin.exe, which the tests carry too: the icon as Windows draws it, and the
// version, which comes from the project's one version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "frontend/Resource.h"
#include "tests/testkit/CaseName.h"

namespace {

// The pictures of the icon's pixel map, by size: one character per pixel, top row first.
std::map<int, std::vector<std::string>> IconMap() {
  std::ifstream file(VELKORIN_ICON_MAP);
  std::map<int, std::vector<std::string>> pictures;
  std::vector<std::string>* rows = nullptr;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("image ")) {
      rows = &pictures[std::stoi(line.substr(6))];
    } else if (rows != nullptr) {
      rows->push_back(line);
    }
  }
  return pictures;
}

// The standard 16-colour palette as 0xRRGGBB, by the map's letters.
const std::map<char, uint32_t> kPalette = {
    {'k', 0x000000}, {'r', 0x800000}, {'g', 0x008000}, {'y', 0x808000}, {'n', 0x000080}, {'m', 0x800080},
    {'t', 0x008080}, {'s', 0xC0C0C0}, {'d', 0x808080}, {'R', 0xFF0000}, {'G', 0x00FF00}, {'Y', 0xFFFF00},
    {'B', 0x0000FF}, {'M', 0xFF00FF}, {'C', 0x00FFFF}, {'W', 0xFFFFFF}};

// What Windows draws of the icon of this size over a background of a colour not in the palette.
std::vector<uint32_t> DrawnIcon(int size, uint32_t background) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC hdc = CreateCompatibleDC(nullptr);
  const HBITMAP hBitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ hOld = SelectObject(hdc, hBitmap);
  auto* pixels = static_cast<uint32_t*>(bits);
  const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
  std::fill(pixels, pixels + count, background);

  const auto hIcon =
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
  DrawIconEx(hdc, 0, 0, hIcon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<uint32_t> drawn(pixels, pixels + count);
  for (uint32_t& pixel : drawn) pixel &= 0xFFFFFF;

  DestroyIcon(hIcon);
  SelectObject(hdc, hOld);
  DeleteObject(hBitmap);
  DeleteDC(hdc);
  return drawn;
}

struct IconCase : testkit::NamedCase {
  int size;
};

// Windows draws an image of exactly the size asked for when the icon group holds one; a missing size
// would be scaled from another and differ from its picture.
class ProgramIcon : public testing::TestWithParam<IconCase> {};

TEST_P(ProgramIcon, WindowsDrawsThePictureOfThePixelMap) {
  const int size = GetParam().size;
  const std::vector<std::string> rows = IconMap()[size];
  ASSERT_EQ(rows.size(), static_cast<size_t>(size));
  constexpr uint32_t kBackground = 0x010203;
  const std::vector<uint32_t> drawn = DrawnIcon(size, kBackground);

  int wrong = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const char letter = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
      const uint32_t expected = letter == '.' ? kBackground : kPalette.at(letter);
      const uint32_t pixel = drawn[static_cast<size_t>(y * size + x)];
      if (pixel != expected && ++wrong <= 5) {
        ADD_FAILURE() << "pixel " << x << ',' << y << " is " << std::hex << pixel << ", not " << expected;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProgramIcon, testing::Values(IconCase{{"Large"}, 32}, IconCase{{"Small"}, 16}),
                         testkit::CaseName());

TEST(Resources, TheVersionIsTheProjects) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::vector<char> info(GetFileVersionInfoSizeA(path, nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileVersion", &value, &length));
  EXPECT_EQ(std::string(static_cast<const char*>(value)), VELKORIN_VERSION ".0");
}

}  // namespace
