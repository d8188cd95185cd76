#pragma once

#include "platform/win32/WinApp.h"

// The application: it shows the main dialog and ends when the dialog closes.
class CVelkorinApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};

extern CVelkorinApp theApp;
