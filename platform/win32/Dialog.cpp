#include "platform/win32/Dialog.h"

#include <vector>

#include "platform/WideText.h"
#include "platform/win32/WinApp.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) { rControl.m_hWnd = pDX->PrepareCtrl(nIDC); }

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
  const HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (!pDX->m_bSaveAndValidate) {
    SetWindowTextW(hWndCtrl, platform::WideFromUtf8(value).c_str());
    return;
  }
  std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(hWndCtrl)) + 1);
  const int length = GetWindowTextW(hWndCtrl, text.data(), static_cast<int>(text.size()));
  value = platform::Utf8FromWide(std::wstring_view(text.data(), static_cast<size_t>(length)));
}

INT_PTR CDialog::DoModal() {
  m_bContinueModal = true;
  m_nModalResult = -1;
  const CWnd* pMainWnd = AfxGetMainWnd();
  const HWND hWndOwner = pMainWnd != nullptr && pMainWnd != this ? pMainWnd->m_hWnd : nullptr;
  // A Unicode dialog: its controls keep any name as it is, which an ANSI one would cut to the code page.
  if (CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), hWndOwner, DialogProc,
                         reinterpret_cast<LPARAM>(this)) == nullptr) {
    return -1;
  }
  if (hWndOwner != nullptr) EnableWindow(hWndOwner, FALSE);
  RunModalLoop();
  // Enabled before this one goes, the owner becomes the active window again.
  if (hWndOwner != nullptr) EnableWindow(hWndOwner, TRUE);
  DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->m_pMainWnd == this) pApp->m_pMainWnd = nullptr;
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bContinueModal = false;
  // The loop may be waiting for a posted message, as when the command came in a message sent from
  // another thread; this one wakes it.
  PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::RunModalLoop() {
  MSG msg;
  while (m_bContinueModal) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return;
    if (IsOwnMessage(msg) && PreTranslateMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool CDialog::IsOwnMessage(const MSG& msg) const { return msg.hwnd == m_hWnd || IsChild(m_hWnd, msg.hwnd); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) { return IsDialogMessageW(m_hWnd, pMsg); }

void CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT* /*pResult*/) {
  // Enter and Escape come from the dialog manager as commands with the notification code 0.
  if (message != WM_COMMAND || HIWORD(wParam) != 0) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
    pDlg->m_hWnd = hWnd;
    return pDlg->OnInitDialog();
  }
  // Messages that come before WM_INITDIALOG, such as WM_SETFONT, find no object yet.
  auto* pDlg = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
  LRESULT result = 0;
  if (pDlg == nullptr || !pDlg->OnWndMsg(message, wParam, lParam, &result)) return FALSE;
  // The dialog manager takes the result of WM_QUERYDRAGICON from the return value itself.
  if (message == WM_QUERYDRAGICON) return result;
  SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}
