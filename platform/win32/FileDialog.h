#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

// The platform's file-save dialog, owned by the application's main window. Names go in and come out
// as UTF-8 text.
class CFileDialog {
 public:
  // lpszFilter is in the framework's form, "Text|pattern|Text|pattern||"; strFileName is the initial
  // file name, which may carry a folder and a wildcard, cut to kMaxPathName UTF-16 units.
  CFileDialog(const char* lpszDefExt, const std::string& strFileName, DWORD dwFlags, const char* lpszFilter);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // The longest path Windows takes, in UTF-16 units; the name buffer holds it and its zero.
  static constexpr DWORD kMaxPathName = 32767;

  // IDOK when the user chose a file, IDCANCEL when the dialog was cancelled or failed; after a
  // failure CommDlgExtendedError tells why, as it gives 0 after a cancel.
  INT_PTR DoModal();
  // The full path the user chose.
  std::string GetPathName() const;

 private:
  OPENFILENAMEW m_ofn{};
  std::wstring m_strDefExt;
  std::wstring m_strFilter;  // in the platform's form: the '|' of the framework's form become zeros
  std::vector<wchar_t> m_szFileName = std::vector<wchar_t>(kMaxPathName + 1);
};
