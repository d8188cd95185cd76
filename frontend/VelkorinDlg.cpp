#include "frontend/VelkorinDlg.h"

#include <array>
#include <optional>
#include <utility>

#include "platform/WideText.h"
#include "platform/win32/Registry.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WinApp.h"

namespace {

constexpr const char* kGameKey =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0";
constexpr const char* kExePathValue = "EXE Path";
// Room for a folder path with its terminating zero, in UTF-16 characters, for the registry value
// and the folder browser.
constexpr DWORD kPathBuffer = 1024;

}  // namespace

CVelkorinDlg::CVelkorinDlg()
    : CDialog(IDD_VELKORIN_DIALOG), m_hIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CVelkorinDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_RECGAME_LIST, m_RecGameList);
  DDX_Text(pDX, IDC_FOLDER, m_strFolder);
}

BOOL CVelkorinDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      *pResult = reinterpret_cast<LRESULT>(OnQueryDragIcon());
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      if (LOWORD(wParam) == IDC_BROWSE) {
        OnBrowse();
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_EXTRACT) {
        OnExtract();
        return TRUE;
      }
      break;
    default:
      break;
  }
  return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CVelkorinDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  // The game is a 32-bit program, so its key is in the 32-bit view of the registry; reading it needs
  // no more than read access, which every user has.
  const std::optional<std::string> strExePath =
      RegQueryString(HKEY_LOCAL_MACHINE, kGameKey, KEY_READ | KEY_WOW64_32KEY, kExePathValue, kPathBuffer);
  if (strExePath) m_strFolder = *strExePath + "\\SaveGame\\";
  UpdateData(FALSE);
  // Without the game's folder the box and the list start empty, until the user names a folder;
  // listing the root of whichever drive is current would show no folder the user asked for.
  if (strExePath) FillRecGameList(m_strFolder);
  return TRUE;
}

BOOL CVelkorinDlg::OnPaint() {
  if (!IsIconic(m_hWnd)) return FALSE;
  CPaintDC dc(this);
  SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int cxIcon = GetSystemMetrics(SM_CXICON);
  const int cyIcon = GetSystemMetrics(SM_CYICON);
  RECT rect;
  GetClientRect(m_hWnd, &rect);
  const int x = (rect.right - rect.left - cxIcon + 1) / 2;
  const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
  DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
  return TRUE;
}

HCURSOR CVelkorinDlg::OnQueryDragIcon() { return m_hIcon; }

BOOL CVelkorinDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) return TRUE;
  return CDialog::PreTranslateMessage(pMsg);
}

void CVelkorinDlg::OnOK() {
  UpdateData(TRUE);
  if (GetFocus() == GetDlgItem(m_hWnd, IDC_FOLDER)) FillRecGameList(m_strFolder);
  UpdateData(FALSE);
}

void CVelkorinDlg::OnBrowse() {
  UpdateData(TRUE);
  const std::wstring strSelected = WideFromUtf8(m_strFolder);
  std::array<wchar_t, kPathBuffer> szPath{};
  BROWSEINFOW bi{};
  bi.hwndOwner = m_hWnd;
  bi.pszDisplayName = szPath.data();
  bi.lpszTitle = L"Select Recgame Folder";
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  bi.lpfn = BrowseCallbackProc;
  bi.lParam = reinterpret_cast<LPARAM>(strSelected.c_str());
  if (!BrowseForFolder(bi)) return;
  m_strFolder = Utf8FromWide(szPath.data());
  FillRecGameList(m_strFolder);
  UpdateData(FALSE);
}

int CALLBACK CVelkorinDlg::BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM /*lParam*/, LPARAM lpData) {
  // The browser opens at the folder in the folder box.
  if (uMsg == BFFM_INITIALIZED) SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, lpData);
  return 0;
}

void CVelkorinDlg::FillRecGameList(std::string strFolder) {
  m_RecGameList.ResetContent();
  // Attribute mask 0: plain files only, no folders and no drives.
  m_RecGameList.Dir(0, WithTrailingBackslash(std::move(strFolder)) + "*.mg?");
}

std::string CVelkorinDlg::WithTrailingBackslash(std::string strFolder) {
  // The text is UTF-8, where no byte of a longer character has the value of a backslash, so the last
  // byte tells. An empty text has none.
  if (!strFolder.ends_with('\\')) strFolder += '\\';
  return strFolder;
}
