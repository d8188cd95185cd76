#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Wnd.h"

// One exchange of data between a dialog's controls and its fields, in one direction.
class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  // The control with this id in the dialog.
  HWND PrepareCtrl(int nIDC) const { return GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }

  BOOL m_bSaveAndValidate;  // TRUE: controls to fields; FALSE: fields to controls
  CWnd* m_pDlgWnd;
};

// Attaches the control with this id to the object, in either direction.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Exchanges the text of the control with this id with the string, which holds it as UTF-8.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);

// A dialog from a template in the program's resources, run modally by DoModal.
//
// DoModal creates the dialog as a modeless window and runs the modal message loop itself, as the
// framework does, rather than through DialogBoxParam: DialogBoxParam's own loop offers no place to
// see a message before the dialog manager does, and PreTranslateMessage needs exactly that. The
// loop gives every message for the dialog or one of its controls to PreTranslateMessage first; the
// base version hands it to the dialog manager (IsDialogMessage).
//
// Messages reach OnWndMsg, which a dialog overrides with its own message handlers; the base
// handles the IDOK and IDCANCEL commands (OnOK, OnCancel), and everything else goes to the dialog
// manager's default processing.
//
// As the framework's dialogs are, every dialog but the main window is owned by the main window,
// which takes no input while it runs.
class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

  // Runs the dialog until EndDialog; returns the result passed to EndDialog, or -1 when the dialog
  // cannot be created or the thread was told to quit (WM_QUIT).
  INT_PTR DoModal();
  // Ends the modal loop once the message being handled is done; the window is then destroyed.
  void EndDialog(int nResult);
  // TRUE: reads the controls into the fields; FALSE: writes the fields into the controls.
  void UpdateData(BOOL bSaveAndValidate = TRUE);

  // TRUE when the message was handled and is not to be dispatched.
  virtual BOOL PreTranslateMessage(MSG* pMsg);

 protected:
  // Exchanges the data of the dialog's controls and fields, DDX_ call by DDX_ call; the base has none.
  virtual void DoDataExchange(CDataExchange* pDX);
  // Attaches the controls and fills them from the fields; TRUE gives the focus to the first tab stop.
  virtual BOOL OnInitDialog();
  // Enter or the OK button: reads the controls into the fields and ends the dialog with IDOK.
  virtual void OnOK();
  // Escape or the Close command: ends the dialog with IDCANCEL.
  virtual void OnCancel();
  // TRUE when the message was handled, with its result in *pResult.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RunModalLoop();
  bool IsOwnMessage(const MSG& msg) const;

  UINT m_nIDTemplate;
  bool m_bContinueModal = false;
  int m_nModalResult = -1;
};
