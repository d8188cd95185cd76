// The main dialog of Velkorin.exe, driven as a user drives it: its start from the game's registry
// value, the list of recorded games, the Enter and Escape keys, and the folder browser.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "frontend/Resource.h"
#include "platform/WideText.h"
#include "tests/frontend/GameRegistry.h"
#include "tests/frontend/ProgramDriver.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using frontend_test::ProgramTest;
using frontend_test::ProgramUser;
using frontend_test::RunProgram;
using Entries = std::vector<std::string>;

void Touch(const std::filesystem::path& path) { testkit::WriteFile(path, {}); }

// The game's folder, named outside the ANSI code page.
const std::string kGame = "C:\\Spiel-ü-中文";

// The game's folder with two recorded games in its SaveGame folder, and a recorded game in the root
// of the current drive, C:, which a list filled from an empty folder text shows; all removed
// afterwards.
class GameOnDriveC {
 public:
  GameOnDriveC() : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path("C:\\");
    std::filesystem::create_directories(m_saveGame);
    Touch(m_saveGame / "b.mgx");
    Touch(m_saveGame / "A.MGL");
    Touch(std::filesystem::path("C:\\") / kRootGame);
  }
  ~GameOnDriveC() {
    std::filesystem::current_path(m_previous);
    std::error_code ignored;
    std::filesystem::remove_all(testkit::Utf8Path(kGame), ignored);
    std::filesystem::remove(std::filesystem::path("C:\\") / kRootGame, ignored);
  }
  GameOnDriveC(const GameOnDriveC&) = delete;
  GameOnDriveC& operator=(const GameOnDriveC&) = delete;

  static constexpr const char* kRootGame = "velkorin-root.mgx";

 private:
  std::filesystem::path m_previous;
  std::filesystem::path m_saveGame = testkit::Utf8Path(kGame + "\\SaveGame");
};

// How the game's value is stored, and what the dialog starts with: the folder box's text, and in the
// list the recorded games of the game's SaveGame folder when that text names it.
struct StartCase : testkit::NamedCase {
  REGSAM view;  // 0: no value at all
  DWORD type;
  std::string text;  // stored in UTF-16
  std::string folder;
};

class DialogStart : public ProgramTest, public testing::WithParamInterface<StartCase> {};

// Without a folder the list starts empty, although an empty folder text that the user enters lists
// the root of the current drive.
TEST_P(DialogStart, TakesTheFolderFromTheGamesRegistryValue) {
  const StartCase& c = GetParam();
  GameOnDriveC files;
  if (c.view != 0) frontend_test::SetExePath(c.view, c.type, c.text);

  const BOOL result = RunProgram([&](ProgramUser& user) {
    EXPECT_EQ(user.Text(IDC_FOLDER), c.folder);
    EXPECT_EQ(user.Entries(), (c.folder.starts_with(kGame) ? Entries{"A.MGL", "b.mgx"} : Entries{}));
    EXPECT_EQ(user.Focus(), user.Control(IDC_FOLDER));
    user.OpenFolder("");
    const Entries root = user.Entries();
    EXPECT_NE(std::find(root.begin(), root.end(), GameOnDriveC::kRootGame), root.end());
    EXPECT_EQ(std::find(root.begin(), root.end(), "b.mgx"), root.end());
  });
  EXPECT_FALSE(result);
}

int IconSize(HICON hIcon) {
  ICONINFO info{};
  BITMAP bitmap{};
  if (GetIconInfo(hIcon, &info)) GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  return bitmap.bmWidth;
}

// The font, and with it the dialog units, and the icons grow with the screen's resolution (96, or
// VELKORIN_TEST_DPI), which the manifest makes the program aware of, per monitor. The controls are
// Common Controls 6, whose buttons alone know their ideal size.
TEST_F(ProgramTest, ScalesWithTheScreen) {
  const int dpi = std::getenv("VELKORIN_TEST_DPI") != nullptr ? std::stoi(std::getenv("VELKORIN_TEST_DPI")) : 96;
  RunProgram([&](ProgramUser& user) {
    const HWND hDialog = user.Dialog();
    EXPECT_EQ(static_cast<int>(GetDpiForWindow(hDialog)), dpi);
    // Wine makes every program aware of it; Windows asks the manifest, which Wine reads as it does.
    std::array<wchar_t, 64> aware{};
    QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
                         aware.data(), aware.size(), nullptr);
    EXPECT_TRUE(std::wstring(aware.data()).starts_with(L"PerMonitorV2,")) << platform::Utf8FromWide(aware.data());
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hDialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi, 72));
    const HICON hIcon = reinterpret_cast<HICON>(SendMessageW(hDialog, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(IconSize(hIcon), MulDiv(32, dpi, 96));
    EXPECT_EQ(IconSize(reinterpret_cast<HICON>(SendMessageW(hDialog, WM_GETICON, ICON_SMALL, 0))), MulDiv(16, dpi, 96));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hDialog, WM_QUERYDRAGICON, 0, 0)), hIcon);
    SIZE ideal{};
    EXPECT_TRUE(SendMessageW(user.Control(IDC_EXTRACT), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  });
}

std::string Path(size_t length) { return "C:\\" + std::string(length - 3, 'x'); }

INSTANTIATE_TEST_SUITE_P(
    Values, DialogStart,
    testing::Values(
        StartCase{{"Folder"}, KEY_WOW64_32KEY, REG_SZ, kGame + '\0', kGame + "\\SaveGame\\"},
        StartCase{{"FolderEndingInABackslash"}, KEY_WOW64_32KEY, REG_SZ, kGame + "\\" + '\0', kGame + "\\\\SaveGame\\"},
        StartCase{{"StoredWithoutItsZero"}, KEY_WOW64_32KEY, REG_SZ, kGame, kGame + "\\SaveGame\\"},
        StartCase{{"LongestThatFits"}, KEY_WOW64_32KEY, REG_SZ, Path(1023) + '\0', Path(1023) + "\\SaveGame\\"},
        StartCase{{"NoValue"}, 0, REG_NONE, "", ""},
        StartCase{{"OnlyInThe64BitView"}, KEY_WOW64_64KEY, REG_SZ, kGame + '\0', ""},
        StartCase{{"ExpandableString"}, KEY_WOW64_32KEY, REG_EXPAND_SZ, kGame + '\0', ""},
        StartCase{{"TooLong"}, KEY_WOW64_32KEY, REG_SZ, Path(1024) + '\0', ""},
        StartCase{{"TooLongWithoutItsZero"}, KEY_WOW64_32KEY, REG_SZ, Path(1024), ""}),
    testkit::CaseName());

struct ListCase : testkit::NamedCase {
  const char* folderName;
  const char* suffix;  // after the folder's path in the folder box
};

class RecGameList : public ProgramTest, public testing::WithParamInterface<ListCase> {};

TEST_P(RecGameList, ShowsThePlainFilesNamedLikeRecordedGamesSorted) {
  testkit::ScratchDir dir(GetParam().folderName);
  const std::filesystem::path& games = dir.Path();
  std::filesystem::create_directories(games / "folder.mgx");
  std::filesystem::create_directories(games / "nested");
  for (const char* name : {"b.mgx", "Zed.MgX", "notes.txt", "A.MGL", "game.mgx.bak", "c.mgz", "readme",
                           "Spiel-ü-中文.mgx", "x\u202Egpj\x7F.mgx"}) {
    Touch(games / testkit::Utf8Path(name));
  }
  Touch(games / "nested" / "inner.mgx");
  const std::string folder = games.string() + GetParam().suffix;

  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(folder);
    EXPECT_EQ(user.Entries(),
              (Entries{"A.MGL", "b.mgx", "c.mgz", "Spiel-ü-中文.mgx", "x\\u202egpj\\177.mgx", "Zed.MgX"}));
    EXPECT_EQ(user.Text(IDC_FOLDER), folder);
  });
}

INSTANTIATE_TEST_SUITE_P(FolderTexts, RecGameList,
                         testing::Values(ListCase{{"WithoutTrailingBackslash"}, "games", ""},
                                         ListCase{{"WithTrailingBackslash"}, "games", "\\"},
                                         ListCase{{"NamedOutsideTheCodePage"}, "Ordner-é-文件夹", ""}),
                         testkit::CaseName());

// A recorded game or folder the program is started with, or dropped onto it: its folder is listed
// and shown in full, and a game selected, with the focus in the list; of several dropped, the first.
// A file that is no recorded game is named under the list. A path that names nothing gives one
// message, naming it, and the dialog stays as it started.
struct OpenCase : testkit::NamedCase {
  bool dropped;
  std::vector<std::string> names;  // in the folder; "" is the folder itself
  const char* selected;            // the game selected; "" for none, nullptr when nothing opens
  const char* line = "";           // under the list, when no game is selected
};

class OpenPath : public ProgramTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(OpenPath, ListsTheFolderAndSelectsTheGame) {
  const OpenCase& c = GetParam();
  testkit::ScratchDir dir("Ordner-é-文件夹");
  for (const char* name : {"b.mgx", "Spiel-ü-中文.mgx", "no\u202Exgm.txt"}) Touch(dir.Path() / testkit::Utf8Path(name));
  std::vector<std::string> paths;
  for (const std::string& name : c.names) paths.push_back(name.empty() ? dir.Path().string() : dir.File(name));
  RunProgram(
      [&](ProgramUser& user) {
        c.dropped ? user.Drop(paths) : user.Settle();
        if (c.selected == nullptr) {
          EXPECT_EQ(user.AnswerMessageBox().text, "File Open Error\n\n" + paths.front());
          EXPECT_TRUE(user.Text(IDC_FOLDER).empty() && user.Entries().empty());
          return;
        }
        EXPECT_EQ(user.Text(IDC_FOLDER), dir.Path().string() + (c.names.front().empty() ? "" : "\\"));
        EXPECT_EQ(user.Entries(), (Entries{"b.mgx", "Spiel-ü-中文.mgx"}));
        const LRESULT selected = SendMessageW(user.Control(IDC_RECGAME_LIST), LB_GETCURSEL, 0, 0);
        EXPECT_EQ(selected == LB_ERR ? "" : user.Entries().at(static_cast<size_t>(selected)), c.selected);
        EXPECT_EQ(user.Focus() == user.Control(IDC_RECGAME_LIST), *c.selected != '\0');
        EXPECT_EQ(*c.selected == '\0' ? user.Text(IDC_STATUS_LINE) : c.line, c.line);
        EXPECT_TRUE(user.OtherWindows().empty());
      },
      c.dropped ? std::vector<std::string>{} : paths);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpenPath,
    testing::Values(OpenCase{{"StartedWithAGame"}, false, {"Spiel-ü-中文.mgx"}, "Spiel-ü-中文.mgx"},
                    OpenCase{{"StartedWithAFolder"}, false, {""}, ""},
                    OpenCase{{"StartedWithNothingThere"}, false, {"gone.mgx"}, nullptr},
                    OpenCase{{"StartedWithAFileThatIsNoRecordedGame"}, false, {"no\u202Exgm.txt"}, "",
                             "no\\u202exgm.txt is not a recorded game (*.mgl, *.mgx, *.mgz)"},
                    OpenCase{{"GameDropped"}, true, {"b.mgx"}, "b.mgx"},
                    OpenCase{{"SeveralDropped"}, true, {"Spiel-ü-中文.mgx", "b.mgx"}, "Spiel-ü-中文.mgx"},
                    OpenCase{{"FolderDropped"}, true, {""}, ""}),
    testkit::CaseName());

// Folders that cannot be listed, or hold no recorded game, say why in the line under the list, their
// names escaped; the next that lists games clears it.
TEST_F(ProgramTest, AFolderThatListsNothingSaysWhyUnderTheList) {
  testkit::ScratchDir dir;
  Touch(dir.Path() / "game.mgx");
  std::filesystem::create_directory(dir.Path() / testkit::Utf8Path("leer\u202Erodro"));
  const std::string cannot = "Cannot read this folder: ";
  // Each folder, and the line; `cannot` alone is followed by the system's words.
  const std::vector<std::pair<std::string, std::string>> folders{
      {dir.File("missing"), cannot}, {"Q:\\recs", cannot},
      {dir.File("game.mgx"), cannot + "it is a file, not a folder"},
      {dir.File("leer\u202Erodro"), "No recorded games in " + dir.Path().string() + "\\leer\\u202erodro\\"}};
  RunProgram([&](ProgramUser& user) {
    for (const auto& [folder, expected] : folders) {
      user.OpenFolder(folder);
      EXPECT_EQ(user.Entries(), Entries{}) << folder;
      const std::string line = user.Text(IDC_STATUS_LINE);
      EXPECT_TRUE(expected == cannot ? line.starts_with(cannot) && line.size() > cannot.size() : line == expected)
          << line;
      user.OpenFolder(dir.Path().string());
      EXPECT_EQ(user.Entries(), Entries{"game.mgx"});
      EXPECT_EQ(user.Text(IDC_STATUS_LINE), "");
    }
  });
}

// The folder browser finds a folder by comparing item lists that carry each folder's last access
// time. Under Wine that time comes from the host, where the first read of a folder changed since its
// last read moves it: read them all now, so the browser's own reads leave them as they are.
void ReadFolderAndItsParents(std::filesystem::path folder) {
  for (; folder.has_relative_path(); folder = folder.parent_path()) {
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
    }
  }
}

// What the user does after typing a new folder, named outside the ANSI code page, into the folder
// box: presses a key in a control, or opens the folder browser and closes it with one of its buttons.
// None of them closes the dialog; Enter in the list, where nothing is selected, extracts nothing.
struct ActionCase : testkit::NamedCase {
  int control;       // where the key is pressed; IDC_BROWSE: the browser is opened
  UINT key;          // or the browser's button
  bool takesFolder;  // the list then shows the typed folder
};

class UserAction : public ProgramTest, public testing::WithParamInterface<ActionCase> {};

TEST_P(UserAction, OnlyEnterInTheFolderBoxOrOkInTheBrowserTakesTheFolder) {
  const ActionCase& c = GetParam();
  testkit::ScratchDir shown;
  testkit::ScratchDir typed("Ordner-é-文件夹");
  Touch(shown.Path() / "shown.mgx");
  Touch(typed.Path() / "typed.mgx");
  ReadFolderAndItsParents(typed.Path());

  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(shown.Path().string() + "\\");
    ASSERT_EQ(user.Entries(), Entries{"shown.mgx"});
    user.Type(IDC_FOLDER, typed.Path().string());
    if (c.control == IDC_BROWSE) {
      user.Click(IDC_BROWSE);
      // The browser opens at the folder in the folder box.
      const HWND hBrowser = user.WaitForFolderBrowser(typed.Path().filename().string());
      EXPECT_EQ(GetWindow(hBrowser, GW_OWNER), user.Dialog());
      user.PressButton(hBrowser, static_cast<int>(c.key));
      user.WaitUntilGone(hBrowser);
      user.Settle();
    } else {
      user.MoveFocusTo(c.control);
      ASSERT_EQ(user.Focus(), user.Control(c.control));
      user.Press(c.key);
    }
    // The browser gives the folder without a trailing backslash; a cancelled one leaves the text typed.
    EXPECT_EQ(user.Text(IDC_FOLDER), typed.Path().string());
    EXPECT_EQ(user.Entries(), (c.takesFolder ? Entries{"typed.mgx"} : Entries{"shown.mgx"}));
    EXPECT_FALSE(user.ProgramEnded());
    EXPECT_TRUE(IsWindowVisible(user.Dialog()));
    EXPECT_TRUE(user.OtherWindows().empty());
  });
}

INSTANTIATE_TEST_SUITE_P(Actions, UserAction,
                         testing::Values(ActionCase{{"EnterInTheFolderBox"}, IDC_FOLDER, VK_RETURN, true},
                                         ActionCase{{"EnterInTheList"}, IDC_RECGAME_LIST, VK_RETURN, false},
                                         ActionCase{{"EscapeInTheFolderBox"}, IDC_FOLDER, VK_ESCAPE, false},
                                         ActionCase{{"EscapeInTheList"}, IDC_RECGAME_LIST, VK_ESCAPE, false},
                                         ActionCase{{"EscapeOnTheExtractButton"}, IDC_EXTRACT, VK_ESCAPE, false},
                                         ActionCase{{"OkInTheFolderBrowser"}, IDC_BROWSE, IDOK, true},
                                         ActionCase{{"CancelInTheFolderBrowser"}, IDC_BROWSE, IDCANCEL, false}),
                         testkit::CaseName());

// "About Velkorin…" of the system menu shows the program's version, owned by the dialog, which
// takes input again once it is closed.
TEST_F(ProgramTest, TheSystemMenusAboutBoxShowsTheVersion) {
  RunProgram([](ProgramUser& user) {
    std::array<wchar_t, 64> item{};
    GetMenuStringW(GetSystemMenu(user.Dialog(), FALSE), IDM_ABOUTBOX, item.data(), item.size(), MF_BYCOMMAND);
    EXPECT_EQ(platform::Utf8FromWide(item.data()), "&About Velkorin…");
    PostMessageW(user.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const frontend_test::MessageBoxSeen about = user.AnswerMessageBox();
    EXPECT_EQ(about.caption, "About Velkorin");
    EXPECT_NE(about.text.find("Velkorin, version " VELKORIN_VERSION "Turns "), std::string::npos) << about.text;
    EXPECT_EQ(about.owner, user.Dialog());
    EXPECT_TRUE(IsWindowEnabled(user.Dialog()));
  });
}

}  // namespace
