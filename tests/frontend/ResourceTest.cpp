// The resources of Velkorin.exe, which the tests carry too: the dialog template, the icon as
// Windows draws it, and the version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "frontend/Resource.h"
#include "tests/testkit/CaseName.h"

namespace {

// One control of a dialog template.
struct ControlTemplate {
  int id;
  std::string className;
  std::string text;
  int x, y, cx, cy;
  DWORD style;
  DWORD exStyle;

  bool operator==(const ControlTemplate&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const ControlTemplate& c) {
    return out << c.id << ' ' << c.className << " \"" << c.text << "\" " << c.x << ',' << c.y << ',' << c.cx << ','
               << c.cy << std::hex << " style " << c.style << " exstyle " << c.exStyle << std::dec;
  }
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;
  int pointSize = 0;
  std::string typeface;
  std::vector<ControlTemplate> controls;
};

// Reads the extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
class TemplateReader {
 public:
  explicit TemplateReader(const void* data) : m_begin(static_cast<const uint8_t*>(data)), m_p(m_begin) {}

  DialogTemplate Read() {
    DialogTemplate dialog;
    EXPECT_EQ(Word(), 1) << "template version";
    EXPECT_EQ(Word(), 0xFFFF) << "extended template signature";
    DWord();  // help id
    dialog.exStyle = DWord();
    dialog.style = DWord();
    const int count = Word();
    ReadRect(dialog.x, dialog.y, dialog.cx, dialog.cy);
    EXPECT_EQ(NameOrOrdinal(), "") << "menu";
    EXPECT_EQ(NameOrOrdinal(), "") << "window class";
    dialog.caption = String();
    dialog.pointSize = Word();
    Word();   // weight
    Word();   // italic, character set
    dialog.typeface = String();
    for (int i = 0; i < count; ++i) dialog.controls.push_back(Control());
    return dialog;
  }

 private:
  uint16_t Word() {
    const uint16_t value = static_cast<uint16_t>(m_p[0] | m_p[1] << 8);
    m_p += 2;
    return value;
  }
  DWORD DWord() {
    const DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  int Short() { return static_cast<int16_t>(Word()); }
  void ReadRect(int& x, int& y, int& cx, int& cy) {
    x = Short();
    y = Short();
    cx = Short();
    cy = Short();
  }
  // A zero-terminated UTF-16 text; the texts here are ASCII.
  std::string String() {
    std::string text;
    for (uint16_t c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
    return text;
  }
  // A text, or 0xFFFF and the ordinal of a predefined window class.
  std::string NameOrOrdinal() {
    if (m_p[0] != 0xFF || m_p[1] != 0xFF) return String();
    Word();
    static const std::map<uint16_t, std::string> kClasses = {
        {0x80, "Button"}, {0x81, "Edit"}, {0x82, "Static"}, {0x83, "ListBox"}, {0x84, "ScrollBar"}, {0x85, "ComboBox"}};
    const uint16_t ordinal = Word();
    return kClasses.contains(ordinal) ? kClasses.at(ordinal) : "#" + std::to_string(ordinal);
  }
  ControlTemplate Control() {
    m_p = m_begin + (m_p - m_begin + 3) / 4 * 4;
    ControlTemplate control{};
    DWord();  // help id
    control.exStyle = DWord();
    control.style = DWord();
    ReadRect(control.x, control.y, control.cx, control.cy);
    control.id = static_cast<int>(DWord());
    control.className = NameOrOrdinal();
    control.text = NameOrOrdinal();
    m_p += Word();  // creation data
    return control;
  }

  const uint8_t* m_begin;
  const uint8_t* m_p;
};

const void* ResourceData(LPCSTR type, int id) {
  const HRSRC hResource =
      FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  return hResource != nullptr ? LockResource(LoadResource(nullptr, hResource)) : nullptr;
}

TEST(Resources, TheDialogTemplateHoldsTheMainDialogsLayout) {
  const void* data = ResourceData(MAKEINTRESOURCEA(5) /* RT_DIALOG */, IDD_VELKORIN_DIALOG);
  ASSERT_NE(data, nullptr) << "no English (United States) dialog 102";
  const DialogTemplate dialog = TemplateReader(data).Read();

  EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                             DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(dialog.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
  EXPECT_EQ((std::vector<int>{dialog.x, dialog.y, dialog.cx, dialog.cy}), (std::vector<int>{0, 0, 320, 218}));
  EXPECT_EQ(dialog.caption, "Velkorin");
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.typeface, "MS Sans Serif");

  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  // In tab order.
  const std::vector<ControlTemplate> expected = {
      {IDC_FOLDER, "Edit", "", 0, 0, 255, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0},
      {IDC_BROWSE, "Button", "...", 255, 1, 10, 10, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
      {IDC_RECGAME_LIST, "ListBox", "", 0, 15, 265, 200,
       kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT, 0},
      {IDC_EXTRACT, "Button", "&Extract", 270, 15, 45, 15, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
  };
  EXPECT_EQ(dialog.controls, expected);
}

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

TEST(Resources, TheVersionIsTheProjectsForAnEnglishApplication) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::vector<char> info(GetFileVersionInfoSizeA(path, nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + '.' +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + '.' +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + '.' +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(version, VELKORIN_VERSION ".0");
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length));
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  EXPECT_EQ(translation[1], 1200) << "Unicode";
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileVersion", &value, &length));
  EXPECT_EQ(std::string(static_cast<const char*>(value)), VELKORIN_VERSION ".0");
}

}  // namespace
