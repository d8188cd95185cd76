#include "platform/win32/Wnd.h"

#include "platform/WideText.h"

void CListBox::ResetContent() { SendMessageW(m_hWnd, LB_RESETCONTENT, 0, 0); }

int CListBox::AddString(const std::string& lpszItem) {
  const std::wstring item = platform::WideFromUtf8(lpszItem);
  return static_cast<int>(SendMessageW(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

int CListBox::GetCurSel() const { return static_cast<int>(SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0)); }

void CListBox::SetCurSel(int nSelect) { SendMessageW(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(nSelect), 0); }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd), m_hDC(BeginPaint(m_hWnd, &m_ps)) {}

CPaintDC::~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
