#include "platform/win32/FileDialog.h"

#include <algorithm>

#include "platform/WideText.h"
#include "platform/win32/WinApp.h"

CFileDialog::CFileDialog(const char* lpszDefExt, const std::string& strFileName, DWORD dwFlags, const char* lpszFilter)
    : m_strDefExt(platform::WideFromUtf8(lpszDefExt)), m_strFilter(platform::WideFromUtf8(lpszFilter)) {
  std::replace(m_strFilter.begin(), m_strFilter.end(), L'|', L'\0');
  platform::WideFromUtf8(strFileName).copy(m_szFileName.data(), kMaxPathName);

  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.lpstrFilter = m_strFilter.c_str();
  m_ofn.nFilterIndex = 1;
  m_ofn.lpstrFile = m_szFileName.data();
  m_ofn.nMaxFile = static_cast<DWORD>(m_szFileName.size());
  m_ofn.lpstrDefExt = m_strDefExt.c_str();
  // The framework always asks for the Explorer-style dialog.
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
  const CWnd* pMainWnd = AfxGetMainWnd();
  m_ofn.hwndOwner = pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
  return GetSaveFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const { return platform::Utf8FromWide(m_szFileName.data()); }
