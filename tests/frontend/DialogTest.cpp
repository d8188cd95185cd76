// The main dialog of Velkorin.exe, driven as a user drives it: its start from the game's registry
// value, the list of recorded games, the Enter and Escape keys, and the folder browser.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frontend/Resource.h"
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

// A folder of recorded games at a fixed place, removed with everything in it afterwards.
class FixedFolder {
 public:
  explicit FixedFolder(std::filesystem::path path) : m_path(std::move(path)) { std::filesystem::create_directories(m_path); }
  ~FixedFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  FixedFolder(const FixedFolder&) = delete;
  FixedFolder& operator=(const FixedFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// A recorded game in the root of the current drive, C:, which a list filled from an empty folder
// text would show.
class RecGameInTheRoot {
 public:
  RecGameInTheRoot() : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path("C:\\");
    Touch(kPath);
  }
  ~RecGameInTheRoot() {
    std::filesystem::current_path(m_previous);
    std::error_code ignored;
    std::filesystem::remove(kPath, ignored);
  }
  RecGameInTheRoot(const RecGameInTheRoot&) = delete;
  RecGameInTheRoot& operator=(const RecGameInTheRoot&) = delete;

  static constexpr const char* kName = "velkorin-root.mgx";

 private:
  static constexpr const char* kPath = "C:\\velkorin-root.mgx";
  std::filesystem::path m_previous;
};

// The game's folder, named outside the ANSI code page.
const std::string kGame = "C:\\Spiel-ü-中文";

// How the game's value is stored, and what the dialog starts with.
struct StartCase : testkit::NamedCase {
  REGSAM view;  // 0: no value at all
  DWORD type;
  std::string text;    // stored in UTF-16
  std::string folder;  // the folder box's text
  bool listsGames;     // the list shows the recorded games of the game's SaveGame folder
};

class DialogStart : public ProgramTest, public testing::WithParamInterface<StartCase> {};

TEST_P(DialogStart, TakesTheFolderFromTheGamesRegistryValue) {
  const StartCase& c = GetParam();
  FixedFolder saveGame(testkit::Utf8Path(kGame + "\\SaveGame"));
  Touch(saveGame.Path() / "b.mgx");
  Touch(saveGame.Path() / "A.MGL");
  RecGameInTheRoot root;
  if (c.view != 0) frontend_test::SetExePath(c.view, c.type, c.text);

  const BOOL result = RunProgram([&](ProgramUser& user) {
    EXPECT_EQ(user.Text(IDC_FOLDER), c.folder);
    EXPECT_EQ(user.Entries(), (c.listsGames ? Entries{"A.MGL", "b.mgx"} : Entries{}));
    EXPECT_EQ(user.Focus(), user.Control(IDC_FOLDER));
  });
  EXPECT_FALSE(result);
}

std::string Path(size_t length) { return "C:\\" + std::string(length - 3, 'x'); }

INSTANTIATE_TEST_SUITE_P(
    Values, DialogStart,
    testing::Values(
        StartCase{{"Folder"}, KEY_WOW64_32KEY, REG_SZ, kGame + '\0', kGame + "\\SaveGame\\", true},
        StartCase{{"FolderEndingInABackslash"}, KEY_WOW64_32KEY, REG_SZ, kGame + "\\" + '\0', kGame + "\\\\SaveGame\\",
                  true},
        StartCase{{"StoredWithoutItsZero"}, KEY_WOW64_32KEY, REG_SZ, kGame, kGame + "\\SaveGame\\", true},
        StartCase{{"LongestThatFits"}, KEY_WOW64_32KEY, REG_SZ, Path(1023) + '\0', Path(1023) + "\\SaveGame\\", false},
        StartCase{{"NoValue"}, 0, REG_NONE, "", "", false},
        StartCase{{"OnlyInThe64BitView"}, KEY_WOW64_64KEY, REG_SZ, kGame + '\0', "", false},
        StartCase{{"NotAString"}, KEY_WOW64_32KEY, REG_DWORD, std::string("\1\0", 2), "", false},
        StartCase{{"ExpandableString"}, KEY_WOW64_32KEY, REG_EXPAND_SZ, kGame + '\0', "", false},
        StartCase{{"TooLong"}, KEY_WOW64_32KEY, REG_SZ, Path(1024) + '\0', "", false},
        StartCase{{"TooLongWithoutItsZero"}, KEY_WOW64_32KEY, REG_SZ, Path(1024), "", false}),
    testkit::CaseName());

TEST_F(ProgramTest, ShowsItsIconAndGivesItAsTheDragIcon) {
  const HICON hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(hIcon, nullptr);
  RunProgram([&](ProgramUser& user) {
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(user.Dialog(), WM_GETICON, ICON_BIG, 0)), hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(user.Dialog(), WM_GETICON, ICON_SMALL, 0)), hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(user.Dialog(), WM_QUERYDRAGICON, 0, 0)), hIcon);
  });
}

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
  for (const char* name :
       {"b.mgx", "Zed.MgX", "notes.txt", "A.MGL", "game.mgx.bak", "c.mgz", "readme", "Spiel-ü-中文.mgx"}) {
    Touch(games / testkit::Utf8Path(name));
  }
  Touch(games / "nested" / "inner.mgx");
  const std::string folder = games.string() + GetParam().suffix;

  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(folder);
    EXPECT_EQ(user.Entries(), (Entries{"A.MGL", "b.mgx", "c.mgz", "Spiel-ü-中文.mgx", "Zed.MgX"}));
    EXPECT_EQ(user.Text(IDC_FOLDER), folder);
  });
}

INSTANTIATE_TEST_SUITE_P(FolderTexts, RecGameList,
                         testing::Values(ListCase{{"WithoutTrailingBackslash"}, "games", ""},
                                         ListCase{{"WithTrailingBackslash"}, "games", "\\"},
                                         ListCase{{"NamedOutsideTheCodePage"}, "Ordner-é-文件夹", ""}),
                         testkit::CaseName());

TEST_F(ProgramTest, AnEmptyFolderListsTheRootOfTheCurrentDrive) {
  testkit::ScratchDir dir;
  Touch(dir.Path() / "a.mgx");
  RecGameInTheRoot root;
  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(dir.Path().string());
    user.OpenFolder("");
    const Entries entries = user.Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), RecGameInTheRoot::kName), entries.end());
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "a.mgx"), entries.end());
  });
}

// A key pressed in a control after a new folder was typed into the folder box.
struct KeyCase : testkit::NamedCase {
  int focus;
  UINT key;
  bool refills;  // the list then shows the typed folder
};

class DialogKeys : public ProgramTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(DialogKeys, OnlyEnterInTheFolderBoxRefillsAndNoKeyClosesTheDialog) {
  const KeyCase& c = GetParam();
  testkit::ScratchDir shown;
  testkit::ScratchDir typed;
  Touch(shown.Path() / "shown.mgx");
  Touch(typed.Path() / "typed.mgx");

  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(shown.Path().string());
    ASSERT_EQ(user.Entries(), Entries{"shown.mgx"});
    user.Type(IDC_FOLDER, typed.Path().string());
    user.MoveFocusTo(c.focus);
    ASSERT_EQ(user.Focus(), user.Control(c.focus));
    user.Press(c.key);
    EXPECT_EQ(user.Entries(), (c.refills ? Entries{"typed.mgx"} : Entries{"shown.mgx"}));
    EXPECT_EQ(user.Text(IDC_FOLDER), typed.Path().string());
    EXPECT_FALSE(user.ProgramEnded());
    EXPECT_TRUE(IsWindowVisible(user.Dialog()));
    EXPECT_TRUE(user.OtherWindows().empty());
  });
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeys,
                         testing::Values(KeyCase{{"EnterInTheFolderBox"}, IDC_FOLDER, VK_RETURN, true},
                                         KeyCase{{"EnterInTheList"}, IDC_RECGAME_LIST, VK_RETURN, false},
                                         KeyCase{{"EscapeInTheFolderBox"}, IDC_FOLDER, VK_ESCAPE, false},
                                         KeyCase{{"EscapeInTheList"}, IDC_RECGAME_LIST, VK_ESCAPE, false},
                                         KeyCase{{"EscapeOnTheExtractButton"}, IDC_EXTRACT, VK_ESCAPE, false}),
                         testkit::CaseName());

// The folder browser, opened after a new folder was typed into the folder box, and closed with one
// of its buttons.
struct BrowseCase : testkit::NamedCase {
  int button;
  bool takesFolder;  // the list then shows the typed folder
};

class FolderBrowser : public ProgramTest, public testing::WithParamInterface<BrowseCase> {};

// The browser finds a folder by comparing item lists that carry each folder's last access time.
// Under Wine that time comes from the host, where the first read of a folder changed since its last
// read moves it: read them all now, so the browser's own reads leave them as they are.
void ReadFolderAndItsParents(std::filesystem::path folder) {
  for (; folder.has_relative_path(); folder = folder.parent_path()) {
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
    }
  }
}

// The folder typed is named outside the ANSI code page.
TEST_P(FolderBrowser, OpensAtTheFolderInTheFolderBox) {
  const BrowseCase& c = GetParam();
  testkit::ScratchDir shown;
  testkit::ScratchDir typed("Ordner-é-文件夹");
  Touch(shown.Path() / "shown.mgx");
  Touch(typed.Path() / "typed.mgx");

  ReadFolderAndItsParents(typed.Path());

  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(shown.Path().string() + "\\");
    user.Type(IDC_FOLDER, typed.Path().string());
    user.Click(IDC_BROWSE);
    const HWND hBrowser = user.WaitForFolderBrowser();
    EXPECT_EQ(GetWindow(hBrowser, GW_OWNER), user.Dialog());
    user.WaitForBrowserSelection(hBrowser, typed.Path().filename().string());
    user.PressButton(hBrowser, c.button);
    user.WaitUntilGone(hBrowser);
    user.Settle();
    // The browser gives the folder without a trailing backslash; a cancelled one leaves the text typed.
    EXPECT_EQ(user.Text(IDC_FOLDER), typed.Path().string());
    EXPECT_EQ(user.Entries(), (c.takesFolder ? Entries{"typed.mgx"} : Entries{"shown.mgx"}));
  });
}

INSTANTIATE_TEST_SUITE_P(Buttons, FolderBrowser,
                         testing::Values(BrowseCase{{"OkTakesTheFolder"}, IDOK, true},
                                         BrowseCase{{"CancelChangesNothing"}, IDCANCEL, false}),
                         testkit::CaseName());

}  // namespace
