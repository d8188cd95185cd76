#include "frontend/VelkorinApp.h"

#include <windows.h>

#include <commctrl.h>

#include "frontend/VelkorinDlg.h"

CVelkorinApp theApp;

BOOL CVelkorinApp::InitInstance() {
  // The manifest asks for Common Controls 6: their classes draw the dialog's controls in the system's
  // visual style once the library is loaded.
  INITCOMMONCONTROLSEX icc{.dwSize = sizeof(INITCOMMONCONTROLSEX), .dwICC = ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  CVelkorinDlg dlg;
  dlg.m_strOpenPath = cmdInfo.m_strFileName;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  // The dialog is the whole program: no message loop of the application's own follows it.
  return FALSE;
}
