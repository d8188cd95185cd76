#pragma once

#include <windows.h>

#include <string>

// A window by its handle. The object does not own the window: whoever created the window destroys it.
class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
};

// A list box control of a dialog, attached to its window by DDX_Control.
class CListBox : public CWnd {
 public:
  void ResetContent();
  // Adds the UTF-8 text as an entry, at the end of a list that is not sorted; returns its index.
  int AddString(const std::string& lpszItem);
  // The index of the selected entry, or LB_ERR when none is selected.
  int GetCurSel() const;
  // Selects the entry, or none with -1.
  void SetCurSel(int nSelect);
};

// The device context of one WM_PAINT of a window: BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }

 private:
  HWND m_hWnd;
  PAINTSTRUCT m_ps{};
  HDC m_hDC;
};
