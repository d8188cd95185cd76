#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "frontend/Resource.h"
#include "platform/win32/Dialog.h"
#include "platform/win32/Wnd.h"
#include "recgame/RecGameFolder.h"
#include "extraction/GameSummary.h"

// The program's main dialog: the folder box with its browse button, the list of the folder's
// recorded games with a line under it that says what the selected game holds, and the Extract
// command, which writes the AI script of the selected game; of a game with several, the one chosen
// beside the list, or all of them. A recorded game or a folder named on the command line or dropped
// onto the dialog is opened: its folder listed, the game selected. A stranger's text, a file name or
// a player's, is shown with its control and bidirectional characters escaped. The system menu has
// the About box.
class CVelkorinDlg : public CDialog {
 public:
  CVelkorinDlg();
  ~CVelkorinDlg() override;

  // Swallows the Escape key: the dialog closes only through its Close command.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The recorded game or folder to open once the dialog shows; empty: none.
  std::string m_strOpenPath;

  // What salvaging mends in a broken game, in the words of the command line: the script cut short,
  // or else the header-length field of 0 that salvaging reads past, the one other thing it does.
  static std::string DamageText(const extraction::GameSummary& broken);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  // Takes the folder from the game's registry value and fills the list.
  BOOL OnInitDialog() override;
  // Enter: refills the list when the focus is in the folder box, extracts when it is in the list;
  // never closes the dialog.
  void OnOK() override;
  // The message map: WM_PAINT, WM_QUERYDRAGICON, WM_DROPFILES, WM_DPICHANGED, WM_TIMER, the About
  // command of the system menu, the clicks of the two buttons, a change of selection or a
  // double-click in the list, and the opening of the choice of scripts.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  // Draws the icon while the dialog is minimized; FALSE leaves other painting to the default.
  BOOL OnPaint();
  HCURSOR OnQueryDragIcon();
  // Shows the About box for its command; FALSE leaves the system's commands to the default.
  BOOL OnSysCommand(UINT nID);
  void OnBrowse();
  void OnExtract();
  void OnDropFiles(HDROP hDropInfo);
  // A new selection empties the line and the choice of scripts, and reads the game once the
  // selection has stayed a moment, so that moving through the list with the keys stays quick.
  void OnSelChange();
  // Reads the selected game for the line under the list and the choice of scripts; a broken game
  // that salvaging reads offers the scripts salvaging gives.
  void ReadSelectedGame();
  // The recorded game the list's selected entry shows; nothing when none is selected.
  const recgame::RecGameFile* SelectedGame() const;
  // The entry of the listed game of that name, spelt exactly or else in another case; -1 for none.
  int FindRecGame(const std::string& strName) const;
  // The line under the list, escaped, since it names files and players.
  void SetStatusLine(const std::string& strLine);
  // The script the choice beside the list names (from 0); nothing for "All scripts".
  std::optional<size_t> ChosenScript() const;
  // Opens the choice's list as wide as its widest entry, measured in the font of the moment: the box
  // beside the list is narrower than a script's entry with its player.
  void OnDropDownScript();
  void OnDpiChanged(UINT nDpi, const RECT& rcSuggested);
  // Lists the folder, or the folder of the recorded game and selects it; a path that names nothing
  // gives "File Open Error" with the path, and a file that is no recorded game is named under the list.
  void OpenPath(const std::string& strPath);
  // Lists the folder's recorded games, as `velkorin list` does, and remembers its absolute path for
  // Extract; a folder that cannot be listed, or holds none, says so in the line under the list.
  // False when it cannot be listed.
  bool FillRecGameList(const std::string& strFolder);
  // The program's icon at the resolution, big and small, for the caption and the taskbar.
  void LoadIcons(UINT nDpi);
  static int CALLBACK BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData);
  static std::string WithTrailingBackslash(std::string strFolder);

  CListBox m_RecGameList;
  // The games the list shows, entry by entry: an entry shows the name escaped, and this is the file.
  std::vector<recgame::RecGameFile> m_RecGames;
  std::string m_strFolder;
  // The folder whose recorded games the list shows, absolute and ending in a backslash: the text in
  // the folder box may have been changed since, and a relative one would follow the current folder.
  std::string m_strListedFolder;
  // The timer that reads the selected game once the selection has settled.
  static constexpr UINT_PTR kReadGameTimer = 1;
  // Whether the selected game is still to be read (ReadSelectedGame).
  bool m_bReadPending = false;
  HICON m_hIcon = nullptr;
  HICON m_hSmallIcon = nullptr;
};
