#pragma once

#include <windows.h>

#include <string>

#include "frontend/Resource.h"
#include "platform/win32/Dialog.h"
#include "platform/win32/Wnd.h"

// The program's one dialog: the folder box with its browse button, the list of the folder's
// recorded games, and the Extract command, which writes the AI script of the selected game.
class CVelkorinDlg : public CDialog {
 public:
  CVelkorinDlg();

  // Swallows the Escape key: the dialog closes only through its Close command.
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  // Takes the folder from the game's registry value and fills the list.
  BOOL OnInitDialog() override;
  // Enter: refills the list when the focus is in the folder box; never closes the dialog.
  void OnOK() override;
  // The message map: WM_PAINT, WM_QUERYDRAGICON and the clicks of the two buttons.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  // Draws the icon while the dialog is minimized; FALSE leaves other painting to the default.
  BOOL OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnBrowse();
  void OnExtract();
  void FillRecGameList(std::string strFolder);
  static int CALLBACK BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData);
  static std::string WithTrailingBackslash(std::string strFolder);

  CListBox m_RecGameList;
  std::string m_strFolder;
  HICON m_hIcon;
};
