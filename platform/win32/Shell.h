#pragma once

#include <windows.h>

#include <shlobj.h>

// Runs the shell's folder browser as bi describes it and writes the path of the chosen folder into
// bi.pszDisplayName, which must have room for MAX_PATH UTF-16 characters. False when the user
// cancelled or chose an item that is no file-system folder. The browser's item list is freed in
// every case.
bool BrowseForFolder(BROWSEINFOW& bi);
