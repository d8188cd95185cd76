#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/Wnd.h"

// What the command line asks for: the file or folder named first after the program, if any, as
// UTF-8 text; further arguments are not looked at.
class CCommandLineInfo {
 public:
  std::string m_strFileName;
};

// The application object. A program defines exactly one, as a global, so that it exists before the
// entry point runs; the entry point calls its InitInstance, and the program ends when that returns.
class CWinApp {
 public:
  // Without a name, the application's title is the program file's name without folder and extension.
  explicit CWinApp(const char* lpszAppName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The program's work. A TRUE result would ask for a message loop of the application's own, which
  // no program here needs, so the entry point ends the program whatever the result.
  virtual BOOL InitInstance() = 0;

  // Splits m_lpCmdLine as the system splits a program's command line (CommandLineToArgvW).
  void ParseCommandLine(CCommandLineInfo& rCmdInfo) const;

  CWnd* m_pMainWnd = nullptr;  // owner of the message boxes and the save dialog
  std::string m_strAppName;    // caption of the message boxes, UTF-8
  // The whole command line in UTF-16, the program's name first, as GetCommandLineW gives it; the
  // entry point sets it. Null: no arguments.
  LPCWSTR m_lpCmdLine = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The module whose resources the dialogs and icons come from: the program file itself.
HINSTANCE AfxGetInstanceHandle();

// A message box with the UTF-8 text, captioned with the application's title, modal to the main
// window; OK only unless nType says otherwise. As the framework's own message box does, it shows the
// exclamation icon, or the question mark for a Yes/No question, unless nType names an icon.
int AfxMessageBox(std::string_view text, UINT nType = MB_OK);
