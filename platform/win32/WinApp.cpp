#include "platform/win32/WinApp.h"

#include <shellapi.h>

#include <array>

#include "platform/WideText.h"

namespace {

CWinApp* g_pApp = nullptr;

std::string ProgramFileTitle() {
  std::array<wchar_t, MAX_PATH> path{};
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::string title = platform::Utf8FromWide(std::wstring_view(path.data(), length));
  title.erase(0, title.find_last_of("\\/:") + 1);
  const size_t dot = title.find_last_of('.');
  if (dot != std::string::npos) title.erase(dot);
  return title;
}

}  // namespace

CWinApp::CWinApp(const char* lpszAppName)
    : m_strAppName(lpszAppName != nullptr ? lpszAppName : ProgramFileTitle()) {
  g_pApp = this;
}

CWinApp::~CWinApp() { g_pApp = nullptr; }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) const {
  if (m_lpCmdLine == nullptr) return;
  int nArgs = 0;
  LPWSTR* pArgs = CommandLineToArgvW(m_lpCmdLine, &nArgs);
  if (pArgs == nullptr) return;
  if (nArgs > 1) rCmdInfo.m_strFileName = platform::Utf8FromWide(pArgs[1]);
  LocalFree(pArgs);
}

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleW(nullptr); }

int AfxMessageBox(std::string_view text, UINT nType) {
  if ((nType & MB_ICONMASK) == 0) nType |= (nType & MB_TYPEMASK) == MB_YESNO ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
  const CWnd* pMainWnd = AfxGetMainWnd();
  const std::wstring strText = platform::WideFromUtf8(text);
  const std::wstring strCaption = platform::WideFromUtf8(g_pApp != nullptr ? g_pApp->m_strAppName : std::string());
  return MessageBoxW(pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr, strText.c_str(),
                     g_pApp != nullptr ? strCaption.c_str() : nullptr, nType);
}
