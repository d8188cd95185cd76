#include "platform/win32/WinApp.h"

namespace {

CWinApp* g_pApp = nullptr;

std::string ProgramFileTitle() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string title(path, length);
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

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

int AfxMessageBox(std::string_view text) {
  const CWnd* pMainWnd = AfxGetMainWnd();
  const std::string strText(text);
  return MessageBoxA(pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr, strText.c_str(),
                     g_pApp != nullptr ? g_pApp->m_strAppName.c_str() : nullptr, MB_OK | MB_ICONEXCLAMATION);
}
