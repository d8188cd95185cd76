#include "platform/win32/Wnd.h"

#include <vector>

#include "platform/WideText.h"

void CListBox::ResetContent() { SendMessageW(m_hWnd, LB_RESETCONTENT, 0, 0); }

void CListBox::Dir(UINT attr, const std::string& strWildCard) {
  const std::wstring wildCard = WideFromUtf8(strWildCard);
  SendMessageW(m_hWnd, LB_DIR, attr, reinterpret_cast<LPARAM>(wildCard.c_str()));
}

int CListBox::GetCurSel() const { return static_cast<int>(SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0)); }

void CListBox::SetCurSel(int nSelect) { SendMessageW(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(nSelect), 0); }

int CListBox::FindStringExact(int nStartAfter, const std::string& lpszFind) const {
  const std::wstring find = WideFromUtf8(lpszFind);
  const auto start = static_cast<WPARAM>(nStartAfter);
  return static_cast<int>(SendMessageW(m_hWnd, LB_FINDSTRINGEXACT, start, reinterpret_cast<LPARAM>(find.c_str())));
}

void CListBox::GetText(int nIndex, std::string& rString) const {
  const WPARAM index = static_cast<WPARAM>(nIndex);
  const LRESULT length = SendMessageW(m_hWnd, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) {
    rString.clear();
    return;
  }
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  const LRESULT copied = SendMessageW(m_hWnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  rString = Utf8FromWide(std::wstring_view(text.data(), copied == LB_ERR ? 0 : static_cast<size_t>(copied)));
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd), m_hDC(BeginPaint(m_hWnd, &m_ps)) {}

CPaintDC::~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
