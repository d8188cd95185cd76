#include "frontend/VelkorinDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "platform/ConsoleText.h"
#include "platform/OsFile.h"
#include "platform/SaveGameFolder.h"
#include "platform/WideText.h"
#include "platform/win32/PathName.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WinApp.h"
#include "extraction/ResultMessages.h"

namespace {

// Room for a folder path with its terminating zero, in UTF-16 characters, for the folder browser.
constexpr DWORD kPathBuffer = 1024;

// Opens the path of the command line once the dialog shows, so that a message about it appears over
// the dialog rather than before it.
constexpr UINT WM_OPEN_PATH = WM_APP + 1;

// The resolution at which a dialog unit, an icon and a pixel are what they were designed as.
constexpr int kDefaultDpi = 96;

// The resolution the window is drawn at. Before Windows 10 (1607) every window has the system's.
UINT WindowDpi(HWND hWnd) {
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const auto pGetDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (pGetDpiForWindow != nullptr) return pGetDpiForWindow(hWnd);
  const HDC hDC = GetDC(hWnd);
  const int dpi = GetDeviceCaps(hDC, LOGPIXELSY);
  ReleaseDC(hWnd, hDC);
  return static_cast<UINT>(dpi);
}

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(
      LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// The About box, all of it in its template: the program's name, its version and what it does.
class CAboutDlg : public CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

// Whole strings of UTF-16 code units, alike but for case as the file system compares names.
bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  const std::wstring wideA = platform::WideFromUtf8(a);
  const std::wstring wideB = platform::WideFromUtf8(b);
  return CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                              static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

CVelkorinDlg::CVelkorinDlg() : CDialog(IDD_VELKORIN_DIALOG) {}

CVelkorinDlg::~CVelkorinDlg() {
  if (m_hIcon != nullptr) DestroyIcon(m_hIcon);
  if (m_hSmallIcon != nullptr) DestroyIcon(m_hSmallIcon);
}

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
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      // Left to the dialog manager too, which scales a dialog from its template on the new screen.
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      break;
    case WM_OPEN_PATH:
      OpenPath(m_strOpenPath);
      return TRUE;
    case WM_TIMER:
      if (wParam != kReadGameTimer) break;
      ReadSelectedGame();
      return TRUE;
    case WM_SYSCOMMAND:
      if (OnSysCommand(static_cast<UINT>(wParam))) return TRUE;
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_RECGAME_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
        OnSelChange();
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_RECGAME_LIST && HIWORD(wParam) == LBN_DBLCLK) {
        OnExtract();
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_SCRIPT && HIWORD(wParam) == CBN_DROPDOWN) {
        OnDropDownScript();
        return TRUE;
      }
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
  LoadIcons(WindowDpi(m_hWnd));
  if (const HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE); hSysMenu != nullptr) {
    AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, L"&About Velkorin…");
  }

  // The game's "EXE Path", read as the command line's list reads it.
  const std::optional<std::string> strExePath = game_install::ReadExePath();
  if (strExePath) m_strFolder = *strExePath + "\\SaveGame\\";
  UpdateData(FALSE);
  // Without the game's folder the box and the list start empty, until the user names a folder;
  // listing the root of whichever drive is current would show no folder the user asked for.
  if (strExePath) FillRecGameList(m_strFolder);
  if (!m_strOpenPath.empty()) PostMessageW(m_hWnd, WM_OPEN_PATH, 0, 0);
  return TRUE;
}

void CVelkorinDlg::LoadIcons(UINT nDpi) {
  const int dpi = static_cast<int>(nDpi);
  const HICON hOldIcon = m_hIcon;
  const HICON hOldSmallIcon = m_hSmallIcon;
  // The standard sizes, 32 and 16 pixels at 96 dots per inch, grow with the resolution.
  m_hIcon = LoadProgramIcon(MulDiv(32, dpi, kDefaultDpi));
  m_hSmallIcon = LoadProgramIcon(MulDiv(16, dpi, kDefaultDpi));
  SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
  if (hOldIcon != nullptr) DestroyIcon(hOldIcon);
  if (hOldSmallIcon != nullptr) DestroyIcon(hOldSmallIcon);
}

void CVelkorinDlg::OnDpiChanged(UINT nDpi, const RECT& rcSuggested) {
  // The icons and the window's place on the new screen are the program's to set; the dialog manager
  // scales the controls and the font.
  LoadIcons(nDpi);
  SetWindowPos(m_hWnd, nullptr, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
               rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVelkorinDlg::OnDropFiles(HDROP hDropInfo) {
  // Several dropped: the first one's folder, with the first one selected.
  const UINT length = DragQueryFileW(hDropInfo, 0, nullptr, 0);
  std::vector<wchar_t> path(length + 1);
  const UINT copied = length == 0 ? 0 : DragQueryFileW(hDropInfo, 0, path.data(), static_cast<UINT>(path.size()));
  DragFinish(hDropInfo);
  if (copied == 0) return;
  // The program may be behind another window; the one dropped onto comes to the front.
  SetForegroundWindow(m_hWnd);
  OpenPath(platform::Utf8FromWide(std::wstring_view(path.data(), copied)));
}

void CVelkorinDlg::OpenPath(const std::string& strPath) {
  const std::optional<std::string> strFull = FullPathName(strPath);
  const DWORD dwAttributes =
      strFull ? GetFileAttributesW(platform::WideFromUtf8(*strFull).c_str()) : INVALID_FILE_ATTRIBUTES;
  if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
    AfxMessageBox(std::string(extraction::ResultMessage(recgame::ReadResult::kCannotOpen)) + "\n\n" +
                  platform::EscapeControls(strPath));
    return;
  }
  std::string strName;
  m_strFolder = *strFull;
  if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // The full path of a file has a backslash before its name.
    const size_t nameStart = m_strFolder.find_last_of('\\') + 1;
    strName = m_strFolder.substr(nameStart);
    m_strFolder.erase(nameStart);
  }
  UpdateData(FALSE);
  if (!FillRecGameList(m_strFolder) || strName.empty()) return;
  const int nEntry = FindRecGame(strName);
  if (nEntry < 0) {
    SetStatusLine(strName + " is not a recorded game (*.mgl, *.mgx, *.mgz)");
    return;
  }
  m_RecGameList.SetCurSel(nEntry);
  OnSelChange();
  // Enter then extracts the game, as it does whenever the list has the focus.
  SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_RecGameList.m_hWnd), TRUE);
}

BOOL CVelkorinDlg::OnPaint() {
  if (!IsIconic(m_hWnd)) return FALSE;
  CPaintDC dc(this);
  SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  // The icon at the window's resolution, not the system's, which another screen may have.
  const int cxIcon = MulDiv(32, static_cast<int>(WindowDpi(m_hWnd)), kDefaultDpi);
  const int cyIcon = cxIcon;
  RECT rect;
  GetClientRect(m_hWnd, &rect);
  const int x = (rect.right - rect.left - cxIcon + 1) / 2;
  const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
  DrawIconEx(dc.GetSafeHdc(), x, y, m_hIcon, cxIcon, cyIcon, 0, nullptr, DI_NORMAL);
  return TRUE;
}

HCURSOR CVelkorinDlg::OnQueryDragIcon() { return m_hIcon; }

BOOL CVelkorinDlg::OnSysCommand(UINT nID) {
  // The system gives its own use to the low four bits.
  if ((nID & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
  CAboutDlg dlgAbout;
  dlgAbout.DoModal();
  return TRUE;
}

BOOL CVelkorinDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) return TRUE;
  return CDialog::PreTranslateMessage(pMsg);
}

void CVelkorinDlg::OnOK() {
  const HWND hFocus = GetFocus();
  if (hFocus == m_RecGameList.m_hWnd) {
    OnExtract();
    return;
  }
  UpdateData(TRUE);
  if (hFocus == GetDlgItem(m_hWnd, IDC_FOLDER)) FillRecGameList(m_strFolder);
  UpdateData(FALSE);
}

void CVelkorinDlg::OnBrowse() {
  UpdateData(TRUE);
  const std::wstring strSelected = platform::WideFromUtf8(m_strFolder);
  std::array<wchar_t, kPathBuffer> szPath{};
  BROWSEINFOW bi{};
  bi.hwndOwner = m_hWnd;
  bi.pszDisplayName = szPath.data();
  bi.lpszTitle = L"Select Recgame Folder";
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  bi.lpfn = BrowseCallbackProc;
  bi.lParam = reinterpret_cast<LPARAM>(strSelected.c_str());
  if (!BrowseForFolder(bi)) return;
  m_strFolder = platform::Utf8FromWide(szPath.data());
  FillRecGameList(m_strFolder);
  UpdateData(FALSE);
}

int CALLBACK CVelkorinDlg::BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM /*lParam*/, LPARAM lpData) {
  // The browser opens at the folder in the folder box.
  if (uMsg == BFFM_INITIALIZED) SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, lpData);
  return 0;
}

bool CVelkorinDlg::FillRecGameList(const std::string& strFolder) {
  m_RecGameList.ResetContent();
  m_RecGames.clear();
  OnSelChange();
  m_strListedFolder.clear();
  // An empty text is the current folder, as it always was.
  const std::optional<std::string> strFull = FullPathName(strFolder.empty() ? "." : strFolder);
  std::string strProblem;
  std::optional<std::vector<recgame::RecGameFile>> games;
  if (!strFull) {
    strProblem = os::LastErrorText();
  } else if (const DWORD dwAttributes = GetFileAttributesW(platform::WideFromUtf8(*strFull).c_str());
             dwAttributes == INVALID_FILE_ATTRIBUTES) {
    strProblem = os::LastErrorText();
  } else if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    strProblem = "it is a file, not a folder";
  } else {
    games = recgame::ListRecGameFolder(*strFull, &strProblem);
  }
  if (!games) {
    SetStatusLine("Cannot read this folder: " + strProblem);
    return false;
  }
  m_strListedFolder = WithTrailingBackslash(*strFull);
  m_RecGames = std::move(*games);
  for (const recgame::RecGameFile& game : m_RecGames) m_RecGameList.AddString(platform::EscapeControls(game.name));
  SetStatusLine(m_RecGames.empty() ? "No recorded games in " + m_strListedFolder : "");
  return true;
}

const recgame::RecGameFile* CVelkorinDlg::SelectedGame() const {
  const int nSelected = m_RecGameList.GetCurSel();
  return nSelected >= 0 && static_cast<size_t>(nSelected) < m_RecGames.size()
             ? &m_RecGames[static_cast<size_t>(nSelected)]
             : nullptr;
}

int CVelkorinDlg::FindRecGame(const std::string& strName) const {
  // The system may spell a name as it was typed, in another case than the folder holds it.
  auto found = std::find_if(m_RecGames.begin(), m_RecGames.end(),
                            [&](const recgame::RecGameFile& game) { return game.name == strName; });
  if (found == m_RecGames.end()) {
    found = std::find_if(m_RecGames.begin(), m_RecGames.end(),
                         [&](const recgame::RecGameFile& game) { return EqualIgnoringCase(game.name, strName); });
  }
  return found == m_RecGames.end() ? -1 : static_cast<int>(found - m_RecGames.begin());
}

void CVelkorinDlg::SetStatusLine(const std::string& strLine) {
  SetDlgItemTextW(m_hWnd, IDC_STATUS_LINE, platform::WideFromUtf8(platform::EscapeControls(strLine)).c_str());
}

std::string CVelkorinDlg::WithTrailingBackslash(std::string strFolder) {
  // The text is UTF-8, where no byte of a longer character has the value of a backslash, so the last
  // byte tells. An empty text has none.
  if (!strFolder.ends_with('\\')) strFolder += '\\';
  return strFolder;
}
