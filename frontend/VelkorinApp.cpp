#include "frontend/VelkorinApp.h"

#include "frontend/VelkorinDlg.h"

CVelkorinApp theApp;

BOOL CVelkorinApp::InitInstance() {
  CVelkorinDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  // The dialog is the whole program: no message loop of the application's own follows it.
  return FALSE;
}
