#include <windows.h>

#include "platform/win32/WinApp.h"

// The program's entry point hands over to the application object, whose InitInstance does the work.
int WINAPI WinMain(HINSTANCE /*hInstance*/, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return 0;
  // The ANSI command line would lose every character outside the code page.
  pApp->m_lpCmdLine = GetCommandLineW();
  pApp->InitInstance();
  return 0;
}
