#include "platform/win32/Shell.h"

#include <objbase.h>

namespace {

// The shell's folder browser needs COM on its thread; this initializes it for one call, unless the
// thread already runs COM in another mode, which serves as well.
class ComScope {
 public:
  ComScope() : m_bInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (m_bInitialized) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool m_bInitialized;
};

}  // namespace

bool BrowseForFolder(BROWSEINFOW& bi) {
  ComScope com;
  LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
  if (pidl == nullptr) return false;
  const bool bPath = SHGetPathFromIDListW(pidl, bi.pszDisplayName);
  CoTaskMemFree(pidl);
  return bPath;
}
